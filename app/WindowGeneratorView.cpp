#include "WindowGeneratorView.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <utility>

#include "ErrorInfo.h"
#include "OutputMemory.h"

namespace brindlewick {

WindowGeneratorView::WindowGeneratorView(Form1& form, const Form1::FailureDialog& failureDialog)
    : form_(form), failureDialog_(failureDialog) {}

QString WindowGeneratorView::fieldText(InputField field) const {
    return form_.field(field)->text();
}

QString WindowGeneratorView::outputText() const {
    return pendingOutput_ ? *pendingOutput_ : form_.output()->toPlainText();
}

void WindowGeneratorView::setOutputText(const QString& text) {
    pendingOutput_ = text;
}

void WindowGeneratorView::showFailure(const QString& description) {
    flushOutput();
    busyCursor_.restore();
    failureDialog_(&form_, description);
}

void WindowGeneratorView::flushOutput() {
    if (!pendingOutput_) {
        return;
    }
    const QString text = std::move(*pendingOutput_);
    pendingOutput_.reset();
    try {
        ensureMemoryToShow(text);
        form_.replaceOutput(text);
    } catch (...) {
        showFailure(currentErrorInfo().description);
    }
}

}  // namespace brindlewick
