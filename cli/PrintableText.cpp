#include "PrintableText.h"

#include "EscapedText.h"

namespace brindlewick {

namespace {

// The surrogates that stand for bytes that were not UTF-8 (see argumentsOf).
constexpr char16_t kFirstByteSurrogate = 0xDC80;
constexpr char16_t kLastByteSurrogate = 0xDCFF;

QString byteEscape(uint value) {
    return QStringLiteral("\\x%1").arg(value, 2, 16, QLatin1Char('0'));
}

bool isPairAt(QStringView text, qsizetype i) {
    return i >= 0 && i + 1 < text.size() && text[i].isHighSurrogate() &&
           text[i + 1].isLowSurrogate();
}

// The escape of a control character or of a lone surrogate; nothing for any other unit.
QString terminalEscape(QStringView text, qsizetype at) {
    const char16_t unit = text[at].unicode();
    if (text[at].isSurrogate() && !isPairAt(text, at) && !isPairAt(text, at - 1)) {
        const bool byte = unit >= kFirstByteSurrogate && unit <= kLastByteSurrogate;
        return byte ? byteEscape(unit - 0xDC00u) : unicodeEscape(unit);
    }
    if (text[at].category() != QChar::Other_Control) {
        return QString();
    }
    const QString escape = backslashEscape(unit);
    return escape.isEmpty() ? byteEscape(unit) : escape;
}

}  // namespace

QString printable(const QString& text) {
    return escapedText(text, terminalEscape);
}

}  // namespace brindlewick
