#include "OutputReplacement.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>

namespace brindlewick {

namespace {

// The bytes of text the document holds; characterCount() counts its closing paragraph separator.
qsizetype textBytes(const QTextDocument& document) {
    return (document.characterCount() - 1) * qsizetype(sizeof(QChar));
}

// The document keeps every text it held in one buffer while it has an undo history, and dropping
// the history does not shrink that buffer; setting the text afresh starts a new one. The text
// shown stays as it is.
void clearHistory(QPlainTextEdit& output) {
    output.setPlainText(output.toPlainText());
}

void replaceAsOneStep(QPlainTextEdit& output, const QString& text) {
    QTextDocument& document = *output.document();
    QTextCursor replacement(&document);
    replacement.beginEditBlock();
    replacement.select(QTextCursor::Document);
    replacement.insertText(text);
    replacement.endEditBlock();
    // A fresh text counts as unmodified, as after setting it anew; this also keeps the user's
    // first keystroke from merging into the replacement's undo step.
    document.setModified(false);
    output.moveCursor(QTextCursor::Start);
}

}  // namespace

OutputReplacement::OutputReplacement(qsizetype historyBudget) : historyBudget_(historyBudget) {}

void OutputReplacement::replace(QPlainTextEdit& output, const QString& text) {
    QTextDocument& document = *output.document();
    const qsizetype replaced = textBytes(document);
    // The step would also keep an undo record for every line of a new text: past the budget,
    // that costs as much as keeping a replaced text.
    if (replaced > historyBudget_ || text.size() * qsizetype(sizeof(QChar)) > historyBudget_) {
        output.setPlainText(text);
        historyHeld_ = 0;
        return;
    }
    if (historyHeld_ + replaced > historyBudget_) {
        clearHistory(output);
        historyHeld_ = 0;
    }
    replaceAsOneStep(output, text);
    historyHeld_ += replaced;
}

}  // namespace brindlewick
