#include "PrintableText.h"

namespace brindlewick {

namespace {

// The surrogates that stand for bytes that were not UTF-8 (see argumentsOf).
constexpr char16_t kFirstByteSurrogate = 0xDC80;
constexpr char16_t kLastByteSurrogate = 0xDCFF;

QString byteEscape(uint value) {
    return QStringLiteral("\\x%1").arg(value, 2, 16, QLatin1Char('0'));
}

QString unitEscape(uint unit) {
    return QStringLiteral("\\u%1").arg(unit, 4, 16, QLatin1Char('0'));
}

QString escapedControl(QChar c) {
    switch (c.unicode()) {
        case u'\n':
            return QStringLiteral("\\n");
        case u'\r':
            return QStringLiteral("\\r");
        case u'\t':
            return QStringLiteral("\\t");
        default:
            return byteEscape(c.unicode());
    }
}

QString escapedLoneSurrogate(char16_t unit) {
    if (unit >= kFirstByteSurrogate && unit <= kLastByteSurrogate) {
        return byteEscape(unit - 0xDC00u);
    }
    return unitEscape(unit);
}

bool isPairAt(const QString& text, qsizetype i) {
    return i + 1 < text.size() && text[i].isHighSurrogate() && text[i + 1].isLowSurrogate();
}

}  // namespace

QString printable(const QString& text) {
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (isPairAt(text, i)) {
            result += c;
            result += text[++i];
        } else if (c.isSurrogate()) {
            result += escapedLoneSurrogate(c.unicode());
        } else if (c.category() == QChar::Other_Control) {
            result += escapedControl(c);
        } else {
            result += c;
        }
    }
    return result;
}

QString shortened(const QString& text, qsizetype limit) {
    if (text.size() <= limit) {
        return text;
    }
    qsizetype kept = limit;
    // Never half a surrogate pair.
    if (text[kept - 1].isHighSurrogate()) {
        --kept;
    }
    return text.left(kept) + QStringLiteral("...");
}

}  // namespace brindlewick
