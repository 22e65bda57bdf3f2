#include "OverlongWordWrap.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <memory>

namespace brindlewick {

namespace {

// Wrapping at word boundaries measures the rest of a word for every line the word fills, so a word
// takes time in the square of its length: 300,000 characters take seconds, a million minutes.
// Wrapping anywhere takes time in proportion to the text.
constexpr qsizetype kLongestWordWrappedAtBoundaries = 10'000;
constexpr int kLongestCachedLine = 2'000'000;

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

// The mark of a line (a block of the document) that holds an overlong word. The document deletes
// it with its line, so the marks alive are the lines that hold one, however a change took lines
// away.
class OverlongLineMark final : public QTextBlockUserData {
  public:
    explicit OverlongLineMark(std::shared_ptr<qsizetype> marks) : marks_(std::move(marks)) {
        ++*marks_;
    }
    ~OverlongLineMark() override { --*marks_; }

  private:
    std::shared_ptr<qsizetype> marks_;
};

// Marks or unmarks the lines that the change from `from`, `added` characters long, left.
void markChangedLines(const QTextDocument& document, int from, int added,
                      const std::shared_ptr<qsizetype>& marks) {
    for (QTextBlock line = document.findBlock(from);
         line.isValid() && line.position() <= from + added; line = line.next()) {
        const bool overlong = holdsOverlongWord(line.text());
        if (overlong != (line.userData() != nullptr)) {
            line.setUserData(overlong ? new OverlongLineMark(marks) : nullptr);
        }
        // Each blink of the caret in a line measures the line anew unless its layout keeps what
        // it measured: a quarter of a core for a million characters, at 34 bytes each.
        line.layout()->setCacheEnabled(overlong && line.length() <= kLongestCachedLine);
    }
}

}  // namespace

void wrapAnywhereWhileOverlong(QPlainTextEdit* output) {
    auto marks = std::make_shared<qsizetype>(0);
    // The document reports a change before its layout lays the changed lines out anew.
    QObject::connect(output->document(), &QTextDocument::contentsChange, output,
                     [output, marks](int from, int /*removed*/, int added) {
                         markChangedLines(*output->document(), from, added, marks);
                         const QTextOption::WrapMode mode =
                             *marks > 0 ? QTextOption::WrapAnywhere
                                        : QTextOption::WrapAtWordBoundaryOrAnywhere;
                         if (output->wordWrapMode() != mode) {
                             output->setWordWrapMode(mode);
                         }
                     });
}

}  // namespace brindlewick
