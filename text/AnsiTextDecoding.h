#pragma once

#include <QByteArray>
#include <QString>

namespace brindlewick {

// Decodes the bytes of a file read as ANSI text, deciding once on the bytes. Bytes that are valid
// UTF-8 with at least one byte of 0x80 or above (a file saved as UTF-8, the Linux norm) are
// decoded as UTF-8 straight away: that is the text EncodingRepairConversion makes of their
// Windows-1252 reading, got in one decoding instead of a decoding, an encoding back, a validation
// and a second decoding. Any other bytes, and UTF-8 whose text that
// conversion would repair once more, are decoded as Windows-1252, so that the conversion finishes
// them as it always has.
QString decodeAnsiText(const QByteArray& bytes);

}  // namespace brindlewick
