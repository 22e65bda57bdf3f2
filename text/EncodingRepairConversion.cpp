#include "EncodingRepairConversion.h"

#include <QStringDecoder>
#include <QUtf8StringView>
#include <algorithm>
#include <optional>

#include "Utf8Sequence.h"
#include "Windows1252.h"

namespace brindlewick {

namespace {

constexpr qsizetype kLongestUtf8Sequence = 4;

// The position of the first unit of U+0080 or above, or -1.
qsizetype firstNonAscii(QStringView text) {
    const auto* it =
        std::find_if(text.begin(), text.end(), [](QChar c) { return c.unicode() >= 0x80; });
    return it == text.end() ? -1 : it - text.begin();
}

// Whether the bytes from `position` on can begin valid UTF-8.
bool canStartUtf8(QStringView text, qsizetype position) {
    QByteArray head;
    return windows1252::encode(
               text.sliced(position, std::min(kLongestUtf8Sequence, text.size() - position)),
               head) &&
           beginsWithUtf8Sequence(head);
}

// The text's Windows-1252 bytes when they are UTF-8 with at least one byte of 0x80 or above.
std::optional<QByteArray> utf8Bytes(QStringView text) {
    const qsizetype position = firstNonAscii(text);
    if (position < 0 || !canStartUtf8(text, position)) {
        return std::nullopt;
    }
    QByteArray bytes;
    if (!windows1252::encode(text, bytes) || !QUtf8StringView(bytes).isValidUtf8()) {
        return std::nullopt;
    }
    return bytes;
}

// The encoding a UTF-16 byte-order mark at the start of the text names, if there is one: read as
// Windows-1252, FF FE is "\u00FF\u00FE" and FE FF is "\u00FE\u00FF".
std::optional<QStringDecoder::Encoding> utf16ByteOrder(QStringView text) {
    if (text.startsWith(u"\u00FF\u00FE")) {
        return QStringDecoder::Utf16LE;
    }
    if (text.startsWith(u"\u00FE\u00FF")) {
        return QStringDecoder::Utf16BE;
    }
    return std::nullopt;
}

// The text decoded anew from its Windows-1252 bytes: as UTF-16 after a UTF-16 byte-order mark
// (when it holds only characters of the code page, as text read as Windows-1252 does), or as
// UTF-8 when those bytes are UTF-8; nothing otherwise.
std::optional<QString> decodedAnew(QStringView text) {
    if (const auto encoding = utf16ByteOrder(text)) {
        QByteArray bytes;
        if (!windows1252::encode(text, bytes)) {
            return std::nullopt;
        }
        return QStringDecoder(*encoding, QStringDecoder::Flag::Stateless)(bytes);
    }
    if (const auto bytes = utf8Bytes(text)) {
        return QString::fromUtf8(*bytes);
    }
    return std::nullopt;
}

}  // namespace

bool EncodingRepairConversion::wouldDecodeAnew(QStringView text) {
    return decodedAnew(text).has_value();
}

void EncodingRepairConversion::ConvertText(QString text, QString& result) {
    QString converted = decodedAnew(text).value_or(std::move(text));
    if (converted.startsWith(QChar::ByteOrderMark)) {
        converted.remove(0, 1);
    }
    result = std::move(converted);
}

}  // namespace brindlewick
