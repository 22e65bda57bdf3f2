// Words too long to wrap at word boundaries in the window's output: the steps tst_long_line
// checks, timed against one setPlainText of the same text into a field that wraps anywhere.
// - "LongLine/steps": a Generate of a 600,008-character line without a blank, a short Generate,
//   Ctrl+Z back to the long line, a key typed into it and a copy of it all.
// - "Paste/1M word": Ctrl+V of a word of a million characters into the output, then Ctrl+Z.
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "BenchSupport.h"
#include "DefaultComponents.h"
#include "GeneratorWindow.h"
#include "TempDir.h"
#include "TestComponents.h"

using namespace brindlewick;
using namespace brindlewick::bench;

namespace {

constexpr qsizetype kViewLength = 300'000;
constexpr qsizetype kPastedLength = 1'000'000;

void longLineSteps(GeneratorWindow& window) {
    QPlainTextEdit* output = window.output();
    window.field(InputField::AddViewAName)->setText(QString(kViewLength, u'x'));
    QTest::mouseClick(window.generateButton(), Qt::LeftButton);
    window.field(InputField::AddViewAName)->setText(QStringLiteral("V"));
    QTest::mouseClick(window.generateButton(), Qt::LeftButton);
    QTest::keyClick(output, Qt::Key_Z, Qt::ControlModifier);
    output->moveCursor(QTextCursor::Start);
    QTest::keyClick(output, Qt::Key_A);
    QTest::keyClick(output, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(output, Qt::Key_C, Qt::ControlModifier);
    QCoreApplication::processEvents();
}

void pasteAndUndo(QPlainTextEdit* output) {
    QTest::keyClick(output, Qt::Key_V, Qt::ControlModifier);
    QCoreApplication::processEvents();
    QTest::keyClick(output, Qt::Key_Z, Qt::ControlModifier);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    installDefaultComponents();
    test::installSilentLogger();
    const test::TempDir dir;
    test::installTemplatePath(dir.write(QStringLiteral("Template.txt"), "{4}{4}"));

    GeneratorWindow window;
    window.field(InputField::ProjAName)->setText(QStringLiteral("P"));
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        qFatal("the window was not shown");
    }
    // A field of the output's size that wraps anywhere from the start: the baseline.
    QPlainTextEdit plain;
    plain.setWordWrapMode(QTextOption::WrapAnywhere);
    plain.resize(window.output()->size());
    plain.show();
    const QString line = (QStringLiteral("P%2F") + QString(kViewLength, u'x')).repeated(2);
    const QString word(kPastedLength, u'x');

    registerBenchmark("LongLine/steps", line.size(), [&window] { longLineSteps(window); });
    registerBenchmark("setPlainText/long line", line.size(), [&plain, &line] {
        plain.setPlainText(line);
        QCoreApplication::processEvents();
    });
    registerBenchmark("Paste/1M word", kPastedLength, [&window, &word] {
        QGuiApplication::clipboard()->setText(word);
        pasteAndUndo(window.output());
    });
    registerBenchmark("setPlainText/1M word", kPastedLength, [&plain, &word] {
        plain.setPlainText(word);
        QCoreApplication::processEvents();
    });
    return runAndCompare(argc, argv,
                         {{"LongLine/steps", "setPlainText/long line", 0,
                           "time of one setPlainText of the long line, wrapped anywhere"},
                          {"Paste/1M word", "setPlainText/1M word", 0,
                           "time of one setPlainText of the word, wrapped anywhere"}});
}
