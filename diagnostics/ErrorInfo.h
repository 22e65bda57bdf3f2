#pragma once

#include <QString>
#include <exception>

namespace brindlewick {

// Every error number the program raises, in one place. Descriptions travel with the failure;
// the number tells the kind of failure and the source names the component that raised it.
enum class ErrorNumber : int {
    Unexpected = 1,            // a failure of a kind the program does not know
    OutOfMemory = 7,           // an allocation failed
    NoCharacterCode = 1001,    // the encoder was given an empty character
    FileOpen = 2001,           // the file does not exist, is not a regular file or cannot be opened
    FileRead = 2002,           // reading an open file failed
    FileClose = 2003,          // closing an open file failed
    TemplateSyntax = 3001,     // a brace is neither an escape nor a placeholder
    TemplateNotLoaded = 3002,  // Render was called before LoadTemplate
    TemplateValues = 3003,     // too few values, or one its placeholder's format cannot insert
    TemplateUnreadable = 3004,  // the template file could not be read or is empty
    TemplateNotFound = 3005,    // no template file in any of the folders searched
    TemplateEncoding = 3006,  // the template file holds NUL bytes: UTF-16 without a BOM or not text
    ComponentFailure = 4001,  // an outside component (logger, converter, path service) failed
    ValuesFile = 5001,        // a values file cannot be read or is not a JSON object of strings
    OutputWrite = 5002,       // the result of a Generate from the command line was not written
};

// The error information of a failure: its number, a description for the user and the component
// or procedure that raised it.
struct ErrorInfo {
    int number = 0;
    QString description;
    QString source;

    friend bool operator==(const ErrorInfo&, const ErrorInfo&) = default;
};

// The exception that carries a failure's error information across a procedure's body to its trap.
class ComponentError : public std::exception {
  public:
    ComponentError(ErrorNumber number, QString description, QString source);
    explicit ComponentError(ErrorInfo info);

    const ErrorInfo& info() const noexcept { return info_; }
    const char* what() const noexcept override { return utf8Description_.constData(); }

  private:
    ErrorInfo info_;
    QByteArray utf8Description_;
};

// The error information of the exception being handled. Call it only inside a catch block:
// it turns a ComponentError into its own information and any other exception into an
// Unexpected or OutOfMemory failure.
ErrorInfo currentErrorInfo();

}  // namespace brindlewick
