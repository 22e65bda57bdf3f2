#pragma once

#include <QString>
#include <QStringView>
#include <optional>

namespace brindlewick {

// How a placeholder inserts its value: as it is ({N}), or escaped for the text it lands in
// ({N:xml}, {N:json}, {N:url}).
enum class PlaceholderFormat { AsIs, Xml, Json, Url };

// The formats a placeholder can name, for messages: "xml", "json" and "url" in that order.
inline constexpr const char* kPlaceholderFormatNames[] = {"xml", "json", "url"};

// The format named after a placeholder's colon; nothing when `name` is none of the names above
// (names are compared exactly, case included).
std::optional<PlaceholderFormat> placeholderFormatNamed(QStringView name);

// `value` as a placeholder of `format` inserts it:
// - Xml: & < > " ' and the tab and line breaks become character references, so the value is
//   safe in element text and in attributes with either quote, and a parser gives it back whole;
// - Json: the content of a JSON string: " and \ escaped, control characters as \n, \t, \uXXXX;
// - Url: percent-encoded by TzStrMan_UrlEncode, as the view paths are.
// `index` names the value in failures: a value holding a character XML does not allow (a control
// character other than the tab and line breaks, U+FFFE, U+FFFF) cannot be inserted as XML, and a
// value the URL encoder failed on (it reports why) is not inserted as empty.
QString formatValue(const QString& value, PlaceholderFormat format, int index);

}  // namespace brindlewick
