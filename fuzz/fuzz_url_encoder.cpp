// The URL encoder against a slow reference that applies the encoding rules one character at a
// time. Each input is tried as UTF-16 units (lone surrogates included), as Windows-1252 bytes and
// as UTF-8.
#include <QString>
#include <cstddef>
#include <cstdint>

#include "Components.h"
#include "FuzzCheck.h"
#include "UrlEncoding.h"

using namespace brindlewick;
using namespace brindlewick::fuzz;

namespace {

// The encoder reports a failure only when something is broken: any report is a finding.
class FindingLogger final : public ErrorLogger {
  public:
    void LogMessage(QString& message, const ErrorInfo* error, qint32&, qint32&) override {
        require(false, "the encoder reports no failure",
                message + u' ' + (error ? error->description : QString()));
    }
};

bool isAsciiAlphanumeric(qint32 code) {
    return (code >= '0' && code <= '9') || (code >= 'A' && code <= 'Z') ||
           (code >= 'a' && code <= 'z');
}

bool isUriMark(qint32 code) {
    return code == '!' || code == '\'' || code == '(' || code == ')' || code == '*' ||
           code == '-' || code == '.' || code == '_' || code == '~';
}

// The Windows-1252 byte of a character, or -1 when the code page lacks it.
qint32 cp1252Byte(char32_t scalar) {
    if (scalar < 0x80 || (scalar >= 0xA0 && scalar <= 0xFF)) {
        return static_cast<qint32>(scalar);
    }
    for (qint32 i = 0; i < 32; ++i) {
        if (kCp1252High[i] == scalar) {
            return 0x80 + i;
        }
    }
    return -1;
}

QString percentEscape(unsigned byte) {
    constexpr char16_t kHexDigits[] = u"0123456789ABCDEF";
    const char16_t escape[] = {u'%', kHexDigits[byte / 16], kHexDigits[byte % 16]};
    return QString(reinterpret_cast<const QChar*>(escape), 3);
}

// Mode 1 keeps ASCII letters and digits; mode 4 also keeps the marks ! ' ( ) * - . _ ~. Any
// other character in Windows-1252 becomes the escape of its byte, and a character outside it the
// escapes of its UTF-8 bytes.
QString referenceEncode(const QString& text, qint32 mode) {
    QString encoded;
    for (qsizetype i = 0; i < text.size(); ++i) {
        qsizetype units = 1;
        char32_t scalar = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            scalar = QChar::surrogateToUcs4(text[i], text[i + 1]);
            units = 2;
        } else if (text[i].isSurrogate()) {
            scalar = 0xFFFD;
        }
        const QString character = text.mid(i, units);
        i += units - 1;

        const qint32 byte = cp1252Byte(scalar);
        if (byte < 0) {
            const auto characterOfScalar = QChar::fromUcs4(scalar);
            for (const char utf8Byte : QStringView(characterOfScalar).toUtf8()) {
                encoded += percentEscape(static_cast<unsigned char>(utf8Byte));
            }
        } else if (isAsciiAlphanumeric(byte) ||
                   (mode == EncodeMode::UriComponent && isUriMark(byte))) {
            encoded += character;
        } else {
            encoded += percentEscape(static_cast<unsigned>(byte));
        }
    }
    return encoded;
}

bool holdsOnlyLettersDigitsAndPercent(const QString& text) {
    for (const QChar c : text) {
        if (!isAsciiAlphanumeric(c.unicode()) && c != u'%') {
            return false;
        }
    }
    return true;
}

void requireEqual(const QString& encoded, const QString& expected, const char* property,
                  const QString& text) {
    if (encoded != expected) {
        require(false, property,
                QStringLiteral("text:     %1\nencoded:  %2\nexpected: %3")
                    .arg(units(text), units(encoded), units(expected)));
    }
}

void checkEncoding(const QString& text) {
    const QString url = EncodeString(text, EncodeMode::Url);
    requireEqual(url, referenceEncode(text, EncodeMode::Url), "mode 1 matches the reference", text);
    require(holdsOnlyLettersDigitsAndPercent(url), "mode 1 gives only letters, digits and %", url);
    requireEqual(TzStrMan_UrlEncode(text), url, "TzStrMan_UrlEncode is mode 1", text);

    requireEqual(EncodeString(text, EncodeMode::UriComponent),
                 referenceEncode(text, EncodeMode::UriComponent), "mode 4 matches the reference",
                 text);

    for (const qint32 otherMode : {0, 2, 3, 5, -1}) {
        requireEqual(EncodeString(text, otherMode), text, "other modes copy the text", text);
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    Components::setErrorLoggerFactory([] { return std::make_unique<FindingLogger>(); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    checkEncoding(utf16Units(data, size));
    checkEncoding(cp1252Text(data, size));
    checkEncoding(
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    return 0;
}
