#include "WindowGeneratorView.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <utility>

#include "ErrorInfo.h"
#include "GeneratorWindow.h"
#include "OutputMemory.h"
#include "OutputReplacement.h"

namespace brindlewick {

WindowGeneratorView::WindowGeneratorView(GeneratorWindow& window, OutputReplacement& replacement,
                                         const FailureDialog& failureDialog)
    : window_(window), replacement_(replacement), failureDialog_(failureDialog) {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
}

// Every way out of a run puts the normal cursor back.
WindowGeneratorView::~WindowGeneratorView() {
    showNormalCursor();
}

QString WindowGeneratorView::fieldText(InputField field) const {
    return window_.field(field)->text();
}

QString WindowGeneratorView::outputText() const {
    return pendingOutput_ ? *pendingOutput_ : window_.output()->toPlainText();
}

void WindowGeneratorView::setOutputText(const QString& text) {
    pendingOutput_ = text;
}

void WindowGeneratorView::showFailure(const QString& description) {
    flushOutput();
    showNormalCursor();
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
        replacement_.replace(*window_.output(), text);
    } catch (...) {
        showFailure(currentErrorInfo().description);
    }
}

void WindowGeneratorView::showNormalCursor() {
    if (busyCursorShown_) {
        QGuiApplication::restoreOverrideCursor();
        busyCursorShown_ = false;
    }
}

}  // namespace brindlewick
