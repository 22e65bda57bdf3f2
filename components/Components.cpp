#include "Components.h"

#include "BraceTemplateEngine.h"
#include "EncodingRepairConversion.h"
#include "QtFileSystemObject.h"
#include "StandardFilePathService.h"
#include "StderrErrorLogger.h"

namespace brindlewick {

namespace {

template <typename Component, typename Default>
Factory<Component> defaultFactory() {
    return [] { return std::make_unique<Default>(); };
}

// A component created anew by its factory on each use.
template <typename Component, typename Default>
class FreshSlot {
  public:
    std::unique_ptr<Component> create() const { return factory_(); }
    void setFactory(Factory<Component> factory) { factory_ = std::move(factory); }
    void restoreDefault() { factory_ = defaultFactory<Component, Default>(); }

  private:
    Factory<Component> factory_ = defaultFactory<Component, Default>();
};

// A component created by its factory on first use and shared from then on.
template <typename Component, typename Default>
class SharedSlot {
  public:
    Component& instance() {
        if (!instance_) {
            instance_ = fresh_.create();
        }
        return *instance_;
    }
    void setFactory(Factory<Component> factory) {
        instance_.reset();
        fresh_.setFactory(std::move(factory));
    }
    void restoreDefault() {
        instance_.reset();
        fresh_.restoreDefault();
    }

  private:
    FreshSlot<Component, Default> fresh_;
    std::unique_ptr<Component> instance_;
};

struct Registry {
    SharedSlot<ErrorLogger, StderrErrorLogger> errorLogger;
    SharedSlot<FilePathService, StandardFilePathService> filePathService;
    SharedSlot<TextConversionService, EncodingRepairConversion> textConversionService;
    FreshSlot<TemplateEngine, BraceTemplateEngine> templateEngine;
    FreshSlot<FileSystemObject, QtFileSystemObject> fileSystemObject;
};

Registry& registry() {
    static Registry instance;
    return instance;
}

}  // namespace

ErrorLogger& Components::errorLogger() {
    return registry().errorLogger.instance();
}

FilePathService& Components::filePathService() {
    return registry().filePathService.instance();
}

TextConversionService& Components::textConversionService() {
    return registry().textConversionService.instance();
}

std::unique_ptr<TemplateEngine> Components::newTemplateEngine() {
    return registry().templateEngine.create();
}

std::unique_ptr<FileSystemObject> Components::newFileSystemObject() {
    return registry().fileSystemObject.create();
}

void Components::setErrorLoggerFactory(Factory<ErrorLogger> factory) {
    registry().errorLogger.setFactory(std::move(factory));
}

void Components::setFilePathServiceFactory(Factory<FilePathService> factory) {
    registry().filePathService.setFactory(std::move(factory));
}

void Components::setTextConversionServiceFactory(Factory<TextConversionService> factory) {
    registry().textConversionService.setFactory(std::move(factory));
}

void Components::setTemplateEngineFactory(Factory<TemplateEngine> factory) {
    registry().templateEngine.setFactory(std::move(factory));
}

void Components::setFileSystemObjectFactory(Factory<FileSystemObject> factory) {
    registry().fileSystemObject.setFactory(std::move(factory));
}

void Components::restoreDefaults() {
    Registry& slots = registry();
    slots.errorLogger.restoreDefault();
    slots.filePathService.restoreDefault();
    slots.textConversionService.restoreDefault();
    slots.templateEngine.restoreDefault();
    slots.fileSystemObject.restoreDefault();
}

}  // namespace brindlewick
