// Prints the manual page's table of the template's values, in help2man's include format, from
// the fields' description, so that the page names every value and its option as the program does.
#include <QString>
#include <cstdio>

#include "Fields.h"

using namespace brindlewick;

namespace {

// The value in words: "project A ID", or for a view name the path it ends: "project A add-view
// path".
QString valueInWords(const FieldDescription& description) {
    QString value = QLatin1String(description.value);
    if (description.pathProject) {
        value = value.replace(u' ', u'-') + QStringLiteral(" path (name/view)");
    }
    return QStringLiteral("project ") + QLatin1Char(description.project) + u' ' + value;
}

QString roffDashes(QString text) {
    return text.replace(u'-', QStringLiteral("\\-"));
}

}  // namespace

int main() {
    QString page = QStringLiteral(
        "[TEMPLATE]\n"
        "The template is plain text. {N} inserts value N, and the option in brackets sets that "
        "field:\n");
    for (int index = 0; index < kFieldCount; ++index) {
        for (const FieldDescription& description : kFields) {
            if (description.templateIndex == index) {
                page += QStringLiteral(".TP\n.B {%1}\n%2\n.RB ( %3 )\n")
                            .arg(QString::number(index), valueInWords(description),
                                 roffDashes(QStringLiteral("--") + QLatin1String(description.key)));
            }
        }
    }
    const QByteArray bytes = page.toUtf8();
    return std::fwrite(bytes.constData(), 1, bytes.size(), stdout) == std::size_t(bytes.size()) &&
                   std::fflush(stdout) == 0
               ? 0
               : 1;
}
