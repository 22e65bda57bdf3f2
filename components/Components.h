#pragma once

#include <functional>
#include <memory>

#include "ErrorInfo.h"
#include "ErrorLogger.h"
#include "FilePathService.h"
#include "FileSystemObject.h"
#include "TemplateEngine.h"
#include "TextConversionService.h"

namespace brindlewick {

template <typename Component>
using Factory = std::function<std::unique_ptr<Component>()>;

// The registry through which the program reaches its components. The logger, the path service
// and the text conversion are shared: each is created by its factory on first use and kept until
// the program ends (or until its factory is replaced). Template engines and file-system objects
// are created anew for each use. A factory may throw ComponentError when the component cannot
// be created; the failure reaches the caller as that component's failure.
//
// The registry knows only the components' interfaces: the program's entry point installs the
// default implementations (installDefaultComponents), and tests replace factories to inject
// failing components. A component whose factory was never set fails as a ComponentFailure.
// Everything runs on the user-interface thread, so the registry takes no locks.
class Components {
  public:
    static ErrorLogger& errorLogger();
    static FilePathService& filePathService();
    static TextConversionService& textConversionService();
    static std::unique_ptr<TemplateEngine> newTemplateEngine();
    static std::unique_ptr<FileSystemObject> newFileSystemObject();

    // Replacing a shared component's factory drops the instance it had made.
    static void setErrorLoggerFactory(Factory<ErrorLogger> factory);
    static void setFilePathServiceFactory(Factory<FilePathService> factory);
    static void setTextConversionServiceFactory(Factory<TextConversionService> factory);
    static void setTemplateEngineFactory(Factory<TemplateEngine> factory);
    static void setFileSystemObjectFactory(Factory<FileSystemObject> factory);
};

}  // namespace brindlewick
