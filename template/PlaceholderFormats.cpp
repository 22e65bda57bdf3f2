#include "PlaceholderFormats.h"

#include <algorithm>
#include <array>
#include <utility>

#include "ErrorInfo.h"
#include "EscapedText.h"
#include "UrlEncoding.h"

namespace brindlewick {

namespace {

const QString kSource = QStringLiteral("TemplateEngine");

// The name after the colon, by format; AsIs has none.
constexpr std::array<const char*, 4> kFormatNames = {"", "xml", "json", "url"};

// The references that stand for units in XML. A parser would turn a tab or a line break into a
// blank inside an attribute, and a carriage return into a line feed anywhere.
constexpr std::array<std::pair<char16_t, QStringView>, 8> kXmlReferences = {{{u'&', u"&amp;"},
                                                                             {u'<', u"&lt;"},
                                                                             {u'>', u"&gt;"},
                                                                             {u'"', u"&quot;"},
                                                                             {u'\'', u"&apos;"},
                                                                             {u'\t', u"&#9;"},
                                                                             {u'\n', u"&#10;"},
                                                                             {u'\r', u"&#13;"}}};

// The reference that stands for `unit` in XML, or nothing for a unit that stands for itself.
QStringView xmlReference(char16_t unit) {
    const auto* found =
        std::ranges::find(kXmlReferences, unit, &decltype(kXmlReferences)::value_type::first);
    return found == kXmlReferences.end() ? QStringView() : found->second;
}

QString escapedForXml(const QString& value, int index) {
    return escapedText(value, [index](QStringView text, qsizetype at) {
        const char16_t unit = text[at].unicode();
        const QStringView reference = xmlReference(unit);
        // XML allows no other control character, not even as a character reference, and neither
        // U+FFFE nor U+FFFF.
        if (reference.isEmpty() && (unit < 0x20 || unit == 0xFFFE || unit == 0xFFFF)) {
            throw ComponentError(
                ErrorNumber::TemplateValues,
                QStringLiteral("%1 cannot insert value %2: it holds U+%3, which XML does not "
                               "allow.")
                    .arg(placeholderText(index, PlaceholderFormat::Xml), QString::number(index),
                         QStringLiteral("%1").arg(unit, 4, 16, QChar(u'0')).toUpper()),
                kSource);
        }
        return reference.toString();
    });
}

// The escape that stands for a unit inside a JSON string, or nothing for a unit that stands for
// itself.
QString jsonEscape(QStringView text, qsizetype at) {
    const char16_t unit = text[at].unicode();
    if (unit == u'\b' || unit == u'\f') {
        return unit == u'\b' ? QStringLiteral("\\b") : QStringLiteral("\\f");
    }
    QString escape = backslashEscape(unit);
    if (escape.isEmpty() && unit < 0x20) {
        escape = unicodeEscape(unit);
    }
    return escape;
}

// The encoder reports its own failures and then gives an empty text: a value must not vanish
// from the result on that account.
QString encodedForUrl(const QString& value, int index) {
    QString encoded = TzStrMan_UrlEncode(value);
    if (encoded.isEmpty() && !value.isEmpty()) {
        throw ComponentError(
            ErrorNumber::ComponentFailure,
            QStringLiteral("%1: value %2 could not be URL-encoded; the diagnostics say why.")
                .arg(placeholderText(index, PlaceholderFormat::Url), QString::number(index)),
            kSource);
    }
    return encoded;
}

}  // namespace

std::optional<PlaceholderFormat> placeholderFormatNamed(QStringView name) {
    for (std::size_t i = 1; i < kFormatNames.size(); ++i) {
        if (name == QLatin1StringView(kFormatNames[i])) {
            return static_cast<PlaceholderFormat>(i);
        }
    }
    return std::nullopt;
}

QString placeholderText(int index, PlaceholderFormat format) {
    return QStringLiteral("{%1:%2}").arg(
        QString::number(index), QLatin1StringView(kFormatNames[static_cast<std::size_t>(format)]));
}

QString formatValue(const QString& value, PlaceholderFormat format, int index) {
    switch (format) {
        case PlaceholderFormat::Xml:
            return escapedForXml(value, index);
        case PlaceholderFormat::Json:
            return escapedText(value, jsonEscape);
        case PlaceholderFormat::Url:
            return encodedForUrl(value, index);
        case PlaceholderFormat::AsIs:
            break;
    }
    return value;
}

}  // namespace brindlewick
