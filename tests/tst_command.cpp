#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <QXmlStreamReader>
#include <map>

#include "BraceTemplateEngine.h"
#include "DefaultComponents.h"
#include "GenerateCommand.h"
#include "TempDir.h"
#include "TestComponents.h"

using namespace brindlewick;
using namespace brindlewick::test;

namespace {

// A window stand-in: fields by name, an output text and the failures it was asked to show.
// It can be told to fail on its n-th write of the output.
class FakeView final : public GeneratorView {
  public:
    std::map<InputField, QString> fields;
    QString output;
    QStringList failures;
    int outputWrites = 0;
    int failOnOutputWrite = 0;

    QString fieldText(InputField field) const override {
        const auto it = fields.find(field);
        return it == fields.end() ? QString() : it->second;
    }
    QString outputText() const override { return output; }
    void setOutputText(const QString& text) override {
        if (++outputWrites == failOnOutputWrite) {
            throw ComponentError(injectedFailure(QStringLiteral("FakeView.setOutputText")));
        }
        output = text;
    }
    void showFailure(const QString& description) override { failures.append(description); }
};

void setProjects(FakeView& view, const QStringList& sixAThenSixB) {
    for (const FieldDescription& description : kFields) {
        view.fields[description.field] = sixAThenSixB.value(static_cast<int>(description.field));
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
    void init() {
        installDefaultComponents();
        records_ = installRecordingLogger();
        Components::setTemplateEngineFactory(
            [this] { return std::make_unique<CountedEngine>(aliveEngines_); });
        view_ = FakeView();
        view_.output = QStringLiteral("previous output");
    }
    void cleanup() { QCOMPARE(aliveEngines_, 0); }

    void generatesFromTheTemplate() {
        setProjects(view_,
                    {"My Proj", "7", "Add View", "Edit", "g", "d", "B", "8", "x", "y", "h", "e"});
        runWithTemplate("{0}|{1}|{2}|{3}|{4}|{5}|{6}|{7}|{8}|{9}|{10}|{11}\nMy Proj/Add Views");
        QCOMPARE(view_.failures, QStringList());
        QCOMPARE(view_.output,
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
    }
    void encodingPasses() {
        QFETCH(QStringList, fields);
        QFETCH(QByteArray, templateText);
        QFETCH(QString, encoded);
        setProjects(view_, fields);
        runWithTemplate(templateText);
        QCOMPARE(view_.failures, QStringList());
        QCOMPARE(view_.output, encoded);
    }

    // A value that holds a view path's text comes back whole from an XML or JSON parser.
    void escapedValuesParseBack() {
        const QString value = QStringLiteral("say \"/x\" & <Sales/Add>");
        setProjects(view_, {"\"", "", "x", "", value, "", "Sales", "", "Add"});
        runWithTemplate("<a v=\"{8:xml}\"/>\n{{\"v\": \"{8:json}\"}}");
        const qsizetype lineEnd = view_.output.indexOf(u'\n');
        QXmlStreamReader xml(view_.output.left(lineEnd));
        xml.readNextStartElement();
        QCOMPARE(xml.attributes().value(QStringLiteral("v")), value);
        const QJsonDocument json = QJsonDocument::fromJson(view_.output.mid(lineEnd + 1).toUtf8());
        QCOMPARE(json.object().value(u"v").toString(), value);
    }

    void failureMidPassKeepsFinishedPasses() {
        setProjects(view_, {"A", "", "x", "y"});
        view_.failOnOutputWrite = 3;  // the render, pass (a), then pass (b) fails
        runWithTemplate("A/x A/y");
        QCOMPARE(view_.output, QStringLiteral("A%2Fx A/y"));
        QCOMPARE(view_.failures,
                 QStringList({injectedFailure("FakeView.setOutputText").description}));
    }

    void missingTemplateListsTheFoldersSearched() {
        QStringList calls;
        Components::setFilePathServiceFactory(
            [&calls] { return std::make_unique<RecordingPathService>(calls); });
        qputenv("XDG_DATA_HOME", QFile::encodeName(dir_.path("home")));
        qputenv("XDG_DATA_DIRS", QFile::encodeName(dir_.path("local") + ':' + dir_.path("usr")));
        runGenerateCommand(view_, QStringLiteral("/nonexistent"));
        QCOMPARE(view_.failures,
                 QStringList({"No Template.txt was found in any of these folders, searched in "
                              "this order:\n/nonexistent\n" +
                              dir_.path("home/tst_command") + '\n' +
                              dir_.path("local/tst_command") + '\n' + dir_.path("usr/tst_command") +
                              "\nTo use your own template, save it as " +
                              dir_.path("home/tst_command/Template.txt")}));
        QCOMPARE(records_->size(), 2);  // start trace and failure report
        QCOMPARE(view_.output, QStringLiteral("previous output"));
    }

    // Names people really have, an empty field and text outside Latin script: the default
    // template's output must parse, and give back each value as it was typed.
    void defaultTemplateGivesWellFormedXml() {
        setProjects(view_, {"R&D \"Lab\" <O'Brien>", "1", "Add <New>",
                            QStringLiteral("\u00C9dition \u2018x\u2019"),
                            QStringLiteral("\u041A\u043B\u044E\u0447"), "",
                            QStringLiteral("\u8CA9\u58F2 & Co"), "2", "a'b", "c\"d", "g>h",
                            QStringLiteral("\U0001D11E")});
        runGenerateCommand(view_, dir_.path(QString()), QStringLiteral(BRINDLEWICK_TEMPLATE));
        QCOMPARE(view_.failures, QStringList());

        QXmlStreamReader xml(view_.output);
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
    void runWithTemplate(const QByteArray& templateBytes) {
        dir_.write(QStringLiteral("Template.txt"), templateBytes);
        Components::setFilePathServiceFactory(
            [this] { return std::make_unique<RecordingPathService>(pathCalls_); });
        pathCalls_.clear();
        runGenerateCommand(view_, dir_.path(QString()));
        QCOMPARE(aliveEngines_, 0);
    }

    TempDir dir_;
    FakeView view_;
    LogRecords records_;
    QStringList pathCalls_;
    int aliveEngines_ = 0;
};

QTEST_GUILESS_MAIN(TestCommand)
#include "tst_command.moc"
