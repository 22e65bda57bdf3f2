#include "OutputReplacement.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>

namespace brindlewick {

namespace {

// Wrapping at word boundaries measures the rest of a word for every line the word fills, so a word
// takes time in the square of its length: 300,000 characters take seconds, a million minutes.
// Wrapping anywhere takes time in proportion to the text.
constexpr qsizetype kLongestWordWrappedAtBoundaries = 10'000;

// Whether the text holds a word too long to be wrapped at word boundaries: a run without a blank
// or a line break (a no-break space joins a word) of more than the longest such word. Some runs
// could still be broken inside (after a hyphen, between ideographs); wrapping those anywhere
// too costs nothing.
bool holdsOverlongWord(QStringView text) {
    qsizetype wordStart = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isSpace() && c != QChar::Nbsp && c != u'\u2007' && c != u'\u202F') {
            wordStart = i + 1;
        } else if (i + 1 - wordStart > kLongestWordWrappedAtBoundaries) {
            return true;
        }
    }
    return false;
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
    const bool overlongText = holdsOverlongWord(text);
    // The field wraps anywhere before it lays out an overlong word, and goes back to word
    // boundaries only once no text it can show holds one.
    if (overlongText) {
        output.setWordWrapMode(QTextOption::WrapAnywhere);
    }
    replaceKeepingHistory(output, text, overlongText);
    if (!overlongWordsHeld_) {
        output.setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    }
}

void OutputReplacement::replaceKeepingHistory(QPlainTextEdit& output, const QString& text,
                                              bool overlongText) {
    // characterCount() counts the document's closing paragraph separator.
    const qsizetype replaced = (output.document()->characterCount() - 1) * qsizetype(sizeof(QChar));
    // The step would also keep an undo record for every line of a new text: past the budget,
    // that costs as much as keeping a replaced text.
    if (replaced > historyBudget_ || text.size() * qsizetype(sizeof(QChar)) > historyBudget_) {
        output.setPlainText(text);
        historyHeld_ = 0;
        overlongWordsHeld_ = overlongText;
        return;
    }
    if (historyHeld_ + replaced > historyBudget_) {
        // The document keeps every text it held in one buffer while it has an undo history, and
        // dropping the history does not shrink that buffer; setting the text afresh starts a new
        // one. The text shown stays as it is.
        output.setPlainText(output.toPlainText());
        historyHeld_ = 0;
        overlongWordsHeld_ = false;
    }
    // Undo and redo bring back the replaced text, and every text before it, as it was.
    overlongWordsHeld_ =
        overlongWordsHeld_ || overlongText || holdsOverlongWord(output.toPlainText());
    replaceAsOneStep(output, text);
    historyHeld_ += replaced;
}

}  // namespace brindlewick
