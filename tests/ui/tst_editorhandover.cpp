// The line lent by the main window to an editor and given back, and the file
// chooser between an editor and its parameter file: its answer reaches the
// editor that asked, once, and closing it by its title bar is a cancel.
#include "uifixture.h"

#include <QCloseEvent>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>
#include <QtTest>

using namespace krv;

namespace {
const QStringList ControlRowNames{"StartStep", "InSel", "Phase", "SamTime", "SetVal",
                                  "SerD0",     "SerD1", "SerD2", "CtrlArea"};

template <class T> T *child(const QWidget &window, const QString &name)
{
    T *widget = window.findChild<T *>(name);
    if (!widget)
        qFatal("no widget %s", qPrintable(name));
    return widget;
}
void press(const QWidget &window, const QString &name)
{
    QTest::mouseClick(child<QPushButton>(window, name), Qt::LeftButton);
}

// The control editor's 81 boxes, channel by channel in row order.
QStringList controlBoxes(const ControlEditor &editor)
{
    QStringList out;
    for (int c = 0; c < BlockCount; ++c)
        for (const QString &row : ControlRowNames)
            out << child<QLineEdit>(editor, row + QString::number(c))->text();
    return out;
}
// Types a text of its own into each of the control editor's boxes.
QStringList typeIntoControlBoxes(ControlEditor &editor)
{
    for (int c = 0; c < BlockCount; ++c)
        for (int r = 0; r < ControlRowCount; ++r)
            child<QLineEdit>(editor, ControlRowNames[r] + QString::number(c))
                ->setText(QStringLiteral("%1").arg(100 * r + c));
    return controlBoxes(editor);
}

// A .CON file whose 81 values are 1000 + their position, and those values.
QStringList writeControlFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    QStringList values;
    for (int c = 0; c < BlockCount; ++c) {
        QStringList line;
        for (int r = 0; r < ControlRowCount; ++r)
            line << QString::number(1000 + c * ControlRowCount + r);
        file.write(line.join(QStringLiteral("  ")).toLatin1() + "\r\n");
        values << line;
    }
    return values;
}

// An .ALM file: channel c's upper limit 100 + c, then the block-8 fields.
void writeAlarmFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    for (int c = 0; c < ChannelCount; ++c)
        file.write(QByteArray::number(100 + c) + "  20  -50  1\r\n");
    file.write(" 1   3  7   0    1 \r\n");
}

// Names a file in the shown chooser and confirms it.
void confirmInChooser(FileChooser &chooser, const QString &directory, const QString &name)
{
    QVERIFY(chooser.isVisible());
    QVERIFY(chooser.setDirectory(directory));
    child<QComboBox>(chooser, "FileType")->setEditText(name);
    press(chooser, "Confirm");
    QVERIFY(!chooser.isVisible());
}
} // namespace

