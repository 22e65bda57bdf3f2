#include "WindowGeneratorView.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <utility>

#include "ErrorInfo.h"
#include "OutputMemory.h"
#include "OutputReplacement.h"
#include "WindowLayout.h"

namespace brindlewick {

WindowGeneratorView::WindowGeneratorView(QWidget& window, QPlainTextEdit& output,
                                         OutputReplacement& replacement,
                                         const FailureDialog& failureDialog)
    : window_(window), output_(output), replacement_(replacement), failureDialog_(failureDialog) {}

QString WindowGeneratorView::fieldText(InputField field) const {
    const QString name = QString::fromLatin1(controlOf(field).control);
    return window_.findChild<QLineEdit*>(name)->text();
}

QString WindowGeneratorView::outputText() const {
    return pendingOutput_ ? *pendingOutput_ : output_.toPlainText();
}

void WindowGeneratorView::setOutputText(const QString& text) {
    pendingOutput_ = text;
}

void WindowGeneratorView::showFailure(const QString& description) {
    flushOutput();
    busyCursor_.restore();
    failureDialog_(&window_, description);
}

void WindowGeneratorView::flushOutput() {
    if (!pendingOutput_) {
        return;
    }
    const QString text = std::move(*pendingOutput_);
    pendingOutput_.reset();
    try {
        ensureMemoryToShow(text);
        replacement_.replace(output_, text);
    } catch (...) {
        showFailure(currentErrorInfo().description);
    }
}

}  // namespace brindlewick
