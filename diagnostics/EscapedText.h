#pragma once

#include <QString>
#include <QStringView>

namespace brindlewick {

// `text` with each unit for which `escapeOf(text, index)` gives a replacement replaced by it, and
// every other unit kept. The log, the template's formats and the command line's messages each
// spell their escapes in their own way, and all walk a text through this one function. An
// `escapeOf` may throw to refuse a unit.
template <typename EscapeOf>
QString escapedText(QStringView text, EscapeOf escapeOf) {
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QString escape = escapeOf(text, i);
        if (escape.isEmpty()) {
            result += text[i];
        } else {
            result += escape;
        }
    }
    return result;
}

// The backslash escape that C and JSON give a quote, a backslash, a line feed, a carriage return
// and a tab; nothing for any other unit.
inline QString backslashEscape(char16_t unit) {
    switch (unit) {
        case u'"':
            return QStringLiteral("\\\"");
        case u'\\':
            return QStringLiteral("\\\\");
        case u'\n':
            return QStringLiteral("\\n");
        case u'\r':
            return QStringLiteral("\\r");
        case u'\t':
            return QStringLiteral("\\t");
        default:
            return QString();
    }
}

// "\u00e9": the escape of a unit by its four hexadecimal digits.
inline QString unicodeEscape(char16_t unit) {
    return QStringLiteral("\\u%1").arg(unit, 4, 16, QLatin1Char('0'));
}

}  // namespace brindlewick
