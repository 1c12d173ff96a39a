#pragma once
// One request/reply transaction on the shared frame buffer: frame and send the
// request, arm the reply timer, take the reply from the port, check it and hand
// an intact reply to the window's dispatch. The main window and both editors
// use this class, configured per window; the frame texts, the status and the
// counters leave through signals the window binds to its boxes.

#include "link/shareddata.h"
#include "protocol/serialportcomponent.h"

#include <QObject>
#include <QTimer>

#include <functional>

namespace krv {

class TransactionEngine : public QObject
{
    Q_OBJECT
public:
    struct Config
    {
        bool replyTimer = true; // the editors run without one
    };

    TransactionEngine(SharedState &state, SerialPortComponent &port, Config config,
                      QObject *parent = nullptr);

    // Frames and transmits CommBuf (FrameLen bytes) and waits for ReplyLen bytes.
    void SendCommand();
    // Called with an intact reply in CommBuf (decoded, CommLen bytes).
    void setDispatcher(std::function<void()> dispatch) { m_dispatch = std::move(dispatch); }

    // Status line (the request procedures and decoders write here too).
    void setStatus(const QString &text);

    // The reply time-out (timMscon) for the next requests, in ms.
    void setReplyTimeout(int ms) { m_timMscon.setInterval(ms); }
    int replyTimeout() const { return m_timMscon.interval(); }
    // True from a send until its reply or time-out (only with a reply timer).
    bool awaitingReply() const { return m_timMscon.isActive(); }
    // Abandons the outstanding request: no reply and no time-out will end it.
    void cancel();
    SerialPortComponent &port() { return m_port; }
    // Configures the port (closing it if open) and clears a reported failure, so
    // that sending may resume.
    void configurePort(int commPort, const QString &settings);
    bool portFailed() const { return m_portFailed; }

    qint32 commCount() const { return m_commCount; }
    qint32 errCount() const { return m_errCount; }
    // Starting a polling cycle clears the time-out counter and its box.
    void resetErrCount();

    static QString ByteToASC(quint8 b);
    static QString TurnByteToString(const QByteArray &buf, int count);

public Q_SLOTS:
    void Comm1_OnComm();
    void timMscon_Timer();

Q_SIGNALS:
    void sentFrameText(const QString &text);     // Text5
    void receivedFrameText(const QString &text); // Text1
    void statusText(const QString &text);        // Text2
    void commCountText(const QString &text);     // Text4
    void errCountText(const QString &text);      // Text3
    // The port could not be opened or went away; reported once per configuration.
    void portError(const QString &message);
    // A receive event or a reply time-out ended the outstanding transaction.
    void transactionEnded();

private:
    QString frameText(const QByteArray &buf, int count) const;

    SharedState &m_state;
    SerialPortComponent &m_port;
    Config m_config;
    QTimer m_timMscon;
    std::function<void()> m_dispatch;
    qint32 m_commCount = 0;
    qint32 m_errCount = 0;
    bool m_portFailed = false;
};

} // namespace krv
