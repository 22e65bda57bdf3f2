#include "GenerateCommand.h"

#include <QFileInfo>
#include <QStringMatcher>
#include <algorithm>
#include <vector>

#include "Components.h"
#include "ErrorInfo.h"
#include "TemplateDiagnosis.h"
#include "TextFileReader.h"
#include "UrlEncoding.h"

namespace brindlewick {

namespace {

// The value a field gives the template: its text, or for a view name the whole view path.
QString templateValueOf(const GeneratorView& view, const FieldDescription& description) {
    const QString text = view.fieldText(description.field);
    if (!description.pathProject) {
        return text;
    }
    return viewPath(view.fieldText(*description.pathProject), text);
}

[[noreturn]] void failGenerate(ErrorNumber number, const QString& description) {
    throw ComponentError(number, description, QStringLiteral("Generate"));
}

// The text of the template at `path`; when `path` is empty, of the first Template.txt found
// beside the program or in the data folders, and `path` receives the file it came from.
QString readTemplate(const QString& applicationFolder, QString& path) {
    QString folder = applicationFolder;
    QString fileName = QString::fromLatin1(kTemplateFileName);
    const bool lookedUp = path.isEmpty();
    if (lookedUp) {
        Components::filePathService().ResolvePath(folder, fileName, path);
    }
    std::optional<ErrorInfo> readFailure;
    QString templateText = GetBodyFromTextFile(path, FormatSelector::Ansi, &readFailure);
    if (templateText.isEmpty()) {
        // An empty template would clear the output and show nothing: say why instead.
        if (lookedUp && !QFileInfo::exists(path)) {
            failGenerate(
                ErrorNumber::TemplateNotFound,
                describeMissingTemplate(fileName, templateSearchFolders(applicationFolder)));
        }
        failGenerate(ErrorNumber::TemplateUnreadable,
                     describeUnreadableTemplate(path, readFailure));
    }
    // Loaded as it is, such a file would fill the output with NUL characters.
    const QString nulFailure = describeNulBytes(templateText, path);
    if (!nulFailure.isEmpty()) {
        failGenerate(ErrorNumber::TemplateEncoding, nulFailure);
    }
    return templateText;
}

// Reads the template into the engine. A syntax error names the template's path, so that a user
// with several templates knows which one to fix.
void loadTemplate(TemplateEngine& engine, const QString& applicationFolder,
                  const QString& chosenPath) {
    QString path = chosenPath;
    QString templateText = readTemplate(applicationFolder, path);
    QString templateName;
    try {
        engine.LoadTemplate(templateText, templateName);
    } catch (const ComponentError& error) {
        if (error.info().number != static_cast<int>(ErrorNumber::TemplateSyntax)) {
            throw;
        }
        ErrorInfo info = error.info();
        info.description = withTemplatePath(info.description, path);
        throw ComponentError(std::move(info));
    }
}

// The template filled with the values of the fields. The values live only for the call, and the
// result is handed on without a copy kept here, so the first encoding pass can let it go.
QString renderFieldValues(TemplateEngine& engine, const GeneratorView& view) {
    QStringList values = buildFieldValues(view);
    QString rendered;
    engine.Render(values, rendered);
    return rendered;
}

// The template filled with the values of the fields. The engine, and the template's text it
// holds, are released here, before the encoding passes need their memory.
QString renderTemplate(const GeneratorView& view, const QString& applicationFolder,
                       const QString& templatePath) {
    const std::unique_ptr<TemplateEngine> engine = Components::newTemplateEngine();
    loadTemplate(*engine, applicationFolder, templatePath);
    return renderFieldValues(*engine, view);
}

QString describeCurrentFailure() {
    return currentErrorInfo().description;
}

// Every occurrence of `before` in `text` replaced by `after`: found left to right, compared
// exactly, never overlapping, and replaced text is not searched again. The result is built in
// one allocation of its final size, so the cost stays linear however many occurrences there are.
QString replaceAll(const QString& text, const QString& before, const QString& after) {
    const QStringMatcher matcher(before, Qt::CaseSensitive);
    std::vector<qsizetype> positions;
    for (qsizetype at = matcher.indexIn(text); at >= 0;
         at = matcher.indexIn(text, at + before.size())) {
        positions.push_back(at);
    }
    if (positions.empty()) {
        return text;
    }
    const auto count = static_cast<qsizetype>(positions.size());
    QString result(text.size() + count * (after.size() - before.size()), Qt::Uninitialized);
    // Filled through a pointer: the pieces are short, and appending each to a QString would cost
    // more than copying it.
    const auto* from = reinterpret_cast<const char16_t*>(text.constData());
    const auto* replacement = reinterpret_cast<const char16_t*>(after.constData());
    auto* out = reinterpret_cast<char16_t*>(result.data());
    qsizetype copied = 0;
    for (const qsizetype at : positions) {
        out = std::copy_n(from + copied, at - copied, out);
        out = std::copy_n(replacement, after.size(), out);
        copied = at + before.size();
    }
    std::copy_n(from + copied, text.size() - copied, out);
    return result;
}

}  // namespace

QString viewPath(const QString& projectName, const QString& viewName) {
    return projectName + u'/' + viewName;
}

QStringList buildFieldValues(const GeneratorView& view) {
    QStringList values(kFieldCount);
    for (const FieldDescription& description : kFields) {
        values[description.templateIndex] = templateValueOf(view, description);
    }
    return values;
}

void encodeViewPaths(GeneratorView& view) {
    // The view names come in the order of their paths in the template's values: A's add and edit
    // views, then B's.
    for (const FieldDescription& description : kFields) {
        if (description.pathProject) {
            const QString output = view.outputText();
            const QString raw = templateValueOf(view, description);
            view.setOutputText(replaceAll(output, raw, TzStrMan_UrlEncode(raw)));
        }
    }
}

void runGenerateCommand(GeneratorView& view, const QString& applicationFolder,
                        const QString& templatePath) {
    try {
        view.setOutputText(renderTemplate(view, applicationFolder, templatePath));
        encodeViewPaths(view);
    } catch (...) {
        view.showFailure(describeCurrentFailure());
    }
}

}  // namespace brindlewick
