#pragma once

#include <QString>

namespace brindlewick {

// Converts the body of a file after it has been read. Failures are thrown as ComponentError.
class TextConversionService {
  public:
    virtual ~TextConversionService() = default;
    virtual void ConvertText(QString text, QString& result) = 0;
};

}  // namespace brindlewick
