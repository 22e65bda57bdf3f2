#include "UrlEncoding.h"

#include "Reports.h"
#include "Windows1252.h"

namespace brindlewick {

namespace {

constexpr qint32 kCodeNotComputed = -1;
// Codes 0 to 255 give at most three units ("%FF").
constexpr qsizetype kUnitsPerEscape = 3;

void reportFailure(const QString& fixedText, int label, ReportKind kind) {
    reportCurrentFailure(fixedText + QString::number(label), kind);
}

// "%" and the value's hexadecimal digits, two at least: "%0A", "%FF", "%12C".
QString hexEscape(quint32 value) {
    return QStringLiteral("%%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
}

// The escapes of the UTF-8 bytes of the character a negative code stands for.
QString utf8Escapes(qint32 code) {
    const auto scalar = static_cast<char32_t>(-static_cast<qint64>(code));
    const bool valid = scalar <= 0x10FFFF && !QChar::isSurrogate(scalar);
    // QChar::fromUcs4, not QString::fromUcs4, which would drop a U+FEFF as a byte-order mark.
    const auto character = QChar::fromUcs4(valid ? scalar : char32_t(QChar::ReplacementCharacter));
    QString escapes;
    for (const char byte : QStringView(character).toUtf8()) {
        escapes += hexEscape(static_cast<unsigned char>(byte));
    }
    return escapes;
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
        QString escape;
        if (code < 0) {
            escape = utf8Escapes(code);
        } else {
            label = code < 16 ? 70 : 80;
            escape = hexEscape(code);
        }
        label = 90;
        result.append(escape);
    } catch (...) {
        reportFailure(QStringLiteral(".URLEncodeChar, @Line#"), label, kProcedureFailure);
    }
}

void URIEscapeChar(QStringView character, QString& result) {
    int label = 10;
    try {
        qint32 code = windows1252::codeOf(character);
        const bool mark = code > 0 && code < 0x80 &&
                          QByteArrayView("!'()*-._~").contains(static_cast<char>(code));
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
