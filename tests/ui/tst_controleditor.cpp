// The control editor window: its form, the per-channel buttons through its
// boxes, write refusals, .CON save and restore (and the files, names and
// texts they refuse), and a failing port.
#include "text/gb2312.h"
#include "uifixture.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

#include <memory>

using namespace krv;
using testsupport::hex;

namespace {
const QStringList RowNames{"StartStep", "InSel", "Phase", "SamTime", "SetVal",
                           "SerD0",     "SerD1", "SerD2", "CtrlArea"};

// The program with the control editor opened from the polling main window;
// the test runs the sweep's ticks.
struct ControlFixture : UiFixture
{
    ControlEditor &editor = program.controlEditor;
    EditorLink &link = program.controlLink;
    FileChooser &chooser = program.fileChooser;

    ControlFixture()
    {
        QGuiApplication::setQuitOnLastWindowClosed(false);
        edit("Address")->setText("2");
        startPolling();
        click("Command2");
        link.sweepTimer().stop();
    }
    template <class T> T *ew(const QString &name) const
    {
        T *widget = editor.findChild<T *>(name);
        if (!widget)
            qFatal("no widget %s", qPrintable(name));
        return widget;
    }
    QLineEdit *box(int row, int c) const
    {
        return ew<QLineEdit>(RowNames[row] + QString::number(c));
    }
    QString etext(const QString &name) const { return ew<QLineEdit>(name)->text(); }
    void eclick(const QString &name) { QTest::mouseClick(ew<QPushButton>(name), Qt::LeftButton); }
    void fill(int c, const QString &spaced)
    {
        const QStringList texts = spaced.split(' ');
        for (int r = 0; r < 9; ++r)
            box(r, c)->setText(texts.value(r));
    }
    QString column(int c) const
    {
        QStringList out;
        for (int r = 0; r < 9; ++r)
            out << box(r, c)->text();
        return out.join(' ');
    }
    QByteArray sent() const { return testsupport::lastSent(controlPort); }
    void reply(const QByteArray &body) { controlPort.receive(rtuFrame(body)); }
    // "恢复参数", then the file named in the chooser and confirmed: the
    // editor hides while the chooser shows, and is back once it is confirmed.
    void restore(const QString &path)
    {
        asker.asked.clear();
        eclick("LoadCmd");
        QVERIFY(!editor.isVisible());
        QVERIFY(chooser.isVisible());
        const QFileInfo file(path);
        QVERIFY(chooser.setDirectory(file.absolutePath()));
        chooser.findChild<QComboBox *>("FileType")->setEditText(file.fileName());
        QTest::mouseClick(chooser.findChild<QPushButton *>("Confirm"), Qt::LeftButton);
        QVERIFY(!chooser.isVisible());
        QVERIFY(editor.isVisible());
    }
};

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
} // namespace

