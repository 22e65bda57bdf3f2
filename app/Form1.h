#pragma once

#include <QHash>
#include <QWidget>
#include <functional>

#include "GeneratorView.h"
#include "OutputReplacement.h"

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace brindlewick {

// The program's window: two frames of project fields, the Generate button and the output field,
// at fixed positions. Every control carries its name as objectName.
class Form1 : public QWidget {
    Q_OBJECT

  public:
    // Shows a failure's description to the user. Tests replace it so that no modal box blocks.
    using FailureDialog = std::function<void(QWidget* parent, const QString& description)>;

    explicit Form1(QWidget* parent = nullptr);

    void setFailureDialog(FailureDialog dialog);

    QLineEdit* field(InputField field) const;
    QPlainTextEdit* output() const { return txtOutput_; }
    QPushButton* generateButton() const { return cmdOK_; }

    // Puts a Generate's result into the output field as one undo step, within the history's
    // bound (OutputReplacement).
    void replaceOutput(const QString& text);

  public Q_SLOTS:
    // Runs the Generate command against this window.
    void cmdOK_Click();

  private:
    void createControls();
    QWidget* createControl(const struct ControlSpec& spec);
    void stackControls();
    void chainFocus();
    void nameForAccessibility();
    void bindReturnToGenerate();
    void fitFontToFields();

    QHash<QString, QWidget*> controls_;
    QPushButton* cmdOK_ = nullptr;
    QPlainTextEdit* txtOutput_ = nullptr;
    OutputReplacement outputReplacement_;
    FailureDialog failureDialog_;
};

// Shows a failure in a modal box titled with the application's title, with one OK button.
void showFailureMessageBox(QWidget* parent, const QString& description);

}  // namespace brindlewick
