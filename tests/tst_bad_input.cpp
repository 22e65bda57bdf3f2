#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringEncoder>
#include <QTemporaryFile>
#include <QTest>
#include <cerrno>
#include <cstdio>

#include "DefaultComponents.h"
#include "GeneratorWindow.h"
#include "StderrErrorLogger.h"
#include "TempDir.h"
#include "TestComponents.h"
#include "Watchdog.h"

using namespace brindlewick;
using namespace brindlewick::test;

// Bad input from every side, through the real window: templates that cannot be read or read
// oddly, odd field values and failing components. Every run ends either with the right output
// or with a message that says what went wrong, and a failed run leaves the output as it was.

namespace {

const QString kKeptOutput = QStringLiteral("the output before the run");

QString unreadableMessage(const QString& path, const QString& reason = QString()) {
    return QStringLiteral("The template file could not be read or is empty:\n") + path +
           (reason.isEmpty() ? QString() : QStringLiteral("\nReason: ") + reason);
}

// Plain ASCII text saved as UTF-16 without a byte-order mark.
QByteArray utf16WithoutByteOrderMark(QStringView text, QStringEncoder::Encoding byteOrder) {
    return QStringEncoder(byteOrder)(text);
}

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
    // The data folders the program searches after its own; the system one holds an installed
    // default.
    void initTestCase() {
        qputenv("XDG_DATA_HOME", QFile::encodeName(dir_.path(QStringLiteral("home"))));
        qputenv("XDG_DATA_DIRS", QFile::encodeName(dir_.path(QStringLiteral("usr"))));
        QVERIFY(QDir().mkpath(dir_.path(QStringLiteral("usr/tst_bad_input/default"))));
        dir_.write(QStringLiteral("usr/tst_bad_input/default/Template.txt"), "{0}");
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

    // The reader reports why it read nothing (an empty reason: it read an empty text), and the
    // run ends with a message that says where the program looked, or names the file and, where
    // it can be known, the reason.
    void unreadableTemplateEndsTheRun_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("failing");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing")
            << dir_.path(QStringLiteral("missing/Template.txt")) << ""
            << "No such file or directory"
            << "No Template.txt was found in any of these folders, searched in this order:\n" +
                   QCoreApplication::applicationDirPath() + u'\n' +
                   dir_.path(QStringLiteral("home/tst_bad_input")) + u'\n' +
                   dir_.path(QStringLiteral("usr/tst_bad_input")) +
                   "\nTo use your own template, save it as " +
                   dir_.path(QStringLiteral("home/tst_bad_input/Template.txt")) +
                   "\nTo start from the default, copy " +
                   dir_.path(QStringLiteral("usr/tst_bad_input/default/Template.txt")) + " there";
        const QString zero = dir_.write(QStringLiteral("zero.txt"), QByteArray());
        QTest::newRow("zero bytes")
            << zero << ""
            << "" << unreadableMessage(zero, QStringLiteral("The file is empty"));
        const QString bom = dir_.write(QStringLiteral("bom.txt"), "\xEF\xBB\xBF");
        QTest::newRow("empty but for a byte-order mark") << bom << ""
                                                         << "" << unreadableMessage(bom);
        const QString folder = dir_.path(QStringLiteral("folder.txt"));
        QDir().mkpath(folder);
        QTest::newRow("a directory") << folder << ""
                                     << "Is a directory" << QString();
        // Opening a FIFO for reading would wait for a writer; reading it would wait for data.
        const QString fifo = dir_.path(QStringLiteral("fifo.txt"));
        QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0 || errno == EEXIST);
        QTest::newRow("a FIFO") << fifo << ""
                                << "Not a regular file: it is a FIFO (named pipe)" << QString();
        // Reading /dev/zero would never end.
        const QString link = dir_.path(QStringLiteral("zero-link.txt"));
        QVERIFY(QFile::exists(link) || QFile::link(QStringLiteral("/dev/zero"), link));
        QTest::newRow("a symbolic link to /dev/zero")
            << link << ""
            << "Not a regular file: it is a device" << QString();
        const QString unreadable = dir_.write(QStringLiteral("unreadable.txt"), "{0}");
        QVERIFY(QFile::setPermissions(unreadable, QFileDevice::Permissions()));
        QTest::newRow("unreadable") << unreadable << ""
                                    << "Permission denied" << QString();
        const QString converted = dir_.write(QStringLiteral("converted.txt"), "{0}");
        QTest::newRow("the text conversion fails")
            << converted << "converter"
            << injectedFailure(QStringLiteral("TestConverter")).description << QString();
        // The reason a read gave, such as memory running out, is in the box as in generate's line.
        QTest::newRow("memory runs out while reading") << converted << "memory"
                                                       << "Out of memory" << QString();
    }
    void unreadableTemplateEndsTheRun() {
        QFETCH(QString, path);
        QFETCH(QString, failing);
        QFETCH(QString, reason);
        QFETCH(QString, message);
        if (reason == QStringLiteral("Permission denied") && ::geteuid() == 0) {
            QSKIP("root reads any file");
        }
        if (failing == u"converter") {
            installFailingConverter();
        } else if (failing == u"memory") {
            installFailingFileSystem(FileFailure::OutOfMemoryAtRead);
        }
        installTemplatePath(path);

        {
            // The FIFO and the device rows would block here if the reader opened them.
            const Watchdog watchdog(std::chrono::seconds(10),
                                    "Generate from an unreadable template");
            generate();
        }

        // Where no message is given, the box adds the reason the reader reported.
        QCOMPARE(shownFailures_,
                 QStringList{message.isEmpty() ? unreadableMessage(path, reason) : message});
        QCOMPARE(window_->output()->toPlainText(), kKeptOutput);
        QCOMPARE(records_->size(), reason.isEmpty() ? 1 : 2);
        if (!reason.isEmpty()) {
            QCOMPARE(records_->at(1).error->description, reason);
        }
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

    // Each message names the template file, given as <path> here.
    void templateErrorsEndTheRun_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        QTest::newRow("out of range after CRLF lines")
            << QByteArray("a\r\nb\r\n  {12}")
            << "Template error at line 3, column 3: {12} is out of range; use {0} to {11}.\n"
               "Template file: <path>";
        QTest::newRow("not closed at the end")
            << QByteArray("text {1")
            << "Template error at line 1, column 6: the placeholder is "
               "not closed; write '}' right after its number.\nTemplate file: <path>";
        QTest::newRow("column counts characters, not UTF-8 bytes")
            << QByteArray("\xC3\xA9\xC3\xA9}")
            << "Template error at line 1, column 3: '}' closes no placeholder; write }} for a "
               "literal }.\nTemplate file: <path>";
        // A NUL is no text: UTF-16 when the NULs stand mostly at every other byte.
        const QString utf16Message =
            "The template file looks like UTF-16 without a byte-order mark:\n<path>\n"
            "Save it as UTF-8 and try again.";
        const QString nulMessage =
            "The template file is not a text file (it contains NUL bytes):\n<path>\n"
            "Save it as UTF-8 and try again.";
        QTest::newRow("UTF-16LE without a byte-order mark")
            << utf16WithoutByteOrderMark(u"<a>{2}</a>\r\n", QStringEncoder::Utf16LE)
            << utf16Message;
        QTest::newRow("UTF-16BE without a byte-order mark, no placeholder")
            << utf16WithoutByteOrderMark(u"plain", QStringEncoder::Utf16BE) << utf16Message;
        QTest::newRow("UTF-16LE with a character that has no NUL byte")
            << utf16WithoutByteOrderMark(u"Prix {2} 5 \u20AC\n", QStringEncoder::Utf16LE)
            << utf16Message;
        QTest::newRow("UTF-16BE of one character in ten not Latin")
            << utf16WithoutByteOrderMark(u"abcdefghi\u4E2D", QStringEncoder::Utf16BE)
            << utf16Message;
        QTest::newRow("NUL bytes at both parities") << QByteArray(16, '\0') << nulMessage;
        QTest::newRow("one NUL in four at the other parity")
            << QByteArray("a\0b\0c\0\0d{2}", 11) << nulMessage;
    }
    void templateErrorsEndTheRun() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        const QString path = dir_.write(QStringLiteral("Template.txt"), bytes);
        installTemplatePath(path);

        generate();

        QCOMPARE(shownFailures_, QStringList{message.replace(QStringLiteral("<path>"), path)});
        QCOMPARE(window_->output()->toPlainText(), kKeptOutput);
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

    void failingComponentsEndTheRun_data() {
        QTest::addColumn<int>("failure");
        QTest::addColumn<QString>("message");
        QTest::newRow("logger fails on every call")
            << 0 << injectedFailure(QStringLiteral("TestLogger")).description;
        QTest::newRow("engine fails at load")
            << 1 << injectedFailure(QStringLiteral("TestEngine.LoadTemplate")).description;
        QTest::newRow("engine fails at render")
            << 2 << injectedFailure(QStringLiteral("TestEngine.Render")).description;
    }
    void failingComponentsEndTheRun() {
        QFETCH(int, failure);
        QFETCH(QString, message);
        if (failure == 0) {
            records_ = installRecordingLogger(FailOn::EveryCall);
        } else {
            installFailingEngine(failure == 1 ? EngineFailure::AtLoad : EngineFailure::AtRender);
        }
        installTemplatePath(dir_.write(QStringLiteral("Template.txt"), "{0}"));

        generate();

        QCOMPARE(shownFailures_, QStringList{message});
        QCOMPARE(window_->output()->toPlainText(), kKeptOutput);
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
