#pragma once
// The whole program on an in-memory port, with the operator's answers to
// message and input boxes scripted in advance and the system's serial ports
// as the test lists them (none unless it does).

#include "app/program.h"
#include "protocol/modbusframing.h"
#include "scriptedasker.h"
#include "testsupport.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

// The serial ports "the system" lists.
struct StandInPorts : krv::PortInfoSource
{
    QList<krv::SerialPortDescription> listed;
    QList<krv::SerialPortDescription> ports() const override { return listed; }
};

struct UiFixture
{
    ScriptedAsker asker;
    testsupport::MemoryPort port;
    testsupport::MemoryPort controlPort; // the editors' own components
    testsupport::MemoryPort alarmPort;
    StandInPorts systemPorts;
    krv::Program program{{port, controlPort, alarmPort}, asker, &systemPorts};
    krv::MainWindow &window = program.mainWindow;
    krv::SharedState &state = program.state;

    // The main engine's clock: a tick moves it on by the polling period, so
    // that a request timed out some ticks ago is no longer waited for.
    qint64 now = 0;

    UiFixture()
    {
        program.engine.setClock([this] { return now; });
        window.show();
    }

    template <class T> T *w(const QString &name) const
    {
        T *widget = window.findChild<T *>(name);
        if (!widget)
            qFatal("no widget %s", qPrintable(name));
        return widget;
    }
    QLineEdit *edit(const QString &name) const { return w<QLineEdit>(name); }
    QComboBox *combo(const QString &name) const { return w<QComboBox>(name); }
    QPushButton *button(const QString &name) const { return w<QPushButton>(name); }
    QString text(const QString &name) const { return edit(name)->text(); }
    void click(const QString &name) { QTest::mouseClick(button(name), Qt::LeftButton); }

    // Presses "运 行" and takes the real timer off again, so that the test
    // runs every tick itself. Unless `identify` is false, the module counts as
    // identified from the start (its firmware as the state holds it), so that
    // every reply is decoded as it comes.
    void startPolling(bool identify = true)
    {
        click(QStringLiteral("Start"));
        QVERIFY(program.polling.tickTimer().isActive());
        program.polling.tickTimer().stop();
        if (identify)
            identified();
    }
    // The selected module has identified itself (editors open on it).
    void identified() { state.module.firmwareKnown = true; }
    void tick()
    {
        now += 300;
        program.polling.onTick();
    }

    QByteArray lastSent() const { return testsupport::lastSent(port); }
    // The request bodies sent since the list was cleared, without check bytes,
    // as hex text (RTU only).
    QStringList sentBodies() const { return testsupport::sentBodies(port); }
    // The reply body framed as the selected slot frames it.
    void reply(const QByteArray &body)
    {
        port.receive(testsupport::framed(body, state.moduleSlots.selectedIsAscii()));
    }
    // Runs the request of one code and answers it from the station asked.
    void answer(qint16 code, QByteArray body)
    {
        now += 300;
        program.polling.execute(code);
        body[0] = char(state.moduleSlots.selectedAddress());
        reply(body);
    }
};

namespace krv {
// How QCOMPARE shows a line address.
inline char *toString(const LineAddress &address)
{
    return QTest::toString(
        address.valid() ? address.text() : QStringLiteral("invalid (%1)").arg(int(address.fault)));
}
} // namespace krv

// Reply bodies of module 1.
inline QByteArray registersBody(quint8 function, const QList<int> &values)
{
    return testsupport::registersBody(1, function, values);
}

// Short system block (firmware before 5.3).
inline QByteArray systemBody(quint8 sensor, quint8 comm, quint8 coldAdj = 0, quint8 address = 1)
{
    QByteArray b = QByteArray::fromHex("01030C");
    b.append(char(0x01)).append(char(0x2C)); // serial number 300
    b.append(char(sensor)).append(char(comm));
    b.append(char(0x07)).append(char(0xD6)); // 2006
    b.append(char(7)).append(char(3));       // day 7, month 3
    b.append(char(5)).append(char(9));       // minute 5, hour 9
    b.append(char(coldAdj)).append(char(address));
    return b;
}
