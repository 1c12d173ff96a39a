#pragma once
// The serial port component each communicating window owns: port number,
// settings text, open/close, output, waiting input, a receive threshold and a
// receive event. The base class keeps the receive buffer and raises the event
// when the waiting bytes reach the threshold, however the bytes were chunked;
// implementations only move bytes.

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

class SerialPortComponent : public QObject
{
    Q_OBJECT
public:
    explicit SerialPortComponent(QObject *parent = nullptr);

    void setCommPort(int n) { m_commPort = n; }
    int commPort() const { return m_commPort; }
    void setSettings(const QString &s) { m_settings = s; }
    QString settings() const { return m_settings; }
    void setInputMode(int mode) { m_inputMode = mode; }

    // Closes an open port, then sets port number, settings and input mode.
    void configure(int port, const QString &settings);

    virtual bool portOpen() const = 0;
    // Opens (true) or closes (false). Returns false when opening failed; the
    // failure is then reported once through portFailed.
    bool setPortOpen(bool open);

    virtual void output(const QByteArray &bytes) = 0;

    qsizetype inBufferCount() const { return m_in.size(); }
    void discardInput();
    void setRThreshold(int n) { m_threshold = n; }
    int rThreshold() const { return m_threshold; }
    QByteArray input();
    // Returns bytes taken with input() that belong to a later frame: they wait
    // again, ahead of anything received since. Raises no event.
    void unread(const QByteArray &bytes) { m_in.prepend(bytes); }

Q_SIGNALS:
    void OnComm();
    // A port that cannot be opened or that went away: port name, device path and
    // the system's reason in one message.
    void portFailed(const QString &message);

protected:
    virtual bool doOpen(QString *reason) = 0;
    virtual void doClose() = 0;
    // Implementations hand every received chunk here.
    void deliver(const QByteArray &bytes);
    // Reports a lost port once and closes it.
    void lost(const QString &reason);
    QString portLabel() const;

private:
    int m_commPort = 1;
    QString m_settings = QStringLiteral("9600,N,8,1");
    int m_inputMode = 1;
    int m_threshold = 0;
    QByteArray m_in;
};

class QSerialPortComponent : public SerialPortComponent
{
    Q_OBJECT
public:
    explicit QSerialPortComponent(QObject *parent = nullptr);
    ~QSerialPortComponent() override;
    bool portOpen() const override;
    void output(const QByteArray &bytes) override;

protected:
    bool doOpen(QString *reason) override;
    void doClose() override;

private:
    class Impl;
    std::unique_ptr<Impl> d;
};

// In-memory port for tests: records what was sent and lets a test deliver
// replies in any chunking.
class MemoryPortComponent : public SerialPortComponent
{
    Q_OBJECT
public:
    using SerialPortComponent::SerialPortComponent;
    bool portOpen() const override { return m_open; }
    void output(const QByteArray &bytes) override { m_sent.append(bytes); }

    void receive(const QByteArray &bytes) { deliver(bytes); }
    void failOpen(const QString &reason) { m_failReason = reason; }
    void pull(const QString &reason) { lost(reason); }
    QList<QByteArray> &sent() { return m_sent; }
    const QList<QByteArray> &sent() const { return m_sent; }
    int openCount() const { return m_opens; }

protected:
    bool doOpen(QString *reason) override;
    void doClose() override { m_open = false; }

private:
    bool m_open = false;
    int m_opens = 0;
    QString m_failReason;
    QList<QByteArray> m_sent;
};

} // namespace krv
