#include "GenerateCommand.h"

#include <QFileInfo>
#include <QStringMatcher>
#include <algorithm>
#include <vector>

#include "Components.h"
#include "ErrorInfo.h"
#include "StandardFilePathService.h"
#include "TemplateDiagnosis.h"
#include "TextFileReader.h"
#include "UrlEncoding.h"

namespace brindlewick {

namespace {

// A project name and a view name joined by "/", with nothing trimmed or escaped.
QString viewPath(const QString& projectName, const QString& viewName) {
    return projectName + u'/' + viewName;
}

// The twelve values the template refers to by index: the IDs, the names, the four view paths,
// the grid field IDs and the linked data-source types, each as an A, B pair.
QStringList buildFieldValues(const GeneratorView& view) {
    QStringList values(kFieldCount);
    for (const FieldDescription& description : kFields) {
        const QString text = view.fieldText(description.field);
        values[description.templateIndex] =
            description.pathProject ? viewPath(view.fieldText(*description.pathProject), text)
                                    : text;
    }
    return values;
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
            failGenerate(ErrorNumber::TemplateNotFound,
                         describeMissingTemplate(fileName, searchFolders(applicationFolder)));
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
        info.description += QStringLiteral("\nTemplate file: ") + path;
        throw ComponentError(std::move(info));
    }
}

// Writes the template, filled with the values of the fields, into the output and gives the
// stretches of it that its formatted placeholders put in. The engine, the template's text it
// holds and the rendered copy are released here, before the encoding passes need their memory.
QList<TextRange> renderTemplate(GeneratorView& view, const QString& applicationFolder,
                                const QString& templatePath) {
    const std::unique_ptr<TemplateEngine> engine = Components::newTemplateEngine();
    loadTemplate(*engine, applicationFolder, templatePath);
    QStringList values = buildFieldValues(view);
    QString text;
    engine->Render(values, text);
    view.setOutputText(text);
    return engine->escapedRanges();
}

// Where `before` occurs in `text` outside the escaped ranges: found left to right, compared
// exactly, never overlapping.
std::vector<qsizetype> occurrencesOutside(const QString& text, const QString& before,
                                          const QList<TextRange>& escapedRanges) {
    const QStringMatcher matcher(before, Qt::CaseSensitive);
    std::vector<qsizetype> positions;
    qsizetype plainStart = 0;
    const auto findUpTo = [&](qsizetype plainEnd) {
        const QStringView plain = QStringView(text).sliced(plainStart, plainEnd - plainStart);
        for (qsizetype at = matcher.indexIn(plain); at >= 0;
             at = matcher.indexIn(plain, at + before.size())) {
            positions.push_back(plainStart + at);
        }
    };
    for (const TextRange& range : escapedRanges) {
        findUpTo(range.start);
        plainStart = range.start + range.length;
    }
    findUpTo(text.size());
    return positions;
}

// Every occurrence of `before` in `text` outside the escaped ranges replaced by `after`; replaced
// text is not searched again. The ranges move with the text around them.
QString replaceOutside(const QString& text, const QString& before, const QString& after,
                       QList<TextRange>& escapedRanges) {
    const std::vector<qsizetype> positions = occurrencesOutside(text, before, escapedRanges);
    if (positions.empty()) {
        return text;
    }
    const qsizetype growth = after.size() - before.size();
    for (TextRange& range : escapedRanges) {
        const auto replacedBefore = std::ranges::lower_bound(positions, range.start);
        range.start += (replacedBefore - positions.begin()) * growth;
    }
    QString result;
    result.reserve(text.size() + static_cast<qsizetype>(positions.size()) * growth);
    qsizetype copied = 0;
    for (const qsizetype at : positions) {
        result.append(QStringView(text).sliced(copied, at - copied)).append(after);
        copied = at + before.size();
    }
    result.append(QStringView(text).sliced(copied));
    return result;
}

struct ViewPath {
    const FieldDescription* view;
    QString raw;
};

// The view paths the passes encode, longest first, so that a path that holds another is encoded
// whole; paths of equal length keep the order of their values. A path whose project or view name
// is empty ("/", "Sales/", "/Edit") is left out: encoding it would turn every such piece of the
// output, URLs and closing tags included, into escapes.
std::vector<ViewPath> viewPathsToEncode(const GeneratorView& view) {
    std::vector<ViewPath> paths;
    for (const FieldDescription& description : kFields) {
        if (!description.pathProject) {
            continue;
        }
        const QString project = view.fieldText(*description.pathProject);
        const QString viewName = view.fieldText(description.field);
        if (!project.isEmpty() && !viewName.isEmpty()) {
            paths.push_back({&description, viewPath(project, viewName)});
        }
    }
    std::stable_sort(paths.begin(), paths.end(), [](const ViewPath& a, const ViewPath& b) {
        return a.raw.size() > b.raw.size();
    });
    return paths;
}

// Replaces every occurrence of each view path in the output by its URL encoding, one path at a
// time, longest first, writing the output after each; a path whose project or view name is empty
// is left alone, and so are the escaped ranges. A path the encoder fails on fails the run.
void encodeViewPaths(GeneratorView& view, QList<TextRange> escapedRanges) {
    QString output = view.outputText();
    for (const ViewPath& path : viewPathsToEncode(view)) {
        // The encoder returns nothing only when it failed, and it has reported why; a path
        // replaced by nothing would lose it from the definition without a word.
        const QString encoded = TzStrMan_UrlEncode(path.raw);
        if (encoded.isEmpty()) {
            failGenerate(ErrorNumber::OutOfMemory,
                         QStringLiteral("The view path of %1 could not be encoded: Out of memory.")
                             .arg(spokenName(*path.view)));
        }
        output = replaceOutside(output, path.raw, encoded, escapedRanges);
        view.setOutputText(output);
    }
}

}  // namespace

void runGenerateCommand(GeneratorView& view, const QString& applicationFolder,
                        const QString& templatePath) {
    try {
        encodeViewPaths(view, renderTemplate(view, applicationFolder, templatePath));
    } catch (...) {
        view.showFailure(currentErrorInfo().description);
    }
}

}  // namespace brindlewick
