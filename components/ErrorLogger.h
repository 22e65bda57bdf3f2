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

// Hands one report to the shared logger, creating it on first use. Any failure of the logger,
// including its creation, propagates to the caller.
void reportToLogger(QString message, const ErrorInfo* error, qint32 level, qint32 mask);

// Reports the failure being handled, with its error information. Call it only inside a catch
// block. A failure of the report itself propagates to the caller.
void reportCurrentFailure(QString message, qint32 level, qint32 mask);

}  // namespace brindlewick
