#pragma once

#include <QString>
#include <QStringList>

namespace brindlewick {

// Fills a template with values addressed by index. Failures, such as a syntax error in the
// template, are thrown as ComponentError with a description for the user.
class TemplateEngine {
  public:
    virtual ~TemplateEngine() = default;
    virtual void Render(QStringList& values, QString& result) = 0;
    virtual void LoadTemplate(QString& templateText, QString& templateName) = 0;
};

}  // namespace brindlewick
