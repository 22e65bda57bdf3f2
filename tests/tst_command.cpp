#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringEncoder>
#include <QTest>
#include <QXmlStreamReader>

#include "BraceTemplateEngine.h"
#include "DefaultComponents.h"
#include "ErrorInfo.h"
#include "FailingAllocation.h"
#include "GenerateCommand.h"
#include "TempDir.h"
#include "TestComponents.h"

using namespace brindlewick;
using namespace brindlewick::test;

// A text that may be absent, as a failed comparison shows it.
template <>
char* QTest::toString(const std::optional<QString>& text) {
    return text ? QTest::toString(*text) : qstrdup("(none)");
}

namespace {

// The twelve fields, project A's six then project B's; those not given are empty.
FieldTexts projects(const QStringList& sixAThenSixB) {
    FieldTexts fields;
    for (const FieldDescription& description : kFields) {
        fields[description.field] = sixAThenSixB.value(static_cast<int>(description.field));
    }
    return fields;
}

// A Generate as the window and the command line run it: the template read, then filled in.
Definition generate(const FieldTexts& fields, const QString& applicationFolder,
                    const QString& templatePath = QString()) {
    try {
        return generateDefinition(fields, readTemplate(applicationFolder, templatePath));
    } catch (...) {
        return {std::nullopt, {}, currentErrorInfo().description};
    }
}

// Counts the template engines alive, so that a test can see each run release its engine.
class CountedEngine final : public TemplateEngine {
  public:
    explicit CountedEngine(int& alive) : alive_(alive) { ++alive_; }
    ~CountedEngine() override { --alive_; }
    void Render(QStringList& values, QString& result) override { engine_.Render(values, result); }
    void LoadTemplate(QString& text, QString& templateName) override {
        engine_.LoadTemplate(text, templateName);
    }
    QList<TextRange> escapedRanges() const override { return engine_.escapedRanges(); }

  private:
    int& alive_;
    BraceTemplateEngine engine_{kFieldCount};
};

class RecordingPathService final : public FilePathService {
  public:
    explicit RecordingPathService(QStringList& calls) : calls_(calls) {}
    void ResolvePath(QString& folder, QString& fileName, QString& result) override {
        calls_ << folder << fileName;
        result = folder + u'/' + fileName;
    }

  private:
    QStringList& calls_;
};

}  // namespace

