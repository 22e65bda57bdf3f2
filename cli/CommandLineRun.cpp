#include "CommandLineRun.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QFile>
#include <QLoggingCategory>
#include <cstdio>

#include "Components.h"
#include "ErrorInfo.h"
#include "GenerateCommand.h"
#include "HelpText.h"
#include "MemoryGeneratorView.h"
#include "PrintableText.h"
#include "QtFileSystemObject.h"
#include "ResultOutput.h"
#include "ValuesFile.h"

namespace brindlewick {

namespace {

int exitWith(ExitCode code) {
    return static_cast<int>(code);
}

// The message as one line: a line break after a colon or a full stop becomes a blank, any other
// one "; ", with the next line's first word in lower case, so that sentences stay apart
// ("... empty: t.txt; reason: Permission denied").
QString joinedLines(const QString& message) {
    const QStringList lines = message.split(u'\n');
    QString joined = lines.first();
    for (QString line : lines.sliced(1)) {
        if (joined.endsWith(u':') || joined.endsWith(u'.')) {
            joined += u' ';
        } else {
            joined += QStringLiteral("; ");
            if (line.size() > 1 && line.at(0).isUpper() && line.at(1).isLower()) {
                line[0] = line.at(0).toLower();
            }
        }
        joined += line;
    }
    return joined;
}

// One line on standard error, prefixed with the program's name, so that a script's log keeps
// one report to a line. Control characters, such as one in a file name, are escaped, so that
// nothing reaches the terminal raw.
void printError(const QString& message) {
    std::fputs(QStringLiteral("brindlewick: %1\n")
                   .arg(printable(joinedLines(message)))
                   .toUtf8()
                   .constData(),
               stderr);
}

int usageError(const QString& message) {
    printError(message);
    std::fputs("Try 'brindlewick --help' for more information.\n", stderr);
    return exitWith(ExitCode::UsageError);
}

int printToStandardOutput(const QString& text) {
    try {
        writeToStandardOutput(text.toUtf8());
    } catch (...) {
        printError(currentErrorInfo().description);
        return exitWith(ExitCode::GenerateFailed);
    }
    return exitWith(ExitCode::Success);
}

// The values file's fields, overridden by those the command line gives.
std::map<InputField, QString> fieldValues(const GenerateRequest& request) {
    std::map<InputField, QString> values;
    if (!request.valuesPath.isEmpty()) {
        values = readValuesFile(request.valuesPath);
    }
    for (const auto& [field, value] : request.values) {
        values.insert_or_assign(field, value);
    }
    return values;
}

// The status of the file a path names, following links; "-" is standard input.
bool statusOf(const QString& path, struct stat& status) {
    return path == QStringLiteral("-") ? ::fstat(STDIN_FILENO, &status) == 0
                                       : ::stat(QFile::encodeName(path).constData(), &status) == 0;
}

// The option of the input that --output names too, by any name: replacing it would overwrite
// what the run reads. Empty when --output is no regular file the run reads.
QString inputNamedByOutput(const GenerateRequest& request) {
    struct stat output = {};
    if (request.outputPath.isEmpty() || request.outputPath == QStringLiteral("-") ||
        !statusOf(request.outputPath, output) || !S_ISREG(output.st_mode)) {
        return QString();
    }
    for (const auto& [option, path] : {std::pair{kValuesOption, request.valuesPath},
                                       std::pair{kTemplateOption, request.templatePath}}) {
        struct stat input = {};
        if (!path.isEmpty() && statusOf(path, input) && input.st_dev == output.st_dev &&
            input.st_ino == output.st_ino) {
            return QLatin1StringView(option);
        }
    }
    return QString();
}

void writeResult(const GenerateRequest& request, const QString& output) {
    const QByteArray bytes = output.toUtf8();
    if (request.outputPath.isEmpty() || request.outputPath == QStringLiteral("-")) {
        writeToStandardOutput(bytes);
    } else {
        writeToOutputPath(request.outputPath, bytes);
    }
}

// The command line's components: the reports stay quiet, since a failure is already the one
// line of printError, unless --verbose asks for them and the traces; and a template the user
// named is read whatever kind of file it is (a pipe, standard input), as cat would. A template
// looked up keeps the default file system, which reads only regular files.
void installCommandLineComponents(const GenerateRequest& request) {
    QLoggingCategory::setFilterRules(request.verbose ? QStringLiteral("brindlewick.debug=true")
                                                     : QStringLiteral("brindlewick=false"));
    if (!request.templatePath.isEmpty()) {
        Components::setFileSystemObjectFactory(
            [] { return std::make_unique<QtFileSystemObject>(FileAccess::NamedByUser); });
    }
}

int generate(const GenerateRequest& request) {
    if (const QString input = inputNamedByOutput(request); !input.isEmpty()) {
        return usageError(QStringLiteral("--output and --%1 name the same file: %2")
                              .arg(input, request.outputPath));
    }
    installCommandLineComponents(request);
    std::map<InputField, QString> values;
    try {
        values = fieldValues(request);
    } catch (...) {
        return usageError(currentErrorInfo().description);
    }
    MemoryGeneratorView view(std::move(values));
    runGenerateCommand(view, QCoreApplication::applicationDirPath(), request.templatePath);
    if (view.failure()) {
        printError(*view.failure());
        return exitWith(ExitCode::GenerateFailed);
    }
    try {
        writeResult(request, view.outputText());
    } catch (...) {
        printError(currentErrorInfo().description);
        return exitWith(ExitCode::GenerateFailed);
    }
    return exitWith(ExitCode::Success);
}

int run(const CommandLine& commandLine) {
    switch (commandLine.mode) {
        case RunMode::Help:
            return printToStandardOutput(helpText());
        case RunMode::Version:
            return printToStandardOutput(versionText());
        case RunMode::Generate:
            return generate(commandLine.generate);
        case RunMode::NoDisplay:
            printWindowUnavailable(QStringLiteral("no display to open the window on"));
            return exitWith(ExitCode::GenerateFailed);
        case RunMode::UsageError:
        case RunMode::Window:
            break;
    }
    return usageError(commandLine.usageError);
}

// A run that succeeded fails after all when standard output reports an error on close.
int closeStandardOutputAfter(int exitCode) {
    if (exitCode != exitWith(ExitCode::Success)) {
        return exitCode;
    }
    try {
        closeStandardOutput();
    } catch (...) {
        printError(currentErrorInfo().description);
        return exitWith(ExitCode::GenerateFailed);
    }
    return exitCode;
}

}  // namespace

void printWindowUnavailable(const QString& what) {
    printError(what + QStringLiteral("; to generate without a window, use 'brindlewick generate' "
                                     "(see --help)"));
}

int runCommandLine(const CommandLine& commandLine) {
    return closeStandardOutputAfter(run(commandLine));
}

}  // namespace brindlewick
