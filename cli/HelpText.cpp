#include "HelpText.h"

#include "Fields.h"

namespace brindlewick {

namespace {

// The column of the option descriptions in the rows written out below.
constexpr qsizetype kDescriptionColumn = 41;

// A row for each value option, as the rows above it are laid out.
QString valueOptionRows() {
    QString rows;
    for (const FieldDescription& description : kFields) {
        const QString names =
            QStringLiteral("      --%1 TEXT ").arg(QLatin1String(description.key));
        rows += names.leftJustified(kDescriptionColumn) + QStringLiteral("project ") +
                QLatin1Char(description.project) + QStringLiteral("'s ") +
                QLatin1String(description.value) + u'\n';
    }
    return rows;
}

}  // namespace

QString helpText() {
    return QStringLiteral(
               "Usage: brindlewick [QT-WINDOW-OPTION]...\n"
               "  or:  brindlewick generate [OPTION]...\n"
               "  or:  brindlewick --help | --version\n"
               "Write the text of a linked-project definition from a template.\n"
               "\n"
               "Without a command, brindlewick opens its window, where the twelve values are\n"
               "typed in and Generate fills them into the template. Qt's window options, such as\n"
               "-platform NAME and -style NAME, apply there.\n"
               "\n"
               "The command generate does the same without a window: it fills the values given\n"
               "as options into the template, URL-encodes the four view paths (project/view) in\n"
               "the result, longest first and outside the text a {N:xml}, {N:json} or {N:url}\n"
               "placeholder put in (a path with an empty project or view name is left as it is),\n"
               "and writes it as UTF-8, with the template's line endings. A value not given is\n"
               "empty. A run that succeeds prints nothing on standard error; one that fails\n"
               "prints one line there.\n"
               "\n"
               "A FILE to read may be a pipe, such as <(command) or /dev/stdin, and is read to\n"
               "its end; - is standard input, for --template or --values but not both. File\n"
               "names and values must be valid UTF-8.\n"
               "\n"
               "Without --template, the template is the first Template.txt found beside the\n"
               "program, then in $XDG_DATA_HOME/brindlewick (~/.local/share/brindlewick), then\n"
               "in brindlewick/ in each folder of $XDG_DATA_DIRS (/usr/local/share:/usr/share).\n"
               "Relative folders in these variables are ignored (the default stands in when\n"
               "none is left); a HOME that is unset, empty or relative gives way to the\n"
               "account's home folder: the working folder is never searched.\n"
               "\n"
               "Placeholders {N:xml}, {N:json} and {N:url} escape value N for XML, JSON or URLs.\n"
               "\n"
               "Options:\n"
               "  -h, --help                             print this help and exit\n"
               "  -v, --version                          print the version and exit\n"
               "\n"
               "Options of generate:\n"
               "  -d, --verbose                          also print the reports and the trace\n"
               "                                         of the template read on standard error\n"
               "      --template FILE                    read the template from FILE (- for\n"
               "                                         standard input) instead of the\n"
               "                                         Template.txt found as described above\n"
               "      --values FILE                      read values from FILE (- for standard\n"
               "                                         input), a JSON object in UTF-8 whose\n"
               "                                         keys are the value options' names\n"
               "                                         without the dashes, each value a\n"
               "                                         string or a whole number; options\n"
               "                                         given override it\n"
               "      --output FILE                      write the result to FILE instead of\n"
               "                                         standard output (- is standard\n"
               "                                         output); a regular FILE is replaced\n"
               "                                         only when the whole result is written\n"
               "                                         (where its folder takes no new name,\n"
               "                                         in place once the space is reserved),\n"
               "                                         a device or FIFO is written into\n") +
           valueOptionRows() +
           QStringLiteral(
               "\n"
               "Exit status:\n"
               "  0  success\n"
               "  1  Generate failed: the template is missing, unreadable, empty or has a\n"
               "     syntax error, a view path could not be encoded (out of memory), or the\n"
               "     result could not be written; or the window cannot open (no display, or\n"
               "     none that answers)\n"
               "  2  usage error: an unknown option, command or extra argument, a missing\n"
               "     option value, a file name or value that is not UTF-8, standard input\n"
               "     named twice, --output naming an input, or a values file that is missing,\n"
               "     empty or not a JSON object of strings and whole numbers in UTF-8\n");
}

QString versionText() {
    return QStringLiteral("brindlewick %1\n").arg(QStringLiteral(BRINDLEWICK_VERSION));
}

}  // namespace brindlewick
