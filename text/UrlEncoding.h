#pragma once

#include <QString>
#include <QStringView>

namespace brindlewick {

// The rules EncodeString can apply to each character.
namespace EncodeMode {
inline constexpr qint32 Url = 1;           // URLEncodeChar
inline constexpr qint32 UriComponent = 4;  // URIEscapeChar
}  // namespace EncodeMode

// Each procedure here is named as its failure reports print it.

// The URL encoding of a text: letters and digits stay, every other character becomes a percent
// escape of its Windows-1252 code ("My Proj/Add View" gives "My%20Proj%2FAdd%20View").
// Characters outside the code page become the escapes of their UTF-8 bytes.
QString TzStrMan_UrlEncode(QString text);

// The text with each character replaced by the outcome of the mode's rule; any mode other than
// EncodeMode::Url and EncodeMode::UriComponent copies the text unchanged. A surrogate pair is
// encoded as one character.
QString EncodeString(QString text, qint32 mode);

// Appends the URI-component form of `character` to `result`: letters, digits and the marks
// ! ' ( ) * - . _ ~ stay, anything else is encoded by URLEncodeChar. Appends nothing on failure.
void URIEscapeChar(QStringView character, QString& result);

// Appends the URL form of `character` to `result`. `code` holds the character's code, or -1 to
// have it computed and stored back. The code alone decides: letters and digits stay, any other
// code becomes "%XX" (a code outside 0 to 255 becomes the escapes of the UTF-8 bytes of the
// character it stands for). Appends nothing on failure.
void URLEncodeChar(QStringView character, qint32& code, QString& result);

}  // namespace brindlewick
