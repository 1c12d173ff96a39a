// One operator's session on the three lines the simulator serves: its
// pseudo-terminal, a serial device server (--tcp, "127.0.0.1:N" typed into the
// port box) and a Modbus TCP gateway (--mbap, "mbap://127.0.0.1:N"). The
// session scans addresses 1..5, runs the ASCII module 5 and the RTU module 2
// through their start bursts and some rotation, sweeps the control editor and
// writes one channel, then sweeps the alarm editor and writes one block. The
// same requests must reach the modules in the same order (on --tcp the same
// bytes, on --mbap the same station, function and data), and the windows must
// show the same values, whichever line carried them.

#include "simfixture.h"
#include "ui/monitor/trafficlog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace krv;

namespace {

// The main window's fields that show the identification, the system block,
// the sensor codes and the calibration; the measurements move by themselves.
const QStringList MainBoxes = {"Text12",   "Address",  "Text6",    "AdjAD590", "MadeDate",
                               "MadeTime", "POutTime", "EngCalb0", "EngCalb1", "EngCalb2",
                               "EngCalb3", "EngCalb4", "EngCalb5", "EngCalb6", "EngCalb7"};
const QStringList MainLists = {
    "SysSensor",   "Seperate",    "Chnl8",       "Baud",        "Filter",      "Comp",
    "ProtocolSel", "Request",     "OutByte",     "ChnlSensor0", "ChnlSensor1", "ChnlSensor2",
    "ChnlSensor3", "ChnlSensor4", "ChnlSensor5", "ChnlSensor6", "ChnlSensor7"};
// The alarm editor's boxes that are no parameter: status, counters and the
// single-request fields.
const QStringList AlarmStatusBoxes = {"Text1", "Text2", "Text3", "Text4",
                                      "text5", "Text6", "Text7", "Text8"};

QString framingName(Framing framing)
{
    switch (framing) {
    case Framing::Ascii:
        return QStringLiteral("ASCII");
    case Framing::Mbap:
        return QStringLiteral("TCP");
    case Framing::Rtu:
        break;
    }
    return QStringLiteral("RTU");
}

// What one session left behind.
struct Session
{
    bool done = false;
    QStringList scanSteps;    // "address framing" per scan tick
    QStringList modulesFound; // the module list after the scan
    // What the windows showed, by "window/field"; written once per phase.
    QMap<QString, QString> shown;
    QStringList simLog;            // the simulator's whole -v log
    QList<SimLogFrame> requests;   // the requests a module heard, in order
    QList<TrafficRow> monitorRows; // the traffic monitor's rows
};

// A request of the simulator's log as a Modbus TCP line carries it: its
// transaction id and its body; also one for a unit no module has.
struct MbapRequest
{
    int connection = 0; // the how-manieth client of the simulator
    quint16 transactionId = 0;
    QByteArray body;
};

QList<MbapRequest> mbapRequests(const QStringList &log)
{
    QList<MbapRequest> out;
    int connection = 0;
    for (const QString &line : log) {
        if (line.contains(QStringLiteral(" mbap: ")) && line.endsWith(QStringLiteral(" connected")))
            ++connection;
        QString hex;
        if (const std::optional<SimLogFrame> f = SimLogFrame::parse(line); f && f->received)
            hex = f->text;
        else if (line.contains(QStringLiteral("[MBAP] no module at unit ")))
            hex = line.section(QStringLiteral(": "), 1);
        if (hex.isEmpty())
            continue;
        const QByteArray bytes = QByteArray::fromHex(hex.toLatin1());
        if (bytes.size() < 8)
            continue;
        out.append({connection,
                    static_cast<quint16>(static_cast<quint8>(bytes[0]) << 8 |
                                         static_cast<quint8>(bytes[1])),
                    bytes.mid(6)});
    }
    return out;
}

} // namespace

