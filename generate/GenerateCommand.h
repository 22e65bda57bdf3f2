#pragma once

#include <QString>
#include <map>
#include <optional>

#include "Fields.h"
#include "TemplateEngine.h"
#include "TemplateFile.h"

namespace brindlewick {

// The texts of the fields; a field without one is empty, as an empty field in the window.
using FieldTexts = std::map<InputField, QString>;

// What a Generate gives.
struct Definition {
    // The template filled in with the fields' values, the view paths encoded in it. After a
    // failure in the encoding passes, the text as the passes that finished left it; none when the
    // run failed before the template was filled in.
    std::optional<QString> text;
    // The stretches of the text that its formatted placeholders wrote and the passes left alone.
    QList<TextRange> escapedRanges;
    // The description of the failure that ended the run, if one did.
    std::optional<QString> failure;
};

// One run of Generate: fills the template with the fields' values and encodes the view paths in
// it. A failure ends the run and is given back with the text as far as it got.
Definition generateDefinition(const FieldTexts& fields, TemplateFile templateFile);

}  // namespace brindlewick
