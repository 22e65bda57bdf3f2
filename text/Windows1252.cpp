#include "Windows1252.h"

#include <array>
#include <bit>

#include "ErrorInfo.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

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

constexpr char16_t kReplacementCharacter = 0xFFFD;

// The bytes of the characters from U+0080 to the highest character of the code page; 0 for a
// character that the code page does not hold.
constexpr char16_t kFirstTabled = 0x80;
constexpr char16_t kLastTabled = kHighestCharacter;
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

constexpr bool isSpecialByte(unsigned char byte) {
    return byte >= kFirstSpecialByte && byte < 0xA0;
}

// The character of every byte, so that decoding is one table lookup per byte.
constexpr std::array<char16_t, 256> makeByteToUnicode() {
    std::array<char16_t, 256> table{};
    for (unsigned byte = 0; byte < table.size(); ++byte) {
        table[byte] = isSpecialByte(static_cast<unsigned char>(byte))
                          ? kSpecialCharacters[byte - kFirstSpecialByte]
                          : static_cast<char16_t>(byte);
    }
    return table;
}

constexpr std::array<char16_t, 256> kByteToUnicode = makeByteToUnicode();

}  // namespace

char16_t toUnicode(unsigned char byte) {
    return kByteToUnicode[byte];
}

int byteOfTabledUnit(char16_t unit) {
    const unsigned char byte = kReverseTable[unit - kFirstTabled];
    return byte != 0 ? byte : -1;
}

qint32 codeOfOtherCharacter(QStringView character) {
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
        return -static_cast<qint32>(kReplacementCharacter);
    }
    const int byte = byteOf(first);
    return byte >= 0 ? byte : -static_cast<qint32>(first);
}

QString decode(QByteArrayView bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    auto* out = reinterpret_cast<char16_t*>(text.data());
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    qsizetype i = 0;
#ifdef __SSE2__
    // Sixteen bytes at a time, each widened to the character of its own value; then the few
    // bytes 0x80 to 0x9F among them are put right through the table.
    const __m128i zero = _mm_setzero_si128();
    const __m128i firstOwnValueAbove7F = _mm_set1_epi8(static_cast<char>(0xA0));
    for (; i + 16 <= bytes.size(); i += 16) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_unpacklo_epi8(chunk, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i + 8), _mm_unpackhi_epi8(chunk, zero));
        // As signed bytes, 0x80 to 0x9F are the ones below 0xA0.
        for (auto special = static_cast<unsigned>(
                 _mm_movemask_epi8(_mm_cmplt_epi8(chunk, firstOwnValueAbove7F)));
             special != 0; special &= special - 1) {
            const qsizetype at = i + std::countr_zero(special);
            out[at] = kByteToUnicode[in[at]];
        }
    }
#endif
    for (; i < bytes.size(); ++i) {
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

qsizetype encodeInPlace(QString& text) {
    auto* units = reinterpret_cast<char16_t*>(text.data());
    auto* bytes = reinterpret_cast<unsigned char*>(units);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int byte = byteOf(units[i]);
        if (byte < 0) {
            return i;
        }
        bytes[i] = static_cast<unsigned char>(byte);
    }
    return text.size();
}

void restoreInPlace(QString& text, qsizetype count) {
    auto* units = reinterpret_cast<char16_t*>(text.data());
    const auto* bytes = reinterpret_cast<const unsigned char*>(units);
    // Back to front: unit i lands at bytes 2i and 2i+1, past every byte still to be read.
    for (qsizetype i = count - 1; i >= 0; --i) {
        units[i] = kByteToUnicode[bytes[i]];
    }
}

}  // namespace brindlewick::windows1252
