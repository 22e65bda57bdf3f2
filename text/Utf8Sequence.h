#pragma once

#include <QByteArrayView>
#include <QUtf8StringView>

namespace brindlewick {

// The length of the UTF-8 sequence that `lead` begins, by its high bits.
inline qsizetype utf8SequenceLength(char lead) {
    const auto byte = static_cast<unsigned char>(lead);
    return byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
}

// Whether `bytes` begin with one whole, valid UTF-8 sequence, whose length the lead byte gives.
// Text saved as Windows-1252 almost always fails this at its first byte of 0x80 or above, which
// spares decoding or validating the rest of it as UTF-8.
inline bool beginsWithUtf8Sequence(QByteArrayView bytes) {
    if (bytes.isEmpty()) {
        return false;
    }
    const qsizetype length = utf8SequenceLength(bytes.front());
    return bytes.size() >= length && QUtf8StringView(bytes.first(length)).isValidUtf8();
}

}  // namespace brindlewick
