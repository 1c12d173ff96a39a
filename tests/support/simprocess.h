#pragma once
// krv2060-sim in a process of its own for the tests that drive the built
// programs against it, and the frames of its -v log.

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <optional>

// How the simulator serves its modules.
enum class SimLine {
    Pty,  // a pseudo-terminal: the serial line
    Tcp,  // --tcp: the frames unchanged over a TCP connection
    Mbap, // --mbap: Modbus TCP
};

// One frame in the simulator's -v log: a request a module heard or a reply it
// put on the line.
struct SimLogFrame
{
    QString tag;            // the module that logged it: "[2 RTU 9600]", "[5 MBAP]"
    bool received = false;  // rx (else tx)
    QString text;           // the frame as logged (hex, or an ASCII frame's characters)
    bool intact = true;     // a reply sent whole: not dropped, spoilt or after noise
    QByteArray body;        // station, function and data: no check field, no MBAP header
    int transactionId = -1; // an MBAP frame's

    QString bodyHex() const { return QString::fromLatin1(body.toHex(' ').toUpper()); }
    // The station in the tag ("[2 RTU 9600]": 2).
    int station() const { return tag.mid(1).section(u' ', 0, 0).toInt(); }
    quint8 function() const { return body.size() > 1 ? quint8(body[1]) : 0; }
    // The 16-bit word at a byte offset of the body.
    quint16 word(int at) const { return quint16(quint8(body[at]) << 8 | quint8(body[at + 1])); }

    // Parses "HH:mm:ss.zzz [2 RTU 9600] rx 02 03 00 00 00 08 44 3F" and its
    // kin; nullopt for the log's other lines.
    static std::optional<SimLogFrame> parse(const QString &line)
    {
        const qsizetype open = line.indexOf(u'[');
        const qsizetype close = line.indexOf(u']', open);
        if (open < 0 || close < 0)
            return std::nullopt;
        SimLogFrame f;
        f.tag = line.mid(open, close - open + 1);
        const QString rest = line.mid(close + 1);
        if (rest.startsWith(QStringLiteral(" rx ")))
            f.received = true;
        else if (!rest.startsWith(QStringLiteral(" tx ")))
            return std::nullopt;
        QString frame = rest.mid(4);
        if (frame.startsWith(QStringLiteral("dropped: "))) {
            f.intact = false;
            frame = frame.mid(9);
        }
        // Notes follow the frame: " (wrong check)", " (3 noise bytes first)".
        const qsizetype notes = frame.indexOf(QStringLiteral(" ("));
        if (notes >= 0) {
            const QString note = frame.mid(notes);
            if (note.contains(QStringLiteral("wrong")) || note.contains(QStringLiteral("noise")))
                f.intact = false;
            frame.truncate(notes);
        }
        f.text = frame;
        if (f.tag.contains(QStringLiteral(" ASCII "))) {
            // ":0503...F0\r\n" with CR LF written as \r\n; the last byte is the LRC.
            QString hex = frame.mid(1);
            hex.chop(4);
            const QByteArray bytes = QByteArray::fromHex(hex.toLatin1());
            f.body = bytes.isEmpty() ? QByteArray() : bytes.chopped(1);
            return f;
        }
        const QByteArray bytes = QByteArray::fromHex(frame.toLatin1());
        if (f.tag.contains(QStringLiteral(" MBAP]"))) {
            if (bytes.size() >= 6) {
                f.transactionId =
                    static_cast<quint8>(bytes[0]) << 8 | static_cast<quint8>(bytes[1]);
                f.body = bytes.mid(6);
            }
            return f;
        }
        f.body = bytes.size() > 2 ? bytes.chopped(2) : QByteArray();
        return f;
    }
};

// krv2060-sim in its own process, with -v and (unless told otherwise)
// --fast; its first output line names its device or its TCP address. Its log
// goes to a file, so that it never waits on a full pipe while the test waits
// for something else.
class SimProcess
{
public:
    ~SimProcess()
    {
        if (m_proc.state() == QProcess::NotRunning)
            return;
        m_proc.terminate();
        if (!m_proc.waitForFinished(3000))
            m_proc.kill();
        m_proc.waitForFinished(1000);
    }

    bool start(const QStringList &args, QString *error, SimLine line = SimLine::Pty,
               bool fast = true)
    {
        QStringList serve{QStringLiteral("-v")};
        if (fast)
            serve << QStringLiteral("--fast");
        if (line == SimLine::Tcp)
            serve << QStringLiteral("--tcp") << QStringLiteral("0");
        else if (line == SimLine::Mbap)
            serve << QStringLiteral("--mbap") << QStringLiteral("0");
        m_proc.setStandardErrorFile(m_dir.filePath(QStringLiteral("sim.log")));
        m_proc.start(QStringLiteral(KRV_SIM_PATH), serve + args);
        if (!m_proc.waitForStarted(5000)) {
            *error = m_proc.errorString();
            return false;
        }
        QElapsedTimer clock;
        clock.start();
        while (!m_proc.canReadLine() && clock.elapsed() < 5000)
            m_proc.waitForReadyRead(100);
        const QByteArray first = m_proc.readLine().trimmed();
        const QByteArray expected = line == SimLine::Tcp    ? "tcp: "
                                    : line == SimLine::Mbap ? "mbap: "
                                                            : "pty: ";
        if (!first.startsWith(expected)) {
            *error = QStringLiteral("unexpected first line: ") + QString::fromLatin1(first);
            return false;
        }
        m_line = line;
        m_where = QString::fromLocal8Bit(first.mid(expected.size()));
        return true;
    }
    SimLine line() const { return m_line; }
    // The pseudo-terminal's device (on SimLine::Pty).
    QString pty() const { return m_line == SimLine::Pty ? m_where : QString(); }
    // What the port box and --port take: the pseudo-terminal's device,
    // "127.0.0.1:N" or "mbap://127.0.0.1:N".
    QString address() const
    {
        return m_line == SimLine::Mbap ? QStringLiteral("mbap://") + m_where : m_where;
    }

    // The simulator's log so far: one line per request received and reply sent.
    QStringList log() const
    {
        QFile file(m_dir.filePath(QStringLiteral("sim.log")));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromLatin1(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }
    // The requests and replies in the log so far, in order.
    QList<SimLogFrame> frames() const
    {
        QList<SimLogFrame> out;
        for (const QString &line : log()) {
            if (const std::optional<SimLogFrame> f = SimLogFrame::parse(line))
                out << *f;
        }
        return out;
    }
    // The registers of the last reply the simulator sent to a request whose
    // body (station, function, data) begins with the given hex text
    // ("02 03 00 00 00 08"), in any framing.
    QList<qint16> lastReplyTo(const QString &request) const
    {
        const QStringList lines = log();
        for (qsizetype i = lines.size() - 2; i >= 0; --i) {
            const std::optional<SimLogFrame> asked = SimLogFrame::parse(lines[i]);
            if (!asked || !asked->received || !asked->bodyHex().startsWith(request))
                continue;
            const std::optional<SimLogFrame> reply = SimLogFrame::parse(lines[i + 1]);
            if (!reply || reply->received || !reply->intact || reply->tag != asked->tag)
                continue;
            const QByteArray &b = reply->body;
            QList<qint16> values;
            for (qsizetype at = 3; at + 1 < b.size(); at += 2)
                values << static_cast<qint16>(static_cast<quint8>(b[at]) << 8 |
                                              static_cast<quint8>(b[at + 1]));
            return values;
        }
        return {};
    }

private:
    QTemporaryDir m_dir;
    QProcess m_proc;
    SimLine m_line = SimLine::Pty;
    QString m_where;
};
