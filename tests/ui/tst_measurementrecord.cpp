// The measurement record: the Save/Close toggle, the naming rule, the
// replace question, the file's bytes, and files that cannot be written.

#include "uifixture.h"

#include <QDir>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/resource.h>

#include <csignal>
#include <cstring>

using namespace krv;

class TestMeasurementRecord : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void recordFileByteForByte();
    void naming_data();
    void naming();
    void cancelOrEmptyNameOpensNothing();
    void folderNamesOpenNothing();
    void existingFileAsksBeforeReplacing();
    void unwritableFileLeavesRecordingOff();
    void endingWhileRecordingLeavesNoStopLine();
    void fullDiskKeepsWholeLinesAndTheReason();
    void failureBoxDoesNotStopReception();

private:
    QTemporaryDir m_dir;
    QString m_oldDir;
};

namespace {
// "2006年03月07日    09:05:0S" in GB2312 with CR LF.
QByteArray stamp(int second)
{
    return QByteArray("2006\xC4\xEA"
                      "03\xD4\xC2"
                      "07\xC8\xD5    09:05:0") +
           QByteArray::number(second) + "\r\n";
}

QByteArray contents(const QString &name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void fixClock(UiFixture &f, int *second)
{
    f.window.setClock([second] { return QDateTime(QDate(2006, 3, 7), QTime(9, 5, *second)); });
}

// A file size limit for this process (a full disk without root): writes that
// cross it take what fits, then fail with EFBIG. Lifted again when it goes.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN); // a failed write, not a dead process
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit lim = m_old;
        lim.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lim);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_old); }

private:
    rlimit m_old{};
};

bool recordingControls(UiFixture &f)
{
    const bool on = f.w<QLabel>("Label39")->isEnabled();
    if (on != f.w<QLabel>("FileDis")->isEnabled())
        qFatal("Label39 and FileDis disagree");
    if ((f.button("Save")->text() == QStringLiteral("Close")) != on)
        qFatal("Save caption disagrees with the labels");
    return on;
}
} // namespace

void TestMeasurementRecord::initTestCase()
{
    QGuiApplication::setQuitOnLastWindowClosed(false);
    QVERIFY(m_dir.isValid());
    m_oldDir = QDir::currentPath();
}

void TestMeasurementRecord::init()
{
    // Relative names are relative to the current directory: a fresh one each time.
    const QString dir = m_dir.path() + QStringLiteral("/") + QTest::currentTestFunction() +
                        QString::fromLatin1(QTest::currentDataTag());
    QVERIFY(QDir().mkpath(dir));
    QVERIFY(QDir::setCurrent(dir));
}

void TestMeasurementRecord::recordFileByteForByte()
{
    UiFixture f;
    int second = 2;
    fixClock(f, &second);
    f.asker.texts = {QStringLiteral("AutoTuning")};
    f.click("Save");
    QCOMPARE(f.asker.asked.size(), 1);
    QCOMPARE(f.asker.asked[0].title, QStringLiteral("存储设置参数"));
    QCOMPARE(f.asker.asked[0].text,
             QStringLiteral("存储文件名：(如果文件名没有扩展名，则自动加扩展名.DAT)|AutoTuning"));
    QVERIFY(f.window.recording());
    QVERIFY(recordingControls(f));
    QCOMPARE(f.w<QLabel>("FileDis")->text(), QStringLiteral("AutoTuning.DAT"));
    QCOMPARE(contents("AutoTuning.DAT"), stamp(2)); // on disk before the first record

    f.edit("Address")->setText("1");
    f.startPolling();
    second = 3;
    f.answer(Cmd::ReadMeasurements,
             registersBody(3, {123, -45 & 0xFFFF, 0, 32767, 0x8000, 1, 2, 3}));
    second = 4;
    // Replies that are no measurement read, and a damaged one, record nothing.
    f.answer(Cmd::ReadCalibration, registersBody(3, {9, 9, 9, 9, 9, 9, 9, 9}));
    f.program.polling.execute(Cmd::ReadMeasurements);
    QByteArray damaged = rtuFrame(registersBody(3, {1, 1, 1, 1, 1, 1, 1, 1}));
    damaged[5] = char(damaged[5] ^ 1);
    f.port.receive(damaged);
    QCOMPARE(f.text("Text2"), QStringLiteral("CRC 校验错误"));
    // A function-04 frame answers no request of the window: not decoded.
    f.reply(registersBody(4, {7, 7, 7, 7, 7, 7, 7, 7}));
    QCOMPARE(f.text("Text2"), QStringLiteral("应答与请求不符"));
    QCOMPARE(f.text("Dis0"), QStringLiteral("123"));

    second = 5;
    f.click("Save");
    QVERIFY(!f.window.recording());
    QVERIFY(!recordingControls(f));
    QCOMPARE(f.w<QLabel>("FileDis")->text(), QStringLiteral("AutoTuning.DAT"));
    QCOMPARE(contents("AutoTuning.DAT"),
             stamp(2) + "09:05:03   123   -45    0    32767   -32768    1    2    3   \r\n" +
                 stamp(5));
}

