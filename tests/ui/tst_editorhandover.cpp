// The line lent by the main window to an editor and given back, and the file
// chooser between an editor and its parameter file.
#include "uifixture.h"

#include <QListWidget>
#include <QTemporaryDir>
#include <QtTest>

using namespace krv;

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
        f.combo("ComPort")->setCurrentIndex(1);
        f.combo("CommRate")->setCurrentIndex(5);
        f.edit("Address")->setText("2");
        f.startPolling();
        f.tick();
        QVERIFY(f.port.portOpen());
        QVERIFY(f.program.engine.awaitingReply());

        f.click("Command2");
        QVERIFY(!f.form.isVisible());
        QVERIFY(!f.port.portOpen());
        QVERIFY(!f.program.engine.awaitingReply());
        QVERIFY(!f.program.polling.Timer1().isActive());
        ControlSet &editor = f.program.controlSet;
        QVERIFY(editor.isVisible());
        EditorLink &link = f.program.controlLink;
        QVERIFY(link.Timer1().isActive());
        QCOMPARE(link.Timer1().interval(), 200);
        QCOMPARE(f.controlPort.commPort(), 2);
        QCOMPARE(f.controlPort.settings(), QStringLiteral("38400,N,8,1"));
        link.Timer1().stop();
        QCOMPARE(f.port.sent().size(), 1);

        QTest::mouseClick(editor.findChild<QPushButton *>("Command1"), Qt::LeftButton);
        QVERIFY(!editor.isVisible());
        QVERIFY(!f.controlPort.portOpen());
        QVERIFY(f.form.isVisible());
        QVERIFY(f.program.polling.Timer1().isActive());
        QVERIFY(!f.port.portOpen());
        QCOMPARE(f.port.commPort(), 2);
        QCOMPARE(f.port.settings(), QStringLiteral("38400,N,8,1"));
        QCOMPARE(link.SweepChnl(), 0);
        f.program.polling.Timer1().stop();
    }

    // Closing an editor by its title bar gives the line back as "返 回" does.
    void closingTheAlarmEditorReturns()
    {
        UiFixture f;
        f.click("Command3");
        AlarmSet &editor = f.program.alarmSet;
        QVERIFY(editor.isVisible());
        QVERIFY(f.program.alarmLink.Timer1().isActive());
        editor.close();
        QVERIFY(!editor.isVisible());
        QVERIFY(f.form.isVisible());
        QVERIFY(!f.program.alarmLink.Timer1().isActive());
        QVERIFY(f.program.polling.Timer1().isActive());
        f.program.polling.Timer1().stop();
    }

    // "恢复参数": the chooser opens for the asking editor, and hands back to it;
    // a confirmed name that is no file is reported and nothing is loaded.
    void chooserHandsBackToTheAskingEditor()
    {
        UiFixture f;
        QTemporaryDir dir;
        QVERIFY(QDir::setCurrent(dir.path()));
        f.click("Command3");
        AlarmSet &alarm = f.program.alarmSet;
        f.program.alarmLink.Timer1().stop();
        QTest::mouseClick(alarm.findChild<QPushButton *>("LoadCmd"), Qt::LeftButton);
        QCOMPARE(f.state.files.FileRequester, qint16(1));
        QVERIFY(!alarm.isVisible());
        FileSearch &chooser = f.program.fileSearch;
        QVERIFY(chooser.isVisible());
        QCOMPARE(chooser.directory(), QDir::toNativeSeparators(dir.path()));

        f.asker.asked.clear();
        QTest::mouseClick(chooser.findChild<QPushButton *>("Confirm"), Qt::LeftButton);
        QVERIFY(!chooser.isVisible());
        QVERIFY(alarm.isVisible());
        QCOMPARE(f.asker.kinds(), QStringList{"inform"});
        // Confirmed without picking a file: the type item's text is the name.
        QCOMPARE(f.state.files.ChosenPath, dir.path() + QStringLiteral("/控制参数文件*.CON"));
        QVERIFY(f.asker.asked[0].text.startsWith("文件："));
        QVERIFY(f.asker.asked[0].text.endsWith("不存在"));
        QCOMPARE(f.state.files.FileChosen, qint16(0));

        // Cancel: nothing is loaded and nothing asked.
        f.asker.asked.clear();
        QTest::mouseClick(alarm.findChild<QPushButton *>("LoadCmd"), Qt::LeftButton);
        QTest::mouseClick(chooser.findChild<QPushButton *>("Quit"), Qt::LeftButton);
        QVERIFY(alarm.isVisible());
        QVERIFY(f.asker.asked.isEmpty());
    }
};

QTEST_MAIN(TestEditorHandOver)
#include "tst_editorhandover.moc"
