#pragma once

#include "TextConversionService.h"

namespace brindlewick {

// Repairs UTF-8 that was read as Windows-1252: when the text, encoded back to Windows-1252
// bytes, is valid UTF-8 with at least one byte of 0x80 or above, those bytes are decoded as
// UTF-8. Then a leading byte-order mark is dropped. Line endings are kept.
class Utf8RepairConversion final : public TextConversionService {
  public:
    void ConvertText(QString text, QString& result) override;
};

}  // namespace brindlewick
