#pragma once
// One request/reply transaction at a time: frame and send the request, arm the
// reply timer, take the reply from the port, check it, confirm it against the
// request and hand it to the window's dispatcher. The main window and both
// editors each own one, configured per window; the frame texts, the status
// and the counters leave through signals the window binds to its boxes.
//
// Every request sent ends exactly once (requestEnded): by its reply (intact or
// failing its check), by its time-out, or by being abandoned. A frame that
// passes its check but does not answer the outstanding request (another
// station, function, length or echo; a reply that came after its time-out) is
// not decoded and does not end the request; bytes after it in the same receive
// stay for the real reply.

#include "link/linkstatus.h"
#include "module/moduleslots.h"
#include "protocol/framebuffer.h"
#include "protocol/portcomponent.h"
#include "protocol/requests.h"

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
    // Takes a confirmed reply and the request it answers.
    using Dispatcher = std::function<void(const Request &request, const ReplyReader &reply)>;

    // Requests go to the station of the selected slot, in its framing.
    TransactionEngine(const ModuleSlots &moduleSlots, PortComponent &port, Config config,
                      QObject *parent = nullptr);

    // Frames and transmits the request and waits for its reply. A request
    // still outstanding is abandoned.
    void send(const Request &request);
    void setDispatcher(Dispatcher dispatch) { m_dispatch = std::move(dispatch); }

    // The status line (the request procedures and decoders report here too).
    void setStatus(const LinkStatus &status);

    // The reply time-out for the next requests, in ms.
    void setReplyTimeout(int ms) { m_replyTimer.setInterval(ms); }
    int replyTimeout() const { return m_replyTimer.interval(); }
    // True from a send until its reply or time-out (only with a reply timer).
    bool awaitingReply() const { return m_replyTimer.isActive(); }
    // True from a send until the request ends, whatever ends it.
    bool outstanding() const { return m_outstanding; }
    // Abandons the outstanding request: no reply and no time-out will end it.
    void cancel();
    PortComponent &port() { return m_port; }
    // Configures the port (closing it if open) and clears a reported failure, so
    // that sending may resume.
    void configurePort(int portNumber, const QString &settings);
    bool hasPortFailure() const { return m_portFailed; }

    // True while something listens to traffic(); otherwise no traffic event
    // is even built.
    bool tracing() const;

    qint32 receiveCount() const { return m_receiveCount; }
    qint32 timeoutCount() const { return m_timeoutCount; }
    // Starting a polling cycle clears the time-out counter (0: an empty box).
    void resetTimeoutCount();

    // A frame as the windows show it: RTU bytes as hexadecimal digits, an ASCII
    // frame as its own characters.
    static QString frameText(QByteArrayView wire, bool ascii);

public Q_SLOTS:
    void onThresholdReached();
    void onReplyTimeout();

Q_SIGNALS:
    void frameSent(const QString &text);
    void frameReceived(const QString &text);
    void statusChanged(const krv::LinkStatus &status);
    void receiveCountChanged(int count);
    // 0 after a reset.
    void timeoutCountChanged(int count);
    // The port could not be opened or went away; reported once per configuration.
    void portFailed(const krv::PortFailure &failure);
    // The request sent last has ended (after its reply was dispatched).
    void requestEnded(krv::RequestEnd how);
    // Every frame sent or received and every time-out, for a traffic view.
    // Bytes too few for the receive threshold (an exception reply, say) are
    // reported when the request times out, just before its TimedOut event.
    void traffic(const krv::TrafficEvent &event);

private:
    bool ascii() const { return m_slots.selectedIsAscii(); }
    // How many waiting bytes the first frame takes (0: cannot tell yet).
    qsizetype frameLength(const QByteArray &waiting) const;
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

    const ModuleSlots &m_slots;
    PortComponent &m_port;
    Config m_config;
    QTimer m_replyTimer;
    Dispatcher m_dispatch;
    FrameBuffer m_frame;
    qint32 m_receiveCount = 0;
    qint32 m_timeoutCount = 0;
    bool m_portFailed = false;

    bool m_outstanding = false;
    Request m_request;        // the outstanding request
    int m_replyThreshold = 0; // its expected reply length as framed
    qint64 m_sentAt = 0;      // ms since epoch, for the traffic view
};

} // namespace krv

Q_DECLARE_METATYPE(krv::TrafficEvent)
