#pragma once

#include <QByteArrayView>
#include <QUtf8StringView>

namespace brindlewick {

// Whether `bytes` begin with one whole, valid UTF-8 sequence, whose length the lead byte gives.
// Text saved as Windows-1252 almost always fails this at its first byte of 0x80 or above, which
// spares decoding or validating the rest of it as UTF-8.
inline bool beginsWithUtf8Sequence(QByteArrayView bytes) {
    if (bytes.isEmpty()) {
        return false;
    }
    const auto lead = static_cast<unsigned char>(bytes.front());
    const qsizetype length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    return bytes.size() >= length && QUtf8StringView(bytes.first(length)).isValidUtf8();
}

}  // namespace brindlewick
