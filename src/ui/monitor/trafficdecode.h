#pragma once
// What the traffic monitor says about one frame: its body, station and
// function, a short decoding and its check status, in the words of the screen
// (translated) or of a file (the fixed source texts, so that an export reads
// the same whatever the interface language). No widgets.

#include "link/transactionengine.h"

#include <QByteArray>
#include <QString>
#include <QTime>

#include <optional>

namespace krv {

// Whose words a text is in.
enum class Wording {
    Screen, // translated for the interface
    File,   // fixed texts: exports never depend on the interface language
};

// One frame in the log.
struct TrafficRow
{
    QTime time;     // when the monitor saw it
    QString window; // the attach name of the window whose engine reported it
    TrafficEvent::Kind kind = TrafficEvent::Kind::Sent;
    Framing framing = Framing::Rtu;
    QByteArray bytes;     // as on the wire; empty for a time-out
    QByteArray request;   // body of the request it answers (a sent frame: its own)
    qint64 elapsedMs = 0; // since the request was sent (not for a sent frame)

    bool sent() const { return kind == TrafficEvent::Kind::Sent; }
};

namespace traffic {

// The frame's body without its check field: RTU as it is, ASCII decoded from
// its hex digits. Best effort for a frame that failed its check.
QByteArray frameBody(const QByteArray &wire, Framing framing);

QString timeText(const TrafficRow &row);
QString directionText(const TrafficRow &row, Wording w);
QString framingText(const TrafficRow &row);
// The body the station and function come from: the request for a sent frame
// and a time-out, the frame's own for a reply; empty for a frame that failed
// its check (its bytes may be noise).
QByteArray headerBody(const TrafficRow &row);
// Station and function of the frame (for a time-out: of its request), or
// empty when the frame is too short to tell or failed its check.
QString stationText(const TrafficRow &row);
QString functionText(const TrafficRow &row);
// The transaction id of a Modbus TCP frame as it carries it in its header;
// none for a serial framing, a time-out (no frame) or a frame that failed its
// check (its header may be noise).
std::optional<quint16> transactionId(const TrafficRow &row);
// Empty for a frame that failed its check. A late reply is described by
// itself: the request it answers is not the one outstanding. A Modbus TCP
// frame's begins with its transaction id ("事务12 读保持寄存器 ...").
QString decodingText(const TrafficRow &row, Wording w);
// Empty for a sent frame.
QString checkText(const TrafficRow &row, Wording w);
QString elapsedText(const TrafficRow &row);
// RTU bytes as spaced hex; ASCII frames as their characters, CR and LF
// written \r and \n.
QString bytesText(const TrafficRow &row);

// The function's name ("读保持寄存器"), empty for a code the tool does not know.
QString functionName(quint8 function, Wording w);
// The meaning of a Modbus exception code ("非法数据地址").
QString exceptionMeaning(quint8 code, Wording w);
// A window's attach name as the screen shows it.
QString windowText(const QString &name, Wording w);

} // namespace traffic
} // namespace krv
