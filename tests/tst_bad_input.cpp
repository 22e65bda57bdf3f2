#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringEncoder>
#include <QTemporaryFile>
#include <QTest>
#include <cstdio>

#include "DefaultComponents.h"
#include "FailingAllocation.h"
#include "GeneratorWindow.h"
#include "StderrErrorLogger.h"
#include "TempDir.h"
#include "TestComponents.h"

using namespace brindlewick;
using namespace brindlewick::test;

// Bad input through the real window: templates that read oddly, odd field values, a failure's
// message in a box and its reports on standard error. Each kind of failure that ends a run is
// tested headless in tst_command; the reader's answer to hostile files in tst_files.

namespace {

const QString kKeptOutput = QStringLiteral("the output before the run");

// A text saved as UTF-16 with a byte-order mark, as some editors save it.
QByteArray utf16WithByteOrderMark(QStringView text) {
    return QStringEncoder(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom)(text);
}

// Collects what the program writes to standard error while it lives.
class StderrCapture {
  public:
    StderrCapture() {
        if (!file_.open()) {
            qFatal("cannot open a file to capture standard error in");
        }
        std::fflush(stderr);
        saved_ = ::dup(STDERR_FILENO);
        ::dup2(file_.handle(), STDERR_FILENO);
    }
    ~StderrCapture() { restore(); }
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    QString text() {
        restore();
        file_.seek(0);
        return QString::fromUtf8(file_.readAll());
    }

  private:
    void restore() {
        if (saved_ >= 0) {
            std::fflush(stderr);
            ::dup2(saved_, STDERR_FILENO);
            ::close(saved_);
            saved_ = -1;
        }
    }

    QTemporaryFile file_;
    int saved_ = -1;
};

}  // namespace

