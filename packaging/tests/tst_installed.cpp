#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "DefaultComponents.h"
#include "ErrorInfo.h"
#include "GenerateCommand.h"
#include "TempDir.h"
#include "TestComponents.h"

using namespace brindlewick;
using namespace brindlewick::test;

namespace {

// Two projects typed in.
const FieldTexts kTwoProjects = {
    {InputField::ProjAName, QStringLiteral("Sales")},
    {InputField::ProjAID, QStringLiteral("1001")},
    {InputField::AddViewAName, QStringLiteral("Add Order")},
    {InputField::EditViewAName, QStringLiteral("Edit Order")},
    {InputField::ProjAGridFieldID, QStringLiteral("OrderID")},
    {InputField::ProjALinkedDSType, QStringLiteral("Table")},
    {InputField::ProjBName, QStringLiteral("Stock")},
    {InputField::ProjBID, QStringLiteral("2002")},
    {InputField::AddViewBName, QStringLiteral("Add Item")},
    {InputField::EditViewBName, QStringLiteral("Edit Item")},
    {InputField::ProjBGridFieldID, QStringLiteral("ItemID")},
    {InputField::ProjBLinkedDSType, QStringLiteral("Query")},
};

// A Generate of the two projects as the window runs it from `programFolder`.
Definition generateFrom(const QString& programFolder) {
    try {
        return generateDefinition(kTwoProjects, readTemplate(programFolder));
    } catch (...) {
        return {std::nullopt, {}, currentErrorInfo().description};
    }
}

// The files the runs read, in order, from the reader's start traces.
QStringList filesRead(const LogRecords& records) {
    const QString start = QStringLiteral(".GetBodyFromTextFile, Start, File:");
    QStringList paths;
    for (const LogRecord& record : *records) {
        if (record.message.startsWith(start)) {
            paths.append(record.message.mid(start.size()));
        }
    }
    return paths;
}

}  // namespace

// The build installed into a temporary prefix, the way a user installs it from source. There is
// no template beside the installed program, so it has to find the one installed under
// share/brindlewick through the data locations.
class TestInstalled : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void initTestCase() {
        QVERIFY(prefix_.isValid());
        QByteArray log;
        QVERIFY2(install(log), log.constData());
        QVERIFY(!QFileInfo::exists(programFolder() + QStringLiteral("/Template.txt")));

