#include <pwd.h>
#include <unistd.h>

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTest>
#include <csignal>

#include "Fields.h"
#include "GeneratorWindow.h"
#include "TempDir.h"
#include "TestComponents.h"

using namespace brindlewick;
using namespace brindlewick::test;

namespace {

// Every value, the view paths inside longer text and literal braces; line feeds only, since the
// window's output field shows line breaks and not the characters that made them.
const QByteArray kTemplate =
    "{0}|{1}|{2}|{3}|{4}|{5}|{6}|{7}|{8}|{9}|{10}|{11}\n"
    "<a href=\"x?view={4}&amp;next={5}\">{{{6}}} {7}</a>\n";

struct Run {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

QProcessEnvironment withoutDisplay() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
        environment.remove(QString::fromLatin1(name));
    }
    return environment;
}

Run finish(QProcess& program) {
    // Far above any normal run, loaded machines and sanitizers included: only a hang reaches it.
    if (!program.waitForFinished(90000)) {
        program.kill();
        program.waitForFinished();
        return {-1, {}, "hung: the program did not end within 90 s"};
    }
    return {program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1,
            program.readAllStandardOutput(), program.readAllStandardError()};
}

// The built program, with no display to talk to.
Run runProgram(const QStringList& arguments) {
    QProcess program;
    program.setProcessEnvironment(withoutDisplay());
    program.start(QStringLiteral(BRINDLEWICK_PROGRAM), arguments);
    return finish(program);
}

// A bash script run in `folder` with the built program as $B and no display to talk to. It runs
// under `timeout`, which ends the whole process group, so a FIFO that no one opens cannot hang
// the suite.
Run runShell(const QString& script, const QString& folder) {
    QProcess shell;
    QProcessEnvironment environment = withoutDisplay();
    environment.insert(QStringLiteral("B"), QStringLiteral(BRINDLEWICK_PROGRAM));
    shell.setProcessEnvironment(environment);
    shell.setWorkingDirectory(folder);
    shell.start(QStringLiteral("timeout"), {"-k", "2", "60", "bash", "-c", script});
    Run run = finish(shell);
    if (run.exitCode == 124) {
        run.err.prepend("hung: the script did not end within 60 s\n");
    }
    return run;
}

// The description line on standard error: the one that is not a logger report.
QString failureLine(const Run& run) {
    for (const QByteArray& line : run.err.split('\n')) {
        if (line.startsWith("brindlewick: ") && !line.contains(" level=")) {
            return QString::fromUtf8(line);
        }
    }
    return QString();
}

// Shell functions for a user without root: when the suite runs as root, `u COMMAND` runs the
// command as the unprivileged 65534, who may write the working folder, and `mine FILE...` gives
// files to that user; run without root, the caller is such a user and both leave all as it is.
// `ug` runs generate so on an 8-byte template.
const QString kRunAsUser = QStringLiteral(
    "if [ \"$(id -u)\" = 0 ]; then\n"
    "  u() { chmod 777 .; setpriv --reuid=65534 --regid=65534 --clear-groups \"$@\"; }\n"
    "  mine() { chown -h 65534:65534 \"$@\"; }\n"
    "else\n"
    "  u() { \"$@\"; }; mine() { :; }\n"
    "fi\n"
    "ug() { u \"$B\" generate --template - \"$@\" < ../t8.txt; }\n");

QString withFolder(QString argument, const TempDir& dir) {
    return argument.replace(QStringLiteral("{dir}"), dir.path(QString()));
}

}  // namespace

