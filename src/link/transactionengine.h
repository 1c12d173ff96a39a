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
// station, function, length or echo) is not decoded and does not end the
// request; bytes after it in the same receive stay for the real reply.
//
// Late replies. A station answers one request at a time and in order, so the
// reply to a request that timed out (or whose reply failed its check) may
// still come, until the station answers a later request or twice the reply
// time-out has passed since it was sent. Such requests are kept as
// unanswered; a frame that could answer one of them is taken as its late
// reply and never decoded, even when it would also fit the request
// outstanding (a lost reading, never a wrong one).

#include "link/linkstatus.h"
#include "module/moduleslots.h"
#include "protocol/framebuffer.h"
#include "protocol/modbusframing.h"
#include "protocol/portcomponent.h"
#include "protocol/requests.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <deque>
#include <functional>
#include <optional>

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
    // Late: a frame that may be the late reply to an earlier request of the
    // same station; it is not decoded.
    enum class Kind { Sent, Answer, CheckFailed, Foreign, Exception, TimedOut, Late };
    Kind kind = Kind::Sent;
    QByteArray bytes; // as on the wire (empty for a time-out)
    Framing framing = Framing::Rtu;
    qint64 elapsedMs = 0; // since the request was sent (received frames, time-outs)
};

class TransactionEngine : public QObject
{
    Q_OBJECT
public:
    struct Config
    {
        bool replyTimer = true;
        // After a port failure, try to open the port again at each request
        // (the editors); otherwise nothing goes out until it is configured again.
        bool reopenAfterFailure = false;
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
    void configurePort(const LineAddress &address, const QString &settings);
    bool hasPortFailure() const { return m_portFailed; }

    // How long (ms) the line should wait before this request, so that no late
    // reply of an earlier request could be taken for its reply: until every
    // unanswered request whose reply would look the same has had its chance.
    int msUntilUnambiguous(const Request &request);
    // Requests whose late reply may still come.
    int unansweredCount() const { return static_cast<int>(m_unanswered.size()); }

    // Source of the time in ms on a steady clock (tests replace it).
    void setClock(std::function<qint64()> now) { m_now = std::move(now); }

    // True while something listens to traffic(); otherwise no traffic event
    // is even built.
    bool tracing() const;

    qint32 receiveCount() const { return m_receiveCount; }
    qint32 timeoutCount() const { return m_timeoutCount; }
    // Starting a polling cycle clears the time-out counter (0: an empty box).
    void resetTimeoutCount();

    // A frame as the windows show it: RTU and Modbus TCP bytes as hexadecimal
    // digits, an ASCII frame as its own characters.
    static QString frameText(QByteArrayView wire, Framing framing);
    // How frames travel now: Modbus TCP on such a line, else the selected
    // module's RTU or ASCII.
    Framing framing() const;

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
    // send() could not put the request on the line (a failed port): it never
    // became outstanding.
    void requestNotSent();
    // A late reply of an earlier request came (and was not decoded).
    void lateReplyTaken();
    // Every frame sent or received and every time-out, for a traffic view.
    // Bytes too few for the receive threshold (an exception reply, say) are
    // reported when the request times out, just before its TimedOut event.
    void traffic(const krv::TrafficEvent &event);

private:
    struct Unanswered
    {
        Request request;
        Framing framing = Framing::Rtu; // a reply comes in the same
        quint16 transactionId = 0;      // Modbus TCP: the reply carries it
        qint64 sentAt = 0;
        qint64 expiresAt = 0; // no reply expected after this
        int timeoutMs = 0;
    };

    bool ascii() const { return framing() == Framing::Ascii; }
    int checkLength() const { return checkFieldLength(framing()); }
    // How the reply relates to the outstanding request; on Modbus TCP its
    // transaction id and length must fit too.
    ReplyMatch confirmMbapOrSerial(const ReplyReader &reply, quint16 transactionId) const;
    // Whether an unanswered request could be answered by this reply.
    bool couldAnswer(const Unanswered &u, const ReplyReader &reply, quint16 transactionId) const;
    qint64 now() const { return m_now(); }
    // The outstanding request's reply may still come after it ended.
    void rememberUnanswered();
    // True when the bytes may begin a late reply of an unanswered request.
    bool mayBeLateReply(QByteArrayView bytes);
    void forgetExpired();
    // The earliest unanswered request the reply could answer, if any; with
    // `arrivedEarlier`, requests whose time ran out since count too.
    std::optional<std::size_t> lateReplyTo(const ReplyReader &reply, quint16 transactionId,
                                           bool arrivedEarlier = false);
    // Takes a frame as the late reply of unanswered request `index`: that
    // request and all before it are answered or beyond hope.
    void takeLateReply(std::size_t index, const QByteArray &frame);
    // How many waiting bytes the first frame takes (0: cannot tell yet).
    qsizetype frameLength(const QByteArray &waiting) const;
    // Handles one received frame; returns false when it answered nothing
    // outstanding, so that the request goes on.
    bool takeFrame(const QByteArray &frame);
    void endRequest(RequestEnd how);
    void report(TrafficEvent::Kind kind, const QByteArray &bytes);
    // At a time-out: bytes that came in but stayed below the receive
    // threshold. A whole frame is taken (and reported as traffic): an
    // exception reply or the request's own reply that came just too late
    // answer it (true); the beginning of a frame stays waiting.
    bool takeWaitingAtTimeout();

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
    Request m_request;                       // the outstanding request
    Framing m_requestFraming = Framing::Rtu; // the framing it went out in
    quint16 m_transactionId = 0;             // Modbus TCP: the last one used
    int m_replyThreshold = 0;                // its expected reply length as framed
    qint64 m_sentAt = 0;                     // on the steady clock
    std::deque<Unanswered> m_unanswered;     // oldest first
    int m_lateInARow = 0;                    // late replies since the last one in time
    QElapsedTimer m_clock;
    std::function<qint64()> m_now;
};

} // namespace krv

Q_DECLARE_METATYPE(krv::TrafficEvent)
