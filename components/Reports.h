#pragma once

#include <QString>

#include "ErrorInfo.h"
#include "ErrorLogger.h"

namespace brindlewick {

// Hands one report to the shared logger, creating it on first use. Any failure of the logger,
// including its creation, propagates to the caller.
void reportToLogger(QString message, const ErrorInfo* error, ReportKind kind);

// Reports the failure being handled, with its error information. Call it only inside a catch
// block. A failure of the report itself propagates to the caller.
void reportCurrentFailure(QString message, ReportKind kind);

}  // namespace brindlewick
