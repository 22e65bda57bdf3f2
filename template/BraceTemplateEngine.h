#pragma once

#include "TemplateEngine.h"

namespace brindlewick {

// The template syntax: {N} with N a decimal number from 0 to 11 inserts value N; {{ gives a
// literal { and }} a literal }. Any other brace is an error whose description names the line
// and the column (both from 1, columns in UTF-16 units). LoadTemplate's second argument, when
// not empty, names the template in error descriptions. Values are inserted as they are.
class BraceTemplateEngine final : public TemplateEngine {
  public:
    static constexpr int kValueCount = 12;

    void Render(QStringList& values, QString& result) override;
    void LoadTemplate(QString& templateText, QString& templateName) override;

  private:
    QString templateText_;  // shared with the caller's text, not copied
    bool loaded_ = false;
};

}  // namespace brindlewick