class TestControlEditor : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // Each test in a directory of its own, which is also the current one.
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir::setCurrent(m_dir->path()));
    }

    void form()
    {
        ControlFixture f;
        QCOMPARE(f.editor.windowTitle(), QStringLiteral("控制参数设置"));
        QCOMPARE(f.editor.size(), QSize(792, 502));
        const QStringList reads{"Read0", "Read1", "read2", "read3", "read4",
                                "read5", "read6", "read7", "Read8"};
        for (int c = 0; c < 9; ++c) {
            QCOMPARE(f.column(c),
                     QStringLiteral("StartStep InSel Phase SamTime SetValue SeriesD0 SeriesD1 "
                                    "SeriesD2 CtrlArea"));
            QCOMPARE(f.ew<QLabel>(QStringLiteral("ChnlName%1").arg(c))->text(),
                     QStringLiteral("通道%1").arg(c));
            QCOMPARE(f.ew<QPushButton>(reads[c])->x(), f.box(0, c)->x());
            const QString write = (c % 8 ? "write" : "Write") + QString::number(c);
            QCOMPARE(f.ew<QPushButton>(write)->text(), QStringLiteral("写入"));
        }
        QCOMPARE(f.ew<QLabel>("RowName6")->text(), QStringLiteral("系数D1"));
        QCOMPARE(f.box(8, 8)->geometry(), QRect(704, 256, 73, 18));
        QCOMPARE(f.ew<QPushButton>("Command1")->text(), QStringLiteral("返 回"));
        // No caption is clipped.
        for (const QLabel *label : f.editor.findChildren<QLabel *>())
            QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->width(),
                     qPrintable(label->objectName()));
        for (const QPushButton *button : f.editor.findChildren<QPushButton *>())
            QVERIFY2(button->fontMetrics().horizontalAdvance(button->text()) + 8 <= button->width(),
                     qPrintable(button->objectName()));
    }

    // Buttons, frames and count; a button pressed while a reply is awaited
    // waits, so the reply fills its own column and the write sends its own.
    void buttons()
    {
        ControlFixture f;
        f.fill(3, "4 300 10 20 25.5 120 30 8 50");
        f.eclick("read6");
        f.eclick("write3");
        QCOMPARE(f.controlPort.sent().size(), 1);
        f.reply(testsupport::registersBody(2, 3, {0xFF05, 0x8005, -3, 0, 0, 0, 0}));
        QCOMPARE(f.column(6), QStringLiteral("0 5 -127 5 -3 0 0 0 0"));
        QCOMPARE(f.sent(), rtuFrame(hex("0210013800070E052C0A14001A0078001E00080032")));
        QCOMPARE(f.etext("Text1"), QString::fromLatin1(f.sent().toHex().toUpper()));
        f.reply(hex("021001380007"));
        QCOMPARE(f.etext("Text2"), QStringLiteral("写通道3控制参数成功"));
        QCOMPARE(f.etext("Text3"),
                 QString::fromLatin1(rtuFrame(hex("021001380007")).toHex().toUpper()));
        QCOMPARE(f.etext("Text4"), QStringLiteral("2"));
        QCOMPARE(f.box(1, 3)->text(), QStringLiteral("300")); // until read again
    }

    void writeRefused_data()
    {
        QTest::addColumn<QString>("boxes");
        QTest::addColumn<QString>("message");
        QTest::newRow("initial texts") << ""
                                       << "通道6的启动顺序“StartStep”不是数字，没有写入。";
        QTest::newRow("packed") << "128 5 0 10 250 100 20 5 30"
                                << "通道6的启动顺序×256+输入通道超出-32768..32767，没有写入。";
        QTest::newRow("single") << "1 5 0 10 250 100 20 5 40000"
                                << "通道6的控制范围超出-32768..32767，没有写入。";
    }
    void writeRefused()
    {
        QFETCH(QString, boxes);
        QFETCH(QString, message);
        ControlFixture f;
        if (!boxes.isEmpty())
            f.fill(6, boxes);
        f.asker.asked.clear();
        f.eclick("write6");
        QCOMPARE(f.asker.kinds(), QStringList{"inform"});
        QCOMPARE(f.asker.asked[0].text, message);
        QVERIFY(f.controlPort.sent().isEmpty());
    }

    // Two blanks apart, CR LF, GB2312; texts that reading would split are
    // quoted, so a restore gives back exactly what was saved. A double quote
    // refuses the save.
    void saveAndRestore()
    {
        ControlFixture f;
        for (int c = 0; c < 9; ++c)
            f.fill(c, QStringLiteral("1 2 0 10 250 100 20 5 %1").arg(30 + c));
        f.box(4, 2)->setText("设定 值");
        f.box(5, 2)->setText("");
        f.box(6, 2)->setText("1,5");
        f.asker.texts = {QStringLiteral("ctl")};
        f.eclick("SaveCmd");
        QCOMPARE(f.asker.asked[0].text,
                 QStringLiteral("存储文件名：(如果文件名没有扩展名，则自动加扩展名.CON)|Norvik"));
        QByteArray expected;
        for (int c = 0; c < 9; ++c)
            expected +=
                c == 2
                    ? gb2312Line(QStringLiteral("1  2  0  10  \"设定 值\"  \"\"  \"1,5\"  5  32"))
                    : "1  2  0  10  250  100  20  5  " + QByteArray::number(30 + c) + "\r\n";
        QCOMPARE(fileBytes("ctl.CON"), expected);
        const QString saved = f.column(2);
        f.fill(2, "a b c d e f g h i");
        f.restore(m_dir->filePath("ctl.CON"));
        QVERIFY(f.asker.asked.isEmpty());
        QCOMPARE(f.column(2), saved);

        // An existing file is replaced only on OK.
        f.asker.texts = {QStringLiteral("ctl")};
        f.asker.confirms = {false};
        f.box(0, 0)->setText("9");
        f.eclick("SaveCmd");
        QCOMPARE(f.asker.asked.last().text, QStringLiteral("文件ctl.CON已经存在，要替换吗"));
        QCOMPARE(fileBytes("ctl.CON"), expected);
        f.asker.asked.clear();
        f.box(3, 5)->setText("say \"hi\"");
        f.eclick("SaveCmd");
        QCOMPARE(f.asker.kinds(), QStringList{"inform"});
        QCOMPARE(f.asker.asked[0].text,
                 QStringLiteral("通道5的采样时间含有双引号或换行，无法保存。"));
    }

    // Channel by channel in row order, whatever the layout; a file with
    // fewer than 81 values changes nothing; the module is not written.
    void restoreFills()
    {
        ControlFixture f;
        QByteArray any;
        for (int i = 0; i < 81; ++i)
            any += QByteArray::number(i) + (i % 4 ? "," : "\r\n");
        writeFile("any.con", any + "99");
        writeFile("short.con", any.left(any.lastIndexOf(',')));
        f.restore(m_dir->filePath("short.con"));
        QCOMPARE(f.asker.kinds(), QStringList{"inform"});
        QCOMPARE(f.box(0, 0)->text(), QStringLiteral("StartStep"));
        f.restore(m_dir->filePath("any.con"));
        QVERIFY(f.asker.asked.isEmpty());
        QCOMPARE(f.column(1), QStringLiteral("9 10 11 12 13 14 15 16 17"));
        QCOMPARE(f.box(8, 8)->text(), QStringLiteral("80"));
        QVERIFY(f.controlPort.sent().isEmpty());
    }

    // A file that is no small GB2312 .CON file, or holds a value no box could
    // save again, is named with the reason and changes no box.
    void restoreRefusals_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content"); // "fifo": a named pipe
        QTest::addColumn<QString>("reason");
        QByteArray values; // 81 numbers
        for (int i = 0; i < 81; ++i)
            values += QByteArray::number(i) + (i % 9 == 8 ? "\r\n" : "  ");
        QTest::newRow("pipe") << "x.CON" << QByteArray("fifo")
                              << "它不是普通文件（而是文件夹、设备或管道）";
        QTest::newRow("too large") << "big.CON" << values + QByteArray(64 * 1024, ' ')
                                   << "它有65850字节，参数文件不超过65536字节";
        QTest::newRow("UTF-8") << "u.CON" << QStringLiteral("温度  ").toUtf8() + values
                               << "它是UTF-8编码的文本，不是GB2312编码";
        QTest::newRow("line break in the last value")
            << "lb.CON" << values.left(values.lastIndexOf("80")) + "\"8\r\n0\""
            << "通道8的控制范围含有双引号或换行";
        QTest::newRow("double quote") << "q.CON"
                                      << "1\"2  " + values << "通道0的启动顺序含有双引号或换行";
        QTest::newRow("alarm file")
            << "p.alm" << values << "它是报警参数文件（.ALM），不是控制参数文件（.CON）";
    }
    void restoreRefusals()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QString, reason);
        ControlFixture f;
        if (content == "fifo")
            QCOMPARE(mkfifo(QFile::encodeName(name).constData(), 0600), 0);
        else
            writeFile(name, content);
        const QString before = f.column(0);
        f.restore(m_dir->filePath(name));
        QCOMPARE(f.asker.kinds(), QStringList{"inform"});
        QCOMPARE(f.asker.asked[0].text,
                 QStringLiteral("文件%1没有恢复：%2").arg(m_dir->filePath(name), reason));
        QCOMPARE(f.column(0), before);
    }

    // A character GB2312 lacks is named before any name is asked for.
    void saveRefusesCharactersGb2312Lacks()
    {
        ControlFixture f;
        f.box(4, 3)->setText("25€😀€");
        f.asker.asked.clear();
        f.eclick("SaveCmd");
        QCOMPARE(f.asker.kinds(), QStringList{"inform"});
        QCOMPARE(f.asker.asked[0].text,
                 QStringLiteral("通道3的设置温度含有GB2312编码中没有的字符“€”“😀”，无法保存。"));
        QVERIFY(QDir::current().entryList(QDir::Files).isEmpty());
    }

    // Only a plain file name in the current folder is saved; blanks around it
    // are dropped. Anything else is refused with a message, nothing written.
    void saveNames_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message"); // empty: saved as ctl.CON
        const QString dots = QStringLiteral("“%1”不是文件名：不能以“.”开头或结尾。没有保存。");
        const QString slash =
            QStringLiteral("“%1”不是文件名：不能含有“/”或“\\”，文件保存在当前文件夹。没有保存。");
        QTest::newRow("blanks around") << "  ctl "
                                       << "";
        QTest::newRow("blanks only") << "   "
                                     << "文件名只有空格，没有保存。";
        QTest::newRow("..") << ".." << dots.arg("..");
        QTest::newRow("hidden") << ".ctl" << dots.arg(".ctl");
        QTest::newRow("no extension") << "ctl." << dots.arg("ctl.");
        QTest::newRow("up a folder") << "../x" << slash.arg("../x");
        QTest::newRow("colon") << "c:x"
                               << "“c:x”不是文件名：不能含有控制字符或 < > : \" | ? *。没有保存。";
        QTest::newRow("folder") << "sub"
                                << "sub.CON是文件夹，没有保存。";
    }
    void saveNames()
    {
        QFETCH(QString, typed);
        QFETCH(QString, message);
        QVERIFY(QDir().mkdir("sub.CON"));
        ControlFixture f;
        f.asker.asked.clear();
        f.asker.texts = {typed};
        f.eclick("SaveCmd");
        const QStringList files =
            QDir::current().entryList(QDir::Files | QDir::Hidden | QDir::System);
        if (message.isEmpty()) {
            QCOMPARE(f.asker.kinds(), QStringList{"text"});
            QCOMPARE(files, QStringList{"ctl.CON"});
            return;
        }
        QCOMPARE(f.asker.kinds(), (QStringList{"text", "inform"}));
        QCOMPARE(f.asker.asked[1].text, message);
        QVERIFY(files.isEmpty());
        QVERIFY(!QFile::exists("../x.CON"));
    }

    // The editor's own port cannot be opened: reported once, by a warning
    // that does not stop the sweep's tick; nothing waits to be sent.
    void portFailureReported()
    {
        UiFixture f;
        f.controlPort.failOpen(QStringLiteral("No such file or directory"));
        f.click("Command2");
        EditorLink &link = f.program.controlLink;
        link.sweepTimer().stop();
        f.asker.asked.clear();
        for (int tick = 0; tick < 3; ++tick)
            link.onSweepTick();
        QCOMPARE(f.asker.kinds(), QStringList{"warn"});
        QVERIFY(f.asker.asked[0].text.contains(QStringLiteral("文件或目录不存在")));
        QCOMPARE(link.waiting(), 0);
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_MAIN(TestControlEditor)
#include "tst_controleditor.moc"