class TestCommand : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    // The data folders the program searches after its own; the last holds an installed default.
    // One is named twice, and is searched and listed once.
    void initTestCase() {
        qputenv("XDG_DATA_HOME", QFile::encodeName(dir_.path("home")));
        qputenv("XDG_DATA_DIRS", QFile::encodeName(dir_.path("local") + ':' + dir_.path("usr") +
                                                   ':' + dir_.path("local")));
        QVERIFY(QDir().mkpath(dir_.path("usr/tst_command/default")));
        dir_.write(QStringLiteral("usr/tst_command/default/Template.txt"), "{0}");
    }
    void init() {
        installDefaultComponents();
        records_ = installRecordingLogger();
        Components::setTemplateEngineFactory(
            [this] { return std::make_unique<CountedEngine>(aliveEngines_); });
    }
    void cleanup() { QCOMPARE(aliveEngines_, 0); }

    void generatesFromTheTemplate() {
        const Definition generated = runWithTemplate(
            projects({"My Proj", "7", "Add View", "Edit", "g", "d", "B", "8", "x", "y", "h", "e"}),
            "{0}|{1}|{2}|{3}|{4}|{5}|{6}|{7}|{8}|{9}|{10}|{11}\nMy Proj/Add Views");
        QCOMPARE(generated.failure, std::nullopt);
        QCOMPARE(generated.text,
                 QStringLiteral("7|8|My Proj|B|My%20Proj%2FAdd%20View|My%20Proj%2FEdit|"
                                "B%2Fx|B%2Fy|g|h|d|e\nMy%20Proj%2FAdd%20Views"));
        QCOMPARE(records_->size(), 1);  // the start trace only
        QCOMPARE(pathCalls_, QStringList({dir_.path(QString()), "Template.txt"}));
    }

    // Through the whole command: the template as given, the fields in the window's order.
    void encodingPasses_data() {
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QByteArray>("templateText");
        QTest::addColumn<QString>("encoded");
        QTest::newRow("all fields empty: every slash stays")
            << QStringList() << QByteArray("a/b//c {4}") << "a/b//c /";
        QTest::newRow("one project empty") << QStringList({"Sales", "", "Add"})
                                           << QByteArray("<a href=\"https://x.org/{4}\">{2}{6}</a>")
                                           << "<a href=\"https://x.org/Sales%2FAdd\">Sales/</a>";
        QTest::newRow("empty view name")
            << QStringList({"Sales", "", "", "Edit"}) << QByteArray("{4} {5} Sales/")
            << "Sales/ Sales%2FEdit Sales/";
        QTest::newRow("empty project name") << QStringList({"", "", "Add", "Edit"})
                                            << QByteArray("{4} {5} x/Add") << "/Add /Edit x/Add";
        QTest::newRow("edit view begins with add view")
            << QStringList({"My Sales", "", "Order", "Order Lines"})
            << QByteArray("add={4} edit={5}")
            << "add=My%20Sales%2FOrder edit=My%20Sales%2FOrder%20Lines";
        QTest::newRow("A's path inside B's")
            << QStringList({"Sales", "", "Order", "", "", "", "My Sales", "", "Order"})
            << QByteArray("{4} {6}") << "Sales%2FOrder My%20Sales%2FOrder";
        QTest::newRow("case-sensitive, inside longer text")
            << QStringList({"Proj", "", "View"}) << QByteArray("proj/view XProj/ViewY")
            << "proj/view XProj%2FViewY";
        QTest::newRow("equal view names: encoded once")
            << QStringList({"P", "", "V", "V"}) << QByteArray("{4} {5}") << "P%2FV P%2FV";
        QTest::newRow("A and B the same: encoded once")
            << QStringList({"P", "", "V", "W", "", "", "P", "", "V", "W"}) << QByteArray("{4} {7}")
            << "P%2FV P%2FW";
        QTest::newRow("non-overlapping, left to right")
            << QStringList({"a", "", "a"}) << QByteArray("a/a/a") << "a%2Fa/a";
        QTest::newRow("plain value holding a path")
            << QStringList({"Sales", "", "Add", "", "say Sales/Add"}) << QByteArray("{8}")
            << "say Sales%2FAdd";
        QTest::newRow("escaped values are final")
            << QStringList({"\"", "", "x", "", "say \"/x\"", "", "R", "", "V"})
            << QByteArray("{8:json} {8:xml} {3:url}/V {4}")
            << "say \\\"/x\\\" say &quot;/x&quot; R/V %22%2Fx";
        QTest::newRow("escaped values that touch are final as a whole")
            << QStringList({"P", "", "V", "", "xP/V", "", "", "", "", "", "y"})
            << QByteArray("{8:xml}{9:xml} P/V") << "xP/Vy P%2FV";
    }
    void encodingPasses() {
        QFETCH(QStringList, fields);
        QFETCH(QByteArray, templateText);
        QFETCH(QString, encoded);
        const Definition generated = runWithTemplate(projects(fields), templateText);
        QCOMPARE(generated.failure, std::nullopt);
        QCOMPARE(generated.text, encoded);
    }

    // A value that holds a view path's text comes back whole from an XML or JSON parser, and the
    // stretches its formats wrote are given where the encoded path before them moved them.
    void escapedValuesParseBack() {
        const QString value = QStringLiteral("say \"/x\" & <Sales/Add>");
        const Definition generated =
            runWithTemplate(projects({"\"", "", "x", "", value, "", "Sales", "", "Add"}),
                            "<a v=\"{8:xml}\"/>\n{{\"p\": \"{6}\", \"v\": \"{8:json}\"}}");
        const QString text = generated.text.value_or(QString());
        const qsizetype lineEnd = text.indexOf(u'\n');
        QXmlStreamReader xml(text.left(lineEnd));
        xml.readNextStartElement();
        QCOMPARE(xml.attributes().value(QStringLiteral("v")), value);
        const QJsonObject json = QJsonDocument::fromJson(text.mid(lineEnd + 1).toUtf8()).object();
        QCOMPARE(json.value(u"v").toString(), value);
        QCOMPARE(json.value(u"p").toString(), QStringLiteral("Sales%2FAdd"));
        QStringList escaped;
        for (const TextRange& range : generated.escapedRanges) {
            escaped << text.mid(range.start, range.length);
        }
        QCOMPARE(escaped, QStringList({"say &quot;/x&quot; &amp; &lt;Sales/Add&gt;",
                                       "say \\\"/x\\\" & <Sales/Add>"}));
    }

    // A failure ends the run with one message, before the template is filled in. Null bytes write
    // no template; "lookup" looks it up in /nonexistent and the data folders and finds none; the
    // other settings break a component. In a message, <path> stands for the template's path
    // and <dir> for the test's folder.
    void failuresEndTheRun_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("setting");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("reports");
        const QByteArray missing;
        const QString unreadable =
            QStringLiteral("The template file could not be read or is empty:\n<path>");
        QTest::newRow("looked up, not found")
            << missing << "lookup"
            << "No Template.txt was found in any of these folders, searched in this order:\n"
               "/nonexistent\n<dir>/home/tst_command\n<dir>/local/tst_command\n"
               "<dir>/usr/tst_command\nTo use your own template, save it as "
               "<dir>/home/tst_command/Template.txt\nTo start from the default, copy "
               "<dir>/usr/tst_command/default/Template.txt there"
            << 2;
        QTest::newRow("named, missing")
            << missing << "" << unreadable + "\nReason: No such file or directory" << 2;
        QTest::newRow("zero bytes")
            << QByteArray("") << "" << unreadable + "\nReason: The file is empty" << 1;
        QTest::newRow("empty but for a byte-order mark")
            << QByteArray("\xEF\xBB\xBF") << "" << unreadable << 1;
        QTest::newRow("memory runs out while reading")
            << QByteArray("{0}") << "memory" << unreadable + "\nReason: Out of memory" << 2;
        QTest::newRow("syntax error after CRLF lines")
            << QByteArray("a\r\nb\r\n  {12}") << ""
            << "Template error at line 3, column 3: {12} is out of range; use {0} to {11}.\n"
               "Template file: <path>"
            << 1;
        // A NUL is no text: UTF-16 when four NULs or more, nine in ten of them at one parity.
        const QString utf16 =
            "The template file looks like UTF-16 without a byte-order mark:\n<path>\n"
            "Save it as UTF-8 and try again.";
        const QString nul =
            "The template file is not a text file (it contains NUL bytes):\n<path>\n"
            "Save it as UTF-8 and try again.";
        QTest::newRow("UTF-16LE without a byte-order mark")
            << QByteArray(QStringEncoder(QStringEncoder::Utf16LE)(u"<a>{2}</a>\r\n")) << "" << utf16
            << 1;
        QTest::newRow("UTF-16BE with nine NULs in ten at one parity")
            << QByteArray("\0a\0b\0c\0d\0e\0f\0g\0h\0ix\0", 20) << "" << utf16 << 1;
        QTest::newRow("one NUL in four at the other parity")
            << QByteArray("a\0b\0c\0\0d{2}", 11) << "" << nul << 1;
        QTest::newRow("a single NUL") << QByteArray("Hello {2}\0 and more\n", 20) << "" << nul << 1;
        QTest::newRow("logger fails on every call")
            << QByteArray("{0}") << "logger" << injectedFailure("TestLogger").description << 2;
        QTest::newRow("engine fails at load")
            << QByteArray("{0}") << "load" << injectedFailure("TestEngine.LoadTemplate").description
            << 1;
        QTest::newRow("engine fails at render")
            << QByteArray("{0}") << "render" << injectedFailure("TestEngine.Render").description
            << 1;
    }
    void failuresEndTheRun() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, setting);
        QFETCH(QString, message);
        QFETCH(int, reports);
        const QString path = dir_.path(QStringLiteral("failing.txt"));
        QFile::remove(path);
        if (!bytes.isNull()) {
            dir_.write(QStringLiteral("failing.txt"), bytes);
        }
        if (setting == u"logger") {
            records_ = installRecordingLogger(FailOn::EveryCall);
        } else if (setting == u"memory") {
            installFailingFileSystem(FileFailure::OutOfMemoryAtRead);
        } else if (setting == u"load" || setting == u"render") {
            installFailingEngine(setting == u"load" ? EngineFailure::AtLoad
                                                    : EngineFailure::AtRender);
        }
        installTemplatePath(path);

        const Definition generated = generate(projects({}), QStringLiteral("/nonexistent"),
                                              setting == u"lookup" ? QString() : path);

        message.replace(QStringLiteral("<path>"), path);
        QCOMPARE(generated.failure, message.replace("<dir>", dir_.path(QString())));
        QCOMPARE(generated.text, std::nullopt);
        QCOMPARE(records_->size(), reports);
    }

    // Memory that runs out in the second pass ends the run with the text the first one left:
    // "A/xx" is encoded first, being the longer path, and the list of the places of "A/y" is too
    // large to be had.
    void failureMidPassKeepsFinishedPasses() {
        const QString rest = QStringLiteral(" A/y").repeated(1000);
        TemplateFile templateFile{QStringLiteral("Template.txt"), "A/xx" + rest};
        failAllocationsFrom(4096);
        const Definition generated =
            generateDefinition(projects({"A", "", "xx", "y"}), std::move(templateFile));
        failAllocationsFrom(0);
        QCOMPARE(generated.text, "A%2Fxx" + rest);
        QCOMPARE(generated.failure, QStringLiteral("Out of memory"));
    }

    // Names people really have, an empty field and text outside Latin script: the default
    // template's output must parse, and give back each value as it was typed.
    void defaultTemplateGivesWellFormedXml() {
        const Definition generated =
            generate(projects({"R&D \"Lab\" <O'Brien>", "1", "Add <New>",
                               QStringLiteral("\u00C9dition \u2018x\u2019"),
                               QStringLiteral("\u041A\u043B\u044E\u0447"), "",
                               QStringLiteral("\u8CA9\u58F2 & Co"), "2", "a'b", "c\"d", "g>h",
                               QStringLiteral("\U0001D11E")}),
                     dir_.path(QString()), QStringLiteral(BRINDLEWICK_TEMPLATE));
        QCOMPARE(generated.failure, std::nullopt);

        QXmlStreamReader xml(generated.text.value_or(QString()));
        QStringList attributes;
        while (!xml.atEnd()) {
            if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() != u"View" &&
                xml.name() != u"Map") {
                QString element = xml.name().toString();
                for (const QXmlStreamAttribute& attribute : xml.attributes()) {
                    element += QStringLiteral(" %1=%2").arg(attribute.name(), attribute.value());
                }
                attributes.append(element);
            }
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QCOMPARE(attributes,
                 QStringList({"LinkedProjectDefinition version=1",
                              "Project role=primary id=1 name=R&D \"Lab\" <O'Brien>",
                              QStringLiteral("Grid fieldId=\u041A\u043B\u044E\u0447"),
                              QStringLiteral("LinkedDataSource type= project=\u8CA9\u58F2 & Co"),
                              QStringLiteral("Project role=linked id=2 name=\u8CA9\u58F2 & Co"),
                              "Grid fieldId=g>h",
                              QStringLiteral("LinkedDataSource type=\U0001D11E project=R&D "
                                             "\"Lab\" <O'Brien>"),
                              "Link from=1 to=2"}));
    }

  private:
    // A Generate from the fields and a Template.txt of these bytes in the program's folder.
    Definition runWithTemplate(const FieldTexts& fields, const QByteArray& templateBytes) {
        dir_.write(QStringLiteral("Template.txt"), templateBytes);
        Components::setFilePathServiceFactory(
            [this] { return std::make_unique<RecordingPathService>(pathCalls_); });
        pathCalls_.clear();
        return generate(fields, dir_.path(QString()));
    }

    TempDir dir_;
    LogRecords records_;
    QStringList pathCalls_;
    int aliveEngines_ = 0;
};

QTEST_GUILESS_MAIN(TestCommand)
#include "tst_command.moc"
