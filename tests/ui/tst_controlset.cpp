// The control editor window: its form, the sweep and the per-channel buttons
// through the window's boxes, write refusals, and .CON save and restore.
#include "text/gb2312.h"
#include "uifixture.h"

#include <QComboBox>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace krv;
using testsupport::hex;

namespace {
const QStringList RowNames{"StartStep", "InSel", "Phase", "SamTime", "SetVal",
                           "SerD0",     "SerD1", "SerD2", "CtrlArea"};

// The program with the control editor opened from the main window, its
// sweep timer stopped so that the test runs the ticks.
struct ControlFixture : UiFixture
{
    ControlSet &editor = program.controlSet;
    EditorLink &link = program.controlLink;

    ControlFixture()
    {
        QGuiApplication::setQuitOnLastWindowClosed(false);
        edit("Address")->setText("2");
        startPolling();
        click("Command2");
        link.Timer1().stop();
    }
    template <class T> T *ew(const QString &name) const
    {
        T *widget = editor.findChild<T *>(name);
        if (!widget)
            qFatal("no widget %s", qPrintable(name));
        return widget;
    }
    QLineEdit *box(int row, int channel) const
    {
        return ew<QLineEdit>(RowNames[row] + QString::number(channel));
    }
    QString etext(const QString &name) const { return ew<QLineEdit>(name)->text(); }
    void eclick(const QString &name) { QTest::mouseClick(ew<QPushButton>(name), Qt::LeftButton); }
    void fill(int channel, const QStringList &texts)
    {
        for (int r = 0; r < 9; ++r)
            box(r, channel)->setText(texts.value(r));
    }
    QStringList column(int channel) const
    {
        QStringList out;
        for (int r = 0; r < 9; ++r)
            out << box(r, channel)->text();
        return out;
    }
    QByteArray sent() const { return testsupport::lastSent(controlPort); }
    void reply(const QByteArray &body) { controlPort.receive(rtuFrame(body)); }
};

QString readName(int c)
{
    return (c <= 1 || c == 8 ? QStringLiteral("Read") : QStringLiteral("read")) +
           QString::number(c);
}
QString writeName(int c)
{
    return (c == 0 || c == 8 ? QStringLiteral("Write") : QStringLiteral("write")) +
           QString::number(c);
}

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Every caption fits its control: no clipped Chinese text.
void verifyCaptionsFit(const QWidget &window)
{
    for (const QLabel *label : window.findChildren<QLabel *>()) {
        const QFontMetrics fm(label->font());
        QVERIFY2(fm.horizontalAdvance(label->text()) <= label->contentsRect().width() &&
                     fm.height() <= label->contentsRect().height() + 2,
                 qPrintable(label->objectName()));
    }
    for (const QPushButton *button : window.findChildren<QPushButton *>()) {
        const QFontMetrics fm(button->font());
        QVERIFY2(fm.horizontalAdvance(button->text()) + 8 <= button->width() &&
                     fm.height() + 4 <= button->height(),
                 qPrintable(button->objectName()));
    }
    for (const QLineEdit *box : window.findChildren<QLineEdit *>()) {
        const QFontMetrics fm(box->font());
        QVERIFY2(fm.height() <= box->height() - 2, qPrintable(box->objectName()));
    }
}
} // namespace