class TestE2ETcp : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void tcpCarriesTheSameBytesAsTheSerialLine();
    void mbapCarriesTheSamePdusWithRisingTransactionIds();
    void windowsShowTheSameValuesOnEveryLine();
    void mbapScanTriesEachAddressOnce();
    void monitorShowsMbapFramesAsTcpWithTheirTransactionIds();

private:
    void runSession(SimLine line, Session &out);
    static void recordMainWindow(SimFixture &f, const QString &phase, Session &out);

    QTemporaryDir m_settings;
    Session m_pty, m_tcp, m_mbap;
};

void TestE2ETcp::initTestCase()
{
    QGuiApplication::setQuitOnLastWindowClosed(false);
    // The monitor windows keep their settings: in a directory of the test.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
    if (!QFileInfo::exists(QStringLiteral(KRV_SIM_PATH)))
        QSKIP("krv2060-sim is not built");
    runSession(SimLine::Pty, m_pty);
    QVERIFY(m_pty.done);
    runSession(SimLine::Tcp, m_tcp);
    QVERIFY(m_tcp.done);
    runSession(SimLine::Mbap, m_mbap);
    QVERIFY(m_mbap.done);
}

void TestE2ETcp::recordMainWindow(SimFixture &f, const QString &phase, Session &out)
{
    for (const QString &name : MainBoxes)
        out.shown[phase + u'/' + name] = f.text(name);
    for (const QString &name : MainLists)
        out.shown[phase + u'/' + name] = f.combo(name)->currentText();
}

