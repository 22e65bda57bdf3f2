#include "GenerateCommand.h"

#include <array>
#include <utility>

#include "Components.h"
#include "ErrorInfo.h"
#include "basCTzStringManipulation.h"
#include "basFileUtils.h"

namespace brindlewick {

namespace {

using ViewPathFields = std::pair<InputField, InputField>;

// The four view paths, in the order the encoding passes take them.
constexpr std::array<ViewPathFields, 4> kViewPaths = {{
    {InputField::ProjAName, InputField::AddViewAName},
    {InputField::ProjAName, InputField::EditViewAName},
    {InputField::ProjBName, InputField::AddViewBName},
    {InputField::ProjBName, InputField::EditViewBName},
}};

QString viewPathOf(const GeneratorView& view, ViewPathFields fields) {
    return viewPath(view.fieldText(fields.first), view.fieldText(fields.second));
}

QString readTemplate(const QString& applicationFolder) {
    QString folder = applicationFolder;
    QString fileName = QString::fromLatin1(kTemplateFileName);
    QString path;
    Components::filePathService().ResolvePath(folder, fileName, path);
    QString templateText = GetBodyFromTextFile(path, FormatSelector::Ansi);
    if (templateText.isEmpty()) {
        // An empty template would clear the output and show nothing: say so instead.
        throw ComponentError(
            ErrorNumber::TemplateUnreadable,
            QStringLiteral("The template file could not be read or is empty:\n%1").arg(path),
            QStringLiteral("Generate"));
    }
    return templateText;
}

QString describeCurrentFailure() {
    return currentErrorInfo().description;
}

}  // namespace

QString viewPath(const QString& projectName, const QString& viewName) {
    return projectName + u'/' + viewName;
}

QStringList buildFieldValues(const GeneratorView& view) {
    return {
        view.fieldText(InputField::ProjAID),
        view.fieldText(InputField::ProjBID),
        view.fieldText(InputField::ProjAName),
        view.fieldText(InputField::ProjBName),
        viewPathOf(view, kViewPaths[0]),
        viewPathOf(view, kViewPaths[1]),
        viewPathOf(view, kViewPaths[2]),
        viewPathOf(view, kViewPaths[3]),
        view.fieldText(InputField::ProjAGridFieldID),
        view.fieldText(InputField::ProjBGridFieldID),
        view.fieldText(InputField::ProjALinkedDSType),
        view.fieldText(InputField::ProjBLinkedDSType),
    };
}

void encodeViewPaths(GeneratorView& view) {
    for (const ViewPathFields& fields : kViewPaths) {
        QString output = view.outputText();
        const QString raw = viewPathOf(view, fields);
        output.replace(raw, TzStrMan_UrlEncode(raw), Qt::CaseSensitive);
        view.setOutputText(output);
    }
}

void runGenerateCommand(GeneratorView& view, const QString& applicationFolder) {
    try {
        const std::unique_ptr<TemplateEngine> engine = Components::newTemplateEngine();
        QString templateText = readTemplate(applicationFolder);
        QString templateName;
        engine->LoadTemplate(templateText, templateName);
        QString rendered;
        {
            QStringList values = buildFieldValues(view);
            engine->Render(values, rendered);
        }
        view.setOutputText(rendered);
        encodeViewPaths(view);
    } catch (...) {
        view.showFailure(describeCurrentFailure());
    }
}

}  // namespace brindlewick
