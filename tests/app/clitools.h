#pragma once
// The built krv2060 run as a user runs it from a shell, and krv2060-sim in a
// process of its own with its -v log in a file, for the tests of the commands
// that work without a window.

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

#ifdef Q_OS_UNIX
#include <csignal>
#endif

namespace clitest {

// What a finished run left.
struct Run
{
    int exitCode = -1; // -1: it did not end in time, or ended by a signal
    QString out;
    QString err;
};

// krv2060 with a settings folder of its own and an English system locale,
// without a display.
class Tool
{
public:
    explicit Tool(const QString &configHome)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QString::fromLatin1(name));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome);
        for (const char *name : {"LANG", "LC_ALL", "LC_MESSAGES"})
            env.insert(QString::fromLatin1(name), QStringLiteral("en_US.UTF-8"));
        m_proc.setProcessEnvironment(env);
    }
    ~Tool()
    {
        if (m_proc.state() != QProcess::NotRunning) {
            m_proc.kill();
            m_proc.waitForFinished(3000);
        }
    }

    void start(const QStringList &args) { m_proc.start(QStringLiteral(KRV2060_PATH), args); }
    // Waits until standard error holds the text; false after timeoutMs.
    bool waitForErr(const QString &text, int timeoutMs)
    {
        QElapsedTimer clock;
        clock.start();
        while (!m_err.contains(text)) {
            if (clock.elapsed() > timeoutMs || m_proc.state() == QProcess::NotRunning)
                return false;
            m_proc.waitForReadyRead(50);
            m_err += QString::fromUtf8(m_proc.readAllStandardError());
        }
        return true;
    }
    void interrupt()
    {
#ifdef Q_OS_UNIX
        ::kill(static_cast<pid_t>(m_proc.processId()), SIGINT);
#endif
    }
    Run finish(int timeoutMs = 60000)
    {
        Run r;
        if (!m_proc.waitForFinished(timeoutMs)) {
            m_proc.kill();
            m_proc.waitForFinished();
            return r;
        }
        r.exitCode = m_proc.exitStatus() == QProcess::NormalExit ? m_proc.exitCode() : -1;
        r.out = QString::fromUtf8(m_proc.readAllStandardOutput());
        r.err = m_err + QString::fromUtf8(m_proc.readAllStandardError());
        return r;
    }

private:
    QProcess m_proc;
    QString m_err;
};

// One frame in the simulator's -v log.
struct LogFrame
{
    int station = 0;
    bool request = false; // rx (else tx, a reply)
    bool intact = true;   // a reply sent whole: not dropped, spoilt or after noise
    QByteArray body;      // station, function and data: no check, no MBAP header

    quint8 function() const { return body.size() > 1 ? quint8(body[1]) : 0; }
    quint16 word(int at) const { return quint16(quint8(body[at]) << 8 | quint8(body[at + 1])); }

    // "12:00:00.000 [5 ASCII 9600] rx :0503...\r\n", "[2 RTU 9600] tx dropped: 02 ...",
    // "[2 MBAP] rx 00 01 00 00 00 06 02 11"; nothing for other lines.
    static std::optional<LogFrame> parse(const QString &line)
    {
        static const QRegularExpression form(QStringLiteral(
            R"(\[(\d+) (RTU|ASCII|MBAP)[^\]]*\] (rx|tx) (dropped: )?(\S.*?)( \(.*\))?$)"));
        const auto m = form.match(line);
        if (!m.hasMatch())
            return std::nullopt;
        LogFrame f;
        f.station = m.captured(1).toInt();
        f.request = m.captured(3) == u"rx";
        const QString note = m.captured(6);
        f.intact = m.captured(4).isEmpty() && !note.contains(u"wrong") && !note.contains(u"noise");
        const QString frame = m.captured(5);
        if (m.captured(2) == u"ASCII") {
            // ":" hex digits, the LRC, then "\r\n" as written.
            QString hex = frame.mid(1);
            hex.chop(4);
            f.body = QByteArray::fromHex(hex.toLatin1()).chopped(1);
        } else if (m.captured(2) == u"MBAP") {
            f.body = QByteArray::fromHex(frame.toLatin1()).mid(6);
        } else {
            const QByteArray bytes = QByteArray::fromHex(frame.toLatin1());
            f.body = bytes.size() > 2 ? bytes.chopped(2) : QByteArray();
        }
        return f;
    }
};

