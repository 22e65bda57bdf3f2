#include <sys/resource.h>
#include <unistd.h>

#include <QFile>
#include <QTest>

#include "DefaultComponents.h"
#include "TestComponents.h"
#include "UrlEncoding.h"

using namespace brindlewick;
using namespace brindlewick::test;

namespace {

// Windows-1252 bytes 0x80 to 0x9F as written characters, independent of the program's table.
const QString kCp1252High = QStringLiteral(
    "\u20AC\u0081\u201A\u0192\u201E\u2026\u2020\u2021\u02C6\u2030\u0160\u2039\u0152\u008D\u017D"
    "\u008F\u0090\u2018\u2019\u201C\u201D\u2022\u2013\u2014\u02DC\u2122\u0161\u203A\u0153\u009D"
    "\u017E\u0178");

QChar cp1252Character(int byte) {
    return byte >= 0x80 && byte < 0xA0 ? kCp1252High[byte - 0x80] : QChar(byte);
}

bool isAsciiAlphanumeric(int byte) {
    return (byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') ||
           (byte >= 'a' && byte <= 'z');
}

QString expectedEscape(int byte, bool keepMarks) {
    const bool mark = QByteArrayView("!'()*-._~").contains(char(byte)) && byte != 0;
    if (isAsciiAlphanumeric(byte) || (keepMarks && mark)) {
        return QString(cp1252Character(byte));
    }
    return QString::asprintf("%%%02X", byte);
}

QString urlEncodeChar(const QString& character, qint32& code) {
    QString result;
    URLEncodeChar(character, code, result);
    return result;
}

QString uriEscapeChar(const QString& character) {
    QString result;
    URIEscapeChar(character, result);
    return result;
}

// Lets the process map only `room` bytes more than it has mapped now, while it lives.
class AddressSpaceLimit {
  public:
    explicit AddressSpaceLimit(rlim_t room) {
        getrlimit(RLIMIT_AS, &saved_);
        QFile status(QStringLiteral("/proc/self/statm"));
        status.open(QIODevice::ReadOnly);
        const rlim_t mapped = status.readLine().split(' ').first().toULongLong() * getpagesize();
        const rlimit limited{mapped + room, saved_.rlim_max};
        setrlimit(RLIMIT_AS, &limited);
    }
    ~AddressSpaceLimit() { setrlimit(RLIMIT_AS, &saved_); }
    AddressSpaceLimit(const AddressSpaceLimit&) = delete;
    AddressSpaceLimit& operator=(const AddressSpaceLimit&) = delete;

  private:
    rlimit saved_{};
};

}  // namespace

class TestStrings : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void init() {
        installDefaultComponents();
        records_ = installRecordingLogger();
    }