class TestCommandLine : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void initTestCase() {
        templatePath_ = dir_.write(QStringLiteral("template.txt"), kTemplate);
        // A copy of the program with no template beside it, which has to look one up.
        QVERIFY(QDir().mkpath(dir_.path(QStringLiteral("bin"))));
        QVERIFY(QFile::copy(QStringLiteral(BRINDLEWICK_PROGRAM), dir_.path("bin/brindlewick")));
        // A working folder that holds a template where a relative data folder would find it,
        // and a home folder with the user's own template.
        for (const char* folder : {"work/brindlewick", "work/.local/share/brindlewick"}) {
            QVERIFY(QDir().mkpath(dir_.path(QString::fromLatin1(folder))));
            dir_.write(QString::fromLatin1(folder) + QStringLiteral("/Template.txt"),
                       "{2} from the working folder\n");
        }
        QVERIFY(QDir().mkpath(dir_.path(QStringLiteral("home/.local/share/brindlewick"))));
        dir_.write(QStringLiteral("home/.local/share/brindlewick/Template.txt"),
                   "{2} from the home folder\n");
    }

    // Twelve values in the order of the value options; an empty one is not given at all.
    void writesWhatTheWindowShows_data() {
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<bool>("fromValuesFile");
        const QStringList sample = {"Sales", "1001", "Add Order", "Edit Order", "OrderID", "SQL",
                                    "Stock", "2002", "Add Item",  "Edit Item",  "ItemID",  "REST"};
        QTest::newRow("sample values") << sample << false;
        QTest::newRow("sample values from a values file") << sample << true;
        const QStringList nonLatin = {"Café €", "😀",      "中文/视图", "Édition",
                                      "\"q\"",  "a\\b",   "Склад",     "٢٠٠٢",
                                      "Añadir", "Ändern", "",          "tab\there"};
        QTest::newRow("non-Latin text") << nonLatin << true;
        QTest::newRow("non-Latin text as options") << nonLatin << false;
        QTest::newRow("all fields empty") << QStringList(12) << false;
        QTest::newRow("a 40,000-character value")
            << QStringList({"P", "", QString(40000, u'é'), "E", "", "", "Q", "", "A", "B"})
            << false;
    }
    void writesWhatTheWindowShows() {
        QFETCH(QStringList, values);
        QFETCH(bool, fromValuesFile);
        values.resize(12);
        QStringList arguments = {"generate", "--template", templatePath_};
        QJsonObject json;
        for (qsizetype i = 0; i < 12; ++i) {
            const QString name = QString::fromLatin1(kFields[i].key);
            if (fromValuesFile) {
                json.insert(name, values[i]);
            } else if (!values[i].isEmpty()) {
                arguments << QStringLiteral("--") + name << values[i];
            }
        }
        if (fromValuesFile) {
            // The file's project A name is overridden on the command line.
            json.insert(QStringLiteral("project-a-name"), QStringLiteral("overridden"));
            arguments << "--values"
                      << dir_.write(QStringLiteral("values.json"), QJsonDocument(json).toJson())
                      << "--project-a-name" << values[0];
        }
        const Run run = runProgram(arguments);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(QString::fromUtf8(run.out), windowOutput(values));
        // Quiet on success: the template trace is for --verbose.
        QCOMPARE(run.err, QByteArray());
    }

    void keepsTheTemplatesBytes() {
        const QString crlf = dir_.write(QStringLiteral("crlf.txt"), "\xEF\xBB\xBF<{2}>\r\n{4}\r\n");
        const QByteArray expected = "<Sales>\r\nSales%2FAdd%20Order\r\n";
        const QStringList arguments = {"generate",         "--template", crlf,
                                       "--project-a-name", "Sales",      "--project-a-add-view",
                                       "Add Order",        "--output",   dir_.path("out.txt")};
        QCOMPARE(runProgram(arguments.mid(0, 7)).out, expected);
        QCOMPARE(runProgram(arguments).exitCode, 0);
        QFile written(dir_.path("out.txt"));
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(), expected);
    }

    void failedGenerateExitsWithOne_data() {
        QTest::addColumn<QString>("templatePath");
        QTest::addColumn<QByteArray>("templateBytes");
        QTest::addColumn<QString>("outputName");
        QTest::addColumn<QString>("said");
        // The message box's lines, joined so that the sentences stay apart.
        const QString unreadable =
            QStringLiteral("brindlewick: The template file could not be read or is empty: ");
        QTest::newRow("template missing")
            << "{dir}/missing.txt" << QByteArray() << "out.txt"
            << unreadable + "{dir}/missing.txt; reason: No such file or directory";
        QTest::newRow("template is /dev/null")
            << "/dev/null" << QByteArray() << "out.txt" << unreadable + "/dev/null";
        QTest::newRow("syntax error")
            << "{dir}/bad.txt" << QByteArray("a\nb {12}") << "out.txt"
            << "brindlewick: Template error at line 2, column 3: {12} is out of range; use {0} to "
               "{11}. Template file: {dir}/bad.txt";
        QTest::newRow("output cannot be written")
            << "{dir}/good.txt" << QByteArray("{0}") << "no-such-folder/out.txt"
            << "no-such-folder/out.txt";
    }
    void failedGenerateExitsWithOne() {
        QFETCH(QString, templatePath);
        QFETCH(QByteArray, templateBytes);
        QFETCH(QString, outputName);
        QFETCH(QString, said);
        const TempDir dir;
        templatePath = withFolder(templatePath, dir);
        said = withFolder(said, dir);
        if (!templateBytes.isNull()) {
            dir.write(QFileInfo(templatePath).fileName(), templateBytes);
        }
        const QString previous = dir.write(QStringLiteral("out.txt"), "previous result");
        const QStringList before = QDir(dir.path(QString())).entryList(QDir::Files);

        const Run run =
            runProgram({"generate", "--template", templatePath, "--output", dir.path(outputName)});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.out, QByteArray());
        QVERIFY2(failureLine(run).contains(said), run.err.constData());
        // One line, without --verbose.
        QCOMPARE(run.err.count('\n'), 1);
        QFile file(previous);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("previous result"));
        QCOMPARE(QDir(dir.path(QString())).entryList(QDir::Files), before);
    }

    // Under an address-space limit the encoder cannot take a 40-million-character view path: the
    // run fails with the reason and one report, and the output file keeps what it held.
    void encoderOutOfMemoryFailsTheRun() {
#ifdef __SANITIZE_ADDRESS__
        QSKIP("the sanitizer's shadow memory does not fit under an address-space limit");
#endif
        const TempDir dir;
        const Run run = runShell(
            "head -c 40000000 /dev/zero | tr '\\0' x | { printf '{\"project-a-name\": \"P\", "
            "\"project-a-add-view\": \"'; cat; printf '\"}'; } > big.json; echo previous > "
            "out.txt; prlimit --as=$((500 << 20)) \"$B\" generate -d --template <(printf '{4}') "
            "--values big.json --output out.txt 2> err; status=$?; cat out.txt; grep -c level=2 "
            "err; grep -v level= err >&2; exit $status",
            dir.path(QString()));
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.out, QByteArray("previous\n1\n"));
        QVERIFY2(run.err.contains("could not be encoded: Out of memory"), run.err.constData());
    }

    void answersWithoutAWindow_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("valuesFile");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("said");
        const QStringList values = {"generate", "--values", "{dir}/v.json"};
        QTest::newRow("help") << QStringList{"--help"} << QByteArray() << 0 << "";
        QTest::newRow("version") << QStringList{"generate", "-v"} << QByteArray() << 0 << "";
        QTest::newRow("unknown option")
            << QStringList{"--bogus"} << QByteArray() << 2 << "Unknown option '--bogus'.";
        QTest::newRow("unknown short option")
            << QStringList{"generate", "-x"} << QByteArray() << 2 << "Unknown option '-x'.";
        QTest::newRow("unknown command") << QStringList{"make"} << QByteArray() << 2 << "'make'";
        QTest::newRow("unknown generate option") << QStringList{"generate", "--project-c-name", "x"}
                                                 << QByteArray() << 2 << "project-c-name";
        QTest::newRow("missing value")
            << QStringList{"generate", "--template"} << QByteArray() << 2 << "--template";
        QTest::newRow("stray argument")
            << QStringList{"generate", "extra"} << QByteArray() << 2 << "'extra'";
        QTest::newRow("-- ends the options")
            << QStringList{"generate", "--", "--verbose"} << QByteArray() << 2 << "'--verbose'";
        QTest::newRow("version with an extra argument")
            << QStringList{"--version", "extra"} << QByteArray() << 2 << "'extra'";
        for (const char* option : {"--template", "--values", "--output"}) {
            QTest::addRow("empty %s", option)
                << QStringList{"generate", option, ""} << QByteArray() << 2
                << QString::fromLatin1(option) + " needs a file name";
        }
        QTest::newRow("values file is /dev/null")
            << QStringList{"generate", "--values", "/dev/null"} << QByteArray() << 2
            << "Values file /dev/null: it is empty; it must hold a JSON object";
        QTest::newRow("values file missing") << values << QByteArray() << 2 << "No such file";
        QTest::newRow("values file is a folder")
            << QStringList{"generate", "--values", "{dir}"} << QByteArray() << 2 << "directory";
        QTest::newRow("invalid JSON")
            << values << QByteArray("{\n \"project-a-name\": \"x\",\n}") << 2 << "line 3, column";
        QTest::newRow("not an object") << values << QByteArray("[\"x\"]") << 2 << "object";
        QTest::newRow("a string, not an object")
            << values << QByteArray("\"str\"\n") << 2 << "v.json: it must hold a JSON object";
        QTest::newRow("unknown key")
            << values << QByteArray("{\"project-c-name\": \"x\"}") << 2 << "\"project-c-name\"";
        QTest::newRow("a key twice")
            << values << QByteArray("{\"project-a-name\":\"x\",\"project-a-name\":\"y\"}") << 2
            << "v.json: the key \"project-a-name\" is given twice, the second time at line 1, "
               "column 23.";
        QTest::newRow("a key twice, once spelled with an escape")
            << values
            << QByteArray("{\"project-a-name\": \"x\",\n  \"\\u0070roject-a-name\": \"y\"}") << 2
            << "the key \"project-a-name\" is given twice, the second time at line 2, column 3.";
        QTest::newRow("a key behind a raw U+FEFF is another key")
            << values << QByteArray("{\"\xEF\xBB\xBFproject-a-name\": \"x\"}") << 2
            << "unknown key \"\xEF\xBB\xBFproject-a-name\" at line 1, column 2;";
        QTest::newRow("number with a fraction, which a double would round")
            << values << QByteArray("{\"project-a-id\": 9007199254740993.0}") << 2
            << "a number with a fraction or an exponent";
        QTest::newRow("number with an exponent") << values << QByteArray("{\"project-a-id\": 1E3}")
                                                 << 2 << "a number with a fraction or an exponent";
        QTest::newRow("value true, and the key again with a string")
            << values << QByteArray("{\"project-a-id\": true, \"project-a-id\": \"1\"}") << 2
            << "the value of \"project-a-id\" is not a string or a whole number.";
        QTest::newRow("an object as a value")
            << values << QByteArray("{\"project-a-id\": {}}") << 2
            << "the value of \"project-a-id\" is not a string or a whole number.";
        QTest::newRow("lone surrogate in a value")
            << values << QByteArray("{\"project-a-id\": \"7\\ud800\"}") << 2
            << "not valid JSON at line 1, column 26: syntax error while parsing value - invalid "
               "string: surrogate U+D800..U+DBFF must be followed by U+DC00..U+DFFF.";
        QTest::newRow("JSON error on line 2, after a character of two bytes")
            << values << QByteArray("{\n \"project-a-name\": \"\xC3\xA9\" x}") << 2
            << "not valid JSON at line 2, column 24: syntax error while parsing object - invalid "
               "literal.";
        QTest::newRow("UTF-16 with a byte-order mark")
            << values << QByteArray("\xFF\xFE{\0}\0", 6) << 2
            << "v.json: looks like UTF-16; save it as UTF-8";
        QTest::newRow("UTF-16 without one")
            << values << QByteArray("\0{\0}", 4) << 2 << "looks like UTF-16; save it as UTF-8";
        QTest::newRow("escape sequence in a key")
            << values << QByteArray("{\"\\u001b[31mred\": \"x\"}") << 2 << "\"\\x1b[31mred\"";
        QTest::newRow("huge key") << values << "{\"" + QByteArray(1 << 20, 'k') + "\": \"x\"}" << 2
                                  << "\"kkkk";
    }
    void answersWithoutAWindow() {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, valuesFile);
        QFETCH(int, exitCode);
        QFETCH(QString, said);
        if (!valuesFile.isNull()) {
            dir_.write(QStringLiteral("v.json"), valuesFile);
        }
        for (QString& argument : arguments) {
            argument = withFolder(argument, dir_);
        }
        const Run run = runProgram(arguments);
        QCOMPARE(run.exitCode, exitCode);
        if (exitCode == 0) {
            QVERIFY(run.out.startsWith(arguments.contains("-v") ? "brindlewick " BRINDLEWICK_VERSION
                                                                  "\n"
                                                                : "Usage: brindlewick"));
            return;
        }
        QCOMPARE(run.out, QByteArray());
        QVERIFY2(failureLine(run).contains(said), run.err.constData());
        // Two short lines that cannot drive the terminal, the second pointing to --help.
        QCOMPARE(run.err.count('\n'), 2);
        QVERIFY(run.err.endsWith("\nTry 'brindlewick --help' for more information.\n"));
        QVERIFY(run.err.size() < 1000);
        QVERIFY(!run.err.contains('\x1b'));
    }

    // As a shell user runs it: $B is the built program, {lookup} a copy of it with no
    // template beside it, {dir} a folder with template.txt and work/, a working folder with a
    // template where a relative data folder would find it. An empty `said` means that nothing
    // goes to standard error.
    void behavesAsAShellToolWould_data() {
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<QString>("said");
        const QString sales = QStringLiteral(" --project-a-name Sales");
        const QByteArray salesOut = "N=Sales";
        QTest::newRow("template from standard input")
            << "printf 'N={2}' | \"$B\" generate --template -" + sales << 0 << salesOut << "";
        QTest::newRow("values from standard input")
            << "echo '{\"project-a-name\": \"Sales\"}' | \"$B\" generate --values - "
               "--template <(printf 'N={2}')"
            << 0 << salesOut << "";
        QTest::newRow("template from a process substitution")
            << "\"$B\" generate --template <(printf 'N={2}')" + sales << 0 << salesOut << "";
        QTest::newRow("template from /dev/stdin")
            << "printf 'N={2}' | \"$B\" generate --template /dev/stdin" + sales << 0 << salesOut
            << "";
        QTest::newRow("a FIFO whose writer comes late")
            << "rm -f {dir}/late; mkfifo {dir}/late; { sleep 0.3; printf 'N={2}' >{dir}/late; } & "
               "\"$B\" generate --template {dir}/late" +
                   sales
            << 0 << salesOut << "";
        QTest::newRow("standard input for both")
            << "\"$B\" generate --template - --values - </dev/null" << 2 << QByteArray()
            << "--template and --values cannot both read standard input.";
        QTest::newRow("standard input for both, once as /dev/stdin")
            << "echo '{}' | \"$B\" generate --template /dev/stdin --values -" << 2 << QByteArray()
            << "--template and --values cannot both read standard input.";
        QTest::newRow("values from a closed standard input")
            << "\"$B\" generate --values - --template {dir}/template.txt <&-" << 2 << QByteArray()
            << "brindlewick: Values file -: standard input is closed\n";
        QTest::newRow("template from a closed standard input")
            << "\"$B\" generate --template - <&-" << 1 << QByteArray()
            << "brindlewick: The template file could not be read or is empty: -; reason: standard "
               "input is closed\n";
        QTest::newRow("values with a byte-order mark and a whole number")
            << "printf '\\xef\\xbb\\xbf{\"project-a-name\": \"Sales\", \"project-a-id\": 1001}' | "
               "\"$B\" generate --values - --template <(printf 'N={2} {0}')"
            << 0 << QByteArray("N=Sales 1001") << "";
        QTest::newRow("a values-file string that starts with a raw U+FEFF keeps it")
            << "printf '{\"project-a-name\": \"\\xef\\xbb\\xbfSales\"}' | \"$B\" generate --values "
               "- "
               "--template <(printf 'N={2}')"
            << 0 << QByteArray("N=\xEF\xBB\xBFSales") << "";
        QTest::newRow("a values-file string with quotes, a dot and an e is taken whole")
            << "echo '{\"project-a-name\": \"say \\\"1.0\\\" e5\"}' | \"$B\" generate --values - "
               "--template <(printf 'N={2}')"
            << 0 << QByteArray("N=say \"1.0\" e5") << "";
        QTest::newRow("whole numbers at the ends of 64 bits")
            << "echo '{\"project-a-name\": 18446744073709551615, \"project-a-id\": "
               "-9223372036854775808}' | \"$B\" generate --values - --template <(printf 'N={2} "
               "{0}')"
            << 0 << QByteArray("N=18446744073709551615 -9223372036854775808") << "";
        QTest::newRow("whole numbers past 64 bits")
            << "echo '{\"project-a-name\": 18446744073709551616, \"project-a-id\": "
               "-123456789012345678901234567890}' | \"$B\" generate --values - --template "
               "<(printf 'N={2} {0}')"
            << 0 << QByteArray("N=18446744073709551616 -123456789012345678901234567890") << "";
        QTest::newRow("template from /dev/stdin and values from -, standard input a file")
            << "echo '{}' > {dir}/e.json; \"$B\" generate --template /dev/stdin --values - < "
               "{dir}/e.json"
            << 1 << QByteArray()
            << "brindlewick: Template error at line 1, column 1: {} has no number; use {0} to "
               "{11}. "
               "Template file: /dev/stdin\n";
        QTest::newRow("bare generate looks the template up")
            << "\"$B\" generate | head -n 1" << 0
            << QByteArray("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n") << "";
        QTest::newRow("--verbose shows the trace")
            << "\"$B\" generate --verbose --template <(printf 'N={2}')" + sales << 0 << salesOut
            << ".GetBodyFromTextFile, Start, File:/dev/fd/";
        QTest::newRow("-d shows the reports before the failure's line")
            << "\"$B\" generate -d --template missing.txt" << 1 << QByteArray()
            << "brindlewick: level=4 mask=128 message=\".GetBodyFromTextFile, Start, "
               "File:missing.txt\"\nbrindlewick: level=2 mask=1 "
               "message=\".GetBodyFromTextFile, File:missing.txt\" error=2001 description=\"No "
               "such file or directory\" source=\"FileSystemObject\"\nbrindlewick: The template "
               "file could not be read or is empty: missing.txt; reason: No such file or "
               "directory\n";
        QTest::newRow("a paragraph separator in a path is escaped in the report")
            << "\"$B\" generate --verbose --template x$'\\xe2\\x80\\xa9'y.txt" << 1 << QByteArray()
            << "message=\".GetBodyFromTextFile, Start, File:x\\u2029y.txt\"";
        QTest::newRow("file name not UTF-8")
            << "printf 'N={2}' >{dir}/t$'\\xe9'.txt; \"$B\" generate --template "
               "{dir}/t$'\\xe9'.txt; status=$?; rm {dir}/t$'\\xe9'.txt; exit $status"
            << 2 << QByteArray() << "--template: the file name is not valid UTF-8.";
        QTest::newRow("output name not UTF-8")
            << "\"$B\" generate --template {dir}/template.txt --output {dir}/result$'\\xe9'; "
               "status=$?; ls {dir} | grep ^result; exit $status"
            << 2 << QByteArray() << "--output: the file name is not valid UTF-8.";
        QTest::newRow("a value that starts with a byte-order mark keeps it")
            << "\"$B\" generate --template <(printf 'N={2}') --project-a-name "
               "$'\\xef\\xbb\\xbf'Sales"
            << 0 << QByteArray("N=\xEF\xBB\xBFSales") << "";
        QTest::newRow("value not UTF-8")
            << "\"$B\" generate --template {dir}/template.txt --project-b-id $'\\xe9'" << 2
            << QByteArray() << "--project-b-id: the value is not valid UTF-8.";
        QTest::newRow("escape sequence in a path")
            << "\"$B\" generate --template {dir}/no$'\\e[31m'red.txt" << 1 << QByteArray()
            << "/no\\x1b[31mred.txt";
        QTest::newRow("no display")
            << "\"$B\"" << 1 << QByteArray()
            << "brindlewick: no display to open the window on; to generate without a window, use "
               "'brindlewick generate' (see --help)\n";
        QTest::newRow("a display nothing listens on")
            << "DISPLAY=:7737 \"$B\"" << 1 << QByteArray()
            << "brindlewick: cannot open the window: could not connect to display :7737; to "
               "generate without a window, use 'brindlewick generate' (see --help)\n";
        QTest::newRow("a fallback list names the display that failed, not the missing plugin")
            << "DISPLAY=:7737 QT_QPA_PLATFORM='nosuch;xcb' \"$B\"" << 1 << QByteArray()
            << "brindlewick: cannot open the window: could not connect to display :7737;";
        QTest::newRow("the window starts silently without XDG_RUNTIME_DIR")
            << "env -u XDG_RUNTIME_DIR \"$B\" -platform offscreen & sleep 1; kill $! && echo up; "
               "wait $!"
            << 143 << QByteArray("up\n") << "";
        QTest::newRow("-platform opens the window without a display")
            << "\"$B\" -platform offscreen 2>/dev/null & sleep 1; kill $! && echo up; wait $!"
            << 143 << QByteArray("up\n") << "";
        QTest::newRow("absolute XDG_DATA_HOME is searched")
            << "cd {dir}/work && XDG_DATA_HOME=$PWD {lookup}" + sales << 0
            << QByteArray("Sales from the working folder\n") << "";
        QTest::newRow("relative XDG_DATA_HOME counts as unset")
            << "cd {dir}/work && HOME={dir}/home XDG_DATA_HOME=. XDG_DATA_DIRS=/none {lookup}" +
                   sales
            << 0 << QByteArray("Sales from the home folder\n") << "";
        QTest::newRow("relative XDG_DATA_DIRS entry is not")
            << "cd {dir}/work && XDG_DATA_HOME=/none XDG_DATA_DIRS=.:/none {lookup}" + sales << 1
            << QByteArray() << "No Template.txt was found";
        // The advice names the user's own data folder.
        const QString accountData = QStringLiteral("save it as %1/.local/share/brindlewick/")
                                        .arg(QFile::decodeName(::getpwuid(::getuid())->pw_dir));
        for (const char* home : {"env -u HOME", "HOME=", "HOME=."}) {
            QTest::addRow("%s: the account's home", home)
                << QStringLiteral("cd {dir}/work && %1 XDG_DATA_HOME= XDG_DATA_DIRS=/none {lookup}")
                           .arg(QLatin1StringView(home)) +
                       sales
                << 1 << QByteArray() << accountData;
        }
        QTest::newRow("--output naming the template the lookup finds")
            << "mkdir -p {dir}/own && cp \"$B\" {dir}/own/b && printf 'T {2}' > "
               "{dir}/own/Template.txt && {dir}/own/b generate --output {dir}/own/Template.txt; "
               "s=$?; cat {dir}/own/Template.txt; exit $s"
            << 2 << QByteArray("T {2}") << "--output names the template the lookup found";
    }
    void behavesAsAShellToolWould() {
        QFETCH(QString, script);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, out);
        QFETCH(QString, said);
        script.replace(QStringLiteral("{lookup}"), dir_.path("bin/brindlewick") + " generate");
        script.replace(QStringLiteral("\"$B\""), QStringLiteral(BRINDLEWICK_PROGRAM));
        const Run run = runShell(withFolder(script, dir_), dir_.path(QString()));
        QCOMPARE(run.exitCode, exitCode);
        QCOMPARE(run.out, out);
        if (said.isEmpty()) {
            QCOMPARE(run.err, QByteArray());
        }
        QVERIFY2(QString::fromUtf8(run.err).contains(said), run.err.constData());
        QVERIFY(!run.err.contains('\x1b'));
    }

    // Each row: a set-up, the command, then what the exit status, standard output and the one
    // failure line on standard error are, and what the set-up's shell command `after` prints of
    // the folder afterwards. `g` runs generate on an 8-byte template, `g20` on a 20-byte one, `ug`
    // on the 8-byte one as a user without root (see kRunAsUser). `"${noproc[@]}" COMMAND` runs
    // the command where /proc is empty. A set-up that cannot be done here (it needs root) prints
    // why and exits with 77.
    void outputGoesWhereAShellWouldPutIt_data() {
        QTest::addColumn<QString>("setUp");
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<QString>("said");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QByteArray>("folderAfterwards");
        const auto asRoot = [](const char* what) {
            return QStringLiteral("[ \"$(id -u)\" = 0 ] || { echo '%1 needs root'; exit 77; }; ")
                .arg(QLatin1StringView(what));
        };
        const QString ok;
        const QString noSetUp;
        QTest::newRow("device node stays a device")
            << asRoot("mknod") + "mknod null c 1 3"
            << "g --output null" << 0 << QByteArray() << ok << "stat -c %F null"
            << QByteArray("character special file\n");
        QTest::newRow("FIFO's reader gets the bytes")
            << "mkfifo f; cat f > got &"
            << "g --output f" << 0 << QByteArray() << ok << "wait; stat -c %F f; cat got"
            << QByteArray("fifo\nABCDEFG\n");
        QTest::newRow("/dev/stdout into an append redirect")
            << "echo OLD > log"
            << "g --output /dev/stdout >> log" << 0 << QByteArray() << ok << "cat log"
            << QByteArray("OLD\nABCDEFG\n");
        QTest::newRow("/dev/stdout into a pipe")
            << noSetUp << "g --output /dev/stdout | cat" << 0 << QByteArray("ABCDEFG\n") << ok
            << "ls -A" << QByteArray();
        QTest::newRow("- is standard output")
            << noSetUp << "g --output -" << 0 << QByteArray("ABCDEFG\n") << ok << "ls -A"
            << QByteArray();
        const QString closed = QStringLiteral("brindlewick: standard output is closed");
        QTest::newRow("closed standard output, 8 bytes")
            << noSetUp << "g >&-" << 1 << QByteArray() << closed << "ls -A" << QByteArray();
        QTest::newRow("closed standard output, 20 bytes")
            << noSetUp << "g20 >&-" << 1 << QByteArray() << closed << "ls -A" << QByteArray();
        QTest::newRow("full file system")
            << asRoot("mount") +
                   "mkdir full; mount -t tmpfs -o size=64k tmpfs full"
                   " || { echo 'mount is not permitted here'; exit 77; }; trap 'umount full' EXIT; "
                   "echo OLD > full/out.xml;"
                   " head -c 200000 /dev/zero | tr '\\0' a > big.txt"
            << "\"$B\" generate --template big.txt --output full/out.xml" << 1 << QByteArray()
            << "brindlewick: Cannot write full/out.xml: No space left on device"
            << "ls -A full; cat full/out.xml" << QByteArray("out.xml\nOLD\n");
        QTest::newRow("read-only file keeps its mode")
            << asRoot("replacing a read-only file") + "echo x > f; chmod 444 f"
            << "g --output f" << 0 << QByteArray() << ok << "stat -c %a f; cat f"
            << QByteArray("444\nABCDEFG\n");
        QTest::newRow("a user without root cannot replace their own read-only file")
            << "echo x > f; mine f; chmod 444 f"
            << "ug --output f" << 1 << QByteArray()
            << "brindlewick: Cannot write f: Permission denied"
            << "stat -c %a f; cat f" << QByteArray("444\nx\n");
        QTest::newRow("own file in a folder the user cannot write: written in place, no old tail")
            << "mkdir d; echo OLD-AND-LONGER-THAN-THE-RESULT > d/mine.txt; mine d/mine.txt;"
               " chmod 555 d"
            << "ug --output d/mine.txt" << 0 << QByteArray() << ok
            << "chmod 755 d; ls -A d; cat d/mine.txt" << QByteArray("mine.txt\nABCDEFG\n");
        QTest::newRow("a new file in a folder the user cannot write")
            << "mkdir d; chmod 555 d"
            << "ug --output d/new.txt" << 1 << QByteArray()
            << "brindlewick: Cannot write d/new.txt: Permission denied"
            << "chmod 755 d; ls -A d" << QByteArray();
        QTest::newRow("another owner's file keeps owner, group and mode, setuid too")
            << asRoot("chown") + "echo x > f; chown 65534:65534 f; chmod 6750 f"
            << "g --output f" << 0 << QByteArray() << ok << "stat -c '%a %u:%g' f; cat f"
            << QByteArray("6750 65534:65534\nABCDEFG\n");
        QTest::newRow("a caller who is not root drops setuid and setgid, as a write would")
            << "echo x > f; mine f; chmod 6755 f"
            << "ug --output f" << 0 << QByteArray() << ok << "stat -c %a f; cat f"
            << QByteArray("755\nABCDEFG\n");
        const auto needs = [](const char* tools) {
            return QStringLiteral(
                       "for t in %1; do command -v $t >/dev/null ||"
                       " { echo \"needs $t\"; exit 77; }; done; ")
                .arg(QLatin1StringView(tools));
        };
        const QString unsupported = QStringLiteral(" || { echo 'not supported here'; exit 77; }");
        QTest::newRow("a replaced file keeps its ACL and extended attributes")
            << needs("setfacl setfattr") +
                   "echo x > f; chmod 640 f; { setfacl -m u:65534:rw f &&"
                   " setfattr -n user.k -v v f; }" +
                   unsupported
            << "g --output f" << 0 << QByteArray() << ok
            << "getfacl -cpn f; getfattr --only-values -n user.k f; echo; cat f"
            << QByteArray(
                   "user::rw-\nuser:65534:rw-\ngroup::r--\nmask::rw-\nother::---\n\nv\nABCDEFG\n");
        QTest::newRow("a new file under umask 022")
            << "umask 022"
            << "g --output new.xml" << 0 << QByteArray() << ok << "stat -c %a new.xml"
            << QByteArray("644\n");
        QTest::newRow("a folder's default ACL: a new file gets it as : > gives it, no other")
            << needs("setfacl") +
                   "mkdir d; echo x > d/old.xml; chmod 600 d/old.xml;"
                   " setfacl -d -m u:65534:rw d" +
                   unsupported + "; umask 077"
            << "g --output d/new.xml && g --output d/old.xml" << 0 << QByteArray() << ok
            << ": > d/ref; diff <(getfacl -cp d/ref) <(getfacl -cp d/new.xml) && echo same;"
               " getfacl -cp d/old.xml"
            << QByteArray("same\nuser::rw-\ngroup::---\nother::---\n\n");
        QTest::newRow("an append-only folder is written in place, no old tail left")
            << asRoot("chattr") +
                   "mkdir a; echo OLD-AND-LONGER-THAN-THE-RESULT > a/x.xml; chattr +a a" +
                   unsupported + "; trap 'chattr -a a' EXIT"
            << "g --output a/x.xml && g20 --output a/new.xml" << 0 << QByteArray() << ok
            << "ls -A a; cat a/x.xml a/new.xml"
            << QByteArray("new.xml\nx.xml\nABCDEFG\nABCDEFGHIJKLMNOPQRS\n");
        QTest::newRow("a full append-only folder keeps the old file and makes no new one")
            << asRoot("mount") +
                   "mkdir full; mount -t tmpfs -o size=64k tmpfs full"
                   " || { echo 'mount is not permitted here'; exit 77; };"
                   " trap 'chattr -a full/a; umount full' EXIT; mkdir full/a;"
                   " echo OLD > full/a/out.xml; chattr +a full/a" +
                   unsupported + "; head -c 200000 /dev/zero | tr '\\0' a > big.txt"
            << "\"$B\" generate --template big.txt --output full/a/out.xml;"
               " \"$B\" generate --template big.txt --output full/a/new.xml"
            << 1 << QByteArray()
            << "brindlewick: Cannot write full/a/out.xml: No space left on device"
            << "ls -A full/a; cat full/a/out.xml" << QByteArray("out.xml\nOLD\n");
        // A sanitized program reads its options from /proc too, and its leak check fails there.
#ifdef __SANITIZE_ADDRESS__
        const QString leakCheckNeedsProc =
            QStringLiteral("echo 'the leak check needs /proc'; exit 77;");
#else
        const QString leakCheckNeedsProc;
#endif
        QTest::newRow("without /proc, a new file and a replaced one with its attributes")
            << asRoot("unshare") + leakCheckNeedsProc + needs("setfattr") +
                   "\"${noproc[@]}\" true || { echo 'unshare is not permitted here'; exit 77; };"
                   " echo x > old.xml; chmod 640 old.xml; setfattr -n user.k -v v old.xml" +
                   unsupported
            << "\"${noproc[@]}\" \"$B\" generate --template ../t8.txt --output new.xml &&"
               " \"${noproc[@]}\" \"$B\" generate --template ../t8.txt --output old.xml"
            << 0 << QByteArray() << ok
            << "ls -A; cat new.xml old.xml; stat -c %a old.xml; getfattr --only-values -n user.k"
               " old.xml"
            << QByteArray("new.xml\nold.xml\nABCDEFG\nABCDEFG\n640\nv");
        QTest::newRow("another user's link in a sticky folder")
            << asRoot("chown -h") +
                   "mkdir -m 1777 shared; echo SAFE > target; ln -s ../target shared/planted.xml;"
                   " chown -h 65534 shared/planted.xml"
            << "g --output shared/planted.xml" << 1 << QByteArray()
            << "brindlewick: refusing to follow a link owned by another user in a shared folder: "
               "shared/planted.xml"
            << "cat target; ls -A shared" << QByteArray("SAFE\nplanted.xml\n");
        QTest::newRow("another user's link to a folder in a sticky folder")
            << asRoot("chown -h") +
                   "mkdir -m 1777 shared safe; echo SAFE > safe/out.xml; ln -s ../safe shared/dir;"
                   " chown -h 65534 shared/dir"
            << "g --output shared/dir/out.xml" << 1 << QByteArray()
            << "brindlewick: refusing to follow a link owned by another user in a shared folder: "
               "shared/dir"
            << "ls -A safe; cat safe/out.xml" << QByteArray("out.xml\nSAFE\n");
        QTest::newRow("another user's link in a sticky folder, for a user without root")
            << asRoot("chown -h") +
                   "mkdir -m 1777 shared; echo SAFE > target; mine target;"
                   " ln -s ../target shared/planted.xml; chown -h 65533 shared/planted.xml"
            << "ug --output shared/planted.xml" << 1 << QByteArray()
            << "brindlewick: refusing to follow a link owned by another user in a shared folder: "
               "shared/planted.xml"
            << "cat target" << QByteArray("SAFE\n");
        QTest::newRow("a link of the sticky folder's owner is followed, as > follows it")
            << asRoot("chown") +
                   "mkdir -m 1777 shared; chown 65533 shared; echo x > target; mine target;"
                   " ln -s ../target shared/l.xml; chown -h 65533 shared/l.xml"
            << "ug --output shared/l.xml" << 0 << QByteArray() << ok
            << "cat target; stat -c %F shared/l.xml" << QByteArray("ABCDEFG\nsymbolic link\n");
        QTest::newRow("own link in a sticky folder: link kept, target replaced")
            << "mkdir -m 1777 shared; echo x > target; ln -s ../target shared/mine.xml"
            << "g --output shared/mine.xml" << 0 << QByteArray() << ok
            << "cat target; stat -c %F shared/mine.xml; ls -A shared"
            << QByteArray("ABCDEFG\nsymbolic link\nmine.xml\n");
        QTest::newRow("another user's FIFO in a sticky folder")
            << asRoot("chown") + "mkdir -m 1777 shared; mkfifo shared/f; chown 65534 shared/f"
            << "g --output shared/f" << 1 << QByteArray()
            << "brindlewick: refusing to write to a file owned by another user in a shared "
               "folder: shared/f"
            << "ls -A shared" << QByteArray("f\n");
        QTest::newRow("a descriptor the program was given")
            << noSetUp << "g --output /dev/fd/3 3> got" << 0 << QByteArray() << ok << "cat got"
            << QByteArray("ABCDEFG\n");
        QTest::newRow("a descriptor the program was not given")
            << noSetUp << "g --output /dev/fd/3 3>&-" << 1 << QByteArray()
            << "brindlewick: Cannot write /dev/fd/3: Bad file descriptor"
            << "ls -A" << QByteArray();
        QTest::newRow("another spelling of standard output into an append redirect")
            << "echo OLD > log"
            << "g --output /proc/thread-self/fd/1 >> log" << 0 << QByteArray() << ok << "cat log"
            << QByteArray("OLD\nABCDEFG\n");
        QTest::newRow("a path of 4,091 bytes")
            << "p=$(printf \"$(printf 'd%.0s' {1..250})/%.0s\" {1..16}); mkdir -p $p;"
               " f=$p$(printf 'f%.0s' {1..75})"
            << "g --output $f" << 0 << QByteArray() << ok << "cat $f; ls -A $p; rm -r d*"
            << QByteArray("ABCDEFG\n" + QByteArray(75, 'f') + '\n');
        const QString signalDuringWrite = QStringLiteral(
            "head -c 32000000 /dev/zero | tr '\\0' a > ../big.txt; echo OLD > out.xml;"
            " during() { \"${via[@]}\" \"$B\" generate --template ../big.txt --output out.xml & "
            "pid=$!;"
            " while kill -0 $pid && ! ls -l /proc/$pid/fd | grep -q /work/; do :; done;"
            " kill -$1 $pid; wait $pid; }");
        for (const char* signal : {"KILL", "PIPE"}) {
            QTest::newRow(qPrintable(QStringLiteral("SIG%1 during the write").arg(signal)))
                << signalDuringWrite << QStringLiteral("during %1").arg(signal)
                << 128 + (signal[0] == 'K' ? 9 : 13) << QByteArray() << ok << "ls -A"
                << QByteArray("out.xml\n");
        }
        // Without /proc the temporary file is named from the start.
        const std::pair<const char*, int> endingSignals[] = {
            {"ABRT", SIGABRT}, {"PWR", SIGPWR}, {"SYS", SIGSYS}, {"RTMIN+3", SIGRTMIN + 3}};
        for (const auto& [signal, number] : endingSignals) {
            QTest::addRow("SIG%s during the write to a named temporary file", signal)
                << asRoot("unshare") + "ulimit -c 0; " + signalDuringWrite +
                       "; \"${noproc[@]}\" true || { echo 'unshare is not permitted here'; exit "
                       "77; };"
                       " via=(\"${noproc[@]}\")"
                << QStringLiteral("during %1").arg(QLatin1StringView(signal)) << 128 + number
                << QByteArray() << ok << "ls -A" << QByteArray("out.xml\n");
        }
        QTest::newRow("a non-blocking standard output whose reader is late")
            << "head -c 1000000 /dev/zero | tr '\\0' a > big.txt"
            << "{ perl -MFcntl -e 'fcntl(STDOUT, F_SETFL, O_WRONLY | O_NONBLOCK)';"
               " \"$B\" generate --template big.txt; } | { sleep 0.5; wc -c; }"
            << 0 << QByteArray("1000000\n") << ok << "ls -A" << QByteArray("big.txt\n");
        QTest::newRow("--output names --values")
            << "echo '{}' > v.json"
            << "g --values v.json --output v.json" << 2 << QByteArray()
            << "brindlewick: --output and --values name the same file: v.json"
            << "cat v.json" << QByteArray("{}\n");
        QTest::newRow("--output names --template by a link")
            << "cp ../t8.txt t.txt; ln -s t.txt link"
            << "\"$B\" generate --template t.txt --output link" << 2 << QByteArray()
            << "brindlewick: --output and --template name the same file: link"
            << "cat t.txt; ls -A" << QByteArray("ABCDEFG\nlink\nt.txt\n");
        QTest::newRow("the longest file name")
            << noSetUp << "g --output $(printf 'n%.0s' {1..255})" << 0 << QByteArray() << ok
            << "ls -A | wc -c" << QByteArray("256\n");
        QTest::newRow("a folder") << "mkdir d"
                                  << "g --output d" << 1 << QByteArray()
                                  << "brindlewick: Cannot write d: Is a directory"
                                  << "ls -A" << QByteArray("d\n");
        QTest::newRow("a name that ends in a slash")
            << noSetUp << "g --output missing/" << 1 << QByteArray()
            << "brindlewick: Cannot write missing/: Is a directory"
            << "ls -A" << QByteArray();
        QTest::newRow("standard output past the file-size limit")
            << "head -c 5000 /dev/zero | tr '\\0' a > big.txt; ulimit -f 2"
            << "\"$B\" generate --template big.txt > out.xml" << 1 << QByteArray()
            << "brindlewick: Cannot write to standard output: File too large"
            << "ls -A" << QByteArray("big.txt\nout.xml\n");
        QTest::newRow("past the file-size limit")
            << "head -c 5000 /dev/zero | tr '\\0' a > big.txt; ulimit -f 2"
            << "\"$B\" generate --template big.txt --output out.xml" << 1 << QByteArray()
            << "brindlewick: Cannot write out.xml: File too large"
            << "ls -A" << QByteArray("big.txt\n");
        QTest::newRow("--help into /dev/full")
            << noSetUp << "\"$B\" --help > /dev/full" << 1 << QByteArray()
            << "brindlewick: Cannot write to standard output: No space left on device"
            << "ls -A" << QByteArray();
    }
    void outputGoesWhereAShellWouldPutIt() {
        QFETCH(QString, setUp);
        QFETCH(QString, command);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, out);
        QFETCH(QString, said);
        QFETCH(QString, after);
        QFETCH(QByteArray, folderAfterwards);
        const TempDir dir;
        dir.write(QStringLiteral("t8.txt"), "ABCDEFG\n");
        dir.write(QStringLiteral("t20.txt"), "ABCDEFGHIJKLMNOPQRS\n");
        QVERIFY(QDir(dir.path(QString())).mkdir(QStringLiteral("work")));
        const QString script =
            QStringLiteral(
                "set -o pipefail\n"
                "g() { \"$B\" generate --template ../t8.txt \"$@\"; }\n"
                "g20() { \"$B\" generate --template ../t20.txt \"$@\"; }\n"
                "noproc=(unshare -m sh -c 'mount -t tmpfs none /proc && exec \"$@\"' sh)\n") +
            kRunAsUser +
            QStringLiteral("%1\n%2\nstatus=$?\n{ %3; } > ../after 2>&1\nexit $status\n")
                .arg(setUp, command, after);
        const Run run = runShell(script, dir.path(QStringLiteral("work")));
        if (run.exitCode == 77) {
            QSKIP(run.out.constData());
        }
        QCOMPARE(run.exitCode, exitCode);
        QCOMPARE(run.out, out);
        QCOMPARE(failureLine(run), said);
        QFile afterwards(dir.path(QStringLiteral("after")));
        QVERIFY(afterwards.open(QIODevice::ReadOnly));
        QCOMPARE(afterwards.readAll(), folderAfterwards);
    }

  private:
    // What the window shows after Generate with the same values and template.
    QString windowOutput(const QStringList& values) {
        const ComponentsGuard guard;
        installTemplatePath(templatePath_);
        installSilentLogger();
        GeneratorWindow window;
        window.setFailureDialog([](QWidget*, const QString&) {});
        for (qsizetype i = 0; i < 12; ++i) {
            window.field(kFields[i].field)->setText(values[i]);
        }
        window.runGenerate();
        return window.output()->toPlainText();
    }

    TempDir dir_;
    QString templatePath_;
};

QTEST_MAIN(TestCommandLine)
#include "tst_cli.moc"
