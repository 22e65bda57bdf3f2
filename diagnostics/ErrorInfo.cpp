#include "ErrorInfo.h"

#include <new>

namespace brindlewick {

ComponentError::ComponentError(ErrorNumber number, QString description, QString source)
    : ComponentError(
          ErrorInfo{static_cast<int>(number), std::move(description), std::move(source)}) {}

ComponentError::ComponentError(ErrorInfo info)
    : info_(std::move(info)), utf8Description_(info_.description.toUtf8()) {}

ErrorInfo currentErrorInfo() {
    try {
        throw;
    } catch (const ComponentError& error) {
        return error.info();
    } catch (const std::bad_alloc&) {
        return {static_cast<int>(ErrorNumber::OutOfMemory), QStringLiteral("Out of memory"),
                QStringLiteral("brindlewick")};
    } catch (const std::exception& error) {
        return {static_cast<int>(ErrorNumber::Unexpected), QString::fromUtf8(error.what()),
                QStringLiteral("brindlewick")};
    } catch (...) {
        return {static_cast<int>(ErrorNumber::Unexpected),
                QStringLiteral("An unexpected error occurred."), QStringLiteral("brindlewick")};
    }
}

}  // namespace brindlewick
