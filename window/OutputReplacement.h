#pragma once

#include <QString>

class QPlainTextEdit;

namespace brindlewick {

// The most replaced text, in bytes, that the undo steps of Generates keep together. Undoing a
// Generate needs the text it replaced, and the output's document keeps every text it ever held
// while it has an undo history, so without a bound a session that regenerates a large output
// again and again would hold each of them besides the one shown.
inline constexpr qsizetype kGenerateHistoryBudget = 64 * 1024 * 1024;

// Replaces the whole text of the output for each Generate as one step of its undo history, so
// that Ctrl+Z brings back what the field held before, hand edits included, while the replaced
// texts the history keeps stay within a budget. A step that would take them over it first clears
// the history, so only the current Generate can be undone. When the replaced or the new text is
// over the budget on its own, the text is set afresh without an undo step and the history cleared.
class OutputReplacement {
  public:
    explicit OutputReplacement(qsizetype historyBudget = kGenerateHistoryBudget);

    // The caret goes to the start and the view to the top, as after setting the text afresh.
    void replace(QPlainTextEdit& output, const QString& text);

  private:
    qsizetype historyBudget_;
    // The bytes of replaced text the history has gained from Generates since it was last cleared.
    qsizetype historyHeld_ = 0;
};

}  // namespace brindlewick