class TestBadInput : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    // The data folders the program searches after its own.
    void initTestCase() {
        qputenv("XDG_DATA_HOME", QFile::encodeName(dir_.path(QStringLiteral("home"))));
        qputenv("XDG_DATA_DIRS", QFile::encodeName(dir_.path(QStringLiteral("usr"))));
    }
    void init() {
        installDefaultComponents();
        records_ = installRecordingLogger();
        window_ = std::make_unique<GeneratorWindow>();
        window_->setFailureDialog(
            [this](QWidget*, const QString& text) { shownFailures_ << text; });
        window_->output()->setPlainText(kKeptOutput);
        shownFailures_.clear();
    }
    void cleanup() { window_.reset(); }

    // A failed run shows why in a box, once, and leaves the output as it was. The window looks
    // the template up in the program's folder first.
    void failedRunShowsWhyAndKeepsTheOutput() {
        installTemplatePath(dir_.path(QStringLiteral("missing/Template.txt")));

        generate();

        QCOMPARE(shownFailures_,
                 QStringList{"No Template.txt was found in any of these folders, searched in this "
                             "order:\n" +
                             QCoreApplication::applicationDirPath() + u'\n' +
                             dir_.path(QStringLiteral("home/tst_bad_input")) + u'\n' +
                             dir_.path(QStringLiteral("usr/tst_bad_input")) +
                             "\nTo use your own template, save it as " +
                             dir_.path(QStringLiteral("home/tst_bad_input/Template.txt"))});
        QCOMPARE(window_->output()->toPlainText(), kKeptOutput);
    }

    // Templates that read oddly but are templates all the same: nothing in them is lost.
    void oddTemplatesRender_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("output");
        QTest::newRow("invalid UTF-8 reads as Windows-1252")
            << QByteArray("caf\xC3 \xFF {2}") << QStringLiteral("caf\u00C3 \u00FF Name");
        QTest::newRow("UTF-16 with a byte-order mark")
            << utf16WithByteOrderMark(u"\u00E9 {2} \u4E2D") << QStringLiteral("\u00E9 Name \u4E2D");
        QTest::newRow("UTF-8 mixed with Windows-1252 reads as Windows-1252")
            << QByteArray("\xC3\xA9 \xE9 {2}") << QStringLiteral("\u00C3\u00A9 \u00E9 Name");
    }
    void oddTemplatesRender() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, output);
        installTemplatePath(dir_.write(QStringLiteral("Template.txt"), bytes));
        window_->field(InputField::ProjAName)->setText(QStringLiteral("Name"));

        generate();

        QCOMPARE(shownFailures_, QStringList());
        QCOMPARE(window_->output()->toPlainText(), output);
        QCOMPARE(records_->size(), 1);  // the start trace only
    }

    // The value goes in as typed where {2} stands; its view path, {4}, is URL-encoded.
    void fieldValuesGoInAsTyped_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("output");
        QTest::newRow("braces are not read as placeholders") << "{0}{{}}"
                                                             << "{0}{{}}|%7B0%7D%7B%7B%7D%7D%2Fv";
        QTest::newRow("percent signs") << "100%2F"
                                       << "100%2F|100%252F%2Fv";
        QTest::newRow("control characters") << QStringLiteral("a\tb\u0001\u007F")
                                            << QStringLiteral("a\tb\u0001\u007F|a%09b%01%7F%2Fv");
        QTest::newRow("emoji") << QStringLiteral("\U0001F600")
                               << QStringLiteral("\U0001F600|%F0%9F%98%80%2Fv");
        QTest::newRow("right-to-left text with a mark")
            << QStringLiteral("\u05E9\u05DC\u05D5\u05DD\u200F")
            << QStringLiteral(
                   "\u05E9\u05DC\u05D5\u05DD\u200F|%D7%A9%D7%9C%D7%95%D7%9D%E2%80%8F%2Fv");
    }
    void fieldValuesGoInAsTyped() {
        QFETCH(QString, value);
        QFETCH(QString, output);
        installTemplatePath(dir_.write(QStringLiteral("Template.txt"), "{2}|{4}"));
        window_->field(InputField::ProjAName)->setText(value);
        window_->field(InputField::ProjAID)->setText(QStringLiteral("ID"));
        window_->field(InputField::AddViewAName)->setText(QStringLiteral("v"));
        QCOMPARE(window_->field(InputField::ProjAName)->text(), value);

        generate();

        QCOMPARE(shownFailures_, QStringList());
        QCOMPARE(window_->output()->toPlainText(), output);
    }

    // Values far longer than a line, pasted: whole in the output (no field cuts them at Qt's
    // default 32767 characters), and the long path encoded whole.
    void longFieldValuesGoInWhole() {
        QString value;
        while (value.size() < 100000) {
            value += QStringLiteral("Sales Q1 ");
        }
        value.truncate(100000);
        QString encoded = value;
        encoded.replace(u' ', QStringLiteral("%20"));
        installTemplatePath(dir_.write(QStringLiteral("Template.txt"), "{2}\n{4}"));
        window_->field(InputField::ProjAName)->insert(value);
        window_->field(InputField::AddViewAName)->setText(QStringLiteral("v"));

        generate();

        QCOMPARE(shownFailures_, QStringList());
        QCOMPARE(window_->output()->toPlainText(),
                 value + u'\n' + encoded + QStringLiteral("%2Fv"));
    }

    // Memory that runs out in the second encoding pass: the box says so, and the output shows the
    // text as the first pass left it, when there is the memory to show it. "A/xx" is encoded
    // first, being the longer path; the list of the 70,000 places of "A/y", 8 bytes each, grows
    // past 800,000 bytes, which no other allocation of the run reaches but the trial of the memory
    // that showing the text needs, about 630,000.
    void failureInThePassesShowsTheFinishedOnes_data() {
        QTest::addColumn<int>("smallestFailing");
        QTest::addColumn<QStringList>("failures");
        QTest::addColumn<bool>("shown");
        QTest::newRow("the text can be shown") << 800'000 << QStringList{"Out of memory"} << true;
        QTest::newRow("the text cannot be shown either")
            << 600'000
            << QStringList{"Not enough memory to show a result of 1 MB; `brindlewick generate "
                           "--output FILE` writes it without the window.",
                           "Out of memory"}
            << false;
    }
    void failureInThePassesShowsTheFinishedOnes() {
        QFETCH(int, smallestFailing);
        QFETCH(QStringList, failures);
        QFETCH(bool, shown);
        const QByteArray rest = QByteArray(" A/y").repeated(70'000);
        installTemplatePath(dir_.write(QStringLiteral("Template.txt"), "A/xx" + rest));
        window_->field(InputField::ProjAName)->setText(QStringLiteral("A"));
        window_->field(InputField::AddViewAName)->setText(QStringLiteral("xx"));
        window_->field(InputField::EditViewAName)->setText(QStringLiteral("y"));

        failAllocationsFrom(smallestFailing);
        generate();
        failAllocationsFrom(0);

        QCOMPARE(shownFailures_, failures);
        QCOMPARE(window_->output()->toPlainText(),
                 shown ? "A%2Fxx" + QString::fromLatin1(rest) : kKeptOutput);
    }

    // The real logger through Qt's own message handler, as the program runs it: a Generate that
    // goes well writes nothing on standard error, and a failure one line per report, even for a
    // template path with a line feed in it.
    void standardErrorHoldsOnlyFailureReports_data() {
        QTest::addColumn<QString>("templatePath");
        QTest::addColumn<QString>("written");
        const QString good = dir_.write(QStringLiteral("good.txt"), "{0}");
        QTest::newRow("a Generate that succeeds") << good << QString();
        const QString folder = dir_.path(QStringLiteral("two\nlines/Template.txt"));
        QVERIFY(QDir().mkpath(folder));
        QString escaped = folder;
        escaped.replace(u'\n', QStringLiteral("\\n"));
        QTest::newRow("a folder whose path has a line feed")
            << folder
            << "brindlewick: level=2 mask=1 message=\".GetBodyFromTextFile, File:" + escaped +
                   "\" error=2001 description=\"Is a directory\" source=\"FileSystemObject\"\n";
    }
    void standardErrorHoldsOnlyFailureReports() {
        QFETCH(QString, templatePath);
        QFETCH(QString, written);
        Components::setErrorLoggerFactory([] { return std::make_unique<StderrErrorLogger>(); });
        installTemplatePath(templatePath);

        const QtMessageHandler testHandler = qInstallMessageHandler(nullptr);
        StderrCapture capture;
        generate();
        const QString text = capture.text();
        qInstallMessageHandler(testHandler);

        QCOMPARE(text, written);
        QCOMPARE(shownFailures_.size(), written.isEmpty() ? 0 : 1);
    }

  private:
    void generate() { QTest::mouseClick(window_->generateButton(), Qt::LeftButton); }

    TempDir dir_;
    LogRecords records_;
    std::unique_ptr<GeneratorWindow> window_;
    QStringList shownFailures_;
};

QTEST_MAIN(TestBadInput)
#include "tst_bad_input.moc"
