// Renders the real window, filled with sample values and generated once, into a PNG file for
// the README. Run offscreen: `QT_QPA_PLATFORM=offscreen brindlewick_screenshot
// docs/screenshot.png`.
#include <QApplication>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QTest>
#include <cstdio>

#include "GeneratorWindow.h"
#include "SampleValues.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("brindlewick"));
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.png\n", argv[0]);
        return 2;
    }
    brindlewick::GeneratorWindow window;
    for (const auto& [field, value] : brindlewick::test::kSampleValues) {
        window.field(field)->setText(QString::fromUtf8(value));
    }
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        return 1;
    }
    window.generateButton()->click();
    return window.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
