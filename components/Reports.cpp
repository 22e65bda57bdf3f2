#include "Reports.h"

#include "Components.h"

namespace brindlewick {

void reportToLogger(QString message, const ErrorInfo* error, qint32 level, qint32 mask) {
    Components::errorLogger().LogMessage(message, error, level, mask);
}

void reportCurrentFailure(QString message, qint32 level, qint32 mask) {
    const ErrorInfo info = currentErrorInfo();
    reportToLogger(std::move(message), &info, level, mask);
}

}  // namespace brindlewick
