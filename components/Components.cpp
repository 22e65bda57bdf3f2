#include "Components.h"

namespace brindlewick {

namespace {

// A component's factory, and the instance it made when the component is shared.
template <typename Component>
class Slot {
  public:
    explicit Slot(const char* name) : name_(name) {}

    std::unique_ptr<Component> create() const {
        if (!factory_) {
            throw ComponentError(ErrorNumber::ComponentFailure,
                                 QStringLiteral("No %1 is installed.").arg(QLatin1String(name_)),
                                 QStringLiteral("Components"));
        }
        return factory_();
    }
    Component& shared() {
        if (!instance_) {
            instance_ = create();
        }
        return *instance_;
    }
    void setFactory(Factory<Component> factory) {
        instance_.reset();
        factory_ = std::move(factory);
    }

  private:
    const char* name_;
    Factory<Component> factory_;
    std::unique_ptr<Component> instance_;
};

struct Registry {
    Slot<ErrorLogger> errorLogger{"error logger"};
    Slot<FilePathService> filePathService{"file path service"};
    Slot<TextConversionService> textConversionService{"text conversion service"};
    Slot<TemplateEngine> templateEngine{"template engine"};
    Slot<FileSystemObject> fileSystemObject{"file-system object"};
};

Registry& registry() {
    static Registry instance;
    return instance;
}

}  // namespace

ErrorLogger& Components::errorLogger() {
    return registry().errorLogger.shared();
}

FilePathService& Components::filePathService() {
    return registry().filePathService.shared();
}

TextConversionService& Components::textConversionService() {
    return registry().textConversionService.shared();
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
