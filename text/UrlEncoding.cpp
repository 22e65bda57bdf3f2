#include "UrlEncoding.h"

#include <array>

#include "Reports.h"
#include "Windows1252.h"

namespace brindlewick {

namespace {

constexpr qint32 kCodeNotComputed = -1;
constexpr char32_t kReplacementCharacter = 0xFFFD;

// Codes 0 to 255 give at most three units ("%FF"); a character outside the code page gives up
// to four UTF-8 escapes.
constexpr int kLongestEscape = 12;
constexpr qsizetype kUnitsPerEscape = 3;

using Escape = std::array<char16_t, kLongestEscape>;

void reportFailure(const QString& fixedText, int label, ReportKind kind) {
    reportCurrentFailure(fixedText + QString::number(label), kind);
}

bool isUriMark(qint32 code) {
    switch (code) {
        case '!':
        case '\'':
        case '(':
        case ')':
        case '*':
        case '-':
        case '.':
        case '_':
        case '~':
            return true;
        default:
            return false;
    }
}

char16_t hexDigit(unsigned value) {
    return static_cast<char16_t>(value < 10 ? u'0' + value : u'A' + (value - 10));
}

// Appends "%" and the byte's two hexadecimal digits.
int writeByteEscape(unsigned byte, char16_t* out) {
    out[0] = u'%';
    out[1] = hexDigit(byte >> 4);
    out[2] = hexDigit(byte & 0xF);
    return 3;
}

// The hexadecimal digits of a non-negative code without leading zeros; "%0" before a single
// digit (codes below 16), "%" otherwise.
int writeCodeEscape(qint32 code, char16_t* out) {
    std::array<char16_t, 8> digits{};
    int count = 0;
    auto value = static_cast<quint32>(code);
    do {
        digits[count++] = hexDigit(value & 0xF);
        value >>= 4;
    } while (value != 0);
    int length = 0;
    out[length++] = u'%';
    if (code < 16) {
        out[length++] = u'0';
    }
    while (count > 0) {
        out[length++] = digits[--count];
    }
    return length;
}

char32_t scalarOfNegativeCode(qint32 code) {
    const auto scalar = static_cast<char32_t>(-static_cast<qint64>(code));
    const bool valid = scalar <= 0x10FFFF && !QChar::isSurrogate(scalar);
    return valid ? scalar : kReplacementCharacter;
}

// The escapes of the UTF-8 bytes of the character a negative code stands for.
int writeUtf8Escapes(qint32 code, char16_t* out) {
    const char32_t scalar = scalarOfNegativeCode(code);
    std::array<unsigned, 4> bytes{};
    int count = 0;
    if (scalar < 0x80) {
        bytes[count++] = scalar;
    } else if (scalar < 0x800) {
        bytes[count++] = 0xC0 | (scalar >> 6);
        bytes[count++] = 0x80 | (scalar & 0x3F);
    } else if (scalar < 0x10000) {
        bytes[count++] = 0xE0 | (scalar >> 12);
        bytes[count++] = 0x80 | ((scalar >> 6) & 0x3F);
        bytes[count++] = 0x80 | (scalar & 0x3F);
    } else {
        bytes[count++] = 0xF0 | (scalar >> 18);
        bytes[count++] = 0x80 | ((scalar >> 12) & 0x3F);
        bytes[count++] = 0x80 | ((scalar >> 6) & 0x3F);
        bytes[count++] = 0x80 | (scalar & 0x3F);
    }
    int length = 0;
    for (int i = 0; i < count; ++i) {
        length += writeByteEscape(bytes[i], out + length);
    }
    return length;
}

// The character starting at `index`: a surrogate pair is one character of two units.
QStringView characterAt(const QString& text, qsizetype index) {
    const bool pair = index + 1 < text.size() && text[index].isHighSurrogate() &&
                      text[index + 1].isLowSurrogate();
    return QStringView(text).sliced(index, pair ? 2 : 1);
}

}  // namespace

void URLEncodeChar(QStringView character, qint32& code, QString& result) {
    int label = 10;
    try {
        if (code == kCodeNotComputed) {
            code = windows1252::codeOf(character);
        }
        label = 20;
        const bool lower = code >= 'a' && code <= 'z';
        label = 30;
        const bool upper = !lower && code >= 'A' && code <= 'Z';
        label = 40;
        const bool digit = !lower && !upper && code >= '0' && code <= '9';
        if (lower || upper || digit) {
            label = 90;
            result.append(character);
            return;
        }
        label = 60;
        Escape escape{};
        int length = 0;
        if (code < 0) {
            length = writeUtf8Escapes(code, escape.data());
        } else {
            label = code < 16 ? 70 : 80;
            length = writeCodeEscape(code, escape.data());
        }
        label = 90;
        result.append(QStringView(escape.data(), length));
    } catch (...) {
        reportFailure(QStringLiteral(".URLEncodeChar, @Line#"), label, kProcedureFailure);
    }
}

void URIEscapeChar(QStringView character, QString& result) {
    int label = 10;
    try {
        qint32 code = windows1252::codeOf(character);
        const bool mark = isUriMark(code);
        label = 20;
        if (mark) {
            result.append(character);
        } else {
            URLEncodeChar(character, code, result);
        }
    } catch (...) {
        reportFailure(QStringLiteral(".URIEscapeChar, @Line#"), label, kProcedureFailure);
    }
}

QString EncodeString(QString text, qint32 mode) {
    int label = 10;
    try {
        const qsizetype length = text.size();
        if (length == 0) {
            label = 60;
            return QString();
        }
        if (mode != EncodeMode::Url && mode != EncodeMode::UriComponent) {
            label = 50;
            return text;
        }
        QString result;
        result.reserve(length * kUnitsPerEscape);
        qsizetype i = 0;
        while (i < length) {
            label = 20;
            const QStringView character = characterAt(text, i);
            i += character.size();
            label = 30;
            const qsizetype encodedBefore = result.size();
            if (mode == EncodeMode::UriComponent) {
                URIEscapeChar(character, result);
            } else {
                label = 40;
                qint32 code = kCodeNotComputed;
                URLEncodeChar(character, code, result);
            }
            label = 50;
            // Every character gives at least one unit; one that gave none was lost, and its
            // procedure has reported why. Going on would report again for every character left.
            if (result.size() == encodedBefore) {
                return QString();
            }
        }
        label = 60;
        return result;
    } catch (...) {
        reportFailure(QStringLiteral(".EncodeString, @Line#"), label, kProcedureFailure);
        return QString();
    }
}

QString TzStrMan_UrlEncode(QString text) {
    try {
        return EncodeString(std::move(text), EncodeMode::Url);
    } catch (...) {
        reportFailure(QStringLiteral(".TzStrMan_UrlEncode @Line #"), 10, kEncoderEntryFailure);
        return QString();
    }
}

}  // namespace brindlewick
