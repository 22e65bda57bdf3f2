#include <QAbstractTextDocumentLayout>
#include <QClipboard>
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
#include "Watchdog.h"

using namespace brindlewick;
using namespace brindlewick::test;

// Words too long to be wrapped at word boundaries in reasonable time, in the output, in a process
// of their own so that a freeze fails this suite alone: the output wraps anywhere while it holds
// one, after a Generate, an edit, a paste, an undo or a redo alike. A run that freezes ends on the
// watchdog's "hung"; how long the steps take is measured in bench/.

namespace {

constexpr auto kHung = std::chrono::seconds(120);

bool wrapsAnywhere(const QPlainTextEdit* output) {
    return output->wordWrapMode() == QTextOption::WrapAnywhere;
}

// Every line the output lays out fits its width, and neither scroll bar shows.
void verifyLinesFit(QPlainTextEdit* output) {
    QAbstractTextDocumentLayout* layout = output->document()->documentLayout();
    for (QTextBlock block = output->document()->begin(); block.isValid(); block = block.next()) {
        layout->blockBoundingRect(block);  // lays the block out
        for (int i = 0; i < block.layout()->lineCount(); ++i) {
            QVERIFY(block.layout()->lineAt(i).naturalTextWidth() <= output->viewport()->width());
        }
    }
    QVERIFY(!output->verticalScrollBar()->isVisible());
    QVERIFY(!output->horizontalScrollBar()->isVisible());
}

// The output's text as it holds it: toPlainText() would give a no-break space as a blank.
QString heldText(const QPlainTextEdit* output) {
    return output->document()->toRawText().replace(QChar::ParagraphSeparator, u'\n');
}

QString word(qsizetype length) {
    return QString(length, u'x');
}

}  // namespace

class TestLongLine : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void initTestCase() { installSilentLogger(); }
    void init() {
        installTemplatePath(dir_.write(QStringLiteral("Template.txt"), "{4}{4}"));
        window_ = std::make_unique<GeneratorWindow>();
        window_->setFailureDialog([this](QWidget*, const QString& text) { failures_ << text; });
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    }
    void cleanup() {
        window_.reset();
        QVERIFY(failures_.isEmpty());
    }

    // A Generate of one line of 600,008 characters, a short Generate after it, Ctrl+Z back to
    // the long line, a key typed into it and a copy of it all to the clipboard.
    void generatedLineWithoutBlanksWrapsAnywhere() {
        const Watchdog watchdog(kHung, "the long line's Generate, undo, typing and copy");
        const QString view(300'000, u'x');
        window_->field(InputField::ProjAName)->setText(QStringLiteral("P"));
        window_->field(InputField::AddViewAName)->setText(view);
        QPlainTextEdit* output = window_->output();
        const QString result = (QStringLiteral("P%2F") + view).repeated(2);
        QVERIFY(!wrapsAnywhere(output));

        QTest::mouseClick(window_->generateButton(), Qt::LeftButton);
        QCOMPARE(output->toPlainText(), result);
        QVERIFY(wrapsAnywhere(output));
        window_->field(InputField::AddViewAName)->setText(QStringLiteral("V"));
        QTest::mouseClick(window_->generateButton(), Qt::LeftButton);
        QCOMPARE(output->toPlainText(), QStringLiteral("P%2FVP%2FV"));
        QVERIFY(!wrapsAnywhere(output));
        QTest::keyClick(output, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(output->toPlainText(), result);
        QVERIFY(wrapsAnywhere(output));
        output->moveCursor(QTextCursor::Start);
        QTest::keyClick(output, Qt::Key_A);
        QCOMPARE(output->toPlainText(), u'a' + result);
        QVERIFY(wrapsAnywhere(output));
        QTest::keyClick(output, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(output, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), u'a' + result);
        QCOMPARE(QGuiApplication::clipboard()->mimeData()->formats(),
                 QStringList(QStringLiteral("text/plain")));
        QVERIFY(output->document()->firstBlock().layout()->lineCount() > 1);
        verifyLinesFit(output);
    }

    // A text put into the output, then one pasted into it (Ctrl+V), undone (Ctrl+Z) and
    // redone (Ctrl+Shift+Z): the output wraps anywhere exactly while it holds a word of more than
    // 10,000 characters.
    void pasteUndoAndRedoWrapAnywhereWhileAWordIsOverlong_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<bool>("anywhereBefore");
        QTest::addColumn<bool>("anywhereAfter");
        QTest::addColumn<int>("at");  // where the paste goes; -1: at the end
        QTest::newRow("a word of 10,000 characters") << "" << word(10'000) << false << false << -1;
        QTest::newRow("a word of 10,001 characters") << "" << word(10'001) << false << true << -1;
        QTest::newRow("a character added to a word of 10,000")
            << word(10'000) << "x" << false << true << -1;
        QTest::newRow("a blank splits a word")
            << word(5'000) << ' ' + word(5'001) << false << false << -1;
        QTest::newRow("a line break ends a word") << word(10'000) << "\nx" << false << false << -1;
        QTest::newRow("a no-break space joins a word")
            << word(5'000) << u'\u00A0' + word(5'000) << false << true << -1;
        QTest::newRow("a figure space joins a word")
            << word(5'000) << u'\u2007' + word(5'000) << false << true << -1;
        QTest::newRow("a narrow no-break space joins a word")
            << word(5'000) << u'\u202F' + word(5'000) << false << true << -1;
        QTest::newRow("an overlong word on another line stays")
            << word(10'001) + '\n'
            << "short words" << true << true << -1;
        QTest::newRow("a line break splits an overlong word") << word(10'001) << "\n"
                                                              << true << false << 5'000;
        QTest::newRow("a line break leaves an overlong word after it") << word(20'001) << "\n"
                                                                       << true << true << 5'000;
        QTest::newRow("a pasted word of a million characters")
            << "" << word(1'000'000) << false << true << -1;
    }
    void pasteUndoAndRedoWrapAnywhereWhileAWordIsOverlong() {
        QFETCH(QString, before);
        QFETCH(QString, pasted);
        QFETCH(bool, anywhereBefore);
        QFETCH(bool, anywhereAfter);
        QFETCH(int, at);
        const Watchdog watchdog(kHung, "the paste, its undo and its redo");
        QPlainTextEdit* output = window_->output();
        output->setPlainText(before);
        QCOMPARE(wrapsAnywhere(output), anywhereBefore);
        QGuiApplication::clipboard()->setText(pasted);
        QTextCursor cursor = output->textCursor();
        cursor.setPosition(at < 0 ? int(before.size()) : at);
        output->setTextCursor(cursor);
        const QString after = QString(before).insert(cursor.position(), pasted);

        QTest::keyClick(output, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(heldText(output), after);
        QCOMPARE(wrapsAnywhere(output), anywhereAfter);
        verifyLinesFit(output);
        QTest::keyClick(output, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(heldText(output), before);
        QCOMPARE(wrapsAnywhere(output), anywhereBefore);
        QTest::keyClick(output, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(heldText(output), after);
        QCOMPARE(wrapsAnywhere(output), anywhereAfter);
        verifyLinesFit(output);
    }

  private:
    const ComponentsGuard components_;
    TempDir dir_;
    std::unique_ptr<GeneratorWindow> window_;
    QStringList failures_;
};

QTEST_MAIN(TestLongLine)
#include "tst_long_line.moc"
