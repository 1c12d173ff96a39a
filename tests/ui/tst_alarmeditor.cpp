// "报警参数设置" on an in-memory port: its controls, the frame every button
// sends, the refusals, the fields a reply fills, and the .ALM file.
#include "ui/controls.h"
#include "uifixture.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

using namespace krv;
using testsupport::hex;

namespace {
struct AlarmUi : UiFixture
{
    AlarmEditor &alarm = program.alarmEditor;

    // Opens the editor from the main window with module 2 in RTU; the test
    // runs the sweep itself.
    AlarmUi()
    {
        edit("Address")->setText("2");
        state.moduleSlots.stationAddress[0] = 2;
        // As after polling has read the module's identifier.
        state.module.firmwareKnown = true;
        click("Command3");
        program.alarmLink.sweepTimer().stop();
    }
    template <class T> T *a(const QString &name) const
    {
        T *widget = alarm.findChild<T *>(name);
        if (!widget)
            qFatal("no widget %s", qPrintable(name));
        return widget;
    }
    QLineEdit *box(const QString &name) const { return a<QLineEdit>(name); }
    void set(const QString &name, const QString &text) { box(name)->setText(text); }
    QString text(const QString &name) const { return box(name)->text(); }
    void press(const QString &name) { QTest::mouseClick(a<QPushButton>(name), Qt::LeftButton); }
    QString sent() const
    {
        const QByteArray f = testsupport::lastSent(alarmPort);
        return QString::fromLatin1(f.left(f.size() - 2).toHex().toUpper());
    }
    void answer(const QByteArray &body) { alarmPort.receive(rtuFrame(body)); }
    // "恢复参数", then the file named in the chooser and confirmed: the
    // editor hides while the chooser shows, and is back once it is confirmed.
    void restore(const QString &path)
    {
        FileChooser &chooser = program.fileChooser;
        press("LoadCmd");
        QVERIFY(!alarm.isVisible());
        QVERIFY(chooser.isVisible());
        const QFileInfo file(path);
        QVERIFY(chooser.setDirectory(file.absolutePath()));
        chooser.findChild<QComboBox *>("FileType")->setEditText(file.fileName());
        QTest::mouseClick(chooser.findChild<QPushButton *>("Confirm"), Qt::LeftButton);
        QVERIFY(!chooser.isVisible());
        QVERIFY(alarm.isVisible());
    }
    void fillChannel(int c, const QString &upper, const QString &lower, const QString &relative,
                     const QString &preAlarm)
    {
        set(QStringLiteral("InSel%1").arg(c), upper);
        set(QStringLiteral("SetVal%1").arg(c), lower);
        set(QStringLiteral("SamTime%1").arg(c), relative);
        set(QStringLiteral("PreAlmCon%1").arg(c), preAlarm);
    }
    void fillControl(int request, const QString &serial, const QString &channels, int start,
                     int addressing)
    {
        a<QComboBox>("PReqOut")->setCurrentIndex(request);
        set("COMMCtrl", serial);
        set("ChnlSelect", channels);
        a<QComboBox>("StartCon")->setCurrentIndex(start);
        a<QComboBox>("ModAddr")->setCurrentIndex(addressing);
    }
};
} // namespace

