#pragma once

#include <optional>

#include "BusyCursor.h"
#include "Form1.h"
#include "GeneratorView.h"

namespace brindlewick {

// Lets the Generate command work on the window for the length of one run. Output written by the
// command is kept here and put into the output field once, by flushOutput() when the run
// ends or before a failure is shown, so that a large text is laid out once rather than after every
// pass; what the user sees is the same. The busy cursor shows for the length of the run, and the
// normal cursor is back before a failure is shown.
class WindowGeneratorView final : public GeneratorView {
  public:
    WindowGeneratorView(Form1& form, const Form1::FailureDialog& failureDialog);
    WindowGeneratorView(const WindowGeneratorView&) = delete;
    WindowGeneratorView& operator=(const WindowGeneratorView&) = delete;

    QString fieldText(InputField field) const override;
    QString outputText() const override;
    void setOutputText(const QString& text) override;
    void showFailure(const QString& description) override;

    // Puts the output the run has written, if any, into the output field. When there is not
    // the memory to show it, the field keeps what it held and the failure is shown instead.
    void flushOutput();

  private:
    Form1& form_;
    const Form1::FailureDialog& failureDialog_;
    std::optional<QString> pendingOutput_;
    BusyCursor busyCursor_;
};

}  // namespace brindlewick
