#pragma once

#include <QStringList>

#include "GeneratorView.h"
#include "TemplateEngine.h"

namespace brindlewick {

inline constexpr auto kTemplateFileName = "Template.txt";

// The twelve values the template refers to by index: the IDs, the names, the four view paths,
// the grid field IDs and the linked data-source types, each as an A, B pair.
QStringList buildFieldValues(const GeneratorView& view);

// Replaces every occurrence of each view path in the output by its URL encoding, one path at a
// time, longest first, writing the output after each; a path whose project or view name is empty
// is left alone, and so are the escaped ranges of the output (TemplateEngine::escapedRanges).
// A path the encoder fails on fails the run.
void encodeViewPaths(GeneratorView& view, QList<TextRange> escapedRanges = {});

// One run of Generate: reads the template, fills in the field values, writes the result into the
// output and encodes the view paths in it. The template is the one `templatePath` names or, when
// that is empty, the first Template.txt found in the program's folder or the data folders. A
// failure ends the run, keeps the output as it then stands and is shown through the view.
void runGenerateCommand(GeneratorView& view, const QString& applicationFolder,
                        const QString& templatePath = QString());

}  // namespace brindlewick
