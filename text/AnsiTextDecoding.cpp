#include "AnsiTextDecoding.h"

#include <QUtf8StringView>
#include <algorithm>

#include "EncodingRepairConversion.h"
#include "Utf8Sequence.h"
#include "Windows1252.h"

namespace brindlewick {

namespace {

// Whether the first byte of 0x80 or above, if there is one, begins a valid UTF-8 sequence.
bool mayBeUtf8WithByteAbove7F(QByteArrayView bytes) {
    const auto* first = std::find_if(bytes.begin(), bytes.end(), [](char byte) {
        return static_cast<unsigned char>(byte) >= 0x80;
    });
    return first != bytes.end() && beginsWithUtf8Sequence(bytes.sliced(first - bytes.begin()));
}

}  // namespace

QString decodeAnsiText(const QByteArray& bytes) {
    // One decoding for Windows-1252 text, as before, and one for UTF-8 (with a scan of its text);
    // only UTF-8 that turns out invalid after its start is decoded a second time.
    if (mayBeUtf8WithByteAbove7F(bytes)) {
        QString text = QString::fromUtf8(bytes);
        // Invalid bytes decode to U+FFFD: only a text that holds one needs its bytes validated.
        const bool valid =
            !text.contains(QChar::ReplacementCharacter) || QUtf8StringView(bytes).isValidUtf8();
        if (valid && !EncodingRepairConversion::wouldDecodeAnew(text)) {
            return text;
        }
    }
    return windows1252::decode(bytes);
}

}  // namespace brindlewick