void TestE2ETcp::runSession(SimLine line, Session &out)
{
    SimFixture f;
    QString error;
    QVERIFY2(f.start(&error, {}, line), qPrintable(error));
    QCOMPARE(f.program->mainWindow.findChild<PortList *>("ComPort")->address().kind,
             line == SimLine::Pty   ? LineAddress::Kind::ComNumber
             : line == SimLine::Tcp ? LineAddress::Kind::Tcp
                                    : LineAddress::Kind::Mbap);
    f.program->monitors.showTrafficMonitor();
    const bool mbap = line == SimLine::Mbap;

    // The scan, through address 5 in the last framing it tries.
    ModuleScan &scan = f.program->scan;
    QSignalSpy steps(&scan, &ModuleScan::stepped);
    const auto lastStep = [&steps] {
        const QList<QVariant> &s = steps.constLast();
        return std::pair{s.at(0).toInt(), s.at(1).value<Framing>()};
    };
    const Framing lastFraming = mbap ? Framing::Mbap : Framing::Rtu;
    f.click("Command5");
    scan.tickTimer().stop();
    // Station 0 is never asked: its ticks send nothing.
    do {
        scan.onTick();
        QVERIFY(!f.program->engine.outstanding());
    } while (lastStep() != std::pair(0, lastFraming));
    while (lastStep() != std::pair(5, lastFraming))
        QVERIFY(f.step([&scan] { scan.onTick(); }));
    f.click("Command7");
    for (const QList<QVariant> &s : steps)
        out.scanSteps << QStringLiteral("%1 %2")
                             .arg(s.at(0).toInt())
                             .arg(framingName(s.at(1).value<Framing>()));
    QComboBox *modules = f.combo("ModNO");
    for (int i = 0; i < modules->count(); ++i)
        out.modulesFound << modules->itemText(i);
    QCOMPARE(out.modulesFound, (QStringList{"MOD(2)", "MOD(5)"}));

    // Module 5 (ASCII on a serial line) from the list: its start burst and a
    // rotation.
    modules->setCurrentIndex(1);
    f.run();
    if (!mbap)
        QCOMPARE(f.combo("Protocol")->currentText(), QStringLiteral("ASCII"));
    QVERIFY(f.ticks(11));
    QCOMPARE(f.text("Text12"), QStringLiteral("ZEZADO2040ZOZE  Version5.2"));
    QVERIFY(f.ticks(8));
    QCOMPARE(f.text("Text3"), QString()); // no time-out
    recordMainWindow(f, QStringLiteral("module5"), out);
    f.click("Command7");

    // Module 2 (RTU): the same.
    modules->setCurrentIndex(0);
    f.run();
    QVERIFY(f.ticks(11));
    QCOMPARE(f.text("Text12"), QStringLiteral("REREVE2060RIDU  Version5.3"));
    QVERIFY(f.ticks(8));
    QCOMPARE(f.text("Text3"), QString());
    recordMainWindow(f, QStringLiteral("module2"), out);

    // The control editor: its sweep, then channel 3 written and read back.
    ControlEditorOnSim control{f};
    f.click("Command2");
    control.link.sweepTimer().stop();
    for (int b = 0; b < 9; ++b)
        QVERIFY(SimFixture::stepOn(control.link.engine(), [&] { control.link.onSweepTick(); }));
    for (int c = 0; c < 9; ++c) {
        QCOMPARE(control.column(c), control.simColumn(c));
        out.shown[QStringLiteral("control/%1").arg(c)] = control.column(c).join(u' ');
    }
    QCOMPARE(control.text("Text2"), QString());
    control.box(0, 3)->setText("2");
    control.box(1, 3)->setText("300");
    control.box(4, 3)->setText("456.5");
    QVERIFY(control.press("write3"));
    QCOMPARE(control.text("Text2"), QStringLiteral("写通道3控制参数成功"));
    for (int r = 0; r < 9; ++r)
        control.box(r, 3)->setText("?");
    QVERIFY(control.press("read3"));
    QCOMPARE(control.column(3), control.simColumn(3));
    out.shown[QStringLiteral("control/written 3")] = control.column(3).join(u' ');
    // "返 回", and straight on to the alarm editor (no polling tick between).
    control.click("Command1");
    QVERIFY(f.program->mainWindow.isVisible());

    // The alarm editor: its sweep, then channel 3's block written and read back.
    f.click("Command3");
    AlarmEditor &alarm = f.program->alarmEditor;
    EditorLink &alarmLink = f.program->alarmLink;
    QVERIFY(alarm.isVisible());
    alarmLink.sweepTimer().stop();
    const auto box = [&alarm](const QString &name) { return alarm.findChild<QLineEdit *>(name); };
    const auto press = [&](const QString &name) {
        return SimFixture::stepOn(alarmLink.engine(), [&] {
            QTest::mouseClick(alarm.findChild<QPushButton *>(name), Qt::LeftButton);
        });
    };
    for (int b = 0; b < 9; ++b)
        QVERIFY(SimFixture::stepOn(alarmLink.engine(), [&] { alarmLink.onSweepTick(); }));
    const auto recordAlarm = [&](const QString &phase) {
        for (QLineEdit *mine : alarm.findChildren<QLineEdit *>()) {
            if (!mine->objectName().isEmpty() && !AlarmStatusBoxes.contains(mine->objectName()))
                out.shown[phase + u'/' + mine->objectName()] = mine->text();
        }
        for (const char *name : {"PReqOut", "StartCon", "ModAddr"})
            out.shown[phase + u'/' + QLatin1String(name)] =
                alarm.findChild<QComboBox *>(name)->currentText();
    };
    recordAlarm(QStringLiteral("alarm"));
    QCOMPARE(box("Text2")->text(), QString());
    const QStringList fields = {"InSel3", "SetVal3", "SamTime3", "PreAlmCon3"};
    const QStringList values = {"700", "-200", "-5", "1"};
    for (int i = 0; i < 4; ++i)
        box(fields[i])->setText(values[i]);
    QVERIFY(press("write3"));
    QCOMPARE(box("Text2")->text(), QStringLiteral("写通道3报警参数成功"));
    for (const QString &name : fields)
        box(name)->setText("spoilt");
    QVERIFY(press("read3"));
    QCOMPARE(box("InSel3")->text(), QStringLiteral("700"));
    QCOMPARE(box("SamTime3")->text(), QStringLiteral("4091"));
    recordAlarm(QStringLiteral("alarm written"));

    QTest::qWait(200); // the simulator's last log lines
    out.simLog = f.sim.log();
    for (const SimLogFrame &frame : f.sim.frames()) {
        if (frame.received)
            out.requests << frame;
    }
    TrafficLog &log = f.program->monitors.trafficLog();
    log.flush();
    for (int r = 0; r < log.rowCount(); ++r)
        out.monitorRows << log.row(r);
    QCOMPARE(f.asker.asked.size(), 0);
    out.done = true;
}

