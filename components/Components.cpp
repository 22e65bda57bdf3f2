#include "Components.h"

namespace brindlewick {

namespace {

// A component created anew by its factory on each use.
template <typename Component>
class FreshSlot {
  public:
    explicit FreshSlot(const char* name) : name_(name) {}

    std::unique_ptr<Component> create() const {
        if (!factory_) {
            throw ComponentError(ErrorNumber::ComponentFailure,
                                 QStringLiteral("No %1 is installed.").arg(QLatin1String(name_)),
                                 QStringLiteral("Components"));
        }
        return factory_();
    }
    void setFactory(Factory<Component> factory) { factory_ = std::move(factory); }

  private:
    const char* name_;
    Factory<Component> factory_;
};

// A component created by its factory on first use and shared from then on.
template <typename Component>
class SharedSlot {
  public:
    explicit SharedSlot(const char* name) : fresh_(name) {}

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

  private:
    FreshSlot<Component> fresh_;
    std::unique_ptr<Component> instance_;
};

struct Registry {
    SharedSlot<ErrorLogger> errorLogger{"error logger"};
    SharedSlot<FilePathService> filePathService{"file path service"};
    SharedSlot<TextConversionService> textConversionService{"text conversion service"};
    FreshSlot<TemplateEngine> templateEngine{"template engine"};
    FreshSlot<FileSystemObject> fileSystemObject{"file-system object"};
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

}  // namespace brindlewick
