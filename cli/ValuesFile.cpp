#include "ValuesFile.h"

#include <QStringDecoder>
#include <algorithm>
#include <nlohmann/json.hpp>
#include <sstream>

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

// Text the parser has checked to be UTF-8, a U+FEFF at its start kept: QString::fromUtf8 drops
// one there, as a byte-order mark.
QString decoded(const std::string& text) {
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    return decoder(QByteArrayView(text));
}

// `problem` (if any) and what the file should hold instead.
[[noreturn]] void failAsNoObject(const QString& path, const QString& problem = QString()) {
    failWith(path, problem + QStringLiteral("it must hold a JSON object, such as {\"%1\": "
                                            "\"Sales\"}.")
                                 .arg(QLatin1String(describe(InputField::ProjAName).key)));
}

// Reads the file's JSON from the parser's events, which give each key as the file spells it,
// each string whole and each number from its digits: a whole number as a 64-bit integer, any
// other as the text written. Every key is one of the fields' keys, once; every value a string
// or a whole number. Each event that breaks the rule throws.
class ValuesReader : public nlohmann::json_sax<nlohmann::json> {
  public:
    ValuesReader(const QString& path, const QByteArray& bytes)
        : path_(path), bytes_(bytes), input_(bytes.toStdString()) {}

    std::map<InputField, QString> read() {
        nlohmann::json::sax_parse(input_, this);
        return values_;
    }

    bool start_object(std::size_t) override {
        if (inObject_) {
            refuseValue();
        }
        inObject_ = true;
        valueEnd_ = input_.tellg();
        return true;
    }
    bool key(std::string& spelled) override {
        const QString key = decoded(spelled);
        const auto field = std::ranges::find_if(kFields, [&key](const FieldDescription& field) {
            return key == QLatin1String(field.key);
        });
        // The key's opening quote is the first after the value before it.
        const QString place = positionOf(bytes_, bytes_.indexOf('"', valueEnd_));
        if (field == kFields.end()) {
            failWith(path_, QStringLiteral("unknown key %1 at %2; the keys are the names of the "
                                           "value options without the dashes, such as \"%3\".")
                                .arg(quotedKey(key), place,
                                     QLatin1String(describe(InputField::ProjAName).key)));
        }
        if (values_.contains(field->field)) {
            failWith(path_, QStringLiteral("the key %1 is given twice, the second time at %2.")
                                .arg(quotedKey(key), place));
        }
        field_ = field->field;
        return true;
    }
    bool string(std::string& text) override { return take(decoded(text)); }
    bool number_integer(number_integer_t number) override { return take(QString::number(number)); }
    bool number_unsigned(number_unsigned_t number) override {
        return take(QString::number(number));
    }
    // A number written with a fraction or an exponent, or a whole one past 64 bits.
    bool number_float(number_float_t, const std::string& written) override {
        if (written.find_first_of(".eE") != std::string::npos) {
            failWith(path_, QStringLiteral("a number with a fraction or an exponent (such as 1.0 "
                                           "or 1e3) cannot be a value; write a whole number's "
                                           "digits, or a string."));
        }
        return take(QString::fromStdString(written));
    }
    bool null() override { return refuseValue(); }
    bool boolean(bool) override { return refuseValue(); }
    bool binary(binary_t&) override { return refuseValue(); }
    bool start_array(std::size_t) override { return refuseValue(); }
    bool end_array() override { return true; }
    bool end_object() override { return true; }

    // The parser's position counts the bytes read, the one it stopped at included.
    bool parse_error(std::size_t position, const std::string&,
                     const nlohmann::detail::exception& error) override {
        // "[json.exception.parse_error.101] parse error at line 1, column 2: REASON; last read:
        // 'TEXT'": only the reason, since the text read may be huge.
        const std::string what = error.what();
        const std::size_t start = what.find(": ", what.find("column")) + 2;
        const std::string reason = what.substr(start, what.find("; last read") - start);
        failWith(path_, QStringLiteral("not valid JSON at %1: %2.")
                            .arg(positionOf(bytes_, qsizetype(position) - 1),
                                 printable(QString::fromStdString(reason))));
    }

  private:
    bool take(const QString& text) {
        if (!inObject_) {
            failAsNoObject(path_);
        }
        values_.emplace(field_, text);
        valueEnd_ = input_.tellg();
        return true;
    }

    [[noreturn]] bool refuseValue() {
        if (!inObject_) {
            failAsNoObject(path_);
        }
        failWith(path_, QStringLiteral("the value of %1 is not a string or a whole number.")
                            .arg(quotedKey(QLatin1String(describe(field_).key))));
    }

    const QString& path_;
    const QByteArray& bytes_;
    std::istringstream input_;
    std::map<InputField, QString> values_;
    bool inObject_ = false;
    InputField field_ = InputField::ProjAName;
    qsizetype valueEnd_ = 0;
};

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
    if (bytes.trimmed().isEmpty()) {
        failAsNoObject(path, QStringLiteral("it is empty; "));
    }
    return ValuesReader(path, bytes).read();
}

}  // namespace brindlewick
