#pragma once

#include "TemplateEngine.h"

namespace brindlewick {

// The template syntax: {N} with N a decimal number from 0 to one less than the value count
// (leading zeros allowed) inserts value N as it is; {N:xml}, {N:json} and {N:url} insert it
// escaped for XML, for the content of a JSON string, or URL-encoded (PlaceholderFormats.h), and
// the stretches they insert are the engine's escaped ranges. {{ gives a literal { and }} a literal
// }. Any other brace, and any other format, is an error whose description names the line and the
// column (both from 1, columns in UTF-16 units). LoadTemplate's second argument, when not empty,
// names the template in error descriptions.
class BraceTemplateEngine final : public TemplateEngine {
  public:
    explicit BraceTemplateEngine(int valueCount);

    void Render(QStringList& values, QString& result) override;
    void LoadTemplate(QString& templateText, QString& templateName) override;
    QList<TextRange> escapedRanges() const override { return escapedRanges_; }

  private:
    int valueCount_;
    QString templateText_;  // shared with the caller's text, not copied
    bool loaded_ = false;
    QList<TextRange> escapedRanges_;
};

}  // namespace brindlewick