class TestAlarmEditor : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QGuiApplication::setQuitOnLastWindowClosed(false); }

    void controls()
    {
        AlarmUi f;
        QCOMPARE(f.alarm.windowTitle(), QStringLiteral("报警参数设置"));
        const QStringList reads = {"Read0", "Read1", "read2", "read3", "read4",
                                   "read5", "read6", "read7", "Read8"};
        const QStringList writes = {"Write0", "write1", "write2", "write3", "write4",
                                    "write5", "write6", "write7", "Write8"};
        for (int b = 0; b < 9; ++b) {
            QCOMPARE(f.a<QPushButton>(reads[b])->text(), QStringLiteral("读  取"));
            QCOMPARE(f.a<QPushButton>(writes[b])->text(), QStringLiteral("写  入"));
        }
        QCOMPARE(f.a<QPushButton>("Command1")->text(), QStringLiteral("返  回"));
        QCOMPARE(f.a<QPushButton>("write3")->geometry(),
                 QRect(twips(4920), twips(3000), twips(1092), twips(372)));
        QCOMPARE(f.box("PreAlmCon7")->geometry(),
                 QRect(twips(10200), twips(2160), twips(1092), twips(264)));
        QCOMPARE(f.a<QPushButton>("Write8")->mapTo(&f.alarm, QPoint()),
                 QPoint(twips(10200), twips(5640)));
        QCOMPARE(f.text("SetVal0"), QStringLiteral("SetValue"));
        QCOMPARE(f.text("text5"), QStringLiteral("28"));
        QCOMPARE(f.text("Text8"), QStringLiteral("0"));
        const QStringList lists = {"PReqOut", "StartCon", "ModAddr"};
        for (const QString &name : lists) {
            QComboBox *list = f.a<QComboBox>(name);
            QCOMPARE(list->count(), 2);
            QCOMPARE(list->currentIndex(), -1);
            QCOMPARE(list->currentText(), name);
        }
        QCOMPARE(f.a<QComboBox>("ModAddr")->itemText(1), QStringLiteral("地址连续"));
        // No caption is cut off at the size it is placed at.
        for (QLabel *label : f.alarm.findChildren<QLabel *>()) {
            QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->width(),
                     qPrintable(label->text()));
        }
        for (QPushButton *button : f.alarm.findChildren<QPushButton *>()) {
            QVERIFY2(button->fontMetrics().horizontalAdvance(button->text()) + 8 <= button->width(),
                     qPrintable(button->text()));
        }
    }

    // The frame each button sends, from the fields as they stand.
    void requestFrames_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("frame");
        for (int b = 0; b < 9; ++b) {
            const QString name = QStringList{"Read0", "Read1", "read2", "read3", "read4",
                                             "read5", "read6", "read7", "Read8"}[b];
            QTest::newRow(qPrintable(name))
                << name
                << QStringLiteral("0203%1").arg(0x01A8 + 10 * b, 4, 16, QChar('0')).toUpper() +
                       "0003";
        }
        QTest::newRow("Write0") << "Write0"
                                << "021001A8000306FFCE9C40800A";
        QTest::newRow("write7") << "write7"
                                << "021001EE0003060320FFE20FFB";
        QTest::newRow("Write8") << "Write8"
                                << "021001F8000306830100010007";
        QTest::newRow("GetRegister") << "GetRegister"
                                     << "0203001C0001";
        QTest::newRow("PutRegister") << "PutRegister"
                                     << "0210001C000102FFFF";
        QTest::newRow("Command2") << "Command2"
                                  << "020100050001";
        QTest::newRow("Command3") << "Command3"
                                  << "02050005FF00";
    }
    void requestFrames()
    {
        QFETCH(QString, button);
        QFETCH(QString, frame);
        AlarmUi f;
        f.fillChannel(0, "-50", "-25536", "10", "8");
        f.fillChannel(7, "800", "-30", "-5", "1");
        f.fillControl(1, "3", "7", 1, 1);
        f.set("Text6", "-1");
        f.set("Text7", "5");
        f.set("Text8", "5");
        f.press(button);
        QCOMPARE(f.sent(), frame);
    }

    // Nothing is sent while a field cannot be written: not a number, not a
    // whole number where one is needed, beyond what the field can mean, or a
    // list holding typed text that is none of its items (an empty text in a
    // list row: nothing selected). The message names the field.
    void refusals_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("message");
        QTest::newRow("upper") << "InSel3"
                               << "12a"
                               << "write3"
                               << "通道3的上限设置不是数字，没有发送。";
        QTest::newRow("upper 32768") << "InSel3"
                                     << "32768"
                                     << "write3"
                                     << "通道3的上限设置不在-32768~32767之间，没有发送。";
        QTest::newRow("lower -32769") << "SetVal3"
                                      << "-32769"
                                      << "write3"
                                      << "通道3的下限设置不在-32768~32767之间，没有发送。";
        QTest::newRow("relative 5000") << "SamTime3"
                                       << "5000"
                                       << "write3"
                                       << "通道3的相对报警不在-4095~4095之间，没有发送。";
        QTest::newRow("pre-alarm") << "PreAlmCon3"
                                   << "16"
                                   << "write3"
                                   << "通道3的预警控制不在-8~15之间，没有发送。";
        QTest::newRow("packed") << "PreAlmCon3"
                                << "-8"
                                << "write3"
                                << "通道3的预警控制×4096+相对报警不在-32768~65535之间，没有发送。";
        QTest::newRow("serial 12") << "COMMCtrl"
                                   << "12"
                                   << "Write8"
                                   << "控制参数的串口输出不在0~11之间，没有发送。";
        QTest::newRow("channels 300") << "ChnlSelect"
                                      << "300"
                                      << "Write8"
                                      << "控制参数的测温通道不在1~7之间，没有发送。";
        QTest::newRow("channels -5") << "ChnlSelect"
                                     << "-5"
                                     << "Write8"
                                     << "控制参数的测温通道不在1~7之间，没有发送。";
        QTest::newRow("request typed") << "PReqOut"
                                       << "xyz"
                                       << "Write8"
                                       << "控制参数的请求输出不是列表中的项目，没有发送。";
        QTest::newRow("start typed") << "StartCon"
                                     << "xyz"
                                     << "Write8"
                                     << "控制参数的控温启动不是列表中的项目，没有发送。";
        QTest::newRow("addressing typed") << "ModAddr"
                                          << "地址"
                                          << "Write8"
                                          << "控制参数的寄存器不是列表中的项目，没有发送。";
        QTest::newRow("request none") << "PReqOut"
                                      << ""
                                      << "Write8"
                                      << "控制参数的请求输出没有选择，没有发送。";
        QTest::newRow("serial") << "COMMCtrl"
                                << "-1"
                                << "Write8"
                                << "控制参数的串口输出不能是负数，没有发送。";
        QTest::newRow("address") << "text5"
                                 << "32768"
                                 << "GetRegister"
                                 << "寄存器地址不在0~32767之间，没有发送。";
        QTest::newRow("address 1.4") << "text5"
                                     << "1.4"
                                     << "PutRegister"
                                     << "寄存器地址不是0~32767之间的整数，没有发送。";
        QTest::newRow("value") << "Text6"
                               << "65536"
                               << "PutRegister"
                               << "寄存器内容不在-32768~65535之间，没有发送。";
        QTest::newRow("value -32769") << "Text6"
                                      << "-32769"
                                      << "PutRegister"
                                      << "寄存器内容不在-32768~65535之间，没有发送。";
        QTest::newRow("switch 1.4") << "Text7"
                                    << "1.4"
                                    << "Command3"
                                    << "内存地址不是0~32767之间的整数，没有发送。";
        QTest::newRow("switch") << "Text7"
                                << ""
                                << "Command2"
                                << "内存地址不是数字，没有发送。";
        QTest::newRow("state") << "Text8"
                               << "on"
                               << "Command3"
                               << "单元内容不是数字，没有发送。";
    }
    void refusals()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QString, button);
        QFETCH(QString, message);
        AlarmUi f;
        f.fillChannel(3, "1", "2", "-3", "0");
        f.fillControl(1, "3", "7", 1, 1);
        if (auto *list = f.alarm.findChild<QComboBox *>(field)) {
            if (text.isEmpty())
                list->setCurrentIndex(-1);
            else
                list->setEditText(text);
        } else {
            f.set(field, text);
        }
        f.press(button);
        QVERIFY(f.alarmPort.sent().isEmpty());
        QCOMPARE(f.asker.kinds(), QStringList{"inform"});
        QCOMPARE(f.asker.asked[0].text, message);
    }

    // What typed texts write: any switch value but zero is on (no rounding);
    // a list's edit field naming another item writes that item.
    void typedTextsAsWritten_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("frame");
        QTest::newRow("switch 0.4") << "Text8"
                                    << "0.4"
                                    << "Command3"
                                    << "02050005FF00";
        QTest::newRow("switch -0.5") << "Text8"
                                     << "-0.5"
                                     << "Command3"
                                     << "02050005FF00";
        QTest::newRow("switch 0.0") << "Text8"
                                    << "0.0"
                                    << "Command3"
                                    << "020500050000";
        QTest::newRow("request named") << "PReqOut"
                                       << "请求无效"
                                       << "Write8"
                                       << "021001F8000306830000010007";
    }
    void typedTextsAsWritten()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QString, button);
        QFETCH(QString, frame);
        AlarmUi f;
        f.fillControl(1, "3", "7", 1, 1);
        f.set("Text7", "5");
        if (auto *list = f.alarm.findChild<QComboBox *>(field))
            list->setEditText(text);
        else
            f.set(field, text);
        f.press(button);
        QVERIFY(f.asker.asked.isEmpty());
        QCOMPARE(f.sent(), frame);
    }

    // The sweep fills the columns and block 8; the lists get their selection
    // from the reply; the status line tells the write's outcome.
    void repliesFillTheFields()
    {
        AlarmUi f;
        f.state.module.firmwareMajor = 5;
        f.state.module.firmwareMinor = 3;
        EditorLink &link = f.program.alarmLink;
        for (int b = 0; b < 9; ++b) {
            link.onSweepTick();
            f.answer(b == 8 ? hex("020306830100010107")
                            : hex("020306") + QByteArray(1, char(b)) + hex("64FF9C800A"));
        }
        QCOMPARE(f.text("InSel6"), QStringLiteral("1636")); // 0x0664
        QCOMPARE(f.text("SetVal6"), QStringLiteral("-100"));
        QCOMPARE(f.text("SamTime6"), QStringLiteral("-4086"));
        QCOMPARE(f.text("PreAlmCon6"), QStringLiteral("-7"));
        QCOMPARE(f.a<QComboBox>("PReqOut")->currentText(), QStringLiteral("请求有效"));
        QCOMPARE(f.a<QComboBox>("ModAddr")->currentText(), QStringLiteral("地址连续"));
        QCOMPARE(f.a<QComboBox>("StartCon")->currentText(), QStringLiteral("请求控温"));
        QCOMPARE(f.text("COMMCtrl"), QStringLiteral("3"));
        QCOMPARE(f.text("ChnlSelect"), QStringLiteral("7"));

        f.press("write4");
        f.answer(hex("021001D00003"));
        QCOMPARE(f.text("Text2"), QStringLiteral("写通道4报警参数成功"));
        f.press("Write8");
        f.program.alarmLink.engine().onReplyTimeout();
        QCOMPARE(f.text("Text2"), QStringLiteral("写通道8报警参数失败"));
    }

    // Line 9 holds the list positions as numbers and the two texts as they
    // stand; channel lines are upper, relative, lower, pre-alarm.
    void saveWritesTheFile()
    {
        AlarmUi f;
        QTemporaryDir dir;
        QVERIFY(QDir::setCurrent(dir.path()));
        for (int c = 0; c < 8; ++c)
            f.fillChannel(c, "800", "-50", "20", "1");
        f.fillChannel(2, "1 000", "", "20", "1");
        f.fillControl(1, "3", "7", 0, 1);
        f.asker.texts << QStringLiteral("alarm");
        f.press("SaveCmd");
        QFile file(dir.filePath("alarm.ALM"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        QCOMPARE(lines.size(), 10);
        QCOMPARE(lines[0], QByteArray("800  20  -50  1\r"));
        QCOMPARE(lines[2], QByteArray("\"1 000\"  20  \"\"  1\r"));
        QCOMPARE(lines[8], QByteArray(" 1   3  7   0    1 \r"));
        QCOMPARE(lines[9], QByteArray());
        QCOMPARE(f.asker.asked[0].text,
                 QStringLiteral("存储文件名：(如果文件名没有扩展名，则自动添加扩展名.ALM)|Norvik"));

        // Unselected lists are saved as -1; a double quote cannot be saved.
        f.a<QComboBox>("StartCon")->setCurrentIndex(-1);
        f.asker.texts << QStringLiteral("second");
        f.press("SaveCmd");
        QFile second(dir.filePath("second.ALM"));
        QVERIFY(second.open(QIODevice::ReadOnly));
        QVERIFY(second.readAll().endsWith(" 1   3  7  -1    1 \r\n"));
        f.set("SamTime5", "2\"");
        f.asker.asked.clear();
        f.asker.texts << QStringLiteral("third");
        f.press("SaveCmd");
        QCOMPARE(f.asker.kinds(), QStringList{"inform"});
        QCOMPARE(f.asker.asked[0].text,
                 QStringLiteral("通道5的相对报警含有双引号或换行，不能保存。"));
        QVERIFY(!QFile::exists(dir.filePath("third.ALM")));
        // Nor can a character GB2312 lacks.
        f.set("SamTime5", "2");
        f.set("ChnlSelect", "7€");
        f.asker.asked.clear();
        f.press("SaveCmd");
        QCOMPARE(f.asker.kinds(), QStringList{"inform"});
        QCOMPARE(f.asker.asked[0].text,
                 QStringLiteral("控制参数的测温通道含有GB2312编码中没有的字符“€”，不能保存。"));
        QVERIFY(!QFile::exists(dir.filePath("third.ALM")));
    }

    // The control editor's .CON file is not restored here: its values mean
    // something else.
    void controlFileRefused()
    {
        AlarmUi f;
        QTemporaryDir dir;
        QFile file(dir.filePath("saved.con"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("1 ").repeated(81));
        file.close();
        f.restore(file.fileName());
        QCOMPARE(f.asker.kinds(), QStringList{"inform"});
        QCOMPARE(
            f.asker.asked[0].text,
            QStringLiteral("文件%1没有恢复：它是控制参数文件（.CON），不是报警参数文件（.ALM）")
                .arg(file.fileName()));
        QCOMPARE(f.text("InSel0"), QStringLiteral("InSel"));
    }

    // Restore: 37 values in file order, a list position is the value AND 1;
    // a file that cannot be used changes no field.
    void restoreRules_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message"); // empty: restored
        QByteArray channels;
        for (int c = 0; c < 8; ++c)
            channels += QByteArray::number(100 + c) + "  20  -50  \"1 x\"\r\n";
        QTest::newRow("positions") << channels + "-1   3  7   0    3 \r\n"
                                   << "";
        QTest::newRow("more values") << channels + "-1,3,7,0,3,9,9\r\n"
                                     << "";
        QTest::newRow("position text") << channels + " 1  3  7  x  1\r\n"
                                       << "控制参数的控温启动的位置“x”不是可用的数字";
        QTest::newRow("short") << channels + " 1  3  7  0\r\n"
                               << "参数不足37个";
        QTest::newRow("line break in a value") << channels + " 1  3  \"7\r\n\"  0  1\r\n"
                                               << "控制参数的测温通道含有双引号或换行";
        QTest::newRow("double quote in a value")
            << QByteArray(channels).replace("103", "1\"3") + " 1  3  7  0  1\r\n"
            << "通道3的上限设置含有双引号或换行";
    }
    void restoreRules()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        AlarmUi f;
        QTemporaryDir dir;
        const QString path = dir.filePath("a.ALM");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        f.restore(path);
        QVERIFY(f.alarmPort.sent().isEmpty());
        if (!message.isEmpty()) {
            QCOMPARE(f.asker.kinds(), QStringList{"inform"});
            QVERIFY2(f.asker.asked[0].text.contains(message), qPrintable(f.asker.asked[0].text));
            QCOMPARE(f.text("InSel0"), QStringLiteral("InSel"));
            QCOMPARE(f.a<QComboBox>("PReqOut")->currentIndex(), -1);
            return;
        }
        QVERIFY(f.asker.asked.isEmpty());
        QCOMPARE(f.text("InSel7"), QStringLiteral("107"));
        QCOMPARE(f.text("SamTime7"), QStringLiteral("20"));
        QCOMPARE(f.text("SetVal7"), QStringLiteral("-50"));
        QCOMPARE(f.text("PreAlmCon7"), QStringLiteral("1 x"));
        QCOMPARE(f.a<QComboBox>("PReqOut")->currentIndex(), 1);
        QCOMPARE(f.text("COMMCtrl"), QStringLiteral("3"));
        QCOMPARE(f.text("ChnlSelect"), QStringLiteral("7"));
        QCOMPARE(f.a<QComboBox>("StartCon")->currentIndex(), 0);
        QCOMPARE(f.a<QComboBox>("ModAddr")->currentIndex(), 1);
    }
};

QTEST_MAIN(TestAlarmEditor)
#include "tst_alarmeditor.moc"
