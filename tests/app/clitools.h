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

#include "simprocess.h"

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

// krv2060-sim for the commands: what --port takes, and what its log says the
// modules were asked and answered.
class Sim : public SimProcess
{
public:
    using Line = SimLine;

    bool start(const QStringList &args, Line line = Line::Pty, bool fast = true)
    {
        QString error;
        return SimProcess::start(args, &error, line, fast);
    }
    QString port() const { return address(); }

    // The registers of a station as the writes it received left them
    // (functions 06 and 16), whether or not it answered them.
    QMap<int, quint16> written(int station) const
    {
        QMap<int, quint16> regs;
        for (const SimLogFrame &f : frames()) {
            if (!f.received || f.station() != station)
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
        std::optional<SimLogFrame> asked;
        for (const SimLogFrame &f : frames()) {
            if (f.station() != station)
                continue;
            if (f.received) {
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
        for (const SimLogFrame &f : frames())
            n += f.received && (f.function() == 0x06 || f.function() == 0x10);
        return n;
    }
    // Requests the station received.
    int requestsTo(int station) const
    {
        int n = 0;
        for (const SimLogFrame &f : frames())
            n += f.received && f.station() == station;
        return n;
    }
};

} // namespace clitest
