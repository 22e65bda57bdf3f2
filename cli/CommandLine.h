#pragma once

#include <QString>
#include <QStringList>
#include <map>

#include "Fields.h"

namespace brindlewick {

// The exit status of a run from the command line.
enum class ExitCode : int {
    Success = 0,
    GenerateFailed = 1,  // the Generate command failed, or its result could not be written
    UsageError = 2,      // the command line or the values file it names is not understood
};

enum class RunMode { Window, NoDisplay, Help, Version, Generate, UsageError };

// What `brindlewick generate` is asked to do. A path that was not given is empty; "-" as the
// template or values path is standard input.
struct GenerateRequest {
    QString templatePath;
    QString valuesPath;
    QString outputPath;
    // The fields the command line sets; they override the values file.
    std::map<InputField, QString> values;
    // Whether the logger's traces go to standard error too (--verbose).
    bool verbose = false;
};

// The option ("values" or "template") of an input that `request`'s --output names too, by any
// name: replacing it would overwrite what the run reads. Empty when there is none.
QString inputNamedByOutput(const GenerateRequest& request);

struct CommandLine {
    RunMode mode = RunMode::Window;
    GenerateRequest generate;
    QString usageError;  // what is wrong, for RunMode::UsageError
    // Whether the window's display is named on the command line (-platform or -display).
    bool displayNamed = false;
};

// The program's arguments, its own name first, decoded as UTF-8. A byte that is not part of a
// valid UTF-8 sequence becomes the lone surrogate U+DC00 + byte (U+DC80 to U+DCFF), which valid
// UTF-8 never gives: such an argument is told apart from any typed text, and a message can show
// the byte (PrintableText.h).
QStringList argumentsOf(int argc, char** argv);

// What the arguments ask for. Qt's own window options (-platform, -style, ...) are accepted in
// window mode and left for QApplication; `generate` is a command only as the first argument.
// An unknown option is named as it was typed. Generate refuses a file name or value that was not
// UTF-8, naming its option, standard input for both the template and the values, and an
// --output that names a file the run reads.
CommandLine parseCommandLine(const QStringList& arguments);

}  // namespace brindlewick
