#include "GenerateCommand.h"

#include <QStringMatcher>
#include <algorithm>
#include <vector>

#include "Components.h"
#include "ErrorInfo.h"
#include "UrlEncoding.h"

namespace brindlewick {

namespace {

QString textOf(const FieldTexts& fields, InputField field) {
    const auto it = fields.find(field);
    return it == fields.end() ? QString() : it->second;
}

// A project name and a view name joined by "/", with nothing trimmed or escaped.
QString viewPath(const QString& projectName, const QString& viewName) {
    return projectName + u'/' + viewName;
}

// The twelve values the template refers to by index: the IDs, the names, the four view paths,
// the grid field IDs and the linked data-source types, each as an A, B pair.
QStringList buildFieldValues(const FieldTexts& fields) {
    QStringList values(kFieldCount);
    for (const FieldDescription& description : kFields) {
        const QString text = textOf(fields, description.field);
        values[description.templateIndex] =
            description.pathProject ? viewPath(textOf(fields, *description.pathProject), text)
                                    : text;
    }
    return values;
}

// The template filled with the values of the fields, and the stretches of it that its formatted
// placeholders put in. The template's text is released once loaded, and the engine on return,
// before the encoding passes need their memory. A syntax error names the template's path, so
// that a user with several templates knows which one to fix.
Definition renderTemplate(const FieldTexts& fields, TemplateFile templateFile) {
    const std::unique_ptr<TemplateEngine> engine = Components::newTemplateEngine();
    QString templateName;
    try {
        QString templateText = std::move(templateFile.text);
        engine->LoadTemplate(templateText, templateName);
    } catch (const ComponentError& error) {
        if (error.info().number != static_cast<int>(ErrorNumber::TemplateSyntax)) {
            throw;
        }
        ErrorInfo info = error.info();
        info.description += QStringLiteral("\nTemplate file: ") + templateFile.path;
        throw ComponentError(std::move(info));
    }
    QStringList values = buildFieldValues(fields);
    QString text;
    engine->Render(values, text);
    return {std::move(text), engine->escapedRanges(), std::nullopt};
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
// text is not searched again. The ranges move with the text around them once it is replaced.
QString replaceOutside(const QString& text, const QString& before, const QString& after,
                       QList<TextRange>& escapedRanges) {
    const std::vector<qsizetype> positions = occurrencesOutside(text, before, escapedRanges);
    if (positions.empty()) {
        return text;
    }
    const qsizetype growth = after.size() - before.size();
    QString result;
    result.reserve(text.size() + static_cast<qsizetype>(positions.size()) * growth);
    qsizetype copied = 0;
    for (const qsizetype at : positions) {
        result.append(QStringView(text).sliced(copied, at - copied)).append(after);
        copied = at + before.size();
    }
    result.append(QStringView(text).sliced(copied));
    for (TextRange& range : escapedRanges) {
        const auto replacedBefore = std::ranges::lower_bound(positions, range.start);
        range.start += (replacedBefore - positions.begin()) * growth;
    }
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
std::vector<ViewPath> viewPathsToEncode(const FieldTexts& fields) {
    std::vector<ViewPath> paths;
    for (const FieldDescription& description : kFields) {
        if (!description.pathProject) {
            continue;
        }
        const QString project = textOf(fields, *description.pathProject);
        const QString viewName = textOf(fields, description.field);
        if (!project.isEmpty() && !viewName.isEmpty()) {
            paths.push_back({&description, viewPath(project, viewName)});
        }
    }
    std::stable_sort(paths.begin(), paths.end(), [](const ViewPath& a, const ViewPath& b) {
        return a.raw.size() > b.raw.size();
    });
    return paths;
}

// Replaces every occurrence of each view path in `text` by its URL encoding, one path at a time,
// longest first, leaving the escaped ranges alone. A path the encoder fails on fails the run,
// with `text` as the passes before it left it.
void encodeViewPaths(const FieldTexts& fields, QString& text, QList<TextRange>& escapedRanges) {
    for (const ViewPath& path : viewPathsToEncode(fields)) {
        // The encoder returns nothing only when it failed, and it has reported why; a path
        // replaced by nothing would lose it from the definition without a word.
        const QString encoded = TzStrMan_UrlEncode(path.raw);
        if (encoded.isEmpty()) {
            throw ComponentError(
                ErrorNumber::OutOfMemory,
                QStringLiteral("The view path of %1 could not be encoded: Out of memory.")
                    .arg(spokenName(*path.view)),
                QStringLiteral("Generate"));
        }
        text = replaceOutside(text, path.raw, encoded, escapedRanges);
    }
}

}  // namespace

Definition generateDefinition(const FieldTexts& fields, TemplateFile templateFile) {
    Definition definition;
    try {
        definition = renderTemplate(fields, std::move(templateFile));
        encodeViewPaths(fields, *definition.text, definition.escapedRanges);
    } catch (...) {
        definition.failure = currentErrorInfo().description;
    }
    return definition;
}

}  // namespace brindlewick
