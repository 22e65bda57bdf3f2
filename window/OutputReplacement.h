#pragma once

#include <QString>

class QPlainTextEdit;

namespace brindlewick {

// The longest text, in characters, whose replacement is kept in the output's undo history. Undoing
// a Generate needs the text it replaced, so a history of very large outputs would hold each of them
// besides the one shown; beyond this size (before or after) the output is set afresh and its
// history cleared.
inline constexpr qsizetype kLongestUndoableOutput = 16 * 1024 * 1024;

// Replaces the whole text of `output` as one step of its undo history, so that Ctrl+Z brings back
// what the field held before, hand edits included. The caret goes to the start and the view to
// the top, as after setting the text afresh. When the old or the new text is longer than
// `longestUndoable` characters, the text is set afresh and the history cleared instead.
void replaceOutputText(QPlainTextEdit& output, const QString& text,
                       qsizetype longestUndoable = kLongestUndoableOutput);

}  // namespace brindlewick
