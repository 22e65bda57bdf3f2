#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>

#include "GeneratorWindow.h"
#include "TempDir.h"
#include "TestComponents.h"

using namespace brindlewick;
using namespace brindlewick::test;

// A Generate whose output is one line of 600,008 characters without a blank, in a process of its
// own so that a freeze fails this suite alone. Wrapping such a line at word boundaries takes
// seconds for every layout of it; wrapping it anywhere takes a fraction of one.
class TestLongLine : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void lineWithoutBlanksWrapsInTime() {
        const ComponentsGuard components;
        installSilentLogger();
        const TempDir dir;
        installTemplatePath(dir.write(QStringLiteral("Template.txt"), "{4}{4}"));
        GeneratorWindow window;
        QStringList failures;
        window.setFailureDialog([&failures](QWidget*, const QString& text) { failures << text; });
        const QString view(300'000, u'x');
        window.field(InputField::ProjAName)->setText(QStringLiteral("P"));
        window.field(InputField::AddViewAName)->setText(view);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QPlainTextEdit* output = window.output();
        const QString result = (QStringLiteral("P%2F") + view).repeated(2);

        // Generate, a short Generate after it, Ctrl+Z back to the long line, a key typed into it
        // and a copy of it all to the clipboard.
        QElapsedTimer timer;
        timer.start();
        QTest::mouseClick(window.generateButton(), Qt::LeftButton);
        QCOMPARE(output->toPlainText(), result);
        window.field(InputField::AddViewAName)->setText(QStringLiteral("V"));
        QTest::mouseClick(window.generateButton(), Qt::LeftButton);
        QCOMPARE(output->toPlainText(), QStringLiteral("P%2FVP%2FV"));
        QTest::keyClick(output, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(output->toPlainText(), result);
        output->moveCursor(QTextCursor::Start);
        QTest::keyClick(output, Qt::Key_A);
        QCOMPARE(output->toPlainText(), u'a' + result);
        QTest::keyClick(output, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(output, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), u'a' + result);
        QCOMPARE(QGuiApplication::clipboard()->mimeData()->formats(),
                 QStringList(QStringLiteral("text/plain")));
        QVERIFY2(timer.elapsed() < 3000, qPrintable(QStringLiteral("%1 ms").arg(timer.elapsed())));

        const QTextLayout* layout = output->document()->firstBlock().layout();
        QVERIFY(layout->lineCount() > 1);
        for (int i = 0; i < layout->lineCount(); ++i) {
            QVERIFY(layout->lineAt(i).naturalTextWidth() <= output->viewport()->width());
        }
        QVERIFY(!output->verticalScrollBar()->isVisible());
        QVERIFY(!output->horizontalScrollBar()->isVisible());
        QVERIFY(failures.isEmpty());
    }
};

QTEST_MAIN(TestLongLine)
#include "tst_long_line.moc"
