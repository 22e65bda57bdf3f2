#include "ValuesFile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cctype>

#include "ErrorInfo.h"
#include "PrintableText.h"
#include "QtFileSystemObject.h"

namespace brindlewick {

namespace {

constexpr qsizetype kLongestKeyShown = 80;

[[noreturn]] void failWith(const QString& path, const QString& problem) {
    throw ComponentError(ErrorNumber::ValuesFile,
                         QStringLiteral("Values file %1: %2").arg(printable(path), problem),
                         QStringLiteral("ValuesFile"));
}

// A key as a message shows it: quoted, escaped and, when huge, cut short with "...", never
// within a surrogate pair.
QString quotedKey(const QString& key) {
    QString shown = key;
    if (key.size() > kLongestKeyShown) {
        const bool splitsPair = key[kLongestKeyShown - 1].isHighSurrogate();
        shown = key.left(kLongestKeyShown - (splitsPair ? 1 : 0)) + QStringLiteral("...");
    }
    return u'"' + printable(shown) + u'"';
}

// Line and column, both from 1, of a byte offset; the column counts characters.
QString positionOf(const QByteArray& bytes, qsizetype offset) {
    const QByteArray before = bytes.left(offset);
    const qsizetype lineStart = before.lastIndexOf('\n') + 1;
    return QStringLiteral("line %1, column %2")
        .arg(before.count('\n') + 1)
        .arg(QString::fromUtf8(before.sliced(lineStart)).size() + 1);
}

// `problem` (if any) and what the file should hold instead.
[[noreturn]] void failAsNoObject(const QString& path, const QString& problem = QString()) {
    failWith(path, problem + QStringLiteral("it must hold a JSON object, such as {\"%1\": "
                                            "\"Sales\"}.")
                                 .arg(QLatin1String(describe(InputField::ProjAName).key)));
}

// Whether the bytes are one JSON value, such as a string or a number: Qt's parser takes only an
// object or an array as a whole document.
bool isOneJsonValue(const QByteArray& bytes) {
    const QJsonDocument wrapped = QJsonDocument::fromJson('[' + bytes + ']');
    return wrapped.isArray() && wrapped.array().size() == 1;
}

QJsonObject parseObject(const QString& path, const QByteArray& bytes) {
    if (bytes.trimmed().isEmpty()) {
        failAsNoObject(path, QStringLiteral("it is empty; "));
    }
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError && !isOneJsonValue(bytes)) {
        failWith(path, QStringLiteral("not valid JSON at %1: %2.")
                           .arg(positionOf(bytes, error.offset), error.errorString()));
    }
    if (!document.isObject()) {
        failAsNoObject(path);
    }
    return document.object();
}

// Whether a number outside the strings is written with a fraction or an exponent ("1.0",
// "1e3"): the parser gives such a number rounded to a double, so its digits need not be the ones
// written. Outside strings, valid JSON has a '.' only in a fraction and an 'e' after a digit only
// in an exponent.
bool holdsNumberWithFraction(const QByteArray& bytes) {
    bool inString = false;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (inString) {
            i += c == '\\' ? 1 : 0;
            inString = c != '"';
        } else if (c == '"') {
            inString = true;
        } else if (c == '.' ||
                   ((c == 'e' || c == 'E') && i > 0 && std::isdigit(uchar(bytes[i - 1])))) {
            return true;
        }
    }
    return false;
}

// The text a value gives its field: a string as it is, a whole number as its decimal digits, as
// far as JSON parsers keep it exactly (2^53).
QString fieldText(const QString& path, const QString& key, const QJsonValue& value) {
    constexpr qint64 kLargestExact = qint64(1) << 53;
    if (!value.isString()) {
        const qint64 number = value.toInteger(kLargestExact + 1);
        if (number > kLargestExact || number < -kLargestExact) {
            failWith(path, QStringLiteral("the value of %1 is not a string or a whole number up "
                                          "to 2^53.")
                               .arg(quotedKey(key)));
        }
        return QString::number(number);
    }
    const QString text = value.toString();
    // "\ud800" is valid JSON, but a lone surrogate is no character and has no UTF-8.
    if (!text.isValidUtf16()) {
        failWith(path, QStringLiteral("the value of %1 holds a lone surrogate, which is not "
                                      "valid Unicode.")
                           .arg(quotedKey(key)));
    }
    return text;
}

}  // namespace

std::map<InputField, QString> readValuesFile(const QString& path) {
    QByteArray bytes;
    // Unchanged, so that the JSON parser sees (and can refuse) whatever UTF-8 the file holds.
    try {
        bytes = readWholeFile(path, FileAccess::NamedByUser);
    } catch (...) {
        failWith(path, currentErrorInfo().description);
    }
    // A byte-order mark of UTF-16 or UTF-32, or a NUL in the first four bytes, which no JSON in
    // UTF-8 has: UTF-16 has a NUL in every character of ASCII text, UTF-32 three.
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF") ||
        bytes.left(4).contains('\0')) {
        failWith(path, QStringLiteral("looks like UTF-16; save it as UTF-8"));
    }
    // Editors that save UTF-8 with a byte-order mark are common; JSON has no place for one.
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        bytes.remove(0, 3);
    }
    const QJsonObject object = parseObject(path, bytes);
    if (holdsNumberWithFraction(bytes)) {
        failWith(path, QStringLiteral("a number with a fraction or an exponent (such as 1.0 or "
                                      "1e3) cannot be a value; write a whole number's digits, or "
                                      "a string."));
    }
    std::map<InputField, QString> values;
    for (auto it = object.begin(); it != object.end(); ++it) {
        const auto field = std::ranges::find_if(kFields, [&it](const FieldDescription& field) {
            return it.key() == QLatin1String(field.key);
        });
        if (field == kFields.end()) {
            failWith(path, QStringLiteral("unknown key %1; the keys are the names of the "
                                          "value options without the dashes, such as \"%2\".")
                               .arg(quotedKey(it.key()),
                                    QLatin1String(describe(InputField::ProjAName).key)));
        }
        // The parser keeps a repeated key's last value, but gives a key behind a raw U+FEFF
        // without it: a second key for the same field, and which one is meant cannot be told.
        if (!values.try_emplace(field->field, fieldText(path, it.key(), it.value())).second) {
            failWith(path, QStringLiteral("the key %1 is given twice.").arg(quotedKey(it.key())));
        }
    }
    return values;
}

}  // namespace brindlewick
