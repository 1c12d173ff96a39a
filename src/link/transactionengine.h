#pragma once
// One request/reply transaction on the shared frame buffer: frame and send the
// request, arm the reply timer, take the reply from the port, check it, confirm
// it against the request and hand it to the window's dispatch. The main window
// and both editors use this class, configured per window; the frame texts, the
// status and the counters leave through signals the window binds to its boxes.
//
// Every request sent ends exactly once (requestEnded): by its reply (intact or
// failing its check), by its time-out, or by being abandoned. A frame that
// passes its check but does not answer the outstanding request (another
// station, function, length or echo; a reply that came after its time-out) is
// not decoded and does not end the request; bytes after it in the same receive
// stay for the real reply.

#include "link/shareddata.h"
#include "protocol/serialportcomponent.h"

#include <QObject>
#include <QTimer>

#include <functional>

namespace krv {

enum class RequestEnd {
    Reply,       // its reply arrived and was confirmed (an exception reply too)
    CheckFailed, // a frame failing its check came in its place
    TimedOut,
    Abandoned, // cancelled, or replaced by another request
};

// One frame seen on the line, for a traffic view.
struct TrafficEvent
{
    enum class Kind { Sent, Answer, CheckFailed, Foreign, Exception, TimedOut };
    Kind kind = Kind::Sent;
    QByteArray bytes;     // as on the wire (empty for a time-out)
    bool ascii = false;   // framing of the slot in use
    qint64 elapsedMs = 0; // since the request was sent (received frames, time-outs)
};

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
    // Called with a confirmed reply in CommBuf (decoded, CommLen bytes).
    void setDispatcher(std::function<void()> dispatch) { m_dispatch = std::move(dispatch); }

    // Status line (the request procedures and decoders write here too).
    void setStatus(const QString &text);

    // The reply time-out (timMscon) for the next requests, in ms.
    void setReplyTimeout(int ms) { m_timMscon.setInterval(ms); }
    int replyTimeout() const { return m_timMscon.interval(); }
    // True from a send until its reply or time-out (only with a reply timer).
    bool awaitingReply() const { return m_timMscon.isActive(); }
    // True from a send until the request ends, whatever ends it.
    bool outstanding() const { return m_outstanding; }
    // Abandons the outstanding request: no reply and no time-out will end it.
    void cancel();
    SerialPortComponent &port() { return m_port; }
    // Configures the port (closing it if open) and clears a reported failure, so
    // that sending may resume.
    void configurePort(int commPort, const QString &settings);
    bool portFailed() const { return m_portFailed; }

    // True while something listens to traffic(); otherwise no traffic event
    // is even built.
    bool tracing() const;

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
    // The request sent last has ended (after its reply was dispatched).
    void requestEnded(krv::RequestEnd how);
    // Every frame sent or received and every time-out, for a traffic view.
    // Bytes too few for the receive threshold (an exception reply, say) are
    // reported when the request times out, just before its TimedOut event.
    void traffic(const krv::TrafficEvent &event);

private:
    QString frameText(const QByteArray &buf, int count) const;
    // How many waiting bytes the first frame takes (0: cannot tell yet).
    qsizetype frameLength(const QByteArray &waiting, bool ascii) const;
    // Handles one received frame; returns false when it answered nothing
    // outstanding, so that the request goes on.
    bool takeFrame(const QByteArray &frame);
    void endRequest(RequestEnd how);
    void report(TrafficEvent::Kind kind, const QByteArray &bytes);
    // At a time-out: bytes that came in but stayed below the receive threshold
    // are reported as traffic (and nothing else): an intact exception reply
    // to the outstanding request as Exception, another intact frame as
    // Foreign, anything else as CheckFailed.
    void reportWaitingBytes();

    SharedState &m_state;
    SerialPortComponent &m_port;
    Config m_config;
    QTimer m_timMscon;
    std::function<void()> m_dispatch;
    qint32 m_commCount = 0;
    qint32 m_errCount = 0;
    bool m_portFailed = false;

    bool m_outstanding = false;
    QByteArray m_request;     // body of the outstanding request (no check field)
    int m_replyThreshold = 0; // its expected reply length as framed
    qint64 m_sentAt = 0;      // ms since epoch, for the traffic view
};

} // namespace krv

Q_DECLARE_METATYPE(krv::TrafficEvent)