void TestMeasurementRecord::naming_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("file");
    QTest::newRow("no dot") << "AutoTuning"
                            << "AutoTuning.DAT";
    QTest::newRow("extension") << "run1.txt"
                               << "run1.txt";
    QTest::newRow("digit extension") << "data.2"
                                     << "data.2";
    QTest::newRow("blanks around") << " run2 "
                                   << "run2.DAT";
}

void TestMeasurementRecord::naming()
{
    QFETCH(QString, typed);
    QFETCH(QString, file);
    QDir().mkpath("sub.d");
    UiFixture f;
    int second = 2;
    fixClock(f, &second);
    f.asker.texts = {typed};
    f.click("Save");
    second = 3;
    f.click("Save");
    // Started and stopped without polling: the two time stamps only.
    QCOMPARE(contents(file), stamp(2) + stamp(3));
}

void TestMeasurementRecord::cancelOrEmptyNameOpensNothing()
{
    UiFixture f;
    f.asker.texts = {std::nullopt, QString()};
    f.click("Save");
    f.click("Save");
    QCOMPARE(f.asker.kinds(), (QStringList{"text", "text"}));
    QVERIFY(!f.window.recording());
    QVERIFY(!recordingControls(f));
    QVERIFY(QDir::current().entryList(QDir::Files).isEmpty());
}

// The record goes into the current folder: a name with a folder part, or
// naming a folder, is refused with a message.
void TestMeasurementRecord::folderNamesOpenNothing()
{
    QDir().mkpath("sub.d");
    UiFixture f;
    f.asker.texts = {QStringLiteral("sub.d/x"), QStringLiteral(".."), QStringLiteral("sub.d")};
    f.click("Save");
    f.click("Save");
    f.click("Save");
    QCOMPARE(f.asker.kinds(), (QStringList{"text", "inform", "text", "inform", "text", "inform"}));
    QCOMPARE(
        f.asker.asked[1].text,
        QStringLiteral("“sub.d/x”不是文件名：不能含有“/”或“\\”，文件保存在当前文件夹。没有保存。"));
    QVERIFY(!f.window.recording());
    QVERIFY(!recordingControls(f));
    QVERIFY(QDir("sub.d").isEmpty());
}

void TestMeasurementRecord::existingFileAsksBeforeReplacing()
{
    {
        QFile old("old.DAT");
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("keep me");
    }
    UiFixture f;
    int second = 2;
    fixClock(f, &second);
    f.asker.texts = {QStringLiteral("old"), QStringLiteral("old")};
    f.asker.confirms = {false, true};
    f.click("Save");
    QCOMPARE(f.asker.kinds(), (QStringList{"text", "confirm"}));
    QCOMPARE(f.asker.asked[1].text, QStringLiteral("文件old.DAT已经存在，要替换吗"));
    QCOMPARE(f.asker.asked[1].title, MainWindow::programTitle());
    QVERIFY(!f.window.recording());
    QVERIFY(!recordingControls(f));
    QCOMPARE(contents("old.DAT"), QByteArray("keep me"));

    f.click("Save");
    QVERIFY(f.window.recording());
    QCOMPARE(contents("old.DAT"), stamp(2));
}

void TestMeasurementRecord::unwritableFileLeavesRecordingOff()
{
    UiFixture f;
    // A name longer than the file system takes.
    const QString tooLong(300, QLatin1Char('x'));
    f.asker.texts = {tooLong};
    f.click("Save");
    QCOMPARE(f.asker.kinds(), (QStringList{"text", "inform"}));
    QVERIFY(f.asker.asked[1].text.contains(tooLong + ".DAT"));
    QVERIFY(!f.window.recording());
    QVERIFY(!recordingControls(f));

    // A file that opens but takes no bytes (a full disk).
    if (!QFile::exists("/dev/full"))
        QSKIP("no /dev/full here");
    QVERIFY(QFile::link("/dev/full", "full.DAT"));
    f.asker.asked.clear();
    f.asker.texts = {QStringLiteral("full")};
    f.click("Save");
    QCOMPARE(f.asker.kinds(), (QStringList{"text", "confirm", "inform"}));
    QVERIFY(!f.window.recording());
    QVERIFY(!recordingControls(f));
}

