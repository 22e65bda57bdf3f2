#include <sys/stat.h>

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTest>

#include "Form1.h"
#include "TempDir.h"
#include "TestComponents.h"
#include "ValueOptions.h"

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

// The built program, with no display to talk to.
Run runProgram(const QStringList& arguments) {
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
        environment.remove(QString::fromLatin1(name));
    }
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(BRINDLEWICK_PROGRAM), arguments);
    if (!program.waitForFinished(20000)) {
        program.kill();
        program.waitForFinished();
        return {};
    }
    return {program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1,
            program.readAllStandardOutput(), program.readAllStandardError()};
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

QString withFolder(QString argument, const TempDir& dir) {
    return argument.replace(QStringLiteral("{dir}"), dir.path(QString()));
}

}  // namespace

class TestCommandLine : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void initTestCase() {
        templatePath_ = dir_.write(QStringLiteral("template.txt"), kTemplate);
        QCOMPARE(::mkfifo(qPrintable(dir_.path(QStringLiteral("fifo"))), 0600), 0);
    }

    // Twelve values in the order of the value options; an empty one is not given at all.
    void writesWhatTheWindowShows_data() {
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<bool>("fromValuesFile");
        const QStringList sample = {"Sales", "1001", "Add Order", "Edit Order", "OrderID", "SQL",
                                    "Stock", "2002", "Add Item",  "Edit Item",  "ItemID",  "REST"};
        QTest::newRow("sample values") << sample << false;
        QTest::newRow("sample values from a values file") << sample << true;
        QTest::newRow("non-Latin text")
            << QStringList({"Café €", "😀", "中文/视图", "Édition", "\"q\"", "a\\b", "Склад", "٢٠٠٢",
                            "Añadir", "Ändern", "", "tab\there"})
            << true;
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
            const QString name = QString::fromLatin1(kValueOptions[i].name);
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
        QTest::newRow("template missing") << "{dir}/missing.txt" << QByteArray() << "out.txt"
                                          << "missing.txt";
        QTest::newRow("template is a folder") << "{dir}" << QByteArray() << "out.txt"
                                              << "{dir}";
        QTest::newRow("template empty") << "{dir}/empty.txt" << QByteArray("") << "out.txt"
                                        << "empty.txt";
        QTest::newRow("syntax error") << "{dir}/bad.txt" << QByteArray("a\nb {12}") << "out.txt"
                                      << "line 2, column 3";
        QTest::newRow("NUL bytes")
            << "{dir}/binary.txt" << QByteArray("{0}\0\0\0\0", 7) << "out.txt"
            << "is not a text file (it contains NUL bytes)";
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
        QFile file(previous);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("previous result"));
        QCOMPARE(QDir(dir.path(QString())).entryList(QDir::Files), before);
    }

    void answersWithoutAWindow_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("valuesFile");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("said");
        const QStringList values = {"generate", "--values", "{dir}/v.json"};
        QTest::newRow("help") << QStringList{"--help"} << QByteArray() << 0 << "";
        QTest::newRow("version") << QStringList{"generate", "-v"} << QByteArray() << 0 << "";
        QTest::newRow("unknown option") << QStringList{"--bogus"} << QByteArray() << 2 << "bogus";
        QTest::newRow("unknown command") << QStringList{"make"} << QByteArray() << 2 << "'make'";
        QTest::newRow("unknown generate option") << QStringList{"generate", "--project-c-name", "x"}
                                                 << QByteArray() << 2 << "project-c-name";
        QTest::newRow("missing value")
            << QStringList{"generate", "--template"} << QByteArray() << 2 << "--template";
        QTest::newRow("stray argument")
            << QStringList{"generate", "extra"} << QByteArray() << 2 << "'extra'";
        QTest::newRow("values file missing") << values << QByteArray() << 2 << "No such file";
        QTest::newRow("values file is a folder")
            << QStringList{"generate", "--values", "{dir}"} << QByteArray() << 2 << "directory";
        QTest::newRow("values file is a FIFO")
            << QStringList{"generate", "--values", "{dir}/fifo"} << QByteArray() << 2 << "FIFO";
        QTest::newRow("invalid JSON")
            << values << QByteArray("{\n \"project-a-name\": \"x\",\n}") << 2 << "line 3, column";
        QTest::newRow("not an object") << values << QByteArray("[\"x\"]") << 2 << "object";
        QTest::newRow("unknown key")
            << values << QByteArray("{\"project-c-name\": \"x\"}") << 2 << "\"project-c-name\"";
        QTest::newRow("value not a string")
            << values << QByteArray("{\"project-a-id\": 7}") << 2 << "\"project-a-id\"";
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
        QVERIFY(run.err.contains("--help"));
    }

  private:
    // What the window shows after Generate with the same values and template.
    QString windowOutput(const QStringList& values) {
        const ComponentsGuard guard;
        installTemplatePath(templatePath_);
        installSilentLogger();
        Form1 form;
        form.setFailureDialog([](QWidget*, const QString&) {});
        for (qsizetype i = 0; i < 12; ++i) {
            form.field(kValueOptions[i].field)->setText(values[i]);
        }
        form.cmdOK_Click();
        return form.output()->toPlainText();
    }

    TempDir dir_;
    QString templatePath_;
};

QTEST_MAIN(TestCommandLine)
#include "tst_cli.moc"
