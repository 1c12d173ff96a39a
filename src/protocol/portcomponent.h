#pragma once
// The port component each communicating window owns: the line's address,
// settings text, open and close, transmit, waiting input, a receive threshold
// and a receive event. The base class keeps the receive buffer and raises the
// event when the waiting bytes reach the threshold, however the bytes were
// chunked; implementations only move bytes.

#include "protocol/lineaddress.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>

namespace krv {

struct PortSettings
{
    qint32 baud = 9600;
    bool valid = false;
};
// Parses "9600,N,8,1". Only no parity, 8 data bits, 1 stop bit are used here.
PortSettings parseSettings(const QString &settings);

// Device behind "COMn": on Windows the name itself; elsewhere the path in
// KRV2060_COMn when set, else /dev/ttyS<n-1>.
QString devicePathForPort(int n);

// A port that could not be opened or went away, as the windows report it.
struct PortFailure
{
    enum class Kind { CannotOpen, Lost };
    Kind kind = Kind::CannotOpen;
    QString portName;   // "COM1", "ttyUSB0", "TCP", "Modbus TCP"
    QString devicePath; // "/dev/ttyUSB0", "192.168.1.20:4001"
    QString reason;     // the system's words
};

class PortComponent : public QObject
{
    Q_OBJECT
public:
    explicit PortComponent(QObject *parent = nullptr);

    void setAddress(const LineAddress &address) { m_address = address; }
    const LineAddress &address() const { return m_address; }
    void setSettings(const QString &s) { m_settings = s; }
    QString settings() const { return m_settings; }
    // The line carries Modbus TCP frames (no RTU/ASCII framing).
    bool carriesMbap() const { return m_address.kind == LineAddress::Kind::Mbap; }

    // Closes an open port, then sets the address and the settings.
    void configure(const LineAddress &address, const QString &settings);

    virtual bool isOpen() const = 0;
    // Returns false when opening failed; the failure is then reported once
    // through failed().
    bool open();
    void close();

    // Sends all the bytes in order, nothing added. Bytes received before stay
    // waiting (discardInput() drops them).
    virtual void transmit(const QByteArray &bytes) = 0;

    qsizetype waitingCount() const { return m_waiting.size(); }
    // The waiting bytes, left waiting.
    QByteArrayView peekInput() const { return m_waiting; }
    void discardInput();
    // The number of waiting bytes at which thresholdReached() is raised.
    void setReceiveThreshold(int n)
    {
        m_threshold = n;
        receiveThresholdChanged();
    }
    int receiveThreshold() const { return m_threshold; }
    // All waiting bytes, oldest first; they leave the receive buffer.
    QByteArray takeInput();
    // Takes into the waiting bytes whatever has arrived but was not handed
    // over yet. A line that wakes the program only when the threshold is
    // reached holds a shorter input back (an exception reply, a reply cut
    // short) until it is asked for this, at the reply's time-out.
    virtual void collectInput() {}
    // Returns bytes taken with takeInput() that belong to a later frame: they
    // wait again, ahead of anything received since. Raises no event.
    void putBack(const QByteArray &bytes) { m_waiting.prepend(bytes); }

Q_SIGNALS:
    // The waiting bytes have reached the receive threshold.
    void thresholdReached();
    void failed(const krv::PortFailure &failure);

protected:
    virtual bool openDevice(QString *reason) = 0;
    virtual void closeDevice() = 0;
    // The threshold has changed: a line that can, arranges to be woken only
    // once that many bytes are waiting.
    virtual void receiveThresholdChanged() {}
    // Implementations hand every received chunk here.
    void deliver(const QByteArray &bytes);
    // Received bytes that join the waiting ones without raising the event.
    void takeWithoutEvent(const QByteArray &bytes);
    // Reports a lost port once and closes it.
    void lost(const QString &reason);
    // Reports a port that could not be opened after all (a connection that
    // failed while it was being made) and closes it.
    void openFailed(const QString &reason);
    PortFailure failure(PortFailure::Kind kind, const QString &reason) const;

private:
    LineAddress m_address = LineAddress::com(1);
    QString m_settings = QStringLiteral("9600,N,8,1");
    int m_threshold = 0;
    QByteArray m_waiting;
};

// The port component of a real line: a serial device, or a TCP connection (to
// a serial device server or a Modbus TCP gateway) through QTcpSocket, as the
// address says. A connection is made without blocking: opening starts it,
// what is transmitted meanwhile goes out once it is made, and one not made
// within ConnectTimeoutMs fails as a port that cannot be opened.
//
// Either line wakes the program once per reply rather than once per chunk
// the line brings: a TCP connection through its receive low-water mark, a
// serial device on Linux through a reader thread that waits for the reply's
// length (TtyLine); elsewhere the serial device is read through QSerialPort
// as it delivers.
class SystemPortComponent : public PortComponent
{
    Q_OBJECT
public:
    static constexpr int ConnectTimeoutMs = 4000;

    explicit SystemPortComponent(QObject *parent = nullptr);
    ~SystemPortComponent() override;
    bool isOpen() const override;
    void transmit(const QByteArray &bytes) override;
    void collectInput() override;

protected:
    bool openDevice(QString *reason) override;
    void closeDevice() override;
    void receiveThresholdChanged() override;

private:
    class Device;
    std::unique_ptr<Device> d;
};

} // namespace krv

Q_DECLARE_METATYPE(krv::PortFailure)
