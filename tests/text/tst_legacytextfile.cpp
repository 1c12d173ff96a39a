// Parameter file text: the free-format reader, field quoting, line layout,
// atomic saving, reading a file's fields, and what reading refuses: files that
// are no small regular file and bytes that are no GB2312 text.
#include "text/legacytextfile.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>

using namespace krv;

class TestLegacyTextFile : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void reader_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("count");
        QTest::addColumn<QStringList>("fields");
        const QStringList nine = {"1", "2", "0", "10", "250", "100", "20", "5", "30"};
        QTest::newRow("canonical line") << "1  2  0  10  250  100  20  5  30\r\n" << 9 << nine;
        QTest::newRow("one per line") << "1\r\n2\r\n0\r\n10\r\n250\r\n100\r\n20\r\n5\r\n30\r\n"
                                      << 9 << nine;
        QTest::newRow("commas") << "1,2,0,10,250,100,20,5,30" << 9 << nine;
        QTest::newRow("comma and blanks") << "1, 2 ,0 , 10\n250\t100,20  5,30" << 9 << nine;
        QTest::newRow("leading blanks and empty lines")
            << "\r\n\r\n   1  2\r\n\r\n 0  10  250  100  20  5  30" << 9 << nine;
        QTest::newRow("quoted fields")
            << "\"a b\"  \"\"  \"c,d\",x" << 4 << QStringList{"a b", "", "c,d", "x"};
        QTest::newRow("two commas: an empty value") << "1,,2" << 3 << QStringList{"1", "", "2"};
        QTest::newRow("rest ignored") << "7  8  9" << 2 << QStringList{"7", "8"};
        QTest::newRow("signed values") << " 1   3  7   0    1 \r\n"
                                       << 5 << QStringList{"1", "3", "7", "0", "1"};
        QTest::newRow("unclosed quote runs to the end")
            << "x \"open end" << 2 << QStringList{"x", "open end"};
    }
    void reader()
    {
        QFETCH(QString, text);
        QFETCH(int, count);
        QFETCH(QStringList, fields);
        const auto read = readFields(text, count);
        QVERIFY(read.has_value());
        QCOMPARE(*read, fields);
    }

    void readerWantsAllValues()
    {
        QVERIFY(!readFields(QStringLiteral("1 2 3"), 4).has_value());
        QVERIFY(!readFields(QString(), 1).has_value());
        QVERIFY(!readFields(QStringLiteral(" \r\n  "), 1).has_value());
        QCOMPARE(readFields(QString(), 0).value(), QStringList());
    }

    // What a box holds comes back from the file, whatever it is; texts that
    // cannot be written are refused.
    void fieldsRoundTrip_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("field");
        QTest::newRow("number") << "250"
                                << "250";
        QTest::newRow("negative") << "-50"
                                  << "-50";
        QTest::newRow("initial text") << "SetValue"
                                      << "SetValue";
        QTest::newRow("empty") << ""
                               << "\"\"";
        QTest::newRow("blank inside") << "1 5"
                                      << "\"1 5\"";
        QTest::newRow("comma") << "1,5"
                               << "\"1,5\"";
        QTest::newRow("tab") << "1\t5"
                             << "\"1\t5\"";
        QTest::newRow("Chinese") << "设置"
                                 << "设置";
    }
    void fieldsRoundTrip()
    {
        QFETCH(QString, text);
        QFETCH(QString, field);
        const auto written = textField(text);
        QVERIFY(written.has_value());
        QCOMPARE(*written, field);
        const QString line = *written + QStringLiteral("  next");
        QCOMPARE(readFields(line, 2).value(), (QStringList{text, QStringLiteral("next")}));
    }
    void unwritableTexts()
    {
        QVERIFY(!textField(QStringLiteral("say \"hi\"")).has_value());
        QVERIFY(!textField(QStringLiteral("two\nlines")).has_value());
        QVERIFY(!textField(QStringLiteral("cr\r")).has_value());
    }

    void lineLayout()
    {
        QCOMPARE(fieldLine({"1", "2", "0"}), QByteArray("1  2  0\r\n"));
        QCOMPARE(fieldLine({"年"}), QByteArray("\xC4\xEA\r\n"));
        QCOMPARE(fieldLine({}), QByteArray("\r\n"));
    }

    void defaultExtension()
    {
        QCOMPARE(withDefaultExtension("abc", ".CON"), QStringLiteral("abc.CON"));
        QCOMPARE(withDefaultExtension("abc.txt", ".CON"), QStringLiteral("abc.txt"));
        QCOMPARE(withDefaultExtension("dir.d/abc", ".ALM"), QStringLiteral("dir.d/abc"));
    }

    void saveAndReadBack()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("p.CON");
        QString error;
        QVERIFY(saveLines(path, {fieldLine({"1", "\"a b\""}), fieldLine({"3"})}, &error));
        const FieldFile read = readFieldFile(path, 3);
        QVERIFY(read.ok());
        QCOMPARE(read.fields, (QStringList{"1", "a b", "3"}));
        const FieldFile shortRead = readFieldFile(path, 4);
        QCOMPARE(shortRead.fault, FieldFile::Fault::TooShort);
        QVERIFY(!shortRead.ok());
        const FieldFile missing = readFieldFile(dir.filePath("none.CON"), 1);
        QVERIFY(!missing.error.isEmpty());
    }

    // Text that is not GB2312 is refused, never shown as wrong characters;
    // GB2312 that happens to be valid UTF-8 reads as GB2312.
    void gb2312Strictly_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Gb2312Text::Refusal>("refusal");
        QTest::addColumn<int>("at");
        QTest::addColumn<QString>("text");
        using R = Gb2312Text::Refusal;
        QTest::newRow("GB2312, tab, CR LF") << QByteArray("\xCE\xC2\xB6\xC8\t1\r\n") << R::None
                                            << -1 << QStringLiteral("温度\t1\r\n");
        QTest::newRow("GB2312 that is valid UTF-8")
            << QByteArray("1 \xC8\xA1") << R::None << -1 << QStringLiteral("1 取");
        QTest::newRow("NUL") << QByteArray("1 2\0 3", 6) << R::ControlCharacter << 3 << "";
        QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBF"
                                                       "1")
                                         << R::Utf8 << 0 << "";
        // Valid GB2312 too ("娓╁害"), but three-byte UTF-8 characters.
        QTest::newRow("UTF-8 Chinese") << QStringLiteral("温度").toUtf8() << R::Utf8 << 0 << "";
        QTest::newRow("UTF-8 euro") << QStringLiteral("1 €").toUtf8() << R::Utf8 << 0 << "";
        QTest::newRow("GBK, not GB2312") << QByteArray("1 \x81\x40") << R::NotGb2312 << 2 << "";
        QTest::newRow("unassigned pair")
            << QByteArray("\xC4\xEA\xAA\xA1") << R::NotGb2312 << 2 << "";
        QTest::newRow("lead byte at the end") << QByteArray("1\xC4") << R::NotGb2312 << 1 << "";
    }
    void gb2312Strictly()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(Gb2312Text::Refusal, refusal);
        QFETCH(int, at);
        QFETCH(QString, text);
        const Gb2312Text read = readGb2312Text(bytes);
        QCOMPARE(read.refusal, refusal);
        QCOMPARE(read.at, qsizetype(at));
        QCOMPARE(read.text, text);
    }

    // What a save must refuse: characters that would not read back.
    void charactersGb2312CannotHold()
    {
        QCOMPARE(charactersOutsideGb2312(u"a€b😀€\x01ß"), (QStringList{"€", "😀", "\x01", "ß"}));
        QCOMPARE(charactersOutsideGb2312(u"设定 值\t取é-1,5\r\n"), QStringList());
    }

    // Only a small regular file is opened, and a pipe no one writes to does
    // not hold the reader up; random bytes are no text.
    void readsOnlySmallRegularTextFiles()
    {
        QTemporaryDir dir;
        const QString fifo = dir.filePath("x.CON");
        QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(readFieldFile(fifo, 1).fault, FieldFile::Fault::NotARegularFile);
        QVERIFY(clock.elapsed() < 2000);
        QCOMPARE(readFieldFile(dir.path(), 1).fault, FieldFile::Fault::NotARegularFile);
        QCOMPARE(readFieldFile("/dev/zero", 1).fault, FieldFile::Fault::NotARegularFile);

        QString error;
        const QByteArray full = QByteArray(FieldFileMaxBytes - 3, ' ') + "1 2";
        QVERIFY(saveLines(dir.filePath("full.CON"), {full}, &error));
        QCOMPARE(readFieldFile(dir.filePath("full.CON"), 2).fields, (QStringList{"1", "2"}));
        QVERIFY(saveLines(dir.filePath("big.CON"), {full + ' '}, &error));
        const FieldFile big = readFieldFile(dir.filePath("big.CON"), 2);
        QCOMPARE(big.fault, FieldFile::Fault::TooLarge);
        QCOMPARE(big.size, FieldFileMaxBytes + 1);

        QByteArray noise(4096, 0);
        QRandomGenerator(2060).fillRange(reinterpret_cast<quint32 *>(noise.data()), 1024);
        QVERIFY(saveLines(dir.filePath("noise.CON"), {noise}, &error));
        QCOMPARE(readFieldFile(dir.filePath("noise.CON"), 81).fault,
                 FieldFile::Fault::ControlCharacter);
    }

    // A save that fails leaves the old file as it was and says why.
    void failedSaveKeepsTheOldFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("old.CON");
        QString error;
        QVERIFY(saveLines(path, {QByteArray("keep me\r\n")}, &error));
        QVERIFY(!saveLines(dir.filePath("no-such-dir/x.CON"), {QByteArray("x")}, &error));
        QVERIFY(!error.isEmpty());

        std::signal(SIGXFSZ, SIG_IGN);
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        rlimit small = old;
        small.rlim_cur = 16;
        setrlimit(RLIMIT_FSIZE, &small);
        error.clear();
        const bool saved = saveLines(path, {QByteArray(64, 'x')}, &error);
        setrlimit(RLIMIT_FSIZE, &old);
        QVERIFY(!saved);
        QVERIFY(!error.isEmpty());
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("keep me\r\n"));
    }
};

QTEST_APPLESS_MAIN(TestLegacyTextFile)
#include "tst_legacytextfile.moc"
