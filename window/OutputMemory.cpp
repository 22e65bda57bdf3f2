#include "OutputMemory.h"

#include <QString>
#include <memory>
#include <new>

#include "ErrorInfo.h"

namespace brindlewick {

namespace {

// What the output's document needs, measured with Qt 6.4 and rounded up a little: 2.2 bytes a
// character for its copy of the text, and 540 bytes a line for the line's block, its layout and
// its undo record (475 without one).
constexpr qsizetype kQuarterBytesPerCharacter = 9;
constexpr qsizetype kBytesPerLine = 560;

// The lines the document makes of a text: it starts a new one at a line feed, a carriage return
// that no line feed follows and a paragraph separator.
qsizetype lineCount(QStringView text) {
    return 1 + text.count(u'\n') + text.count(u'\r') - text.count(u"\r\n") +
           text.count(QChar::ParagraphSeparator);
}

qsizetype utf8Bytes(QStringView text) {
    qsizetype bytes = 0;
    for (const QChar unit : text) {
        const char16_t code = unit.unicode();
        // A surrogate pair is four bytes, two for each of its halves.
        bytes += code < 0x80 ? 1 : code < 0x800 || unit.isSurrogate() ? 2 : 3;
    }
    return bytes;
}

}  // namespace

void ensureMemoryToShow(QStringView text) {
    const qsizetype needed =
        text.size() * kQuarterBytesPerCharacter / 4 + lineCount(text) * kBytesPerLine;
    const std::unique_ptr<char[]> trial(new (std::nothrow) char[static_cast<size_t>(needed)]);
    if (!trial) {
        const qsizetype megabytes = (utf8Bytes(text) + 999'999) / 1'000'000;
        throw ComponentError(ErrorNumber::OutOfMemory,
                             QStringLiteral("Not enough memory to show a result of %1 MB; "
                                            "`brindlewick generate --output FILE` writes it "
                                            "without the window.")
                                 .arg(megabytes),
                             QStringLiteral("Generate"));
    }
}

}  // namespace brindlewick
