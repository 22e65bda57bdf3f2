#include "Reports.h"

#include "Components.h"

namespace brindlewick {

void reportToLogger(QString message, const ErrorInfo* error, ReportKind kind) {
    Components::errorLogger().LogMessage(message, error, kind.level, kind.mask);
}

void reportCurrentFailure(QString message, ReportKind kind) {
    const ErrorInfo info = currentErrorInfo();
    reportToLogger(std::move(message), &info, kind);
}

}  // namespace brindlewick
