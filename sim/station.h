#pragma once
// One module on the line: its register model, a receiver for the framing it uses,
// the faults it is told to show, and the line settings it really answers with. A
// written station address, line speed or protocol is stored at once but used only
// after the reply to that write has left the line (replyDone).

#include "linecodec.h"
#include "modulemodel.h"

#include <QByteArray>
#include <QList>

#include <functional>
#include <memory>
#include <optional>
#include <random>

namespace sim {

// Faults a module can be told to show. A count N means every Nth reply (counted
// over the requests that reach this module); 0 means never.
struct Faults
{
    bool silent = false;    // never answers
    bool lowercase = false; // ASCII hex digits in lower case
    int drop = 0;           // reply missing
    int corrupt = 0;        // reply with a wrong check
    int garbage = 0;        // noise bytes before the reply
    int exception = 0;      // exception 04 instead of the reply; the request is not executed
    int delayMs = 0;        // every reply this much late
    // Replies to reads from this start register (-1: none) this much late
    // instead: one kind of request late while the others are not.
    int delayAtRegister = -1;
    int delayAtMs = 0;
};

// A reply ready for the line: its bytes, how much later than usual it starts, and
// the speed it is sent at.
struct Reply
{
    QByteArray bytes;
    qint64 delayUs = 0;
    int baud = 0;
};

class Station
{
public:
    Station(const ModuleSetup &setup, const Faults &faults, quint32 seed);

    // Bytes from the master, received at nowUs while the master's end runs at
    // lineBaud. A module whose speed differs hears only noise; without a line speed
    // (nullopt: a TCP connection) every module hears everything.
    QList<Reply> receive(QByteArrayView bytes, std::optional<int> lineBaud, qint64 nowUs);
    qint64 deadline() const { return m_rx->deadline(); }
    QList<Reply> expire(qint64 nowUs);
    // Forgets a partly received frame (the master went away).
    void resetReceiver();
    // A request that came whole in a Modbus TCP frame: body is the unit id (this
    // module's station address) and the PDU. The reply is a Modbus TCP frame with
    // the same transaction id, or with its complement under the corrupt fault.
    std::optional<Reply> answerMbap(quint16 transactionId, QByteArrayView body);
    // A reply has been sent (or would have been): stored line settings take effect.
    void replyDone();

    const LineSettings &settings() const { return m_active; }
    const Faults &faults() const { return m_faults; }
    ModuleModel &model() { return m_model; }

private:
    QList<Reply> answerAll(const QList<QByteArray> &frames);
    // How replies are framed and frames are logged: a serial framing or MBAP.
    struct Wire
    {
        QByteArray tag;
        QByteArray request;  // the request as it came, for the log
        Framing logFraming;  // RTU: frames logged as hex bytes
        QByteArray badCheck; // log note of the corrupt fault
        std::function<QByteArray(const QByteArray &body, bool corrupt)> frame;
    };
    std::optional<Reply> answer(const QByteArray &request);
    std::optional<Reply> respond(const QByteArray &request, const Wire &wire);
    QByteArray tag() const;
    void logIgnored();

    ModuleModel m_model;
    Faults m_faults;
    LineSettings m_active;
    std::unique_ptr<FrameReceiver> m_rx;
    quint64 m_requests = 0;
    bool m_speedMismatch = false;
    std::mt19937 m_rng;
};

} // namespace sim
