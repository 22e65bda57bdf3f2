#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <limits>
#include <optional>

#include "BraceTemplateEngine.h"
#include "DefaultComponents.h"
#include "GeneratorWindow.h"
#include "OutputReplacement.h"
#include "TempDir.h"
#include "TestComponents.h"
#include "WindowLayout.h"

using namespace brindlewick;
using namespace brindlewick::test;

namespace {

// The twelve fields in the window's order, then the button and the output.
QStringList focusOrder() {
    QStringList names;
    for (const FieldControl& control : kFieldControls) {
        names << QString::fromLatin1(control.control);
    }
    return names << QStringLiteral("cmdOK") << QStringLiteral("txtOutput");
}

QString captionOf(const QWidget* control) {
    if (const auto* button = qobject_cast<const QPushButton*>(control)) {
        return button->text();
    }
    if (const auto* frame = qobject_cast<const QGroupBox*>(control)) {
        return frame->title();
    }
    if (const auto* label = qobject_cast<const QLabel*>(control)) {
        return label->text();
    }
    return QString();
}

QRect windowRect(const QWidget* control, const QWidget* window) {
    return QRect(control->mapTo(window, QPoint(0, 0)), control->size());
}

// The default engine, noting the override cursor when the run loads its template.
class CursorObservingEngine final : public TemplateEngine {
  public:
    explicit CursorObservingEngine(std::optional<Qt::CursorShape>& seen) : seen_(seen) {}
    void LoadTemplate(QString& text, QString& templateName) override {
        const QCursor* cursor = QGuiApplication::overrideCursor();
        seen_ = cursor ? std::optional(cursor->shape()) : std::nullopt;
        engine_.LoadTemplate(text, templateName);
    }
    void Render(QStringList& values, QString& result) override { engine_.Render(values, result); }

  private:
    std::optional<Qt::CursorShape>& seen_;
    BraceTemplateEngine engine_{kFieldCount};
};

bool isWithin(const QWidget* widget, const QWidget* ancestor) {
    for (; widget != nullptr; widget = widget->parentWidget()) {
        if (widget == ancestor) {
            return true;
        }
    }
    return false;
}

}  // namespace

