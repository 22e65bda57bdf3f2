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
    qsizetype lines = 1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        if (unit == u'\n' || unit == u'\u2029' ||
            (unit == u'\r' && (i + 1 == text.size() || text[i + 1] != u'\n'))) {
            ++lines;
        }
    }
    return lines;
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

bool canAllocate(qsizetype bytes) {
    const std::unique_ptr<char[]> trial(new (std::nothrow) char[static_cast<size_t>(bytes)]);
    return trial != nullptr;
}

QString describeNoMemoryToShow(QStringView text) {
    const qsizetype megabytes = (utf8Bytes(text) + 999'999) / 1'000'000;
    return QStringLiteral(
               "Not enough memory to show a result of %1 MB; `brindlewick generate "
               "--output FILE` writes it without the window.")
        .arg(megabytes);
}

}  // namespace

void ensureMemoryToShow(QStringView text) {
    const qsizetype needed =
        text.size() * kQuarterBytesPerCharacter / 4 + lineCount(text) * kBytesPerLine;
    if (!canAllocate(needed)) {
        throw ComponentError(ErrorNumber::OutOfMemory, describeNoMemoryToShow(text),
                             QStringLiteral("Generate"));
    }
}

}  // namespace brindlewick
