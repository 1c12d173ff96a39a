#include "station.h"

#include "mbap.h"
#include "simlog.h"

namespace sim {

Station::Station(const ModuleSetup &setup, const Faults &faults, quint32 seed)
    : m_model(setup, seed), m_faults(faults), m_active(m_model.storedLineSettings()),
      m_rx(makeReceiver(m_active.framing, m_active.baud)), m_rng(seed ^ 0x5A5A5A5Au)
{}

QByteArray Station::tag() const
{
    return "[" + QByteArray::number(m_active.address) +
           (m_active.framing == Framing::Ascii ? " ASCII " : " RTU ") +
           QByteArray::number(m_active.baud) + "]";
}

void Station::logIgnored()
{
    const QByteArray ignored = m_rx->takeIgnored();
    if (!ignored.isEmpty())
        logLine(2, tag() + " ignored " + logText(ignored, m_active.framing));
}

QList<Reply> Station::receive(QByteArrayView bytes, std::optional<int> lineBaud, qint64 nowUs)
{
    if (lineBaud && *lineBaud != m_active.baud) {
        if (!m_speedMismatch)
            logLine(1,
                    tag() + " line runs at " + QByteArray::number(*lineBaud) + " baud: not heard");
        m_speedMismatch = true;
        m_rx->reset();
        m_rx->takeIgnored();
        return {};
    }
    if (m_speedMismatch)
        logLine(1, tag() + " line speed matches again");
    m_speedMismatch = false;
    const QList<QByteArray> frames = m_rx->feed(bytes, nowUs);
    logIgnored();
    return answerAll(frames);
}

QList<Reply> Station::expire(qint64 nowUs)
{
    const QList<QByteArray> frames = m_rx->expire(nowUs);
    logIgnored();
    return answerAll(frames);
}

void Station::resetReceiver()
{
    m_rx->reset();
    logIgnored();
}

QList<Reply> Station::answerAll(const QList<QByteArray> &frames)
{
    QList<Reply> out;
    for (const QByteArray &frame : frames) {
        if (frame.size() < 2 || static_cast<quint8>(frame[0]) != m_active.address) {
            logLine(2, tag() + " not for us: " +
                           logText(frameReply(frame, m_active.framing), m_active.framing));
            continue;
        }
        if (auto reply = answer(frame))
            out.append(*reply);
    }
    return out;
}

std::optional<Reply> Station::answer(const QByteArray &request)
{
    const Framing framing = m_active.framing;
    const bool lowercase = m_faults.lowercase;
    return respond(request, {tag(), frameReply(request, framing), framing, " (wrong check)",
                             [framing, lowercase](const QByteArray &body, bool corrupt) {
                                 return frameReply(body, framing, lowercase, corrupt);
                             }});
}

std::optional<Reply> Station::answerMbap(quint16 transactionId, QByteArrayView body)
{
    const QByteArray request = body.toByteArray();
    const QByteArray mbapTag = "[" + QByteArray::number(m_active.address) + " MBAP]";
    return respond(request, {mbapTag, mbapFrame(transactionId, request), Framing::Rtu,
                             " (wrong transaction id)",
                             [transactionId](const QByteArray &reply, bool corrupt) {
                                 return mbapFrame(corrupt ? transactionId ^ 0xFFFF : transactionId,
                                                  reply);
                             }});
}

std::optional<Reply> Station::respond(const QByteArray &request, const Wire &via)
{
    logLine(1, via.tag + " rx " + logText(via.request, via.logFraming));
    if (m_faults.silent) {
        logLine(1, via.tag + " silent: no reply");
        return std::nullopt;
    }
    const quint64 n = ++m_requests;
    const auto every = [n](int k) { return k > 0 && n % static_cast<quint64>(k) == 0; };

    QByteArray notes;
    QByteArray body;
    if (every(m_faults.exception)) {
        body = exceptionReply(request[0], request[1], ExceptionCode::DeviceFailure);
        notes += " (injected exception)";
    } else {
        body = m_model.handle(request);
    }
    const bool corrupt = every(m_faults.corrupt);
    if (corrupt)
        notes += via.badCheck;
    QByteArray wire = via.frame(body, corrupt);
    if (every(m_faults.garbage)) {
        const int count = std::uniform_int_distribution<int>(2, 5)(m_rng);
        QByteArray noise;
        for (int i = 0; i < count; ++i)
            noise += static_cast<char>(m_rng() & 0xFF);
        wire.prepend(noise);
        notes += " (" + QByteArray::number(count) + " noise bytes first)";
    }
    if (every(m_faults.drop)) {
        logLine(1, via.tag + " tx dropped: " + logText(wire, via.logFraming));
        replyDone();
        return std::nullopt;
    }
    int delayMs = m_faults.delayMs;
    const quint8 function = static_cast<quint8>(request[1]);
    if (m_faults.delayAtRegister >= 0 && function >= 1 && function <= 4 && request.size() >= 4 &&
        (static_cast<quint8>(request[2]) << 8 | static_cast<quint8>(request[3])) ==
            m_faults.delayAtRegister)
        delayMs = m_faults.delayAtMs;
    if (delayMs > 0)
        notes += " (" + QByteArray::number(delayMs) + " ms late)";
    logLine(1, via.tag + " tx " + logText(wire, via.logFraming) + notes);
    return Reply{wire, delayMs * qint64(1000), m_active.baud};
}

void Station::replyDone()
{
    const LineSettings next = m_model.storedLineSettings();
    if (next == m_active)
        return;
    const bool newReceiver = next.framing != m_active.framing || next.baud != m_active.baud;
    const QByteArray before = tag();
    m_active = next;
    if (newReceiver)
        m_rx = makeReceiver(m_active.framing, m_active.baud);
    logLine(1, before + " now answers as " + tag());
}

} // namespace sim