        // The data locations of a session that has only this prefix, and a user who has no
        // template of their own yet. The started program inherits them.
        qputenv("XDG_DATA_HOME", QFile::encodeName(userData_.path(QString())));
        qputenv("XDG_DATA_DIRS", QFile::encodeName(prefix_.filePath(QStringLiteral("share"))));
    }
    void init() {
        installDefaultComponents();
        records_ = installRecordingLogger();
    }

    void installedProgramStartsAndKeepsRunning() {
        QProcess program;
        program.setProcessChannelMode(QProcess::MergedChannels);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        program.setProcessEnvironment(environment);
        program.start(programFolder() + QStringLiteral("/brindlewick"), {});
        QVERIFY2(program.waitForStarted(), qPrintable(program.errorString()));

        // Without arguments the program opens its window and never quits by itself: running
        // after a moment means that it came up and shows its window.
        const bool ended = program.waitForFinished(2000);
        QVERIFY2(!ended, qPrintable(QStringLiteral("it ended with exit code %1: %2")
                                        .arg(program.exitCode())
                                        .arg(QString::fromLocal8Bit(program.readAll()))));
        program.terminate();
        QVERIFY(program.waitForFinished(10000));
    }

    void generatesFromTheInstalledTemplate() {
        const Definition installed = generateFrom(programFolder());
        QVERIFY2(!installed.failure, qPrintable(installed.failure.value_or(QString())));
        QCOMPARE(filesRead(records_),
                 QStringList({prefix_.filePath(QStringLiteral("share/brindlewick/Template.txt"))}));
        const QString text = installed.text.value_or(QString());
        QVERIFY(text.contains(QStringLiteral("Sales%2FAdd%20Order")));

        // The same text as in the build tree, where the default template lies beside the
        // program.
        const Definition built = generateFrom(QStringLiteral(BRINDLEWICK_BUILD_DIR));
        QVERIFY2(!built.failure, qPrintable(built.failure.value_or(QString())));
        QCOMPARE(text, built.text.value_or(QString()));
    }

    void generateFindsTheInstalledTemplate() {
        QProcess program;
        program.start(
            programFolder() + QStringLiteral("/brindlewick"),
            {"generate", "--project-a-name", "Sales", "--project-a-add-view", "Add Order"});
        QVERIFY(program.waitForFinished(10000));
        QCOMPARE(program.exitCode(), 0);
        QVERIFY(program.readAllStandardOutput().contains("Sales%2FAdd%20Order"));
    }

    void usersOwnTemplateComesFirst() {
        QVERIFY(QDir().mkpath(userData_.path(QStringLiteral("brindlewick"))));
        const QString own = userData_.write(QStringLiteral("brindlewick/Template.txt"),
                                            "{2}, from the user's own template");
        const Definition generated = generateFrom(programFolder());
        QVERIFY(QFile::remove(own));
        QCOMPARE(filesRead(records_), QStringList({own}));
        QCOMPARE(generated.text.value_or(generated.failure.value_or(QString())),
                 QStringLiteral("Sales, from the user's own template"));
    }

    // With a ~/.local prefix the data folder's template is the user's own: installing again
    // keeps it and says so, puts the default beside it to copy from, and leaves it out of the
    // manifest, so that removing what the manifest lists keeps it too.
    void installingAgainKeepsTheEditedTemplate() {
        const QString edited = prefix_.filePath(QStringLiteral("share/brindlewick/Template.txt"));
        const QByteArray editedText = "{2}, edited after installing\n";
        writeFile(edited, editedText);

        QByteArray log;
        QVERIFY2(install(log), log.constData());
        QCOMPARE(readFile(edited), editedText);
        QVERIFY2(log.contains("-- Keeping: " + QFile::encodeName(edited) + " (yours;"),
                 log.constData());
        QCOMPARE(
            readFile(prefix_.filePath(QStringLiteral("share/brindlewick/default/Template.txt"))),
            readFile(QStringLiteral(BRINDLEWICK_SOURCE_DIR "/Template.txt")));
        const QByteArray manifest = readFile(manifestPath());
        QVERIFY(manifest.contains("/share/brindlewick/default/Template.txt"));
        QVERIFY(!manifest.contains("/share/brindlewick/Template.txt"));
    }

  private:
    QString programFolder() const { return prefix_.filePath(QStringLiteral("bin")); }
    // The list of installed files of the component installed here, which holds every file.
    static QString manifestPath() {
        return QStringLiteral(BRINDLEWICK_BUILD_DIR "/install_manifest_Unspecified.txt");
    }

    // `cmake --install` of the build into the prefix; `log` receives what it printed. The
    // component is named so that the files are listed apart from install_manifest.txt, by
    // which the user removes their own install.
    bool install(QByteArray& log) const {
        QProcess install;
        install.setProcessChannelMode(QProcess::MergedChannels);
        install.start(QStringLiteral(BRINDLEWICK_CMAKE_COMMAND),
                      {QStringLiteral("--install"), QStringLiteral(BRINDLEWICK_BUILD_DIR),
                       QStringLiteral("--prefix"), prefix_.path(), QStringLiteral("--component"),
                       QStringLiteral("Unspecified")});
        const bool finished = install.waitForFinished(60000);
        log = install.readAll();
        return finished && install.exitStatus() == QProcess::NormalExit && install.exitCode() == 0;
    }
    static QByteArray readFile(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    }
    static void writeFile(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(file.write(bytes), bytes.size());
    }

    QTemporaryDir prefix_;
    TempDir userData_;
    LogRecords records_;
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    // The installed program's name, which names its data folder.
    QCoreApplication::setApplicationName(QStringLiteral("brindlewick"));
    TestInstalled suite;
    return QTest::qExec(&suite, argc, argv);
}
#include "tst_installed.moc"
