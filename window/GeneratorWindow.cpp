#include "GeneratorWindow.h"

#include <QApplication>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTextDocumentFragment>
#include <algorithm>
#include <array>
#include <limits>

#include "ErrorInfo.h"
#include "KeyboardFocusStyle.h"
#include "OutputMemory.h"
#include "OverlongWordWrap.h"
#include "WindowLayout.h"

namespace brindlewick {

namespace {

constexpr int kFieldHeightTwips = 285;
constexpr qreal kSmallestPointSize = 6.0;
constexpr qreal kPointSizeStep = 0.5;

// The largest font, no larger than `font`, in which a single-line field `fieldHeight` logical
// pixels high shows a whole line: the point size is lowered in half points until it fits.
QFont fontFittingFieldHeight(const QFont& font, int fieldHeight) {
    QLineEdit probe;
    QFont fitted = font;
    probe.setFont(fitted);
    while (probe.minimumSizeHint().height() > fieldHeight &&
           fitted.pointSizeF() - kPointSizeStep >= kSmallestPointSize) {
        fitted.setPointSizeF(fitted.pointSizeF() - kPointSizeStep);
        probe.setFont(fitted);
    }
    return fitted;
}

// Ctrl+Shift+Z and Ctrl+Y both redo in the output, whichever of them the platform's key scheme
// binds itself; a key it binds already is left to the field.
void bindRedoKeys(QPlainTextEdit* output) {
    const QList<QKeySequence> bound = QKeySequence::keyBindings(QKeySequence::Redo);
    for (const QKeySequence& keys :
         {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)}) {
        if (!bound.contains(keys)) {
            new QShortcut(keys, output, output, &QPlainTextEdit::redo, Qt::WidgetShortcut);
        }
    }
}

// The output holds plain text and copies it as such. Qt would offer it as HTML, Markdown and
// OpenDocument too, and its Markdown writer takes time in the square of a line's length whenever
// a program that is pasted into asks for every format: seconds for a million characters.
class PlainTextOutput final : public QPlainTextEdit {
  public:
    using QPlainTextEdit::QPlainTextEdit;

  protected:
    QMimeData* createMimeDataFromSelection() const override {
        auto* data = new QMimeData;
        data->setText(textCursor().selection().toPlainText());
        return data;
    }
};

QPlainTextEdit* createOutputField(QWidget* parent) {
    auto* output = new PlainTextOutput(parent);
    output->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // Wrap at blanks, and inside a word only where the word is wider than the field: an encoded
    // view path has no blanks and would otherwise run past the right edge out of sight.
    output->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    wrapAnywhereWhileOverlong(output);
    output->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    output->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    output->setTabChangesFocus(true);
    output->setAccessibleName(QStringLiteral("Generated definition"));
    bindRedoKeys(output);
    return output;
}

}  // namespace

void showFailureMessageBox(QWidget* parent, const QString& description) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Brindlewick"), description,
                    QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

GeneratorWindow::GeneratorWindow(QWidget* parent)
    : QWidget(parent), failureDialog_(showFailureMessageBox) {
    // The window keeps the object name it has always had, as its controls keep theirs.
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromLatin1(kWindowTitle));
    // The installed icon carries the desktop entry's name; a build that is not installed, or a
    // theme without it, shows the same icon from the program's resources.
    setWindowIcon(QIcon::fromTheme(QGuiApplication::desktopFileName(),
                                   QIcon(QStringLiteral(":/icons/brindlewick.svg"))));
    setFixedSize(kClientWidthTwips / kTwipsPerPixel, kClientHeightTwips / kTwipsPerPixel);
    setFont(fontFittingFieldHeight(QApplication::font(), kFieldHeightTwips / kTwipsPerPixel));
    // Each frame comes before its controls in the table, so they have a parent to go into.
    for (const ControlSpec& spec : kWindowControls) {
        createControl(spec);
    }
    showKeyboardFocus(this);
    chainFocus();
    setUpFields();
    field(InputField::ProjAName)->setFocus();
}

QLineEdit* GeneratorWindow::field(InputField field) const {
    return findChild<QLineEdit*>(QString::fromLatin1(controlOf(field).control));
}

