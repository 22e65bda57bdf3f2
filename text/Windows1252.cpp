#include "Windows1252.h"

#include <array>

#include "ErrorInfo.h"

namespace brindlewick::windows1252 {

namespace {

constexpr unsigned char kFirstSpecialByte = 0x80;

// The characters of bytes 0x80 to 0x9F; every other byte stands for the character of its value.
constexpr std::array<char16_t, 32> kSpecialCharacters = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 0x88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 0x98
};

// The bytes of the characters from U+0080 to the highest character of the code page (U+2122,
// byte 0x99); 0 for a character that the code page does not hold.
constexpr char16_t kFirstTabled = 0x80;
constexpr char16_t kLastTabled = 0x2122;
using ReverseTable = std::array<unsigned char, kLastTabled - kFirstTabled + 1>;

constexpr ReverseTable makeReverseTable() {
    ReverseTable table{};
    for (size_t i = 0; i < kSpecialCharacters.size(); ++i) {
        table[kSpecialCharacters[i] - kFirstTabled] =
            static_cast<unsigned char>(kFirstSpecialByte + i);
    }
    for (unsigned unit = 0xA0; unit <= 0xFF; ++unit) {
        table[unit - kFirstTabled] = static_cast<unsigned char>(unit);
    }
    return table;
}

constexpr ReverseTable kReverseTable = makeReverseTable();

// The character of every byte, so that decoding is one table lookup per byte.
constexpr std::array<char16_t, 256> makeByteToUnicode() {
    std::array<char16_t, 256> table{};
    for (unsigned byte = 0; byte < table.size(); ++byte) {
        const bool special = byte >= kFirstSpecialByte && byte < 0xA0;
        table[byte] =
            special ? kSpecialCharacters[byte - kFirstSpecialByte] : static_cast<char16_t>(byte);
    }
    return table;
}

constexpr std::array<char16_t, 256> kByteToUnicode = makeByteToUnicode();

}  // namespace

int byteOf(char16_t unit) {
    if (unit < kFirstTabled) {
        return unit;
    }
    if (unit > kLastTabled) {
        return -1;
    }
    const unsigned char byte = kReverseTable[unit - kFirstTabled];
    return byte != 0 ? byte : -1;
}

qint32 codeOf(QStringView character) {
    if (character.isEmpty()) {
        throw ComponentError(ErrorNumber::NoCharacterCode,
                             QStringLiteral("An empty character has no character code."),
                             QStringLiteral("AnsiCodePage"));
    }
    const char16_t first = character.front().unicode();
    if (QChar::isHighSurrogate(first) && character.size() > 1 &&
        QChar::isLowSurrogate(character[1].unicode())) {
        return -static_cast<qint32>(QChar::surrogateToUcs4(first, character[1].unicode()));
    }
    if (QChar::isSurrogate(first)) {
        return -static_cast<qint32>(QChar::ReplacementCharacter);
    }
    const int byte = byteOf(first);
    return byte >= 0 ? byte : -static_cast<qint32>(first);
}

QString decode(QByteArrayView bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    auto* out = reinterpret_cast<char16_t*>(text.data());
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        out[i] = kByteToUnicode[in[i]];
    }
    return text;
}

bool encode(QStringView text, QByteArray& bytes) {
    bytes.resize(text.size());
    char* out = bytes.data();
    for (const QChar c : text) {
        const int byte = byteOf(c.unicode());
        if (byte < 0) {
            return false;
        }
        *out++ = static_cast<char>(byte);
    }
    return true;
}

}  // namespace brindlewick::windows1252
