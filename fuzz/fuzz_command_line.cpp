// The command line's readers on arbitrary bytes. As a values file, one that is accepted is JSON
// that names each field once and no other key, and gives each field the text of its value in
// the JSON library's own model. Split at NUL
// bytes into the program's arguments, decoding loses no byte, and generate takes each file name
// and value as one argument was typed: whole, or after the "=" of --option=value.
#include <sys/mman.h>
#include <unistd.h>

#include <QRegularExpression>
#include <QStringDecoder>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <vector>

#include "CommandLine.h"
#include "ErrorInfo.h"
#include "FuzzCheck.h"
#include "ValuesFile.h"

using namespace brindlewick;
using namespace brindlewick::fuzz;

namespace {

// An argument back as the bytes it was decoded from: a lone U+DC80 to U+DCFF stands for the
// byte that was not UTF-8.
QByteArray encoded(const QString& argument) {
    QByteArray bytes;
    for (qsizetype i = 0; i < argument.size(); ++i) {
        const char16_t unit = argument[i].unicode();
        if (QChar::isHighSurrogate(unit)) {
            bytes += argument.sliced(i++, 2).toUtf8();
        } else if (unit >= 0xDC80 && unit <= 0xDCFF) {
            bytes += static_cast<char>(unit - 0xDC00);
        } else {
            bytes += QString(argument[i]).toUtf8();
        }
    }
    return bytes;
}

bool wasTyped(const QString& text, const QStringList& arguments) {
    for (const QString& argument : arguments) {
        if (argument == text || (argument.contains(u'=') && argument.section(u'=', 1) == text)) {
            return true;
        }
    }
    return false;
}

void checkArguments(const QByteArray& bytes) {
    QList<QByteArray> given = bytes.split('\0');
    given.prepend("brindlewick");
    std::vector<char*> argv;
    for (QByteArray& argument : given) {
        argv.push_back(argument.data());
    }
    const QStringList arguments = argumentsOf(static_cast<int>(argv.size()), argv.data());
    for (qsizetype i = 0; i < given.size(); ++i) {
        require(encoded(arguments[i]) == given[i], "decoding an argument loses no byte",
                units(arguments[i]));
    }
    const CommandLine commandLine = parseCommandLine(arguments);
    if (commandLine.mode != RunMode::Generate) {
        return;
    }
    const GenerateRequest& request = commandLine.generate;
    QStringList taken = {request.templatePath, request.valuesPath, request.outputPath};
    for (const auto& [field, value] : request.values) {
        taken << value;
    }
    for (const QString& text : taken) {
        require(text.isEmpty() || (text.isValidUtf16() && wasTyped(text, arguments)),
                "generate takes a name or value as it was typed", units(text));
    }
}

// A values file that holds the bytes, as a path to read it by.
QString valuesFileHolding(const QByteArray& bytes) {
    static const int fd = ::memfd_create("values.json", MFD_CLOEXEC);
    require(fd >= 0 && ::ftruncate(fd, 0) == 0 &&
                ::pwrite(fd, bytes.constData(), bytes.size(), 0) == bytes.size(),
            "the values file is written");
    return QStringLiteral("/proc/self/fd/%1").arg(fd);
}

// Whether `text` is what the value in the model gives its field: a string as it is, a whole
// number its decimal digits. One past 64 bits the model holds as a double: its digits round to it.
bool givesText(const nlohmann::json& value, const QString& text) {
    if (value.is_string()) {
        // Decoded with a U+FEFF at its start kept, which QString::fromUtf8 would drop.
        QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
        return text == QString(decoder(QByteArrayView(value.get<std::string>())));
    }
    if (value.is_number_integer()) {
        return text == QString::fromStdString(value.dump());
    }
    static const QRegularExpression digits(QStringLiteral("^-?[0-9]+$"));
    return value.is_number_float() && digits.match(text).hasMatch() &&
           text.toDouble() == value.get<double>();
}

void checkValuesFile(const QByteArray& bytes) {
    std::map<InputField, QString> values;
    try {
        values = readValuesFile(valuesFileHolding(bytes));
    } catch (const ComponentError&) {
        return;
    }
    // The model keeps one member of a key given twice: the parser's key events count them all.
    const QByteArray json = bytes.startsWith("\xEF\xBB\xBF") ? bytes.sliced(3) : bytes;
    std::size_t keys = 0;
    const nlohmann::json object = nlohmann::json::parse(
        json.begin(), json.end(),
        [&keys](int depth, nlohmann::json::parse_event_t event, const nlohmann::json&) {
            keys += depth == 1 && event == nlohmann::json::parse_event_t::key ? 1 : 0;
            return true;
        });
    require(object.is_object() && keys == object.size() && values.size() == keys,
            "an accepted file names each field once", QString::fromUtf8(bytes));
    for (auto it = object.begin(); it != object.end(); ++it) {
        const auto field = std::ranges::find_if(
            kFields, [&it](const FieldDescription& field) { return it.key() == field.key; });
        require(field != kFields.end() && givesText(it.value(), values[field->field]),
                "each field holds the text of the value under its key", QString::fromUtf8(bytes));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    checkValuesFile(bytes);
    checkArguments(bytes);
    return 0;
}
