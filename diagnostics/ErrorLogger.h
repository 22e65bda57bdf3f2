#pragma once

#include <QString>

#include "ErrorInfo.h"

namespace brindlewick {

// The diagnostic sink. `error` is null for a trace message and points at the failure being
// handled for a failure report. A logger that cannot take a report throws ComponentError.
class ErrorLogger {
  public:
    virtual ~ErrorLogger() = default;
    virtual void LogMessage(QString& message, const ErrorInfo* error, qint32& level,
                            qint32& mask) = 0;
};

}  // namespace brindlewick
