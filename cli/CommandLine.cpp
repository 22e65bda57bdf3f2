#include "CommandLine.h"

#include <QCommandLineParser>
#include <array>
#include <optional>

#include "Fields.h"

namespace brindlewick {

namespace {

// The window options that QGuiApplication and QApplication take out of the command line.
constexpr std::array kQtWindowOptionsWithValue = {
    "platform",      "platformpluginpath",
    "platformtheme", "plugin",
    "qmljsdebugger", "qwindowgeometry",
    "qwindowicon",   "qwindowtitle",
    "session",       "display",
    "geometry",      "name",
    "title",         "style",
    "stylesheet",
};
constexpr std::array kQtWindowFlags = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

const QCommandLineOption kHelpOption(QStringList{QStringLiteral("h"), QStringLiteral("help")});
const QCommandLineOption kVersionOption(QStringList{QStringLiteral("v"),
                                                    QStringLiteral("version")});

QCommandLineOption optionWithValue(const char* name, const char* valueName) {
    return QCommandLineOption(QString::fromLatin1(name), QString(), QString::fromLatin1(valueName));
}

CommandLine usageError(const QString& message) {
    return {RunMode::UsageError, {}, message};
}

// Help and version win over stray arguments: `brindlewick --help anything` still helps.
std::optional<CommandLine> helpOrVersion(const QCommandLineParser& parser) {
    if (parser.isSet(kHelpOption)) {
        return CommandLine{RunMode::Help, {}, {}};
    }
    if (parser.isSet(kVersionOption)) {
        return CommandLine{RunMode::Version, {}, {}};
    }
    return std::nullopt;
}

// Parses `arguments` and gives what ends the run before any value is looked at: a parse error,
// help or version, or an argument that is no option, which `strayArgument` describes.
std::optional<CommandLine> parseUpToValues(QCommandLineParser& parser, const QStringList& arguments,
                                           const QString& strayArgument) {
    if (!parser.parse(arguments)) {
        return usageError(parser.errorText());
    }
    if (auto early = helpOrVersion(parser)) {
        return early;
    }
    if (!parser.positionalArguments().isEmpty()) {
        return usageError(strayArgument.arg(parser.positionalArguments().first()));
    }
    return std::nullopt;
}

CommandLine parseWindowCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    // Qt's window options are words after a single dash: -platform, -style.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions({kHelpOption, kVersionOption});
    for (const char* name : kQtWindowOptionsWithValue) {
        parser.addOption(optionWithValue(name, "value"));
    }
    for (const char* name : kQtWindowFlags) {
        parser.addOption(QCommandLineOption(QString::fromLatin1(name)));
    }
    if (auto finished =
            parseUpToValues(parser, arguments, QStringLiteral("Unknown command '%1'."))) {
        return *finished;
    }
    return {};
}

// The value of a file option, which must not be empty when given.
QString fileOptionValue(const QCommandLineParser& parser, const char* name, QString& problem) {
    const QString option = QString::fromLatin1(name);
    const QString value = parser.value(option);
    if (parser.isSet(option) && value.isEmpty() && problem.isEmpty()) {
        problem = QStringLiteral("--%1 needs a file name.").arg(option);
    }
    return value;
}

CommandLine parseGenerateCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    // As in window mode, so that a stray -platform is named as it was written.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions({kHelpOption, kVersionOption});
    for (const char* name : {kTemplateOption, kValuesOption, kOutputOption}) {
        parser.addOption(optionWithValue(name, "FILE"));
    }
    for (const FieldDescription& description : kFields) {
        parser.addOption(optionWithValue(description.key, "TEXT"));
    }
    if (auto finished =
            parseUpToValues(parser, arguments, QStringLiteral("Unexpected argument '%1'."))) {
        return *finished;
    }
    CommandLine result{RunMode::Generate, {}, {}};
    QString problem;
    result.generate.templatePath = fileOptionValue(parser, kTemplateOption, problem);
    result.generate.valuesPath = fileOptionValue(parser, kValuesOption, problem);
    result.generate.outputPath = fileOptionValue(parser, kOutputOption, problem);
    if (!problem.isEmpty()) {
        return usageError(problem);
    }
    for (const FieldDescription& description : kFields) {
        const QString name = QString::fromLatin1(description.key);
        if (parser.isSet(name)) {
            result.generate.values[description.field] = parser.value(name);
        }
    }
    return result;
}

}  // namespace

QStringList argumentsOf(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments.append(QString::fromLocal8Bit(argv[i]));
    }
    return arguments;
}

CommandLine parseCommandLine(const QStringList& arguments) {
    if (arguments.size() > 1 && arguments.at(1) == u"generate") {
        QStringList generateArguments = arguments;
        generateArguments.removeAt(1);
        return parseGenerateCommandLine(generateArguments);
    }
    return parseWindowCommandLine(arguments);
}

}  // namespace brindlewick
