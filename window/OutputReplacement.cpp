#include "OutputReplacement.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>

namespace brindlewick {

void replaceOutputText(QPlainTextEdit& output, const QString& text, qsizetype longestUndoable) {
    QTextDocument& document = *output.document();
    // characterCount() counts the document's closing paragraph separator too.
    if (text.size() > longestUndoable || document.characterCount() - 1 > longestUndoable) {
        output.setPlainText(text);
        return;
    }
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

}  // namespace brindlewick
