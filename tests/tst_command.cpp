#include <QFile>
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

  private:
    int& alive_;
    BraceTemplateEngine engine_;
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

    void encodingPasses_data() {
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("encoded");
        QTest::newRow("all fields empty: every slash") << QStringList() << "a/b//c"
                                                       << "a%2Fb%2F%2Fc";
        QTest::newRow("case-sensitive")
            << QStringList({"Proj", "", "View", "W", "", "", "Q", "", "X", "Y"})
            << "proj/view Proj/View"
            << "proj/view Proj%2FView";
        QTest::newRow("plain substring")
            << QStringList({"Proj", "", "View", "W", "", "", "Q", "", "X", "Y"}) << "XProj/ViewY"
            << "XProj%2FViewY";
        QTest::newRow("equal view names")
            << QStringList({"P", "", "V", "V", "", "", "Q", "", "X", "Y"}) << "P/V P/V"
            << "P%2FV P%2FV";
        QTest::newRow("A and B the same")
            << QStringList({"P", "", "V", "W", "", "", "P", "", "V", "W"}) << "P/V P/W"
            << "P%2FV P%2FW";
        QTest::newRow("no view path: unchanged")
            << QStringList({"P", "", "V", "W", "", "", "Q", "", "X", "Y"}) << "nothing to do"
            << "nothing to do";
        QTest::newRow("non-overlapping, left to right")
            << QStringList({"a", "", "a", "q", "", "", "z", "", "z", "z"}) << "a/a/a"
            << "a%2Fa/a";
        QTest::newRow("each pass sees the previous one")
            << QStringList({"A", "", "B", "B/C", "", "", "Q", "", "X", "Y"}) << "A/B/C"
            << "A%2FB/C";
    }
    void encodingPasses() {
        QFETCH(QStringList, fields);
        QFETCH(QString, output);
        QFETCH(QString, encoded);
        setProjects(view_, fields);
        view_.output = output;
        encodeViewPaths(view_);
        QCOMPARE(view_.output, encoded);
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
