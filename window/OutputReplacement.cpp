#include "OutputReplacement.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>

namespace brindlewick {

namespace {

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
    // characterCount() counts the document's closing paragraph separator.
    const qsizetype replaced = (output.document()->characterCount() - 1) * qsizetype(sizeof(QChar));
    // The step would also keep an undo record for every line of a new text: past the budget,
    // that costs as much as keeping a replaced text.
    if (replaced > historyBudget_ || text.size() * qsizetype(sizeof(QChar)) > historyBudget_) {
        output.setPlainText(text);
        historyHeld_ = 0;
        return;
    }
    if (historyHeld_ + replaced > historyBudget_) {
        // The document keeps every text it held in one buffer while it has an undo history, and
        // dropping the history does not shrink that buffer; setting the text afresh starts a new
        // one. The text shown stays as it is.
        output.setPlainText(output.toPlainText());
        historyHeld_ = 0;
    }
    // Undo and redo bring back the replaced text, and every text before it, as it was.
    replaceAsOneStep(output, text);
    historyHeld_ += replaced;
}

}  // namespace brindlewick