class TestControlSet : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // Each test in a directory of its own, which is also the current one.
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        QVERIFY(QDir::setCurrent(m_dir->path()));
    }

    void form()
    {
        ControlFixture f;
        QCOMPARE(f.editor.windowTitle(), QStringLiteral("控制参数设置"));
        QCOMPARE(f.editor.size(), QSize(792, 502));
        const QStringList initial{"StartStep", "InSel",    "Phase",    "SamTime", "SetValue",
                                  "SeriesD0",  "SeriesD0", "SeriesD0", "CtrlArea"};
        for (int c = 0; c < 9; ++c) {
            QCOMPARE(f.column(c), initial);
            QCOMPARE(f.ew<QLabel>(QStringLiteral("ChnlName%1").arg(c))->text(),
                     QStringLiteral("通道%1").arg(c));
            QCOMPARE(f.ew<QPushButton>(readName(c))->text(), QStringLiteral("读取"));
            QCOMPARE(f.ew<QPushButton>(writeName(c))->text(), QStringLiteral("写入"));
            // Buttons in the box columns.
            QCOMPARE(f.ew<QPushButton>(readName(c))->x(), f.box(0, c)->x());
        }
        QCOMPARE(f.ew<QLabel>("RowName6")->text(), QStringLiteral("系数D1"));
        QCOMPARE(f.box(8, 8)->geometry(), QRect(704, 256, 73, 18));
        QCOMPARE(f.ew<QPushButton>("Command1")->text(), QStringLiteral("返 回"));
        QCOMPARE(f.ew<QPushButton>("SaveCmd")->text(), QStringLiteral("保存参数"));
        QCOMPARE(f.ew<QPushButton>("LoadCmd")->text(), QStringLiteral("恢复参数"));
        for (const char *name : {"Text1", "Text2", "Text3", "Text4"})
            QCOMPARE(f.etext(name), QString::fromLatin1(name));
        verifyCaptionsFit(f.editor);
    }

    // The sweep fills the columns through the window; a read and a write of
    // one channel by its buttons, with the frames and the count shown.
    void sweepAndButtons()
    {
        ControlFixture f;
        for (int c = 0; c < 9; ++c) {
            f.link.Timer1_Timer();
            f.reply(testsupport::registersBody(
                2, 3, {(c + 1) << 8 | c, 0x0A14, 300 + c, 120, 30, 8, 50}));
        }
        QCOMPARE(f.column(4), (QStringList{"5", "4", "10", "20", "304", "120", "30", "8", "50"}));
        QCOMPARE(f.etext("Text4"), QStringLiteral("9"));
        QCOMPARE(f.etext("Text2"), QString());

        f.box(4, 3)->setText("25.5");
        f.box(1, 3)->setText("300"); // start order 4: 4 × 256 + 300 = 0x052C
        f.eclick("write3");
        QCOMPARE(f.sent(), rtuFrame(hex("0210013800070E"
                                        "052C0A14001A0078001E00080032")));
        QCOMPARE(f.etext("Text1"), QString::fromLatin1(f.sent().toHex().toUpper()));
        f.reply(hex("021001380007"));
        QCOMPARE(f.etext("Text2"), QStringLiteral("写通道3控制参数成功"));
        QCOMPARE(f.etext("Text3"),
                 QString::fromLatin1(rtuFrame(hex("021001380007")).toHex().toUpper()));
        // The boxes keep what was typed until the channel is read again.
        QCOMPARE(f.box(1, 3)->text(), QStringLiteral("300"));
        f.eclick("Read1");
        QCOMPARE(f.sent(), rtuFrame(hex("020301140007")));
        f.reply(testsupport::registersBody(2, 3, {0xFF05, 0x8005, -3, 0, 0, 0, 0}));
        QCOMPARE(f.column(1), (QStringList{"0", "5", "-127", "5", "-3", "0", "0", "0", "0"}));
        QCOMPARE(f.etext("Text2"), QString());
    }

    // A box that cannot be written is named with its channel and row;
    // nothing is sent.
    void writeRefused_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("initial texts") << -1 << ""
                                       << "通道6的启动顺序“StartStep”不是数字，没有写入。";
        QTest::newRow("packed out of range")
            << 0 << "128"
            << "通道6的启动顺序×256+输入通道超出-32768..32767，没有写入。";
        QTest::newRow("single out of range") << 8 << "40000"
                                             << "通道6的控制范围超出-32768..32767，没有写入。";
        QTest::newRow("D1 not a number") << 6 << "1e3"
                                         << "通道6的系数D1“1e3”不是数字，没有写入。";
    }
    void writeRefused()
    {
        QFETCH(int, row);
        QFETCH(QString, text);
        QFETCH(QString, message);
        ControlFixture f;
        if (row >= 0) {
            f.fill(6, {"1", "5", "0", "10", "250", "100", "20", "5", "30"});
            f.box(row, 6)->setText(text);
        }
        f.asker.asked.clear();
        f.eclick("write6");
        QCOMPARE(f.asker.kinds(), QStringList{"inform"});
        QCOMPARE(f.asker.asked[0].text, message);
        QVERIFY(f.controlPort.sent().isEmpty());
    }

    // The file holds the boxes' texts, two blanks apart, CR LF, GB2312;
    // texts reading would split are quoted.
    void saveLayout()
    {
        ControlFixture f;
        for (int c = 0; c < 9; ++c)
            f.fill(c, {"1", "2", "0", "10", "250", "100", "20", "5", QString::number(30 + c)});
        f.box(4, 2)->setText("设定 值");
        f.box(5, 2)->setText("");
        f.box(6, 2)->setText("1,5");
        f.asker.texts = {QStringLiteral("ctl")};
        f.eclick("SaveCmd");
        QCOMPARE(f.asker.asked[0].title, QStringLiteral("存储设置参数"));
        QCOMPARE(f.asker.asked[0].text,
                 QStringLiteral("存储文件名：(如果文件名没有扩展名，则自动加扩展名.CON)|Norvik"));
        QByteArray expected;
        for (int c = 0; c < 9; ++c) {
            if (c == 2)
                expected += "1  2  0  10  \"" + gb2312Line(QStringLiteral("设定 值")).chopped(2) +
                            "\"  \"\"  \"1,5\"  5  32\r\n";
            else
                expected += "1  2  0  10  250  100  20  5  " + QByteArray::number(30 + c) + "\r\n";
        }
        QCOMPARE(fileBytes("ctl.CON"), expected);

        // Restored into other boxes, the file gives back exactly what was saved.
        const QStringList saved = f.column(2);
        f.fill(2, {});
        f.state.files.FileChosen = True16;
        f.state.files.ChosenPath = m_dir->filePath("ctl.CON");
        f.editor.Form_Activate();
        QCOMPARE(f.column(2), saved);
        QCOMPARE(f.state.files.FileChosen, False16);
    }

    // The name asked for: the default, an extension kept, a file replaced
    // only on OK; a text no field can hold refuses the save.
    void saveNames()
    {
        ControlFixture f;
        f.asker.texts = {QStringLiteral("Norvik"), QStringLiteral("abc.txt"),
                         QStringLiteral("abc.txt")};
        f.asker.confirms = {false};
        f.eclick("SaveCmd");
        QVERIFY(fileBytes("Norvik.CON")
                    .startsWith("StartStep  InSel  Phase  SamTime  SetValue  "
                                "SeriesD0  SeriesD0  SeriesD0  CtrlArea\r\n"));
        f.eclick("SaveCmd");
        QVERIFY(QFile::exists("abc.txt"));
        writeFile("abc.txt", "old");
        f.eclick("SaveCmd");
        QCOMPARE(f.asker.asked.last().text, QStringLiteral("文件abc.txt已经存在，要替换吗"));
        QCOMPARE(fileBytes("abc.txt"), QByteArray("old"));

        f.asker.asked.clear();
        f.box(3, 5)->setText("say \"hi\"");
        f.eclick("SaveCmd");
        QCOMPARE(f.asker.kinds(), QStringList{"inform"});
        QCOMPARE(f.asker.asked[0].text,
                 QStringLiteral("通道5的采样时间含有双引号或换行，无法保存。"));
    }

    // Reading: blanks, commas and line ends separate; quoted fields; any line
    // layout; whatever follows the 81st field is ignored.
    void restoreLayouts_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QByteArray lines, commas, oneLine, quoted;
        for (int c = 0; c < 9; ++c) {
            const QByteArray n = QByteArray::number(c);
            lines += n + "  2  0  10\r\n250  100  20  5  30\r\n";
            commas += n + ",2,0,10,250,100,20,5,30\r\n";
            oneLine += n + " 2 0 10 250 100 20 5 30 ";
            quoted += "\"" + n + "\"  2  0  10  250  100  20  5  30\r\n";
        }
        QTest::newRow("other line breaks") << lines;
        QTest::newRow("commas") << commas;
        QTest::newRow("one line, LF, trailing data") << oneLine + "\n99 98";
        QTest::newRow("quoted") << quoted;
    }
    void restoreLayouts()
    {
        QFETCH(QByteArray, bytes);
        ControlFixture f;
        writeFile("in.con", bytes);
        f.state.files.FileChosen = True16;
        f.state.files.ChosenPath = m_dir->filePath("in.con");
        f.asker.asked.clear();
        f.editor.Form_Activate();
        QVERIFY(f.asker.asked.isEmpty());
        for (int c = 0; c < 9; ++c)
            QCOMPARE(f.column(c), (QStringList{QString::number(c), "2", "0", "10", "250", "100",
                                               "20", "5", "30"}));
        // Only the boxes change: the module and the records are untouched.
        QVERIFY(f.controlPort.sent().isEmpty());
        QCOMPARE(f.state.params.CtrlPara[3].SetVal, qint16(0));
    }

    // A file with fewer than 81 fields changes no box.
    void restoreShortFile()
    {
        ControlFixture f;
        QByteArray bytes;
        for (int i = 0; i < 80; ++i)
            bytes += "7  ";
        writeFile("short.CON", bytes);
        f.state.files.FileChosen = True16;
        f.state.files.ChosenPath = m_dir->filePath("short.CON");
        f.asker.asked.clear();
        f.editor.Form_Activate();
        QCOMPARE(f.asker.kinds(), QStringList{"inform"});
        QCOMPARE(f.box(0, 0)->text(), QStringLiteral("StartStep"));
        QCOMPARE(f.state.files.FileChosen, False16);
    }

    // "恢复参数" through the chooser: a .con file picked and confirmed fills
    // the boxes; the sweep's later replies still land in their own columns.
    void restoreThroughTheChooser()
    {
        ControlFixture f;
        QByteArray bytes;
        for (int i = 0; i < 81; ++i)
            bytes += QByteArray::number(i) + (i % 9 == 8 ? "\r\n" : "  ");
        writeFile("PLANT.CON", bytes);
        f.link.Timer1_Timer(); // the sweep's read of channel 0 is outstanding
        f.eclick("LoadCmd");
        QVERIFY(!f.editor.isVisible());
        FileSearch &chooser = f.program.fileSearch;
        QVERIFY(chooser.isVisible());
        auto *files = chooser.findChild<QListWidget *>("File1");
        QCOMPARE(files->count(), 1);
        files->setCurrentRow(0);
        emit files->itemClicked(files->item(0));
        QTest::mouseClick(chooser.findChild<QPushButton *>("Confirm"), Qt::LeftButton);
        QVERIFY(f.editor.isVisible());
        QCOMPARE(f.column(1), (QStringList{"9", "10", "11", "12", "13", "14", "15", "16", "17"}));
        QCOMPARE(f.box(8, 8)->text(), QStringLiteral("80"));
        f.reply(testsupport::registersBody(2, 3, {0x0100, 10, 300, 120, 30, 8, 50}));
        QCOMPARE(f.box(4, 0)->text(), QStringLiteral("300"));
        QCOMPARE(f.box(4, 1)->text(), QStringLiteral("13"));
    }

    // The editor's own port cannot be opened: reported once, by a warning
    // that does not stop the sweep's tick; nothing waits to be sent.
    void portFailureReported()
    {
        UiFixture f;
        f.controlPort.failOpen(QStringLiteral("No such file or directory"));
        f.click("Command2");
        EditorLink &link = f.program.controlLink;
        link.Timer1().stop();
        f.asker.asked.clear();
        for (int tick = 0; tick < 3; ++tick)
            link.Timer1_Timer();
        QCOMPARE(f.asker.kinds(), QStringList{"warn"});
        QVERIFY(f.asker.asked[0].text.contains(QStringLiteral("No such file or directory")));
        QVERIFY(f.controlPort.sent().isEmpty());
        QCOMPARE(link.waiting(), 0);
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_MAIN(TestControlSet)
#include "tst_controlset.moc"