class TestWindow : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void init() {
        installDefaultComponents();
        records_ = installRecordingLogger();
        window_ = std::make_unique<GeneratorWindow>();
        window_->setFailureDialog(
            [this](QWidget*, const QString& text) { shownFailures_ << text; });
        shownFailures_.clear();
    }
    void cleanup() { window_.reset(); }

    void windowHasItsTitleSizeAndIcon() {
        QCOMPARE(window_->windowTitle(), QStringLiteral("Generate Linked Project"));
        QCOMPARE(window_->size(), QSize(803, 715));
        QVERIFY(!window_->windowIcon().pixmap(32).isNull());
    }

    void controlsStandWhereTheTableSays_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("className");
        QTest::addColumn<QString>("parentName");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QRect>("rect");
        const auto row = [](const char* name, const char* className, const char* parent,
                            const char* caption, QRect rect) {
            QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(className)
                                << QString::fromLatin1(parent) << QString::fromLatin1(caption)
                                << rect;
        };
        // Window coordinates in pixels (twips / 15).
        row("cmdOK", "QPushButton", "Form1", "Generate", {664, 376, 81, 33});
        row("txtOutput", "QPlainTextEdit", "Form1", "", {24, 432, 721, 209});
        row("txtEditViewBName", "QLineEdit", "Form1", "", {424, 216, 241, 19});
        row("Frame2", "QGroupBox", "Form1", "ProjectB", {408, 16, 337, 337});
        row("txtProjBName", "QLineEdit", "Frame2", "", {424, 64, 241, 19});
        row("txtProjBID", "QLineEdit", "Frame2", "", {424, 112, 241, 19});
        row("txtAddViewBName", "QLineEdit", "Frame2", "", {424, 160, 241, 19});
        row("txtProjBGridFieldID", "QLineEdit", "Frame2", "", {424, 264, 241, 19});
        row("txtProjBLinkedDSType", "QLineEdit", "Frame2", "", {424, 312, 241, 19});
        row("Label14", "QLabel", "Frame2", "Name:", {424, 48, 153, 33});
        row("Label13", "QLabel", "Frame2", "ID:", {424, 96, 185, 25});
        row("Label12", "QLabel", "Frame2", "Add View Name:", {424, 144, 217, 17});
        row("Label11", "QLabel", "Frame2", "Edit View Name:", {424, 200, 201, 17});
        row("Label10", "QLabel", "Frame2", "Grid Field ID:", {424, 248, 169, 25});
        row("Label9", "QLabel", "Frame2", "ProjectA01_Dat nDSType:", {424, 296, 169, 17});
        row("txtEditViewAName", "QLineEdit", "Form1", "", {32, 216, 241, 19});
        row("Frame1", "QGroupBox", "Form1", "ProjectA", {16, 16, 337, 337});
        row("txtProjALinkedDSType", "QLineEdit", "Frame1", "", {32, 312, 241, 19});
        row("txtProjAGridFieldID", "QLineEdit", "Frame1", "", {32, 264, 241, 19});
        row("txtAddViewAName", "QLineEdit", "Frame1", "", {32, 160, 241, 19});
        row("txtProjAID", "QLineEdit", "Frame1", "", {32, 112, 241, 19});
        row("txtProjAName", "QLineEdit", "Frame1", "", {32, 64, 241, 19});
        row("Label8", "QLabel", "Frame1", "ProjectB01_Dat nDSType:", {32, 296, 169, 17});
        row("Label7", "QLabel", "Frame1", "Grid Field ID:", {32, 248, 169, 25});
        row("Label6", "QLabel", "Frame1", "Edit View Name:", {32, 200, 201, 17});
        row("Label3", "QLabel", "Frame1", "Add View Name:", {32, 144, 217, 17});
        row("Label2", "QLabel", "Frame1", "ID:", {32, 96, 185, 25});
        row("Label1", "QLabel", "Frame1", "Name:", {32, 48, 153, 33});
    }
    void controlsStandWhereTheTableSays() {
        QFETCH(QString, name);
        QFETCH(QString, className);
        QFETCH(QString, parentName);
        QFETCH(QString, caption);
        QFETCH(QRect, rect);
        const QWidget* control = window_->findChild<QWidget*>(name);
        QVERIFY(control != nullptr);
        QCOMPARE(QString::fromLatin1(control->metaObject()->className()), className);
        QCOMPARE(control->parentWidget()->objectName(), parentName);
        QCOMPARE(captionOf(control), caption);
        QCOMPARE(windowRect(control, window_.get()), rect);
        if (const auto* field = qobject_cast<const QLineEdit*>(control)) {
            QVERIFY(field->text().isEmpty());
            QCOMPARE(field->maxLength(), std::numeric_limits<int>::max());
            QVERIFY(!field->accessibleName().isEmpty());
        }
        if (const auto* label = qobject_cast<const QLabel*>(control)) {
            QCOMPARE(label->alignment(), Qt::AlignLeft | Qt::AlignTop);
        }
    }

    void fieldsLieInFrontOfWhatTheyOverlap() {
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
        for (const QLineEdit* field : window_->findChildren<QLineEdit*>()) {
            const QRect rect = windowRect(field, window_.get());
            QVERIFY2(isWithin(window_->childAt(rect.topLeft() + QPoint(1, 1)), field),
                     qPrintable(field->objectName()));
        }
        // A caption's text shows above its field.
        const QWidget* label = window_->findChild<QWidget*>("Label6");
        QCOMPARE(window_->childAt(windowRect(label, window_.get()).topLeft() + QPoint(2, 2)),
                 label);
    }

    void fieldsAreNamedForTheirProject() {
        QSet<QString> names;
        for (int index = 0; index < 12; ++index) {
            const QLineEdit* field = window_->field(static_cast<InputField>(index));
            const QString project = index < 6 ? "Project A " : "Project B ";
            QVERIFY2(field->accessibleName().startsWith(project), qPrintable(field->objectName()));
            names.insert(field->accessibleName());
        }
        QCOMPARE(names.size(), 12);
        QCOMPARE(window_->field(InputField::ProjALinkedDSType)->accessibleName(),
                 QStringLiteral("Project A linked data-source type"));
        QVERIFY(window_->field(InputField::ProjALinkedDSType)
                    ->accessibleDescription()
                    .contains(QStringLiteral("ProjectB01_Dat nDSType:")));
        QCOMPARE(window_->generateButton()->accessibleName(), QStringLiteral("Generate"));
        QVERIFY(!window_->output()->accessibleName().isEmpty());
    }

    void textFitsItsControls() {
        const int frame = window_->style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
        for (const QLineEdit* field : window_->findChildren<QLineEdit*>()) {
            QVERIFY2(QFontMetrics(field->font()).height() + 2 * frame <= field->height(),
                     qPrintable(field->objectName()));
        }
        for (const QLabel* label : window_->findChildren<QLabel*>()) {
            QVERIFY2(QFontMetrics(label->font()).horizontalAdvance(label->text()) <= label->width(),
                     qPrintable(label->objectName()));
        }
    }

    void focusStartsInTheFirstFieldAndCycles() {
        window_->show();
        QApplication::setActiveWindow(window_.get());
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        const QStringList order = focusOrder();
        QCOMPARE(QApplication::focusWidget()->objectName(), order.first());
        for (int step = 1; step <= order.size(); ++step) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget()->objectName(), order[step % order.size()]);
        }
        for (int step = order.size() - 1; step >= 0; --step) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
            QCOMPARE(QApplication::focusWidget()->objectName(), order[step]);
        }
        QVERIFY(window_->output()->toPlainText().isEmpty());  // Tab typed no tab character
    }

    // An encoded path has no blanks; it must still wrap inside the field, so that every part of it
    // can be seen. Words wrap at the blanks between them.
    void longPathsWrapInsideTheField() {
        useTemplate("{4} {4}\n{5}\n{2} {2} {2} {2} {2}");
        window_->field(InputField::ProjAName)
            ->setText("Regional Sales Operations Europe Middle East and Africa");
        window_->field(InputField::AddViewAName)
            ->setText("Add Customer Order Line Item Details for Quarterly Reporting");
        window_->field(InputField::EditViewAName)->setText(QString(600, u'x'));
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
        QTest::mouseClick(window_->generateButton(), Qt::LeftButton);

        QPlainTextEdit* output = window_->output();
        QAbstractTextDocumentLayout* layout = output->document()->documentLayout();
        int lines = 0;
        for (QTextBlock block = output->document()->begin(); block.isValid();
             block = block.next()) {
            layout->blockBoundingRect(block);  // lays the block out
            for (int i = 0; i < block.layout()->lineCount(); ++i) {
                QVERIFY(block.layout()->lineAt(i).naturalTextWidth() <=
                        output->viewport()->width());
                ++lines;
            }
        }
        QVERIFY(lines > 6);
        const QTextBlock words = output->document()->lastBlock();
        for (int i = 0; i + 1 < words.layout()->lineCount(); ++i) {
            const QTextLine line = words.layout()->lineAt(i);
            QCOMPARE(words.text().at(line.textStart() + line.textLength() - 1), u' ');
        }
        QCOMPARE(output->horizontalScrollBar()->maximum(), 0);
        QVERIFY(!output->horizontalScrollBar()->isVisible());
        QVERIFY(!output->verticalScrollBar()->isVisible());
    }

    void clickGeneratesFromTheFields() {
        useTemplate("{2} {4}|{0}");
        window_->field(InputField::ProjAName)->setText("My Proj");
        window_->field(InputField::AddViewAName)->setText("Add View");
        window_->field(InputField::ProjAID)->setText("42");
        QTest::mouseClick(window_->generateButton(), Qt::LeftButton);
        QCOMPARE(window_->output()->toPlainText(),
                 QStringLiteral("My Proj My%20Proj%2FAdd%20View|42"));

        window_->field(InputField::ProjAID)->setText("43");
        QTest::mouseClick(window_->generateButton(), Qt::LeftButton);
        QCOMPARE(window_->output()->toPlainText(),
                 QStringLiteral("My Proj My%20Proj%2FAdd%20View|43"));
        QVERIFY(shownFailures_.isEmpty());
    }

    void returnGeneratesInFieldsButBreaksLinesInTheOutput() {
        useTemplate("{0}");
        window_->field(InputField::ProjAID)->setText("7");
        QTest::keyClick(window_->field(InputField::ProjBLinkedDSType), Qt::Key_Return);
        QCOMPARE(window_->output()->toPlainText(), QStringLiteral("7"));

        window_->output()->moveCursor(QTextCursor::End);
        QTest::keyClick(window_->output(), Qt::Key_Return);
        QCOMPARE(window_->output()->toPlainText(), QStringLiteral("7\n"));
    }

    void failureMessageBoxIsPlainAndModal() {
        QString title;
        QString text;
        int buttons = 0;
        QMessageBox::Icon icon = QMessageBox::Critical;
        // Looks for the box until it appears; whatever it finds, it closes every modal widget, so
        // that a missing box fails the test below instead of hanging it.
        QTimer poll;
        QElapsedTimer waited;
        waited.start();
        connect(&poll, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                title = box->windowTitle();
                text = box->text();
                icon = box->icon();
                buttons = box->buttons().size();
            } else if (modal == nullptr && waited.elapsed() < 30000) {
                return;
            }
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                if (auto* dialog = qobject_cast<QDialog*>(widget)) {
                    dialog->reject();
                }
            }
        });
        poll.start(10);
        showFailureMessageBox(window_.get(), QStringLiteral("<b>not bold</b>"));
        QCOMPARE(title, QStringLiteral("Brindlewick"));
        QCOMPARE(text, QStringLiteral("<b>not bold</b>"));
        QCOMPARE(icon, QMessageBox::NoIcon);
        QCOMPARE(buttons, 1);
    }

    // The busy cursor shows while the run reads and renders, and the normal one is back when the
    // run ends and before a failure is shown.
    void busyCursorShowsForTheRunOnly_data() {
        QTest::addColumn<QByteArray>("templateText");
        QTest::addColumn<int>("failuresShown");
        QTest::newRow("success") << QByteArray("{0}") << 0;
        QTest::newRow("failure") << QByteArray("{12}") << 1;
    }
    void busyCursorShowsForTheRunOnly() {
        QFETCH(QByteArray, templateText);
        QFETCH(int, failuresShown);
        useTemplate(templateText);
        std::optional<Qt::CursorShape> duringRun;
        Components::setTemplateEngineFactory(
            [&duringRun] { return std::make_unique<CursorObservingEngine>(duringRun); });
        QList<const QCursor*> whenFailureShown;
        window_->setFailureDialog([&whenFailureShown](QWidget*, const QString&) {
            whenFailureShown << QGuiApplication::overrideCursor();
        });
        QTest::mouseClick(window_->generateButton(), Qt::LeftButton);
        QCOMPARE(duringRun, std::optional(Qt::WaitCursor));
        QCOMPARE(whenFailureShown, QList<const QCursor*>(failuresShown, nullptr));
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    }

    // Generate replaces the output as one step of the undo history: the user's edits come back.
    void generateCanBeUndoneAndRedone() {
        useTemplate("{0}");
        window_->field(InputField::ProjAID)->setText("first");
        QTest::keyClick(window_->field(InputField::ProjAID), Qt::Key_Return);
        window_->output()->moveCursor(QTextCursor::End);
        QTest::keyClicks(window_->output(), " edited");
        window_->field(InputField::ProjAID)->setText("second");
        QTest::keyClick(window_->field(InputField::ProjAID), Qt::Key_Return);
        QCOMPARE(window_->output()->toPlainText(), QStringLiteral("second"));
        QCOMPARE(window_->output()->textCursor().position(), 0);

        QTest::keyClick(window_->output(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(window_->output()->toPlainText(), QStringLiteral("first edited"));
        QTest::keyClick(window_->output(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(window_->output()->toPlainText(), QStringLiteral("second"));
        QTest::keyClick(window_->output(), Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(window_->output(), Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(window_->output()->toPlainText(), QStringLiteral("second"));
    }

    void failedRunAddsNoUndoStep() {
        useTemplate("{0}");
        window_->field(InputField::ProjAID)->setText("kept");
        QTest::keyClick(window_->field(InputField::ProjAID), Qt::Key_Return);
        window_->output()->moveCursor(QTextCursor::End);
        QTest::keyClicks(window_->output(), "!");
        useTemplate("{12}");
        QTest::keyClick(window_->field(InputField::ProjAID), Qt::Key_Return);
        QCOMPARE(shownFailures_.size(), 1);

        QTest::keyClick(window_->output(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(window_->output()->toPlainText(), QStringLiteral("kept"));
    }

    // Successive Generates, each replacing the text of the one before, the first text set
    // afresh; a text that starts with "+" is typed at the end instead. Undoing them all brings
    // back the oldest text the history still holds. The budget counts bytes: two a character.
    void undoHistoryOfGeneratesStaysWithinItsBudget_data() {
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<qsizetype>("budget");
        QTest::addColumn<QString>("oldestUndoable");
        const QStringList three = {"12345", "abcde", "vwxyz"};
        QTest::newRow("both replaced texts within it") << three << qsizetype(20) << "12345";
        QTest::newRow("over it, the history restarts at the current step")
            << three << qsizetype(10) << "abcde";
        QTest::newRow("a replaced text over it alone is not kept")
            << QStringList{"123456", "abcde"} << qsizetype(10) << "abcde";
        QTest::newRow("a new text over it alone is not undoable")
            << QStringList{"12345", "abcdef"} << qsizetype(10) << "abcdef";
        QTest::newRow("a text set afresh starts the count again, typing after it stays undoable")
            << QStringList{"abcd", "e", "+fghijk", "x", "+y", "z"} << qsizetype(10) << "x";
    }
    void undoHistoryOfGeneratesStaysWithinItsBudget() {
        QFETCH(QStringList, texts);
        QFETCH(qsizetype, budget);
        QFETCH(QString, oldestUndoable);
        QPlainTextEdit* output = window_->output();
        output->setPlainText(texts.first());
        OutputReplacement replacement(budget);
        for (const QString& text : texts.mid(1)) {
            if (text.startsWith(u'+')) {
                output->moveCursor(QTextCursor::End);
                QTest::keyClicks(output, text.mid(1));
                continue;
            }
            replacement.replace(*output, text);
            QCOMPARE(output->toPlainText(), text);
        }
        for (qsizetype i = 0; i < texts.size(); ++i) {
            output->undo();
        }
        QCOMPARE(output->toPlainText(), oldestUndoable);
    }

  private:
    void useTemplate(const QByteArray& text) {
        const QString path = dir_.write(QStringLiteral("Template.txt"), text);
        installTemplatePath(path);
    }

    TempDir dir_;
    LogRecords records_;
    std::unique_ptr<GeneratorWindow> window_;
    QStringList shownFailures_;
};

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
