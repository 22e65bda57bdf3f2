#pragma once

#include <QString>

#include "ErrorInfo.h"

namespace brindlewick {

// The classes of report, as the (level, mask) pairs the logger is given.
struct ReportKind {
    qint32 level;
    qint32 mask;
};
inline constexpr ReportKind kEncoderEntryFailure{1, 1};  // a failure in TzStrMan_UrlEncode
inline constexpr ReportKind kProcedureFailure{2, 1};     // a failure in any other procedure
inline constexpr ReportKind kStartTrace{4, 128};         // GetBodyFromTextFile's start trace

// The diagnostic sink. `error` is null for a trace message and points at the failure being
// handled for a failure report. A logger that cannot take a report throws ComponentError.
class ErrorLogger {
  public:
    virtual ~ErrorLogger() = default;
    virtual void LogMessage(QString& message, const ErrorInfo* error, qint32& level,
                            qint32& mask) = 0;
};

}  // namespace brindlewick
