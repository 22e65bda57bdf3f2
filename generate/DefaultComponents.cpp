#include "DefaultComponents.h"

#include "BraceTemplateEngine.h"
#include "Components.h"
#include "EncodingRepairConversion.h"
#include "Fields.h"
#include "QtFileSystemObject.h"
#include "StandardFilePathService.h"
#include "StderrErrorLogger.h"

namespace brindlewick {

namespace {

template <typename Implementation>
auto factoryOf() {
    return [] { return std::make_unique<Implementation>(); };
}

}  // namespace

void installDefaultComponents() {
    Components::setErrorLoggerFactory(factoryOf<StderrErrorLogger>());
    Components::setFilePathServiceFactory(factoryOf<StandardFilePathService>());
    Components::setTextConversionServiceFactory(factoryOf<EncodingRepairConversion>());
    Components::setTemplateEngineFactory(
        [] { return std::make_unique<BraceTemplateEngine>(kFieldCount); });
    Components::setFileSystemObjectFactory(factoryOf<QtFileSystemObject>());
}

}  // namespace brindlewick
