// Prints the bash completion of brindlewick, read from the option rows of its own --help, so that
// it offers every option the program takes and no other: the value options' rows are printed from
// the fields' description, the keys of a values file too. An option whose value is a FILE
// completes file names; one whose value is TEXT completes nothing.
#include <QRegularExpression>
#include <QStringList>
#include <cstdio>

#include "HelpText.h"

using namespace brindlewick;

namespace {

// The options of the window (listed under "Options:") and those of generate ("Options of
// generate:"), which takes the window's too; of these, the options that take a FILE and those that
// take a TEXT.
struct CompletedOptions {
    QStringList window;
    QStringList generate;
    QStringList file;
    QStringList text;
};

CompletedOptions optionsOfHelp(const QString& help) {
    // "  -d, --verbose ...", "      --template FILE ...", "      --project-a-name TEXT ..."
    static const QRegularExpression row(
        QStringLiteral("^  (?:(-\\w), |    )(--[\\w-]+)(?: (FILE|TEXT))?"));
    CompletedOptions options;
    QStringList* section = nullptr;
    for (const QString& line : help.split(u'\n')) {
        if (line == QStringLiteral("Options:")) {
            section = &options.window;
        } else if (line == QStringLiteral("Options of generate:")) {
            section = &options.generate;
        } else if (const QRegularExpressionMatch match = row.match(line);
                   match.hasMatch() && section) {
            *section << match.captured(1) << match.captured(2);
            if (match.captured(3) == QStringLiteral("FILE")) {
                options.file << match.captured(2);
            } else if (match.captured(3) == QStringLiteral("TEXT")) {
                options.text << match.captured(2);
            }
        }
    }
    options.window.removeAll(QString());
    options.generate.removeAll(QString());
    options.generate = options.window + options.generate;
    return options;
}

// The first word completes to generate or a window option; after generate, a word completes to
// its options, a file name after an option that takes a FILE, and nothing after one that takes a
// TEXT.
constexpr const char* kScript =
    R"(# bash completion for brindlewick, written from its --help at build time.
_brindlewick() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}
    COMPREPLY=()
    if ((COMP_CWORD == 1)); then
        mapfile -t COMPREPLY < <(compgen -W 'generate %1' -- "$cur")
    elif [[ ${COMP_WORDS[1]} == generate ]]; then
        case $prev in
            %2) mapfile -t COMPREPLY < <(compgen -f -- "$cur") ;;
            %3) ;;
            *) mapfile -t COMPREPLY < <(compgen -W '%4' -- "$cur") ;;
        esac
    fi
}
complete -o filenames -F _brindlewick brindlewick
)";

}  // namespace

int main() {
    const CompletedOptions options = optionsOfHelp(helpText());
    const QByteArray script = QString::fromLatin1(kScript)
                                  .arg(options.window.join(u' '), options.file.join(u'|'),
                                       options.text.join(u'|'), options.generate.join(u' '))
                                  .toUtf8();
    return std::fwrite(script.constData(), 1, script.size(), stdout) ==
                       std::size_t(script.size()) &&
                   std::fflush(stdout) == 0
               ? 0
               : 1;
}