// The busy cursor shows for the length of the run, and the normal one is back before a failure
// is shown. The output takes the text as far as the run got, in one step of its undo history.
void GeneratorWindow::runGenerate() {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    Definition definition;
    try {
        definition =
            generateDefinition(fieldTexts(), readTemplate(QCoreApplication::applicationDirPath()));
    } catch (...) {
        definition.failure = currentErrorInfo().description;
    }
    const std::optional<QString> showFailure =
        definition.text ? showOutput(*definition.text) : std::nullopt;
    QGuiApplication::restoreOverrideCursor();
    for (const std::optional<QString>& failure : {showFailure, definition.failure}) {
        if (failure) {
            failureDialog_(this, *failure);
        }
    }
}

FieldTexts GeneratorWindow::fieldTexts() const {
    FieldTexts texts;
    for (const FieldDescription& description : kFields) {
        texts[description.field] = field(description.field)->text();
    }
    return texts;
}

// Puts `text` into the output field. When there is not the memory to show it, the field keeps
// what it held and the failure is given back.
std::optional<QString> GeneratorWindow::showOutput(const QString& text) {
    try {
        ensureMemoryToShow(text);
        outputReplacement_.replace(*txtOutput_, text);
    } catch (...) {
        return currentErrorInfo().description;
    }
    return std::nullopt;
}

void GeneratorWindow::createControl(const ControlSpec& spec) {
    QWidget* parent = spec.parent ? findChild<QWidget*>(QString::fromLatin1(spec.parent)) : this;
    const QString caption = QString::fromLatin1(spec.caption);
    QWidget* control = nullptr;
    switch (spec.kind) {
        case ControlKind::Button:
            cmdOK_ = new QPushButton(caption, parent);
            cmdOK_->setDefault(true);
            cmdOK_->setAccessibleName(caption);
            connect(cmdOK_, &QPushButton::clicked, this, &GeneratorWindow::runGenerate);
            control = cmdOK_;
            break;
        case ControlKind::TextField: {
            auto* lineEdit = new QLineEdit(parent);
            // Qt's default limit of 32767 characters would cut a pasted value short without a word.
            lineEdit->setMaxLength(std::numeric_limits<int>::max());
            control = lineEdit;
            break;
        }
        case ControlKind::MultiLineTextField:
            txtOutput_ = createOutputField(parent);
            control = txtOutput_;
            break;
        case ControlKind::Frame:
            control = new QGroupBox(caption, parent);
            break;
        case ControlKind::Label: {
            auto* label = new QLabel(caption, parent);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            label->setTextFormat(Qt::PlainText);
            control = label;
            break;
        }
    }
    control->setObjectName(QString::fromLatin1(spec.name));
    control->setGeometry(spec.left / kTwipsPerPixel, spec.top / kTwipsPerPixel,
                         spec.width / kTwipsPerPixel, spec.height / kTwipsPerPixel);
    // Each control goes behind those made before it, so that the table's first row lies in front.
    control->lower();
}

// Tab follows the rising tab index through the controls that take the focus, and wraps.
void GeneratorWindow::chainFocus() {
    std::array order = kWindowControls;
    std::ranges::sort(order, {}, &ControlSpec::tabIndex);
    QWidget* previous = nullptr;
    for (const ControlSpec& spec : order) {
        auto* control = findChild<QWidget*>(QString::fromLatin1(spec.name));
        if (control->focusPolicy() & Qt::TabFocus) {
            if (previous) {
                setTabOrder(previous, control);
            }
            previous = control;
        }
    }
}

// A screen reader says which project and which value each field holds; the caption on screen,
// which repeats from frame to frame, is given as the field's description. Return in any
// single-line field presses Generate; in the output field it types a line break.
void GeneratorWindow::setUpFields() {
    for (const FieldControl& control : kFieldControls) {
        const auto* label = findChild<QLabel*>(QString::fromLatin1(control.label));
        QLineEdit* lineEdit = field(control.field);
        lineEdit->setAccessibleName(spokenName(describe(control.field)));
        lineEdit->setAccessibleDescription(
            QStringLiteral("Its caption on screen reads \"%1\".").arg(label->text()));
        connect(lineEdit, &QLineEdit::returnPressed, cmdOK_, &QPushButton::click);
    }
}

}  // namespace brindlewick
