// Renders the real window, filled with sample values and generated once from the given template,
// into a PNG file for the README. Run offscreen: `QT_QPA_PLATFORM=offscreen brindlewick_screenshot
// docs/screenshot.png Template.txt`. The template is named rather than looked up, so that a
// Template.txt the user edited beside the program or in the data folders never shows in the
// picture.
#include <QApplication>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QTest>
#include <cstdio>

#include "DefaultComponents.h"
#include "GeneratorWindow.h"
#include "SampleValues.h"
#include "TestComponents.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("brindlewick"));
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s OUTPUT.png TEMPLATE\n", argv[0]);
        return 2;
    }
    brindlewick::installDefaultComponents();
    brindlewick::test::installTemplatePath(QString::fromLocal8Bit(argv[2]));
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
