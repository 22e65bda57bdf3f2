#pragma once

#include <QString>
#include <QStringView>
#include <optional>

namespace brindlewick {

// How a placeholder inserts its value: as it is ({N}), or escaped ({N:xml}, {N:json}, {N:url}).
enum class PlaceholderFormat { AsIs, Xml, Json, Url };

// The format named after a placeholder's colon ("xml", "json" or "url", case included); nothing
// for any other name.
std::optional<PlaceholderFormat> placeholderFormatNamed(QStringView name);

// The placeholder of value `index` in one of the named formats, as a template writes it: "{2:xml}".
QString placeholderText(int index, PlaceholderFormat format);

// `value` as a placeholder of `format` inserts it:
// - Xml: & < > " ' become &amp; &lt; &gt; &quot; &apos;, the tab and line breaks &#9; &#10;
//   &#13;, so the value is safe in element text and in attributes with either quote, and a
//   parser gives it back whole;
// - Json: the content of a JSON string: " and \ escaped, control characters as \n, \t, \uXXXX;
// - Url: percent-encoded by TzStrMan_UrlEncode, as the view paths are.
// `index` names the value in failures: a value holding a character XML does not allow (a control
// character other than the tab and line breaks, U+FFFE, U+FFFF) cannot be inserted as XML, and a
// value the URL encoder failed on (it reports why) is not inserted as empty.
QString formatValue(const QString& value, PlaceholderFormat format, int index);

}  // namespace brindlewick