// krv2060-sim with --fast (unless told otherwise) and -v; its log goes to a
// file, so that it never waits on a full pipe.
class Sim
{
public:
    enum class Line { Pty, Tcp, Mbap };

    ~Sim()
    {
        if (m_proc.state() == QProcess::NotRunning)
            return;
        m_proc.terminate();
        if (!m_proc.waitForFinished(3000))
            m_proc.kill();
        m_proc.waitForFinished(1000);
    }

    bool start(const QStringList &args, Line line = Line::Pty, bool fast = true)
    {
        QStringList all{QStringLiteral("-v")};
        if (fast)
            all << QStringLiteral("--fast");
        if (line == Line::Tcp)
            all << QStringLiteral("--tcp") << QStringLiteral("0");
        if (line == Line::Mbap)
            all << QStringLiteral("--mbap") << QStringLiteral("0");
        m_proc.setStandardErrorFile(m_dir.filePath(QStringLiteral("sim.log")));
        m_proc.start(QStringLiteral(KRV_SIM_PATH), all + args);
        if (!m_proc.waitForStarted(5000))
            return false;
        QElapsedTimer clock;
        clock.start();
        while (!m_proc.canReadLine() && clock.elapsed() < 5000)
            m_proc.waitForReadyRead(100);
        const QString first = QString::fromLocal8Bit(m_proc.readLine().trimmed());
        const qsizetype colon = first.indexOf(QStringLiteral(": "));
        if (colon < 0)
            return false;
        const QString kind = first.left(colon);
        m_where = first.mid(colon + 2);
        if (kind == u"mbap")
            m_where.prepend(QStringLiteral("mbap://"));
        return !m_where.isEmpty();
    }
    // What --port takes: the pseudo-terminal's device, "127.0.0.1:N" or
    // "mbap://127.0.0.1:N".
    QString port() const { return m_where; }

    QStringList log() const
    {
        QFile file(m_dir.filePath(QStringLiteral("sim.log")));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }
    QList<LogFrame> frames() const
    {
        QList<LogFrame> out;
        for (const QString &line : log())
            if (const auto f = LogFrame::parse(line))
                out << *f;
        return out;
    }
    // The registers of a station as the writes it received left them
    // (functions 06 and 16), whether or not it answered them.
    QMap<int, quint16> written(int station) const
    {
        QMap<int, quint16> regs;
        for (const LogFrame &f : frames()) {
            if (!f.request || f.station != station)
                continue;
            if (f.function() == 0x06 && f.body.size() >= 6)
                regs[f.word(2)] = f.word(4);
            if (f.function() == 0x10 && f.body.size() >= 7) {
                const int start = f.word(2);
                for (int i = 0; 7 + 2 * i + 1 < f.body.size(); ++i)
                    regs[start + i] = f.word(7 + 2 * i);
            }
        }
        return regs;
    }
    // The registers of the last intact reply the station sent to a read
    // (function 03) from `start`; empty when none went out whole.
    QList<quint16> lastReadReply(int station, int start) const
    {
        QList<quint16> words;
        std::optional<LogFrame> asked;
        for (const LogFrame &f : frames()) {
            if (f.station != station)
                continue;
            if (f.request) {
                asked = f;
                continue;
            }
            if (!asked || !f.intact || f.function() != 0x03 || asked->function() != 0x03 ||
                asked->word(2) != start)
                continue;
            words.clear();
            for (int at = 3; at + 1 < f.body.size(); at += 2)
                words << f.word(at);
        }
        return words;
    }
    // Write requests (functions 06 and 16) received, by any station.
    int writeRequests() const
    {
        int n = 0;
        for (const LogFrame &f : frames())
            n += f.request && (f.function() == 0x06 || f.function() == 0x10);
        return n;
    }
    // Requests the station received.
    int requestsTo(int station) const
    {
        int n = 0;
        for (const LogFrame &f : frames())
            n += f.request && f.station == station;
        return n;
    }

private:
    QTemporaryDir m_dir;
    QProcess m_proc;
    QString m_where;
};

} // namespace clitest
