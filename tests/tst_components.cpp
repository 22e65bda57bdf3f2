#include <pwd.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QTest>

#include "BraceTemplateEngine.h"
#include "DefaultComponents.h"
#include "EncodingRepairConversion.h"
#include "Fields.h"
#include "StandardFilePathService.h"
#include "StderrErrorLogger.h"
#include "TempDir.h"
#include "TestComponents.h"
#include "Windows1252.h"

using namespace brindlewick;
using namespace brindlewick::test;

namespace {

QString render(const QString& templateText, QStringList values = {}) {
    while (values.size() < kFieldCount) {
        values.append(QStringLiteral("v%1").arg(values.size()));
    }
    BraceTemplateEngine engine(kFieldCount);
    QString text = templateText;
    QString name;
    engine.LoadTemplate(text, name);
    QString result;
    engine.Render(values, result);
    return result;
}

// The rendered text, or the description of the failure.
QString renderOrFailure(const QString& templateText, const QStringList& values) {
    try {
        return render(templateText, values);
    } catch (const ComponentError& error) {
        return error.info().description;
    }
}

QString templateError(const QString& templateText, const QString& name = {}) {
    BraceTemplateEngine engine(kFieldCount);
    QString text = templateText;
    QString templateName = name;
    try {
        engine.LoadTemplate(text, templateName);
    } catch (const ComponentError& error) {
        return error.info().description;
    }
    return QStringLiteral("(no error)");
}

QString convert(const QString& text) {
    QString result;
    EncodingRepairConversion().ConvertText(text, result);
    return result;
}

}  // namespace