// The serial device server carries the frames unchanged: each module hears
// the very bytes it heard on the pseudo-terminal, in the same order.
void TestE2ETcp::tcpCarriesTheSameBytesAsTheSerialLine()
{
    const auto heard = [](const Session &s) {
        QStringList out;
        for (const SimLogFrame &f : s.requests)
            out << f.tag + QStringLiteral(" rx ") + f.text;
        return out;
    };
    const QStringList onPty = heard(m_pty);
    // Two found by the scan, two bursts with a rotation each, two sweeps with
    // a write and a read each.
    QVERIFY(onPty.size() >= 2 + 2 * 19 + 2 * 11);
    QVERIFY(!onPty.filter(QStringLiteral("[5 ASCII 9600] rx :05")).isEmpty());
    QCOMPARE(heard(m_tcp), onPty);
}

// On Modbus TCP each request carries the station as its unit id and the same
// function and data as on the serial line; each client's transaction ids go
// up by one from request to request, and each reply answers with its request's.
void TestE2ETcp::mbapCarriesTheSamePdusWithRisingTransactionIds()
{
    const auto pdus = [](const Session &s) {
        QStringList out;
        for (const SimLogFrame &f : s.requests)
            out << f.bodyHex();
        return out;
    };
    QCOMPARE(pdus(m_mbap), pdus(m_pty));
    for (const SimLogFrame &f : m_mbap.requests) {
        QVERIFY(f.tag.endsWith(QStringLiteral(" MBAP]")));
        QCOMPARE(f.tag, QStringLiteral("[%1 MBAP]").arg(static_cast<quint8>(f.body[0])));
    }

    const QList<MbapRequest> sent = mbapRequests(m_mbap.simLog);
    // The requests a module heard, and three scan requests to no module.
    QCOMPARE(sent.size(), m_mbap.requests.size() + 3);
    // The main window's line (opened again by each "运 行"), the control
    // editor's and the alarm editor's.
    QVERIFY(sent.constLast().connection >= 4);
    for (qsizetype i = 1; i < sent.size(); ++i) {
        if (sent[i].connection == sent[i - 1].connection)
            QCOMPARE(sent[i].transactionId, quint16(sent[i - 1].transactionId + 1));
    }
    // Every reply carries the transaction id of the request before it.
    const QStringList log = m_mbap.simLog;
    for (qsizetype i = 0; i + 1 < log.size(); ++i) {
        const std::optional<SimLogFrame> asked = SimLogFrame::parse(log[i]);
        if (!asked || !asked->received)
            continue;
        const std::optional<SimLogFrame> reply = SimLogFrame::parse(log[i + 1]);
        QVERIFY(reply && !reply->received);
        QCOMPARE(reply->transactionId, asked->transactionId);
    }
}

// Identification, system block, sensor codes, calibration and both editors'
// fields read the same over every line.
void TestE2ETcp::windowsShowTheSameValuesOnEveryLine()
{
    // Both modules' fields, nine control columns and the one written, and
    // over thirty alarm fields twice.
    QVERIFY(m_pty.shown.size() >= 2 * (MainBoxes.size() + MainLists.size()) + 10 + 2 * 30);
    QCOMPARE(m_pty.shown.value("module5/ProtocolSel"), QStringLiteral("ASCII"));
    QCOMPARE(m_pty.shown.value("module2/ProtocolSel"), QStringLiteral("RTU"));
    QCOMPARE(m_pty.shown.value("control/written 3").section(u' ', 0, 1), QStringLiteral("3 44"));
    QCOMPARE(m_pty.shown.value("alarm written/SetVal3"), QStringLiteral("-200"));
    for (const Session *other : {&m_tcp, &m_mbap}) {
        for (auto it = m_pty.shown.cbegin(); it != m_pty.shown.cend(); ++it)
            QCOMPARE(other->shown.value(it.key(), QStringLiteral("(missing)")), it.value());
        QCOMPARE(other->shown.size(), m_pty.shown.size());
    }
}

