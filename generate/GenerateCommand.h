#pragma once

#include "GeneratorView.h"

namespace brindlewick {

inline constexpr auto kTemplateFileName = "Template.txt";

// One run of Generate: reads the template, fills in the field values, writes the result into the
// output and encodes the view paths in it. The template is the one `templatePath` names or, when
// that is empty, the first Template.txt found in the program's folder or the data folders. A
// failure ends the run, keeps the output as it then stands and is shown through the view.
void runGenerateCommand(GeneratorView& view, const QString& applicationFolder,
                        const QString& templatePath = QString());

}  // namespace brindlewick
