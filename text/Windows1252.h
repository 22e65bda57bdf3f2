#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

namespace brindlewick::windows1252 {

// The program's ANSI code page is Windows-1252. All 256 bytes round-trip: the five bytes that
// Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the C1 controls of the
// same value.

// The byte of a UTF-16 unit that the code page holds, or -1 when it holds none.
int byteOf(char16_t unit);

// The code of the character at the start of `character` (one unit, or a surrogate pair taken
// as one character). Characters in the code page get their byte, 0 to 255. Any other character
// gets minus its Unicode scalar value, and a lone surrogate counts as U+FFFD, so that no
// character is lost as '?'. Throws ComponentError when `character` is empty.
qint32 codeOf(QStringView character);

QString decode(QByteArrayView bytes);

// Encodes text as Windows-1252 bytes into `bytes`. Returns false, leaving `bytes` unspecified,
// when the text holds a character that the code page does not hold.
bool encode(QStringView text, QByteArray& bytes);

}  // namespace brindlewick::windows1252
