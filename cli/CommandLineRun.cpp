#include "CommandLineRun.h"

#include <QCoreApplication>
#include <cstdio>

#include "ErrorInfo.h"
#include "GenerateCommand.h"
#include "HelpText.h"
#include "MemoryGeneratorView.h"
#include "ResultOutput.h"
#include "ValuesFile.h"

namespace brindlewick {

namespace {

int exitWith(ExitCode code) {
    return static_cast<int>(code);
}

// One line on standard error, prefixed with the program's name, so that a script's log keeps
// one report to a line.
void printError(const QString& message) {
    QString line = message;
    line.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    line.replace(u'\n', u' ');
    line.replace(u'\r', u' ');
    std::fputs(QStringLiteral("brindlewick: %1\n").arg(line).toUtf8().constData(), stderr);
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

void writeResult(const GenerateRequest& request, const QString& output) {
    const QByteArray bytes = output.toUtf8();
    if (request.outputPath.isEmpty() || request.outputPath == QStringLiteral("-")) {
        writeToStandardOutput(bytes);
    } else {
        writeToOutputPath(request.outputPath, bytes);
    }
}

int generate(const GenerateRequest& request) {
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

int runCommandLine(const CommandLine& commandLine) {
    return closeStandardOutputAfter(run(commandLine));
}

}  // namespace brindlewick