class TestComponents : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void init() { installDefaultComponents(); }

    void everyByteRoundTrips() {
        for (int byte = 0; byte < 256; ++byte) {
            const char16_t unit = windows1252::decode(QByteArray(1, char(byte))).at(0).unicode();
            QCOMPARE(windows1252::byteOf(unit), byte);
            QCOMPARE(windows1252::codeOf(QStringView(&unit, 1)), byte);
        }
        QByteArray all(256, 0);
        std::iota(all.begin(), all.end(), 0);
        QByteArray back;
        QVERIFY(windows1252::encode(windows1252::decode(all), back));
        QCOMPARE(back, all);
    }

    void codesOutsideTheCodePage_data() {
        QTest::addColumn<QString>("character");
        QTest::addColumn<qint32>("code");
        QTest::newRow("CJK") << QStringLiteral("\u4E2D") << -0x4E2D;
        QTest::newRow("C1 control without a byte") << QString(QChar(0x80)) << -0x80;
        QTest::newRow("surrogate pair") << QStringLiteral("\U0001F600") << -0x1F600;
        QTest::newRow("lone high surrogate") << QString(QChar(0xD800)) << -0xFFFD;
        QTest::newRow("lone low surrogate") << QString(QChar(0xDFFF)) << -0xFFFD;
        QTest::newRow("euro") << QStringLiteral("\u20AC") << 0x80;
    }
    void codesOutsideTheCodePage() {
        QFETCH(QString, character);
        QFETCH(qint32, code);
        QCOMPARE(windows1252::codeOf(character), code);
    }

    void conversionRepairsUtf8_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("converted");
        const auto asAnsi = [](QByteArrayView bytes) { return windows1252::decode(bytes); };
        QTest::newRow("ASCII unchanged") << "a\r\nb"
                                         << "a\r\nb";
        QTest::newRow("UTF-8 read as ANSI")
            << asAnsi("caf\xC3\xA9 \xE2\x82\xAC") << QStringLiteral("caf\u00E9 \u20AC");
        QTest::newRow("Windows-1252 kept")
            << QStringLiteral("caf\u00E9") << QStringLiteral("caf\u00E9");
        QTest::newRow("bytes valid as neither kept") << asAnsi("\xC3") << asAnsi("\xC3");
        QTest::newRow("overlong form kept") << asAnsi("\xC0\xAF") << asAnsi("\xC0\xAF");
        QTest::newRow("encoded surrogate kept") << asAnsi("\xED\xA0\x80") << asAnsi("\xED\xA0\x80");
        QTest::newRow("valid start, invalid later kept")
            << asAnsi("\xC3\xA9 and \xC3(") << asAnsi("\xC3\xA9 and \xC3(");
        QTest::newRow("valid start, character outside the code page later kept")
            << asAnsi("\xC3\xA9") + QStringLiteral("\u4E2D")
            << asAnsi("\xC3\xA9") + QStringLiteral("\u4E2D");
        QTest::newRow("UTF-16LE read as ANSI")
            << asAnsi(QByteArrayLiteral("\xFF\xFEh\0\xE9\0")) << QStringLiteral("h\u00E9");
        QTest::newRow("UTF-16BE read as ANSI")
            << asAnsi(QByteArrayLiteral("\xFE\xFF\0h\x4E\x2D")) << QStringLiteral("h\u4E2D");
        QTest::newRow("UTF-16 of an odd length ends in a replacement")
            << asAnsi(QByteArrayLiteral("\xFF\xFEh\0x")) << QStringLiteral("h\uFFFD");
        QTest::newRow("outside the code page kept")
            << QStringLiteral("\u4E2D") << QStringLiteral("\u4E2D");
        QTest::newRow("UTF-8 byte-order mark dropped") << asAnsi("\xEF\xBB\xBFx") << "x";
        QTest::newRow("UTF-16 byte-order mark dropped") << QStringLiteral("\uFEFFx") << "x";
        QTest::newRow("only the leading mark")
            << QStringLiteral("x\uFEFF") << QStringLiteral("x\uFEFF");
    }
    void conversionRepairsUtf8() {
        QFETCH(QString, text);
        QFETCH(QString, converted);
        QCOMPARE(convert(text), converted);
    }

    void templateRenders_data() {
        QTest::addColumn<QString>("templateText");
        QTest::addColumn<QString>("rendered");
        QTest::newRow("no placeholders") << "plain\ntext"
                                         << "plain\ntext";
        QTest::newRow("every index") << "{0}{1}{2}{3}{4}{5}{6}{7}{8}{9}{10}{11}"
                                     << "v0v1v2v3v4v5v6v7v8v9v10v11";
        QTest::newRow("repeated and mixed") << "a{3}b{3}c{0}"
                                            << "av3bv3cv0";
        QTest::newRow("escapes") << "{{0}} {{{1}}}"
                                 << "{0} {v1}";
        QTest::newRow("leading zeros") << "{007}{00}"
                                       << "v7v0";
        QTest::newRow("empty") << ""
                               << "";
    }
    void templateRenders() {
        QFETCH(QString, templateText);
        QFETCH(QString, rendered);
        QCOMPARE(render(templateText), rendered);
    }

    void formatsEscapeTheValue_data() {
        QTest::addColumn<QString>("templateText");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("rendered");
        const QString special = QStringLiteral("&<>\"'\\/ %20{1}}{\t\r\n\u0001");
        const QString nonLatin = QStringLiteral("Caf\u00E9 \u4E2D\u6587 \U0001F600");
        QTest::newRow("as typed: specials") << "[{2}]" << special << "[" + special + "]";
        QTest::newRow("xml: specials") << "[{2:xml}]" << special.chopped(1)
                                       << "[&amp;&lt;&gt;&quot;&apos;\\/ %20{1}}{&#9;&#13;&#10;]";
        QTest::newRow("xml: a control character XML does not allow")
            << "{2:xml}" << special
            << "{2:xml} cannot insert value 2: it holds U+0001, which XML does not allow.";
        QTest::newRow("xml: U+FFFE, a noncharacter XML does not allow")
            << "{2:xml}" << QStringLiteral("a\uFFFE")
            << "{2:xml} cannot insert value 2: it holds U+FFFE, which XML does not allow.";
        QTest::newRow("xml: non-Latin") << "{2:xml}" << nonLatin << nonLatin;
        QTest::newRow("xml: empty") << "[{2:xml}]" << QString() << "[]";
        QTest::newRow("json: specials") << "[{2:json}]" << special + QStringLiteral("\b\f\u001F")
                                        << "[&<>\\\"'\\\\/ %20{1}}{\\t\\r\\n\\u0001\\b\\f\\u001f]";
        QTest::newRow("json: non-Latin") << "{2:json}" << nonLatin << nonLatin;
        QTest::newRow("json: empty") << "[{2:json}]" << QString() << "[]";
        QTest::newRow("url: specials")
            << "[{2:url}]" << special << "[%26%3C%3E%22%27%5C%2F%20%2520%7B1%7D%7D%7B%09%0D%0A%01]";
        QTest::newRow("url: non-Latin")
            << "{2:url}" << nonLatin << "Caf%E9%20%E4%B8%AD%E6%96%87%20%F0%9F%98%80";
        QTest::newRow("url: empty") << "[{2:url}]" << QString() << "[]";
        QTest::newRow("formats side by side") << "{2}|{2:xml}|{2:json}|{2:url}|{2:xml}"
                                              << "a\"b"
                                              << "a\"b|a&quot;b|a\\\"b|a%22b|a&quot;b";
    }
    void formatsEscapeTheValue() {
        QFETCH(QString, templateText);
        QFETCH(QString, value);
        QFETCH(QString, rendered);
        QStringList values(12);
        values[2] = value;
        QCOMPARE(renderOrFailure(templateText, values), rendered);
    }

    void templateErrorsNameLineAndColumn_data() {
        QTest::addColumn<QString>("templateText");
        QTest::addColumn<QString>("error");
        const QString prefix = QStringLiteral("Template error at line ");
        QTest::newRow("out of range")
            << "a\nb\nxxxxxxxxxxxxx{12}"
            << prefix + "3, column 14: {12} is out of range; use {0} to {11}.";
        QTest::newRow("lone open") << "ab{"
                                   << prefix +
                                          "1, column 3: '{' starts no placeholder; "
                                          "write {{ for a literal {, or {0} to {11} for a value.";
        QTest::newRow("lone close") << "x\r\n}"
                                    << prefix +
                                           "2, column 1: '}' closes no placeholder; "
                                           "write }} for a literal }.";
        QTest::newRow("empty braces")
            << "{}" << prefix + "1, column 1: {} has no number; use {0} to {11}.";
        QTest::newRow("letter") << "{x}"
                                << prefix +
                                       "1, column 1: '{' starts no placeholder; write "
                                       "{{ for a literal {, or {0} to {11} for a value.";
        QTest::newRow("blank inside")
            << "{ 1}"
            << prefix +
                   "1, column 1: '{' starts no placeholder; "
                   "write {{ for a literal {, or {0} to {11} for a value.";
        QTest::newRow("not closed") << "\r{1 "
                                    << prefix +
                                           "2, column 1: the placeholder is not closed; "
                                           "write '}' right after its number.";
        QTest::newRow("huge number")
            << "{99999999999999999999}"
            << prefix + "1, column 1: the placeholder is out of range; use {0} to {11}.";
        QTest::newRow("unknown format")
            << "a\n {2:bogus}"
            << prefix +
                   "2, column 2: {2:bogus} has an unknown format; use {2:xml}, {2:json} "
                   "or {2:url}.";
        QTest::newRow("empty format")
            << "{2:}"
            << prefix + "1, column 1: {2:} has no format; use {2:xml}, {2:json} or {2:url}.";
        QTest::newRow("blank inside the format")
            << "\r\n\r\n   {2: xml}"
            << prefix +
                   "3, column 4: {2: xml} has a blank in its format; use {2:xml}, {2:json} "
                   "or {2:url}.";
        QTest::newRow("out of range with a format")
            << "x{12:xml}" << prefix + "1, column 2: {12:xml} is out of range; use {0} to {11}.";
        QTest::newRow("format not closed on its line")
            << "{2:xml\n}"
            << prefix +
                   "1, column 1: the placeholder is not closed; write '}' "
                   "right after its format.";
        QTest::newRow("first error wins") << "{{ } {12}"
                                          << prefix +
                                                 "1, column 4: '}' closes no placeholder; "
                                                 "write }} for a literal }.";
    }
    void templateErrorsNameLineAndColumn() {
        QFETCH(QString, templateText);
        QFETCH(QString, error);
        QCOMPARE(templateError(templateText), error);
    }

    void templateNameStandsInErrors_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("plain") << "Template.txt";
        QTest::newRow("percent signs stay as they are") << "50%1 off %2.txt";
    }
    void templateNameStandsInErrors() {
        QFETCH(QString, name);
        QCOMPARE(templateError(QStringLiteral("\n}"), name),
                 "Template error in " + name +
                     " at line 2, column 1: '}' closes no placeholder; write }} for a literal }.");
    }

    void renderNeedsALoadedTemplateAndEnoughValues() {
        BraceTemplateEngine engine(kFieldCount);
        QStringList values;
        QString result;
        QVERIFY_THROWS_EXCEPTION(ComponentError, engine.Render(values, result));
        QString text = QStringLiteral("{11}");
        QString name;
        engine.LoadTemplate(text, name);
        values = QStringList(11);
        QVERIFY_THROWS_EXCEPTION(ComponentError, engine.Render(values, result));
    }

    void logLineIsOneLine_data() {
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("withError");
        QTest::addColumn<QString>("line");
        QTest::newRow("trace") << ".GetBodyFromTextFile, Start, File:/t/T.txt" << false
                               << "level=4 mask=128 message=\".GetBodyFromTextFile, Start, "
                                  "File:/t/T.txt\"";
        QTest::newRow("failure with escapes")
            << ".GetBodyFromTextFile, File:/a\nb\t\"c\"\\" << true
            << "level=2 mask=1 message=\".GetBodyFromTextFile, File:/a\\nb\\t\\\"c\\\"\\\\\" "
               "error=2001 description=\"No such file or directory\" source=\"FileSystemObject\"";
        QTest::newRow("other controls") << QStringLiteral("x\u0001\u2028\u007F") << false
                                        << "level=4 mask=128 message=\"x\\u0001\\u2028\\u007f\"";
    }
    void logLineIsOneLine() {
        QFETCH(QString, message);
        QFETCH(bool, withError);
        QFETCH(QString, line);
        const ErrorInfo error{2001, QStringLiteral("No such file or directory"),
                              QStringLiteral("FileSystemObject")};
        QCOMPARE(formatReport(message, withError ? &error : nullptr, withError ? 2 : 4,
                              withError ? 1 : 128),
                 line);
    }

    // A relative folder is invalid and counts as unset: the working folder is never searched.
    void dataFoldersIgnoreRelativeFolders_data() {
        QTest::addColumn<QByteArray>("home");
        QTest::addColumn<QByteArray>("dataHome");
        QTest::addColumn<QByteArray>("dataDirs");
        QTest::addColumn<QStringList>("folders");
        QTest::newRow("absolute") << QByteArray("/h") << QByteArray("/dh") << QByteArray("/a:/b")
                                  << QStringList{"/dh/brindlewick", "/a/brindlewick",
                                                 "/b/brindlewick"};
        QTest::newRow("relative XDG_DATA_HOME")
            << QByteArray("/h") << QByteArray("rel") << QByteArray("/a")
            << QStringList{"/h/.local/share/brindlewick", "/a/brindlewick"};
        QTest::newRow("relative XDG_DATA_DIRS")
            << QByteArray("/h") << QByteArray() << QByteArray("rel:.:")
            << QStringList{"/h/.local/share/brindlewick", "/usr/local/share/brindlewick",
                           "/usr/share/brindlewick"};
        // A relative HOME gives way to the account's home.
        QTest::newRow("relative HOME")
            << QByteArray(".") << QByteArray() << QByteArray("rel:/a")
            << QStringList{
                   QFile::decodeName(::getpwuid(::getuid())->pw_dir) + "/.local/share/brindlewick",
                   "/a/brindlewick"};
    }
    void dataFoldersIgnoreRelativeFolders() {
        QFETCH(QByteArray, home);
        QFETCH(QByteArray, dataHome);
        QFETCH(QByteArray, dataDirs);
        QFETCH(QStringList, folders);
        const QByteArray realHome = qgetenv("HOME");
        qputenv("HOME", home);
        qputenv("XDG_DATA_HOME", dataHome);
        qputenv("XDG_DATA_DIRS", dataDirs);
        const QStringList found = applicationDataFolders();
        qputenv("HOME", realHome);
        QCOMPARE(found, folders);
    }

    void pathServicePrefersTheProgramFolder() {
        TempDir programDir;
        TempDir dataHome;
        qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome.path(QString())));
        QString folder = programDir.path(QString());
        QString fileName = QStringLiteral("Template.txt");
        QString result;
        StandardFilePathService service;

        service.ResolvePath(folder, fileName, result);
        QCOMPARE(result, programDir.path(fileName));

        QDir().mkpath(dataHome.path(QStringLiteral("brindlewick")));
        const QString installed = dataHome.write(QStringLiteral("brindlewick/Template.txt"), "t");
        service.ResolvePath(folder, fileName, result);
        QCOMPARE(result, installed);

        const QString beside = programDir.write(fileName, "t");
        service.ResolvePath(folder, fileName, result);
        QCOMPARE(result, beside);
    }

    void sharedComponentsAreCreatedOnce() {
        int created = 0;
        Components::setErrorLoggerFactory([&created] {
            ++created;
            return std::make_unique<StderrErrorLogger>();
        });
        ErrorLogger* first = &Components::errorLogger();
        QCOMPARE(&Components::errorLogger(), first);
        QCOMPARE(created, 1);
        // An engine is made afresh for each use: a template loaded into one is not in the next.
        QString text = QStringLiteral("{0}");
        QString name;
        Components::newTemplateEngine()->LoadTemplate(text, name);
        QStringList values(12);
        QString rendered;
        QVERIFY_THROWS_EXCEPTION(ComponentError,
                                 Components::newTemplateEngine()->Render(values, rendered));
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("brindlewick"));
    TestComponents suite;
    return QTest::qExec(&suite, argc, argv);
}
#include "tst_components.moc"
