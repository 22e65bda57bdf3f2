#pragma once

#include "ErrorLogger.h"

namespace brindlewick {

// Formats one report as a single line; control characters in the texts are escaped so that a
// report never spans two lines. The format is documented in README ("Diagnostics").
QString formatLogLine(const QString& message, const ErrorInfo* error, qint32 level, qint32 mask);

// Whether a logger passes on the trace reports (level 4 and above) or only the failures.
enum class Traces { Shown, Hidden };

// The default logger: one line per report on standard error, where a desktop session's journal
// collects it. Diagnostics are best effort, so a failed write is not a failure of the report.
// The window shows every report; the command line hides the traces unless asked for them, so
// that a run that succeeds prints nothing.
class StderrErrorLogger final : public ErrorLogger {
  public:
    explicit StderrErrorLogger(Traces traces = Traces::Shown) : traces_(traces) {}
    void LogMessage(QString& message, const ErrorInfo* error, qint32& level, qint32& mask) override;

  private:
    Traces traces_;
};

}  // namespace brindlewick
