// Parameter file text: the free-format reader, field quoting, line layout,
// atomic saving and reading a file's fields.
#include "text/legacytextfile.h"

#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>

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
        QVERIFY(shortRead.tooShort);
        QVERIFY(!shortRead.ok());
        const FieldFile missing = readFieldFile(dir.filePath("none.CON"), 1);
        QVERIFY(!missing.error.isEmpty());
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
