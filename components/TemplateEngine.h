#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace brindlewick {

// A stretch of a text: `length` units from `start`.
struct TextRange {
    qsizetype start = 0;
    qsizetype length = 0;
};

// Fills a template with values addressed by index. Failures, such as a syntax error in the
// template, are thrown as ComponentError with a description for the user.
class TemplateEngine {
  public:
    virtual ~TemplateEngine() = default;
    virtual void Render(QStringList& values, QString& result) = 0;
    virtual void LoadTemplate(QString& templateText, QString& templateName) = 0;

    // The stretches of the last Render's result that a placeholder put in escaped for the text
    // around it, in order and apart from one another. Nothing may change them afterwards: a view
    // path encoded inside an escape would break it. An engine that escapes nothing has none.
    virtual QList<TextRange> escapedRanges() const { return {}; }
};

}  // namespace brindlewick
