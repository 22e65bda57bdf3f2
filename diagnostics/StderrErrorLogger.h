#pragma once

#include "ErrorLogger.h"

namespace brindlewick {

// Formats one report as a single line, without the category's prefix; control characters in
// the texts are escaped so that a report never spans two lines. The format is documented in
// README ("Diagnostics").
QString formatReport(const QString& message, const ErrorInfo* error, qint32 level, qint32 mask);

// The default logger: each report is one message of the logging category "brindlewick", a
// warning for a failure and a debug message for a trace. Qt's default message handler writes it
// on standard error, where a desktop session's journal collects it.
class StderrErrorLogger final : public ErrorLogger {
  public:
    void LogMessage(QString& message, const ErrorInfo* error, qint32& level, qint32& mask) override;
};

}  // namespace brindlewick
