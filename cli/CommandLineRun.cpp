#include "CommandLineRun.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <csignal>
#include <cstdio>

#include "Components.h"
#include "ErrorInfo.h"
#include "GenerateCommand.h"
#include "HelpText.h"
#include "PrintableText.h"
#include "QtFileSystemObject.h"
#include "ResultOutput.h"
#include "ValuesFile.h"

namespace brindlewick {

namespace {

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

ExitCode usageError(const QString& message) {
    printError(message);
    std::fputs("Try 'brindlewick --help' for more information.\n", stderr);
    return ExitCode::UsageError;
}

// Success, or a failure of `write` in one line and GenerateFailed.
template <typename Write>
ExitCode exitCodeOfWriting(Write write) {
    try {
        write();
    } catch (...) {
        printError(currentErrorInfo().description);
        return ExitCode::GenerateFailed;
    }
    return ExitCode::Success;
}

ExitCode printToStandardOutput(const QString& text) {
    return exitCodeOfWriting([&text] { writeToStandardOutput(text.toUtf8()); });
}

// A refusal that the run finds (exit 2), after the command line was read.
struct UsageRefusal {
    QString message;
};

// Refuses a looked-up template that --output names too: the result would replace the template
// it came from.
void refuseTemplateAsOutput(const GenerateRequest& request, const QString& lookedUpPath) {
    GenerateRequest lookedUp = request;
    lookedUp.templatePath = lookedUpPath;
    // --output naming the values file was refused when the command line was read.
    if (!inputNamedByOutput(lookedUp).isEmpty()) {
        throw UsageRefusal{
            QStringLiteral("--output names the template the lookup found: %1").arg(lookedUpPath)};
    }
}

// Generates with the command line's components: the reports stay quiet, since a failure is
// already the one line of printError, unless --verbose asks for them and the traces; and a
// template the user named is read whatever kind of file it is (a pipe, standard input), as cat
// would. A template looked up keeps the default file system, which reads only regular files.
ExitCode generate(const GenerateRequest& request) {
    QLoggingCategory::setFilterRules(request.verbose ? QStringLiteral("brindlewick.debug=true")
                                                     : QStringLiteral("brindlewick=false"));
    if (!request.templatePath.isEmpty()) {
        Components::setFileSystemObjectFactory(
            [] { return std::make_unique<QtFileSystemObject>(FileAccess::NamedByUser); });
    }
    std::map<InputField, QString> values = request.values;
    try {
        if (!request.valuesPath.isEmpty()) {
            // Only the fields the command line leaves unset come from the file.
            values.merge(readValuesFile(request.valuesPath));
        }
    } catch (...) {
        return usageError(currentErrorInfo().description);
    }
    Definition definition;
    try {
        definition = generateDefinition(
            values, readTemplate(QCoreApplication::applicationDirPath(), request.templatePath,
                                 [&request](const QString& lookedUpPath) {
                                     refuseTemplateAsOutput(request, lookedUpPath);
                                 }));
    } catch (const UsageRefusal& refusal) {
        return usageError(refusal.message);
    } catch (...) {
        definition.failure = currentErrorInfo().description;
    }
    if (definition.failure) {
        printError(*definition.failure);
        return ExitCode::GenerateFailed;
    }
    return exitCodeOfWriting(
        [&] { writeToOutputPath(request.outputPath, definition.text->toUtf8()); });
}

ExitCode run(const CommandLine& commandLine) {
    switch (commandLine.mode) {
        case RunMode::Help:
            return printToStandardOutput(helpText());
        case RunMode::Version:
            return printToStandardOutput(versionText());
        case RunMode::Generate:
            return generate(commandLine.generate);
        case RunMode::NoDisplay:
            printWindowUnavailable(QStringLiteral("no display to open the window on"));
            return ExitCode::GenerateFailed;
        case RunMode::UsageError:
        case RunMode::Window:
            break;
    }
    return usageError(commandLine.usageError);
}

}  // namespace

void printWindowUnavailable(const QString& what) {
    printError(what + QStringLiteral("; to generate without a window, use 'brindlewick generate' "
                                     "(see --help)"));
}

int runCommandLine(const CommandLine& commandLine) {
    // A write past the file-size limit fails with "File too large" and is reported, instead of
    // ending the program without a word.
    std::signal(SIGXFSZ, SIG_IGN);
    const ExitCode exitCode = run(commandLine);
    // A run that succeeded fails after all when standard output reports an error on close.
    return static_cast<int>(exitCode != ExitCode::Success ? exitCode
                                                          : exitCodeOfWriting(closeStandardOutput));
}

}  // namespace brindlewick
