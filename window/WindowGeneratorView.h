#pragma once

#include <QString>
#include <functional>
#include <optional>

#include "GeneratorView.h"

class QWidget;

namespace brindlewick {

class GeneratorWindow;
class OutputReplacement;

// Shows a failure's description to the user, over the window.
using FailureDialog = std::function<void(QWidget* parent, const QString& description)>;

// Lets the Generate command work on the window for the length of one run. Output written by the
// command is kept here and put into the output field once, by flushOutput() when the run
// ends or before a failure is shown, so that a large text is laid out once rather than after every
// pass; what the user sees is the same. The busy cursor shows for the length of the run, and the
// normal cursor is back before a failure is shown.
class WindowGeneratorView final : public GeneratorView {
  public:
    // The output's text is replaced through `replacement`, which bounds its undo history.
    WindowGeneratorView(GeneratorWindow& window, OutputReplacement& replacement,
                        const FailureDialog& failureDialog);
    ~WindowGeneratorView() override;
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
    void showNormalCursor();

    GeneratorWindow& window_;
    OutputReplacement& replacement_;
    const FailureDialog& failureDialog_;
    std::optional<QString> pendingOutput_;
    bool busyCursorShown_ = true;
};

}  // namespace brindlewick
