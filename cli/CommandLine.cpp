#include "CommandLine.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QCommandLineParser>
#include <QFile>
#include <QStringDecoder>
#include <array>
#include <optional>

#include "Fields.h"
#include "Utf8Sequence.h"

namespace brindlewick {

namespace {

constexpr auto kTemplateOption = "template";
constexpr auto kValuesOption = "values";
constexpr auto kOutputOption = "output";

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
// -v is taken by the version, so the short form of --verbose is -d, for diagnostics.
const QCommandLineOption kVerboseOption(QStringList{QStringLiteral("d"),
                                                    QStringLiteral("verbose")});

QCommandLineOption optionWithValue(const char* name, const char* valueName) {
    return QCommandLineOption(QString::fromLatin1(name), QString(), QString::fromLatin1(valueName));
}

CommandLine usageError(const QString& message) {
    return {RunMode::UsageError, {}, message};
}

// The parser's error, with an unknown option named as the user typed it (`--bogus`, `-x`), where
// the parser gives only its name.
QString parseErrorText(const QCommandLineParser& parser, const QStringList& arguments) {
    if (parser.unknownOptionNames().isEmpty()) {
        return parser.errorText();
    }
    const QString name = parser.unknownOptionNames().first();
    QString typed = QStringLiteral("--") + name;
    for (const QString& argument : arguments.sliced(1)) {
        const QString option = argument.section(u'=', 0, 0);
        if (option == u'-' + name || option == QStringLiteral("--") + name) {
            typed = option;
            break;
        }
    }
    return QStringLiteral("Unknown option '%1'.").arg(typed);
}

// Parses `arguments` and gives what ends the run before any value is looked at: a parse error,
// an argument that is no option (`--` ends the options), which `strayArgument` describes, even
// beside help or version, as in GNU tools, or else help or version.
std::optional<CommandLine> parseUpToValues(QCommandLineParser& parser, const QStringList& arguments,
                                           const QString& strayArgument) {
    if (!parser.parse(arguments)) {
        return usageError(parseErrorText(parser, arguments));
    }
    if (!parser.positionalArguments().isEmpty()) {
        return usageError(strayArgument.arg(parser.positionalArguments().first()));
    }
    if (parser.isSet(kHelpOption)) {
        return CommandLine{RunMode::Help, {}, {}};
    }
    if (parser.isSet(kVersionOption)) {
        return CommandLine{RunMode::Version, {}, {}};
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
    CommandLine result;
    result.displayNamed =
        parser.isSet(QStringLiteral("platform")) || parser.isSet(QStringLiteral("display"));
    return result;
}

// The value of an option that takes text. A value that was not UTF-8 (argumentsOf) would lose
// its bytes on the way to a file name or into the result, so it is refused.
QString textOptionValue(const QCommandLineParser& parser, const QString& option,
                        const QString& what, QStringList& problems) {
    const QString value = parser.value(option);
    if (!value.isValidUtf16()) {
        problems.append(QStringLiteral("--%1: the %2 is not valid UTF-8.").arg(option, what));
    }
    return value;
}

// The value of a file option, which must not be empty when given.
QString fileOptionValue(const QCommandLineParser& parser, const char* name, QStringList& problems) {
    const QString option = QString::fromLatin1(name);
    const QString value = textOptionValue(parser, option, QStringLiteral("file name"), problems);
    if (parser.isSet(option) && value.isEmpty()) {
        problems.append(QStringLiteral("--%1 needs a file name.").arg(option));
    }
    return value;
}

// The status of the file a path names, following links; "-" is standard input.
std::optional<struct stat> statusOf(const QString& path) {
    struct stat status {};
    const bool found =
        path == u"-" ? ::fstat(STDIN_FILENO, &status) == 0
                     : !path.isEmpty() && ::stat(QFile::encodeName(path).constData(), &status) == 0;
    return found ? std::optional(status) : std::nullopt;
}

bool isSameFile(const std::optional<struct stat>& a, const std::optional<struct stat>& b) {
    return a && b && a->st_dev == b->st_dev && a->st_ino == b->st_ino;
}

// Whether `path` reads standard input: "-", or another name of what standard input is
// (/dev/stdin, /dev/fd/0, ...), unless that is a regular file, which each reader opened by name
// reads from its start.
bool readsStandardInput(const QString& path) {
    const std::optional<struct stat> input = statusOf(QStringLiteral("-"));
    return path == u"-" || (input && !S_ISREG(input->st_mode) && isSameFile(statusOf(path), input));
}

CommandLine parseGenerateCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    // As in window mode, so that a stray -platform is named as it was written.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions({kHelpOption, kVersionOption, kVerboseOption});
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
    // The first problem found is the one reported; later ones wait until it is fixed.
    QStringList problems;
    result.generate.templatePath = fileOptionValue(parser, kTemplateOption, problems);
    result.generate.valuesPath = fileOptionValue(parser, kValuesOption, problems);
    result.generate.outputPath = fileOptionValue(parser, kOutputOption, problems);
    if (readsStandardInput(result.generate.templatePath) &&
        readsStandardInput(result.generate.valuesPath)) {
        problems.append(QStringLiteral("--template and --values cannot both read standard input."));
    }
    for (const FieldDescription& description : kFields) {
        const QString name = QString::fromLatin1(description.key);
        if (parser.isSet(name)) {
            result.generate.values[description.field] =
                textOptionValue(parser, name, QStringLiteral("value"), problems);
        }
    }
    if (const QString input = inputNamedByOutput(result.generate); !input.isEmpty()) {
        problems.append(QStringLiteral("--output and --%1 name the same file: %2")
                            .arg(input, result.generate.outputPath));
    }
    if (!problems.isEmpty()) {
        return usageError(problems.first());
    }
    result.generate.verbose = parser.isSet(kVerboseOption);
    return result;
}

QString decodeArgument(QByteArrayView bytes) {
    // ConvertInitialBom keeps a leading byte-order mark, which QString::fromUtf8 would drop from
    // a name that starts with one.
    QStringDecoder fromUtf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    QString text;
    while (!bytes.isEmpty()) {
        qsizetype length = 1;
        if (beginsWithUtf8Sequence(bytes)) {
            length = utf8SequenceLength(bytes.front());
            text += fromUtf8(bytes.first(length));
        } else {
            text += QChar(char16_t(0xDC00 + static_cast<unsigned char>(bytes.front())));
        }
        bytes = bytes.sliced(length);
    }
    return text;
}

}  // namespace

QString inputNamedByOutput(const GenerateRequest& request) {
    const std::optional<struct stat> output =
        request.outputPath == u"-" ? std::nullopt : statusOf(request.outputPath);
    if (!output || !S_ISREG(output->st_mode)) {
        return QString();
    }
    for (const auto& [option, path] : {std::pair{kValuesOption, request.valuesPath},
                                       std::pair{kTemplateOption, request.templatePath}}) {
        if (isSameFile(statusOf(path), output)) {
            return QLatin1StringView(option);
        }
    }
    return QString();
}

QStringList argumentsOf(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments.append(decodeArgument(argv[i]));
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
