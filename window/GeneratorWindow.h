#pragma once

#include <QWidget>
#include <functional>
#include <optional>

#include "GenerateCommand.h"
#include "OutputReplacement.h"

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace brindlewick {

// Shows a failure's description to the user, over the window.
using FailureDialog = std::function<void(QWidget* parent, const QString& description)>;

// The program's window: two frames of project fields, the Generate button and the output field,
// at fixed positions. Every control carries its name as objectName.
class GeneratorWindow : public QWidget {
    Q_OBJECT

  public:
    explicit GeneratorWindow(QWidget* parent = nullptr);

    // Tests replace the message box so that no modal box blocks.
    void setFailureDialog(FailureDialog dialog) { failureDialog_ = std::move(dialog); }

    QLineEdit* field(InputField field) const;
    QPlainTextEdit* output() const { return txtOutput_; }
    QPushButton* generateButton() const { return cmdOK_; }

  public Q_SLOTS:
    void runGenerate();

  private:
    void createControl(const struct ControlSpec& spec);
    void chainFocus();
    void setUpFields();
    FieldTexts fieldTexts() const;
    std::optional<QString> showOutput(const QString& text);

    QPushButton* cmdOK_ = nullptr;
    QPlainTextEdit* txtOutput_ = nullptr;
    OutputReplacement outputReplacement_;
    FailureDialog failureDialog_;
};

// Shows a failure in a modal box titled with the application's title, with one OK button.
void showFailureMessageBox(QWidget* parent, const QString& description);

}  // namespace brindlewick