void TestMeasurementRecord::endingWhileRecordingLeavesNoStopLine()
{
    UiFixture f;
    int second = 2;
    fixClock(f, &second);
    f.asker.texts = {QStringLiteral("end")};
    f.click("Save");
    f.edit("Address")->setText("1");
    f.startPolling();
    f.answer(Cmd::ReadMeasurements, registersBody(3, {1, 2, 3, 4, 5, 6, 7, 8}));
    f.click("Command1");
    QVERIFY(!f.window.recording());
    QCOMPARE(contents("end.DAT"),
             stamp(2) + "09:05:02   1    2    3    4    5    6    7    8   \r\n");
}

QTEST_MAIN(TestMeasurementRecord)
#include "tst_measurementrecord.moc"

void TestMeasurementRecord::fullDiskKeepsWholeLinesAndTheReason()
{
    UiFixture f;
    int second = 2;
    fixClock(f, &second);
    f.asker.texts = {QStringLiteral("full")};
    f.click("Save");
    f.edit("Address")->setText("1");
    f.startPolling();
    const QByteArray line = "09:05:02   1    2    3    4    5    6    7    8   \r\n";
    {
        // Room for the start stamp, one record and half of the next.
        const FileSizeLimit limit(stamp(2).size() + line.size() + line.size() / 2);
        f.answer(Cmd::ReadMeasurements, registersBody(3, {1, 2, 3, 4, 5, 6, 7, 8}));
        QVERIFY(f.window.recording());
        f.answer(Cmd::ReadMeasurements, registersBody(3, {1, 2, 3, 4, 5, 6, 7, 8}));
    }
    QVERIFY(!f.window.recording());
    QVERIFY(!recordingControls(f));
    QCOMPARE(contents("full.DAT"), stamp(2) + line);
    // One box, that does not hold up the receive path, with the system's reason.
    QCOMPARE(f.asker.kinds(), (QStringList{"text", "warn"}));
    const QString reason = QString::fromLocal8Bit(std::strerror(EFBIG));
    QVERIFY2(f.asker.asked[1].text.contains(reason), qPrintable(f.asker.asked[1].text));
    QVERIFY(f.asker.asked[1].text.contains("full.DAT"));
    f.answer(Cmd::ReadMeasurements, registersBody(3, {1, 2, 3, 4, 5, 6, 7, 8}));
    QCOMPARE(f.asker.asked.size(), 2);
}

namespace {
// Scripted answers, but warnings shown as the program really shows them.
class RealWarnings : public ScriptedAsker
{
public:
    void warn(QWidget *parent, const QString &title, const QString &text) override
    {
        ScriptedAsker::warn(parent, title, text);
        DialogAsker().warn(parent, title, text);
    }
};
} // namespace

void TestMeasurementRecord::failureBoxDoesNotStopReception()
{
    RealWarnings asker;
    testsupport::MemoryPort port, controlPort, alarmPort;
    Program program({port, controlPort, alarmPort}, asker);
    MainWindow &window = program.mainWindow;
    window.show();
    int second = 2;
    window.setClock([&second] { return QDateTime(QDate(2006, 3, 7), QTime(9, 5, second)); });
    asker.texts = {QStringLiteral("boxed")};
    QFile::remove("boxed.DAT");
    window.findChild<QPushButton *>("Save")->click();
    QVERIFY(window.recording());
    window.findChild<QLineEdit *>("Address")->setText("1");
    window.findChild<QPushButton *>("Start")->click();
    program.polling.tickTimer().stop();
    auto answer = [&](int value) {
        program.polling.execute(Cmd::ReadMeasurements);
        port.receive(rtuFrame(registersBody(3, {value, 0, 0, 0, 0, 0, 0, 0})));
    };
    {
        const FileSizeLimit limit(stamp(2).size() + 10);
        answer(1);
    }
    QVERIFY(!window.recording());
    auto *shown = window.findChild<QMessageBox *>();
    QVERIFY(shown && shown->isVisible());
    // The box stays open; replies go on being received and shown.
    for (int v = 2; v <= 5; ++v) {
        answer(v);
        QCOMPARE(window.findChild<QLineEdit *>("Dis0")->text(), QString::number(v));
    }
    QCOMPARE(program.engine.receiveCount(), 5);
    QCOMPARE(program.engine.timeoutCount(), 0);
    QCOMPARE(window.findChildren<QMessageBox *>().size(), 1);
    QVERIFY(shown->isVisible());
    shown->close();
}
