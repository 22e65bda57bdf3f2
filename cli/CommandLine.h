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

enum class RunMode { Window, Help, Version, Generate, UsageError };

// What `brindlewick generate` is asked to do. A path that was not given is empty.
struct GenerateRequest {
    QString templatePath;
    QString valuesPath;
    QString outputPath;
    // The fields the command line sets; they override the values file.
    std::map<InputField, QString> values;
};

struct CommandLine {
    RunMode mode = RunMode::Window;
    GenerateRequest generate;
    QString usageError;  // what is wrong, for RunMode::UsageError
};

// The names of generate's file options.
inline constexpr auto kTemplateOption = "template";
inline constexpr auto kValuesOption = "values";
inline constexpr auto kOutputOption = "output";

// The program's arguments, its own name first, decoded as QCoreApplication decodes them.
QStringList argumentsOf(int argc, char** argv);

// What the arguments ask for. Qt's own window options (-platform, -style, ...) are accepted in
// window mode and left for QApplication; `generate` is a command only as the first argument.
CommandLine parseCommandLine(const QStringList& arguments);

}  // namespace brindlewick