    void encodesByMode_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("uri");
        const auto row = [](const char* name, const QString& input, const char* url,
                            const char* uri) {
            QTest::newRow(name) << input << QString::fromUtf8(url) << QString::fromUtf8(uri);
        };
        row("blank, slash, tilde", QStringLiteral("A b/c~"), "A%20b%2Fc%7E", "A%20b%2Fc~");
        row("marks", QStringLiteral("x(1)*y!"), "x%281%29%2Ay%21", "x(1)*y!");
        row("view path", QStringLiteral("My Proj/Add View"), "My%20Proj%2FAdd%20View",
            "My%20Proj%2FAdd%20View");
        row("controls", QStringLiteral("\t\n\r"), "%09%0A%0D", "%09%0A%0D");
        row("latin-1 letter", QStringLiteral("\u00E9"), "%E9", "%E9");
        row("euro is byte 0x80", QStringLiteral("\u20AC"), "%80", "%80");
        row("percent is encoded again", QStringLiteral("%20"), "%2520", "%2520");
        row("empty", QString(), "", "");
        row("case and digits kept", QStringLiteral("aZ09"), "aZ09", "aZ09");
        row("NUL", QString(QChar(0)), "%00", "%00");
        row("code 16", QString(QChar(16)), "%10", "%10");
        row("all marks", QStringLiteral("!'()*-._~"), "%21%27%28%29%2A%2D%2E%5F%7E", "!'()*-._~");
        row("CJK as UTF-8", QStringLiteral("\u4E2D"), "%E4%B8%AD", "%E4%B8%AD");
        row("a byte-order mark is a character", QStringLiteral("\uFEFF"), "%EF%BB%BF", "%EF%BB%BF");
        row("surrogate pair as one character", QStringLiteral("a\U0001F600b"), "a%F0%9F%98%80b",
            "a%F0%9F%98%80b");
        row("the last code point", QStringLiteral("\U0010FFFF"), "%F4%8F%BF%BF", "%F4%8F%BF%BF");
        row("lone high surrogate", QString(QChar(0xD800)), "%EF%BF%BD", "%EF%BF%BD");
        row("lone low surrogate", QString(QChar(0xDC00)) + u'x', "%EF%BF%BDx", "%EF%BF%BDx");
        row("C1 control outside the code page", QString(QChar(0x80)), "%C2%80", "%C2%80");
        row("undefined byte 0x81 round-trips", QString(QChar(0x81)), "%81", "%81");
    }
    void encodesByMode() {
        QFETCH(QString, input);
        QFETCH(QString, url);
        QFETCH(QString, uri);
        QCOMPARE(EncodeString(input, EncodeMode::Url), url);
        QCOMPARE(TzStrMan_UrlEncode(input), url);
        QCOMPARE(EncodeString(input, EncodeMode::UriComponent), uri);
        for (const qint32 otherMode : {0, 2, 3, 5, -1}) {
            QCOMPARE(EncodeString(input, otherMode), input);
        }
        QVERIFY(records_->isEmpty());
    }

    void everyCodePageByte() {
        for (int byte = 0; byte < 256; ++byte) {
            const QString character(cp1252Character(byte));
            QCOMPARE(EncodeString(character, EncodeMode::Url), expectedEscape(byte, false));
            QCOMPARE(EncodeString(character, EncodeMode::UriComponent), expectedEscape(byte, true));
        }
    }

    void urlEncodeCharCode_data() {
        QTest::addColumn<QString>("character");
        QTest::addColumn<qint32>("codeIn");
        QTest::addColumn<QString>("result");
        QTest::addColumn<qint32>("codeOut");
        QTest::newRow("supplied code decides") << "q" << 32 << "%20" << 32;
        QTest::newRow("supplied letter code keeps character") << " " << 65 << " " << 65;
        QTest::newRow("computed code is written back") << " " << -1 << "%20" << 32;
        QTest::newRow("computed code of e-acute") << "\u00E9" << -1 << "%E9" << 233;
        QTest::newRow("computed code outside code page")
            << "\u4E2D" << -1 << "%E4%B8%AD" << -0x4E2D;
        QTest::newRow("code above 255 keeps plain hex") << "x" << 300 << "%12C" << 300;
        QTest::newRow("first character of a longer text") << "ab" << -1 << "ab" << 97;
    }
    void urlEncodeCharCode() {
        QFETCH(QString, character);
        QFETCH(qint32, codeIn);
        QFETCH(QString, result);
        QFETCH(qint32, codeOut);
        qint32 code = codeIn;
        QCOMPARE(urlEncodeChar(character, code), result);
        QCOMPARE(code, codeOut);
        QVERIFY(records_->isEmpty());
    }

    void emptyCharacterIsReported() {
        qint32 code = -1;
        QCOMPARE(urlEncodeChar(QString(), code), QString());
        QCOMPARE(code, -1);
        QCOMPARE(uriEscapeChar(QString()), QString());

        QCOMPARE(records_->size(), 2);
        const QStringList messages = {QStringLiteral(".URLEncodeChar, @Line#10"),
                                      QStringLiteral(".URIEscapeChar, @Line#10")};
        for (int i = 0; i < 2; ++i) {
            const LogRecord& record = records_->at(i);
            QCOMPARE(record.message, messages[i]);
            QCOMPARE(record.level, 2);
            QCOMPARE(record.mask, 1);
            QVERIFY(record.error.has_value());
            QCOMPARE(record.error->number, int(ErrorNumber::NoCharacterCode));
        }
    }

    void failingReportReachesTheCaller_data() {
        QTest::addColumn<bool>("uncreatable");
        QTest::newRow("logger call fails") << false;
        QTest::newRow("logger cannot be created") << true;
    }
    void failingReportReachesTheCaller() {
        QFETCH(bool, uncreatable);
        if (uncreatable) {
            installUncreatableLogger();
        } else {
            records_ = installRecordingLogger(FailOn::EveryCall);
        }
        qint32 code = -1;
        QString result;
        QVERIFY_THROWS_EXCEPTION(ComponentError, URLEncodeChar(QString(), code, result));
        QVERIFY_THROWS_EXCEPTION(ComponentError, URIEscapeChar(QString(), result));
        QCOMPARE(result.size(), 0);
    }

    // Memory runs out in EncodeString and its own report fails: the entry point reports the
    // failure at its own level, and the caller gets the empty result.
    void entryReportsWhatTheEncoderCouldNot() {
#ifdef __SANITIZE_ADDRESS__
        QSKIP("the sanitizer's shadow memory does not fit under an address-space limit");
#endif
        records_ = installRecordingLogger(FailOn::FirstCall);
        const QString path(40'000'000, u'x');
        QString encoded = path;
        {
            // Room for a few copies of the report, none for the encoding's three units a character.
            const AddressSpaceLimit limit(100 << 20);
            encoded = TzStrMan_UrlEncode(path);
        }
        QCOMPARE(encoded, QString());
        QCOMPARE(records_->size(), 2);
        QCOMPARE(records_->at(0).message, QStringLiteral(".EncodeString, @Line#10"));
        QCOMPARE(records_->at(0).level, 2);
        QCOMPARE(records_->at(1).message, QStringLiteral(".TzStrMan_UrlEncode @Line #10"));
        QCOMPARE(records_->at(1).level, 1);
        QCOMPARE(records_->at(1).mask, 1);
    }

  private:
    LogRecords records_;
};

QTEST_GUILESS_MAIN(TestStrings)
#include "tst_strings.moc"
