#include "DefaultComponents.h"

#include "BraceTemplateEngine.h"
#include "Components.h"
#include "EncodingRepairConversion.h"
#include "Fields.h"
#include "QtFileSystemObject.h"
#include "StandardFilePathService.h"
#include "StderrErrorLogger.h"

namespace brindlewick {

void installDefaultComponents() {
    Components::setErrorLoggerFactory([] { return std::make_unique<StderrErrorLogger>(); });
    Components::setFilePathServiceFactory(
        [] { return std::make_unique<StandardFilePathService>(); });
    Components::setTextConversionServiceFactory(
        [] { return std::make_unique<EncodingRepairConversion>(); });
    Components::setTemplateEngineFactory(
        [] { return std::make_unique<BraceTemplateEngine>(kFieldCount); });
    Components::setFileSystemObjectFactory([] { return std::make_unique<QtFileSystemObject>(); });
}

}  // namespace brindlewick