// A serial line is scanned in ASCII and in RTU at each address; a Modbus
// TCP gateway frames the request itself, so each address is asked once, and
// both modules are found all the same.
void TestE2ETcp::mbapScanTriesEachAddressOnce()
{
    const QStringList serial = {"0 ASCII", "0 RTU", "1 ASCII", "1 RTU", "2 ASCII", "2 RTU",
                                "3 ASCII", "3 RTU", "4 ASCII", "4 RTU", "5 ASCII", "5 RTU"};
    QCOMPARE(m_pty.scanSteps, serial);
    QCOMPARE(m_tcp.scanSteps, serial);
    QCOMPARE(m_mbap.scanSteps, (QStringList{"0 TCP", "1 TCP", "2 TCP", "3 TCP", "4 TCP", "5 TCP"}));
    for (const Session *s : {&m_pty, &m_tcp, &m_mbap})
        QCOMPARE(s->modulesFound, (QStringList{"MOD(2)", "MOD(5)"}));

    // Each address reached the gateway once: 1, 3 and 4 to no module.
    const QList<MbapRequest> sent = mbapRequests(m_mbap.simLog);
    QStringList scanned;
    for (qsizetype i = 0; i < 5; ++i)
        scanned << QString::fromLatin1(sent[i].body.toHex(' ').toUpper());
    QCOMPARE(scanned, (QStringList{"01 11", "02 11", "03 11", "04 11", "05 11"}));
    QCOMPARE(m_mbap.simLog.filter(QStringLiteral("no module at unit")).size(), 3);
}

// The traffic monitor shows a Modbus TCP frame as "TCP", its decoding led by
// its transaction id: those of the frames sent are the ones the gateway got.
void TestE2ETcp::monitorShowsMbapFramesAsTcpWithTheirTransactionIds()
{
    QStringList shownIds;
    int answers = 0;
    for (const TrafficRow &row : m_mbap.monitorRows) {
        QCOMPARE(TrafficLog::cellText(row, TrafficLog::Framing, Wording::File),
                 QStringLiteral("TCP"));
        const QString decoding = TrafficLog::cellText(row, TrafficLog::Decoding, Wording::File);
        if (row.kind == TrafficEvent::Kind::Sent)
            shownIds << decoding.section(u' ', 0, 0);
        if (row.kind == TrafficEvent::Kind::Answer) {
            // An answer shows its own id: its request's.
            ++answers;
            QCOMPARE(decoding.section(u' ', 0, 0), shownIds.constLast());
        }
    }
    QVERIFY(answers > 50);
    QStringList sentIds;
    for (const MbapRequest &r : mbapRequests(m_mbap.simLog))
        sentIds << QStringLiteral("事务%1").arg(r.transactionId);
    QCOMPARE(shownIds, sentIds);

    // Serial framings on the other lines, and no transaction ids.
    for (const Session *s : {&m_pty, &m_tcp}) {
        QStringList framings;
        for (const TrafficRow &row : s->monitorRows) {
            const QString framing = TrafficLog::cellText(row, TrafficLog::Framing, Wording::File);
            if (!framings.contains(framing))
                framings << framing;
            QVERIFY(!TrafficLog::cellText(row, TrafficLog::Decoding, Wording::File)
                         .startsWith(QStringLiteral("事务")));
        }
        framings.sort();
        QCOMPARE(framings, (QStringList{"ASCII", "RTU"}));
    }
}

QTEST_MAIN(TestE2ETcp)
#include "tst_e2e_tcp.moc"
