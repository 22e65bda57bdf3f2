#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTest>
#include <QTimer>
#include <limits>

#include "Form1.h"
#include "TempDir.h"
#include "TestComponents.h"

using namespace brindlewick;
using namespace brindlewick::test;

namespace {

const QStringList kFocusOrder = {
    "txtProjAName",
    "txtProjAID",
    "txtAddViewAName",
    "txtEditViewAName",
    "txtProjAGridFieldID",
    "txtProjALinkedDSType",
    "txtProjBName",
    "txtProjBID",
    "txtAddViewBName",
    "txtEditViewBName",
    "txtProjBGridFieldID",
    "txtProjBLinkedDSType",
    "cmdOK",
    "txtOutput",
};

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
        records_ = installRecordingLogger();
        form_ = std::make_unique<Form1>();
        form_->setFailureDialog([this](QWidget*, const QString& text) { shownFailures_ << text; });
        shownFailures_.clear();
    }
    void cleanup() {
        form_.reset();
        Components::restoreDefaults();
    }

    void windowHasItsTitleAndSize() {
        QCOMPARE(form_->windowTitle(), QStringLiteral("Generate Linked Project"));
        QCOMPARE(form_->size(), QSize(803, 715));
        QCOMPARE(form_->findChildren<QWidget*>(QString(), Qt::FindChildrenRecursively).size() >= 28,
                 true);
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
        const QWidget* control = form_->findChild<QWidget*>(name);
        QVERIFY(control != nullptr);
        QCOMPARE(QString::fromLatin1(control->metaObject()->className()), className);
        QCOMPARE(control->parentWidget()->objectName(), parentName);
        QCOMPARE(captionOf(control), caption);
        QCOMPARE(windowRect(control, form_.get()), rect);
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
        form_->show();
        QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
        for (const QLineEdit* field : form_->findChildren<QLineEdit*>()) {
            const QRect rect = windowRect(field, form_.get());
            QVERIFY2(isWithin(form_->childAt(rect.topLeft() + QPoint(1, 1)), field),
                     qPrintable(field->objectName()));
        }
        // A caption's text shows above its field.
        const QWidget* label = form_->findChild<QWidget*>("Label6");
        QCOMPARE(form_->childAt(windowRect(label, form_.get()).topLeft() + QPoint(2, 2)), label);
    }

    void accessibleNamesFollowCaptions() {
        QCOMPARE(form_->field(InputField::ProjAName)->accessibleName(), QStringLiteral("Name"));
        QCOMPARE(form_->field(InputField::EditViewBName)->accessibleName(),
                 QStringLiteral("Edit View Name"));
        QCOMPARE(form_->field(InputField::ProjALinkedDSType)->accessibleName(),
                 QStringLiteral("ProjectB01_Dat nDSType"));
        QCOMPARE(form_->generateButton()->accessibleName(), QStringLiteral("Generate"));
        QVERIFY(!form_->output()->accessibleName().isEmpty());
    }

    void textFitsItsControls() {
        const int frame = form_->style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
        for (const QLineEdit* field : form_->findChildren<QLineEdit*>()) {
            QVERIFY2(QFontMetrics(field->font()).height() + 2 * frame <= field->height(),
                     qPrintable(field->objectName()));
        }
        for (const QLabel* label : form_->findChildren<QLabel*>()) {
            QVERIFY2(QFontMetrics(label->font()).horizontalAdvance(label->text()) <= label->width(),
                     qPrintable(label->objectName()));
        }
    }

    void focusStartsInTheFirstFieldAndCycles() {
        form_->show();
        QApplication::setActiveWindow(form_.get());
        QVERIFY(QTest::qWaitForWindowActive(form_.get()));
        QCOMPARE(QApplication::focusWidget()->objectName(), kFocusOrder.first());
        for (int step = 1; step <= kFocusOrder.size(); ++step) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget()->objectName(),
                     kFocusOrder[step % kFocusOrder.size()]);
        }
        for (int step = kFocusOrder.size() - 1; step >= 0; --step) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
            QCOMPARE(QApplication::focusWidget()->objectName(), kFocusOrder[step]);
        }
        QVERIFY(form_->output()->toPlainText().isEmpty());  // Tab typed no tab character
    }

    void outputWrapsWithoutScrollBars() {
        const QPlainTextEdit* output = form_->output();
        QCOMPARE(output->lineWrapMode(), QPlainTextEdit::WidgetWidth);
        QCOMPARE(output->wordWrapMode(), QTextOption::WordWrap);
        QCOMPARE(output->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QCOMPARE(output->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QVERIFY(!output->isReadOnly());
    }

    void clickGeneratesFromTheFields() {
        useTemplate("{2} {4}|{0}");
        form_->field(InputField::ProjAName)->setText("My Proj");
        form_->field(InputField::AddViewAName)->setText("Add View");
        form_->field(InputField::ProjAID)->setText("42");
        QTest::mouseClick(form_->generateButton(), Qt::LeftButton);
        QCOMPARE(form_->output()->toPlainText(),
                 QStringLiteral("My Proj My%20Proj%2FAdd%20View|42"));

        form_->field(InputField::ProjAID)->setText("43");
        QTest::mouseClick(form_->generateButton(), Qt::LeftButton);
        QCOMPARE(form_->output()->toPlainText(),
                 QStringLiteral("My Proj My%20Proj%2FAdd%20View|43"));
        QVERIFY(shownFailures_.isEmpty());
    }

    void longPastedValuesAreKeptWhole() {
        useTemplate("{2}");
        const QString longName(100'000, u'x');
        form_->field(InputField::ProjAName)->setFocus();
        form_->field(InputField::ProjAName)->insert(longName);
        QTest::mouseClick(form_->generateButton(), Qt::LeftButton);
        QCOMPARE(form_->output()->toPlainText(), longName);
    }

    void returnGeneratesInFieldsButBreaksLinesInTheOutput() {
        useTemplate("{0}");
        form_->field(InputField::ProjAID)->setText("7");
        QTest::keyClick(form_->field(InputField::ProjBLinkedDSType), Qt::Key_Return);
        QCOMPARE(form_->output()->toPlainText(), QStringLiteral("7"));

        form_->output()->moveCursor(QTextCursor::End);
        QTest::keyClick(form_->output(), Qt::Key_Return);
        QCOMPARE(form_->output()->toPlainText(), QStringLiteral("7\n"));
    }

    void failureShowsItsDescriptionAndKeepsTheOutput() {
        useTemplate("{12}");
        form_->output()->setPlainText("kept");
        QTest::mouseClick(form_->generateButton(), Qt::LeftButton);
        QCOMPARE(shownFailures_,
                 QStringList(
                     {"Template error at line 1, column 1: {12} is out of range; use {0} to {11}.\n"
                      "Template file: " +
                      dir_.path(QStringLiteral("Template.txt"))}));
        QCOMPARE(form_->output()->toPlainText(), QStringLiteral("kept"));
    }

    void failureMessageBoxIsPlainAndModal() {
        QString title;
        QString text;
        int buttons = 0;
        QMessageBox::Icon icon = QMessageBox::Critical;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box != nullptr);
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            buttons = box->buttons().size();
            box->button(QMessageBox::Ok)->click();
        });
        showFailureMessageBox(form_.get(), QStringLiteral("<b>not bold</b>"));
        QCOMPARE(title, QStringLiteral("Brindlewick"));
        QCOMPARE(text, QStringLiteral("<b>not bold</b>"));
        QCOMPARE(icon, QMessageBox::NoIcon);
        QCOMPARE(buttons, 1);
    }

  private:
    void useTemplate(const QByteArray& text) {
        const QString path = dir_.write(QStringLiteral("Template.txt"), text);
        installTemplatePath(path);
    }

    TempDir dir_;
    LogRecords records_;
    std::unique_ptr<Form1> form_;
    QStringList shownFailures_;
};

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
