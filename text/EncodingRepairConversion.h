#pragma once

#include <QStringView>

#include "TextConversionService.h"

namespace brindlewick {

// Repairs text that was read as Windows-1252 but saved in another encoding. A text that begins
// with the bytes of a UTF-16 byte-order mark (FF FE or FE FF) is decoded from its Windows-1252
// bytes as UTF-16 of that byte order. Otherwise, when those bytes are valid UTF-8 with at least
// one byte of 0x80 or above, they are decoded as UTF-8. Then a leading byte-order mark is
// dropped. Line endings are kept.
class EncodingRepairConversion final : public TextConversionService {
  public:
    void ConvertText(QString text, QString& result) override;

    // Whether ConvertText would decode the text anew (as UTF-16 or as UTF-8), rather than at most
    // drop a byte-order mark.
    static bool wouldDecodeAnew(QStringView text);
};

}  // namespace brindlewick