class TestEditorHandOver : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QGuiApplication::setQuitOnLastWindowClosed(false); }

    // "控制参数": polling and the reply timer stop, the main window's port
    // closes, the editor shows and sweeps on its own port configured from the
    // main window's lists; "返 回" reverses it.
    void controlEditorTakesAndReturnsTheLine()
    {
        UiFixture f;
        f.identified(); // polling has reached the module
        f.combo("ComPort")->setCurrentIndex(1);
        f.combo("CommRate")->setCurrentIndex(5);
        f.edit("Address")->setText("2");
        f.startPolling();
        f.tick();
        QVERIFY(f.port.isOpen());
        QVERIFY(f.program.engine.awaitingReply());

        f.click("Command2");
        QVERIFY(!f.window.isVisible());
        QVERIFY(!f.port.isOpen());
        QVERIFY(!f.program.engine.awaitingReply());
        QVERIFY(!f.program.polling.tickTimer().isActive());
        ControlEditor &editor = f.program.controlEditor;
        QVERIFY(editor.isVisible());
        EditorLink &link = f.program.controlLink;
        QVERIFY(link.sweepTimer().isActive());
        QCOMPARE(link.sweepTimer().interval(), 200);
        QCOMPARE(f.controlPort.address(), LineAddress::com(2));
        QCOMPARE(f.controlPort.settings(), QStringLiteral("38400,N,8,1"));
        link.sweepTimer().stop();
        QCOMPARE(f.port.sent().size(), 1);

        press(editor, "Command1");
        QVERIFY(!editor.isVisible());
        QVERIFY(!f.controlPort.isOpen());
        QVERIFY(f.window.isVisible());
        QVERIFY(f.program.polling.tickTimer().isActive());
        QVERIFY(!f.port.isOpen());
        QCOMPARE(f.port.address(), LineAddress::com(2));
        QCOMPARE(f.port.settings(), QStringLiteral("38400,N,8,1"));
        QCOMPARE(link.sweepBlock(), 0);
        f.program.polling.tickTimer().stop();
    }

    // Closing an editor by its title bar gives the line back as "返 回" does.
    void closingTheAlarmEditorReturns()
    {
        UiFixture f;
        f.identified(); // polling has reached the module
        f.click("Command3");
        AlarmEditor &editor = f.program.alarmEditor;
        QVERIFY(editor.isVisible());
        QVERIFY(f.program.alarmLink.sweepTimer().isActive());
        editor.close();
        QVERIFY(!editor.isVisible());
        QVERIFY(f.window.isVisible());
        QVERIFY(!f.program.alarmLink.sweepTimer().isActive());
        QVERIFY(f.program.polling.tickTimer().isActive());
        f.program.polling.tickTimer().stop();
    }

    // "恢复参数": the chooser opens for the asking editor, offering its type,
    // and hands back to it; a confirmed name that is no file is reported and
    // nothing is loaded.
    void chooserHandsBackToTheAskingEditor()
    {
        UiFixture f;
        f.identified(); // polling has reached the module
        QTemporaryDir dir;
        QVERIFY(QDir::setCurrent(dir.path()));
        f.click("Command3");
        AlarmEditor &alarm = f.program.alarmEditor;
        f.program.alarmLink.sweepTimer().stop();
        press(alarm, "LoadCmd");
        QVERIFY(!alarm.isVisible());
        FileChooser &chooser = f.program.fileChooser;
        QVERIFY(chooser.isVisible());
        QCOMPARE(chooser.directory(), QDir::toNativeSeparators(dir.path()));
        QCOMPARE(chooser.pattern(), QStringLiteral("*.ALM"));

        f.asker.asked.clear();
        press(chooser, "Confirm");
        QVERIFY(!chooser.isVisible());
        QVERIFY(alarm.isVisible());
        // Confirmed without picking a file: the type item's text is the name.
        QCOMPARE(f.asker.kinds(), QStringList{"inform"});
        QCOMPARE(f.asker.asked[0].text,
                 QStringLiteral("文件：%1/报警参数文件*.ALM不存在").arg(dir.path()));
        QCOMPARE(child<QLineEdit>(alarm, "InSel0")->text(), QStringLiteral("InSel"));

        // Cancel: nothing is loaded and nothing asked.
        f.asker.asked.clear();
        press(alarm, "LoadCmd");
        press(chooser, "Quit");
        QVERIFY(!chooser.isVisible());
        QVERIFY(alarm.isVisible());
        QVERIFY(f.asker.asked.isEmpty());
    }

    // The chooser closed by its title bar while the control editor waits for
    // it: the close is refused and taken as a cancel, so the editor comes
    // back with the values typed into it, still holding the line, and the
    // next "恢复参数" works as before, answered once.
    void closingTheChooserKeepsTheTypedValues()
    {
        UiFixture f;
        f.identified(); // polling has reached the module
        QTemporaryDir dir;
        QVERIFY(QDir::setCurrent(dir.path()));
        const QStringList fileValues = writeControlFile(dir.filePath("saved.CON"));
        f.click("Command2");
        ControlEditor &editor = f.program.controlEditor;
        EditorLink &link = f.program.controlLink;
        FileChooser &chooser = f.program.fileChooser;
        link.sweepTimer().stop();
        const QStringList typed = typeIntoControlBoxes(editor);
        f.asker.asked.clear();

        press(editor, "LoadCmd");
        QVERIFY(!editor.isVisible());
        QVERIFY(chooser.isVisible());
        // The window is only hidden: nothing sees a last window closed.
        QVERIFY(!chooser.close());
        QVERIFY(!chooser.isVisible());
        QVERIFY(editor.isVisible());
        QCOMPARE(controlBoxes(editor), typed);
        QVERIFY(f.asker.asked.isEmpty());
        // The editor keeps the line and works on.
        QVERIFY(!f.window.isVisible());
        QVERIFY(!f.program.polling.tickTimer().isActive());
        press(editor, "Read0");
        QCOMPARE(f.controlPort.sent().size(), 1);
        QCOMPARE(f.controlPort.sent().constLast(),
                 rtuFrame(controlReadRequest(f.state.moduleSlots.selectedStation(), 0).body));

        // A second "恢复参数", confirmed: the file is restored.
        press(editor, "LoadCmd");
        QVERIFY(!editor.isVisible());
        confirmInChooser(chooser, dir.path(), "saved.CON");
        QVERIFY(editor.isVisible());
        QVERIFY(f.asker.asked.isEmpty());
        QCOMPARE(controlBoxes(editor), fileValues);

        // A close event as the title bar sends it, then a name that is no
        // file: told once only, so no earlier request still listens.
        press(editor, "LoadCmd");
        QCloseEvent close;
        QApplication::sendEvent(&chooser, &close);
        QVERIFY(!close.isAccepted());
        QVERIFY(!chooser.isVisible());
        QVERIFY(editor.isVisible());
        QCOMPARE(controlBoxes(editor), fileValues);
        QVERIFY(f.asker.asked.isEmpty());
        press(editor, "LoadCmd");
        confirmInChooser(chooser, dir.path(), "missing.CON");
        QVERIFY(editor.isVisible());
        QCOMPARE(f.asker.kinds(), QStringList{"inform"});
        QCOMPARE(f.asker.asked[0].text,
                 QStringLiteral("文件：%1不存在").arg(dir.filePath("missing.CON")));
        QCOMPARE(controlBoxes(editor), fileValues);

        // A chooser answer that nobody asked for reaches no editor.
        QLineEdit *first = child<QLineEdit>(editor, "StartStep0");
        first->setText("typed again");
        f.asker.asked.clear();
        chooser.show();
        confirmInChooser(chooser, dir.path(), "saved.CON");
        QVERIFY(f.asker.asked.isEmpty());
        QCOMPARE(first->text(), QStringLiteral("typed again"));

        // "返 回" still gives the line back.
        press(editor, "Command1");
        QVERIFY(!editor.isVisible());
        QVERIFY(f.window.isVisible());
        QVERIFY(f.program.polling.tickTimer().isActive());
        f.program.polling.tickTimer().stop();
    }

    // A confirm in the chooser answers only the editor that opened it: an
    // .ALM file asked for by the alarm editor leaves the control editor's
    // boxes (and its hidden window) alone, even after the control editor's
    // own request was cancelled; and the other way round.
    void chooserAnswersOnlyTheAskingEditor()
    {
        UiFixture f;
        f.identified(); // polling has reached the module
        QTemporaryDir dir;
        QVERIFY(QDir::setCurrent(dir.path()));
        writeAlarmFile(dir.filePath("limits.ALM"));
        const QStringList fileValues = writeControlFile(dir.filePath("saved.CON"));
        ControlEditor &control = f.program.controlEditor;
        AlarmEditor &alarm = f.program.alarmEditor;
        FileChooser &chooser = f.program.fileChooser;

        f.click("Command2");
        f.program.controlLink.sweepTimer().stop();
        const QStringList typed = typeIntoControlBoxes(control);
        press(control, "LoadCmd");
        QVERIFY(!chooser.close());
        QVERIFY(control.isVisible());
        press(control, "Command1");
        QVERIFY(!control.isVisible());

        f.click("Command3");
        f.program.alarmLink.sweepTimer().stop();
        f.asker.asked.clear();
        press(alarm, "LoadCmd");
        QVERIFY(!alarm.isVisible());
        QCOMPARE(child<QComboBox>(chooser, "FileType")->currentText(),
                 QStringLiteral("报警参数文件*.ALM"));
        confirmInChooser(chooser, dir.path(), "limits.ALM");
        QVERIFY(alarm.isVisible());
        QVERIFY(f.asker.asked.isEmpty());
        QCOMPARE(child<QLineEdit>(alarm, "InSel7")->text(), QStringLiteral("107"));
        QCOMPARE(child<QLineEdit>(alarm, "ChnlSelect")->text(), QStringLiteral("7"));
        QVERIFY(!control.isVisible());
        QCOMPARE(controlBoxes(control), typed);

        // The control editor's confirm does not reach the alarm editor.
        child<QLineEdit>(alarm, "InSel7")->setText("-1");
        press(alarm, "Command1");
        f.click("Command2");
        f.program.controlLink.sweepTimer().stop();
        press(control, "LoadCmd");
        QCOMPARE(child<QComboBox>(chooser, "FileType")->currentText(),
                 QStringLiteral("控制参数文件*.CON"));
        confirmInChooser(chooser, dir.path(), "saved.CON");
        QVERIFY(control.isVisible());
        QVERIFY(!alarm.isVisible());
        QVERIFY(f.asker.asked.isEmpty());
        QCOMPARE(controlBoxes(control), fileValues);
        QCOMPARE(child<QLineEdit>(alarm, "InSel7")->text(), QStringLiteral("-1"));
        press(control, "Command1");
        f.program.polling.tickTimer().stop();
    }
};

QTEST_MAIN(TestEditorHandOver)
#include "tst_editorhandover.moc"
