#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTest>

#include "DefaultComponents.h"
#include "TempDir.h"
#include "TestComponents.h"
#include "TextFileReader.h"
#include "Watchdog.h"

using namespace brindlewick;
using namespace brindlewick::test;

namespace {

const QString kStartText = QStringLiteral(".GetBodyFromTextFile, Start, File:");
const QString kFailureText = QStringLiteral(".GetBodyFromTextFile, File:");

void verifyStartTrace(const LogRecord& record, const QString& path) {
    QCOMPARE(record.message, kStartText + path);
    QVERIFY(!record.error.has_value());
    QCOMPARE(record.level, 4);
    QCOMPARE(record.mask, 128);
}

void verifyFailureReport(const LogRecord& record, const QString& path) {
    QCOMPARE(record.message, kFailureText + path);
    QVERIFY(record.error.has_value());
    QVERIFY(!record.error->description.isEmpty());
    QCOMPARE(record.level, 2);
    QCOMPARE(record.mask, 1);
}

}  // namespace

class TestFiles : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void init() {
        installDefaultComponents();
        records_ = installRecordingLogger();
    }

    void readsInTheSelectedFormat_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<qint32>("selector");
        QTest::addColumn<QString>("body");
        QTest::newRow("ANSI") << QByteArray("caf\xE9 \x80") << 0
                              << QStringLiteral("caf\u00E9 \u20AC");
        QTest::newRow("other selector reads ANSI") << QByteArray("\xE9") << 100 << "\u00E9";
        QTest::newRow("UTF-8 read as ANSI is repaired")
            << QByteArray("caf\xC3\xA9") << 0 << QStringLiteral("caf\u00E9");
        QTest::newRow("UTF-8 byte-order mark dropped")
            << QByteArray("\xEF\xBB\xBFhi") << 0 << QStringLiteral("hi");
        QTest::newRow("UTF-8 of text that looks repairable is repaired once")
            << QByteArray("\xC3\x83\xC2\xA9") << 0 << QStringLiteral("\u00C3\u00A9");
        QTest::newRow("UTF-8 beginning with a 4-byte character")
            << QByteArray("\xF0\x9F\x98\x80 caf\xC3\xA9") << 0
            << QStringLiteral("\U0001F600 caf\u00E9");
        QTest::newRow("UTF-8 holding U+FFFD")
            << QByteArray("\xC3\xA9\xEF\xBF\xBD") << 0 << QStringLiteral("\u00E9\uFFFD");
        QTest::newRow("UTF-8 start, invalid later: ANSI")
            << QByteArray("\xC3\xA9 \xFF") << 0 << QStringLiteral("\u00C3\u00A9 \u00FF");
        QTest::newRow("Unicode") << QByteArray("h\0i\0", 4) << 1 << "hi";
        QTest::newRow("Unicode byte-order mark dropped")
            << QByteArray("\xFF\xFEh\0", 4) << 1 << "h";
        QTest::newRow("Unicode of an odd length keeps a mark of its last byte")
            << QByteArray("h\0i", 3) << 1 << QStringLiteral("h\uFFFD");
        QTest::newRow("system default is UTF-8")
            << QByteArray("\xE4\xB8\xAD") << 2 << QStringLiteral("\u4E2D");
        QTest::newRow("line endings kept") << QByteArray("a\r\nb\n") << 0 << "a\r\nb\n";
    }
    void readsInTheSelectedFormat() {
        QFETCH(QByteArray, bytes);
        QFETCH(qint32, selector);
        QFETCH(QString, body);
        const QString path = dir_.write(QStringLiteral("file.txt"), bytes);
        QCOMPARE(GetBodyFromTextFile(path, selector), body);
        QCOMPARE(records_->size(), 1);
        verifyStartTrace(records_->first(), path);
    }

    // Files that are no text to read, the reason each gives, and none of them blocks: opening a
    // FIFO would wait for a writer, and reading /dev/zero would never end.
    void failuresGiveTwoReportsAndNothing_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing file") << "dir/Template.txt"
                                      << "No such file or directory";
        QTest::newRow("directory") << "."
                                   << "Is a directory";
        const QByteArray fifo = QFile::encodeName(dir_.path(QStringLiteral("fifo")));
        QVERIFY(::mkfifo(fifo.constData(), 0600) == 0);
        QTest::newRow("FIFO") << "fifo"
                              << "Not a regular file: it is a FIFO (named pipe)";
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), dir_.path(QStringLiteral("zero"))));
        QTest::newRow("symbolic link to /dev/zero") << "zero"
                                                    << "Not a regular file: it is a device";
        QVERIFY(QFile::setPermissions(dir_.write(QStringLiteral("unreadable"), "text"),
                                      QFileDevice::Permissions()));
        QTest::newRow("unreadable") << "unreadable"
                                    << "Permission denied";
    }
    void failuresGiveTwoReportsAndNothing() {
        QFETCH(QString, name);
        QFETCH(QString, reason);
        if (reason == u"Permission denied" && ::geteuid() == 0) {
            QSKIP("root reads any file");
        }
        const QString path = dir_.path(name);

        {
            const Watchdog watchdog(std::chrono::seconds(60), "reading a file that is no text");
            QCOMPARE(GetBodyFromTextFile(path, 0), QString());
        }

        QCOMPARE(records_->size(), 2);
        verifyStartTrace(records_->at(0), path);
        verifyFailureReport(records_->at(1), path);
        QCOMPARE(records_->at(1).error->description, reason);
        QVERIFY(!QFile::exists(dir_.path(QStringLiteral("dir/Template.txt"))));
    }

    // A relative path, resolved inside the test's own empty folder, stands as given.
    void pathStandsVerbatimInMessages() {
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir_.path(QStringLiteral("."))));
        const QString path = QStringLiteral("dir/Template.txt");
        GetBodyFromTextFile(path, 0);
        QVERIFY(QDir::setCurrent(previous));
        QCOMPARE(records_->size(), 2);
        QCOMPARE(records_->at(0).message,
                 QStringLiteral(".GetBodyFromTextFile, Start, File:dir/Template.txt"));
        QCOMPARE(records_->at(1).message,
                 QStringLiteral(".GetBodyFromTextFile, File:dir/Template.txt"));
    }

    void componentFailuresAreReported_data() {
        QTest::addColumn<int>("failure");
        QTest::addColumn<QString>("source");
        QTest::newRow("open") << 0 << "TestFileSystem.OpenTextFile";
        QTest::newRow("read") << 1 << "TestStream.ReadAll";
        QTest::newRow("conversion after the file was closed") << 2 << "TestConverter";
    }
    void componentFailuresAreReported() {
        QFETCH(int, failure);
        QFETCH(QString, source);
        if (failure == 2) {
            installFailingConverter();
        } else {
            installFailingFileSystem(failure == 0 ? FileFailure::AtOpen : FileFailure::AtRead);
        }
        const QString path = dir_.write(QStringLiteral("ok.txt"), "text");
        QCOMPARE(GetBodyFromTextFile(path, 0), QString());
        QCOMPARE(records_->size(), 2);
        verifyFailureReport(records_->at(1), path);
        QCOMPARE(*records_->at(1).error, injectedFailure(source));
    }

    void conversionToEmptyIsNoFailure() {
        const QString path = dir_.write(QStringLiteral("bom.txt"), "\xEF\xBB\xBF");
        QCOMPARE(GetBodyFromTextFile(path, 0), QString());
        QCOMPARE(records_->size(), 1);
    }

    void failingStartTraceSkipsTheFile() {
        records_ = installRecordingLogger(FailOn::FirstCall);
        installFailingFileSystem(FileFailure::AtOpen);
        QCOMPARE(GetBodyFromTextFile(QStringLiteral("x"), 0), QString());
        QCOMPARE(records_->size(), 2);
        QCOMPARE(*records_->at(1).error, injectedFailure(QStringLiteral("TestLogger")));
    }

    void failingFailureReportReachesTheCaller() {
        records_ = installRecordingLogger(FailOn::EveryCall);
        QVERIFY_THROWS_EXCEPTION(ComponentError,
                                 GetBodyFromTextFile(dir_.path(QStringLiteral("none")), 0));
        QCOMPARE(records_->size(), 2);

        installUncreatableLogger();
        QVERIFY_THROWS_EXCEPTION(ComponentError, GetBodyFromTextFile(QStringLiteral("none"), 0));
    }

  private:
    TempDir dir_;
    LogRecords records_;
};

QTEST_GUILESS_MAIN(TestFiles)
#include "tst_files.moc"
