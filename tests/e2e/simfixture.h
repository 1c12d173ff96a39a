#pragma once
// The whole program against krv2060-sim in its own process: the simulator on
// a pseudo-terminal (the program's COM1), as a serial device server
// (--tcp: "127.0.0.1:N" typed into the port box) or as a Modbus TCP gateway
// (--mbap: "mbap://127.0.0.1:N"); the window's buttons and the real reply
// time-outs. The polling, scan and sweep ticks are run by the tests, each
// waiting for its reply or time-out, so that they do not wait out real ticks.

#include "app/program.h"
#include "scriptedasker.h"

#include <QByteArray>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include <functional>
#include <memory>
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

// krv2060-sim in its own process; its first output line names its device or
// its TCP address.
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

    bool start(const QStringList &args, QString *error, SimLine line = SimLine::Pty)
    {
        QStringList serve;
        if (line == SimLine::Tcp)
            serve = {QStringLiteral("--tcp"), QStringLiteral("0")};
        else if (line == SimLine::Mbap)
            serve = {QStringLiteral("--mbap"), QStringLiteral("0")};
        m_proc.start(QStringLiteral(KRV_SIM_PATH), QStringList{"--fast", "-v"} + serve + args);
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
    // What the operator types into the port box for a TCP line:
    // "127.0.0.1:N" or "mbap://127.0.0.1:N".
    QString typedAddress() const
    {
        return m_line == SimLine::Mbap ? QStringLiteral("mbap://") + m_where : m_where;
    }

    // The simulator's log so far: one line per request received and reply sent.
    QStringList log()
    {
        m_log += QString::fromLatin1(m_proc.readAllStandardError());
        return m_log.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    // The requests and replies in the log so far, in order.
    QList<SimLogFrame> frames()
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
    QList<qint16> lastReplyTo(const QString &request)
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
    QProcess m_proc;
    SimLine m_line = SimLine::Pty;
    QString m_where;
    QString m_log;
};

// The program on the simulator's line: COM1 leads to its pseudo-terminal, or
// its TCP address is typed into the port box.
struct SimFixture
{
    SimProcess sim;
    ScriptedAsker asker;
    std::unique_ptr<krv::SystemPortComponent> port;
    std::unique_ptr<krv::SystemPortComponent> controlPort;
    std::unique_ptr<krv::SystemPortComponent> alarmPort;
    std::unique_ptr<krv::Program> program;

    bool start(QString *error, const QStringList &simArgs = {}, SimLine line = SimLine::Pty)
    {
        if (!QFileInfo::exists(QStringLiteral(KRV_SIM_PATH))) {
            *error = QStringLiteral("krv2060-sim is not built");
            return false;
        }
        if (!sim.start(simArgs, error, line))
            return false;
        if (line == SimLine::Pty)
            qputenv("KRV2060_COM1", sim.pty().toLocal8Bit());
        port = std::make_unique<krv::SystemPortComponent>();
        controlPort = std::make_unique<krv::SystemPortComponent>();
        alarmPort = std::make_unique<krv::SystemPortComponent>();
        program =
            std::make_unique<krv::Program>(krv::Ports{*port, *controlPort, *alarmPort}, asker);
        if (line != SimLine::Pty)
            combo(QStringLiteral("ComPort"))->setEditText(sim.typedAddress());
        program->mainWindow.show();
        return true;
    }

    template <class T> T *w(const QString &name) const
    {
        T *widget = program->mainWindow.findChild<T *>(name);
        if (!widget)
            qFatal("no widget %s", qPrintable(name));
        return widget;
    }
    QString text(const QString &name) const { return w<QLineEdit>(name)->text(); }
    void setText(const QString &name, const QString &text) { w<QLineEdit>(name)->setText(text); }
    QComboBox *combo(const QString &name) const { return w<QComboBox>(name); }
    void click(const QString &name) { QTest::mouseClick(w<QPushButton>(name), Qt::LeftButton); }

    // Runs one tick handler and waits until its request is answered or timed out.
    [[nodiscard]] bool step(const std::function<void()> &tick)
    {
        return stepOn(program->engine, tick);
    }
    // The same on another window's engine (an editor's).
    [[nodiscard]] static bool stepOn(krv::TransactionEngine &engine,
                                     const std::function<void()> &tick)
    {
        QSignalSpy ended(&engine, &krv::TransactionEngine::requestEnded);
        tick();
        return !ended.isEmpty() || ended.wait(3000);
    }
    [[nodiscard]] bool ticks(int n)
    {
        for (int i = 0; i < n; ++i) {
            if (!step([this] { program->polling.onTick(); }))
                return false;
        }
        return true;
    }
    // "运 行", with the test running the ticks.
    void run()
    {
        click(QStringLiteral("Start"));
        program->polling.tickTimer().stop();
    }
    // "运 行" on module 2 and its whole start burst: with the system and module
    // control blocks read again once the identifier told firmware 5.3, it ends
    // with the measurements.
    [[nodiscard]] bool runModule2()
    {
        setText("Address", "2");
        run();
        return ticks(11);
    }
};

// The control editor of a SimFixture's program, opened from the polling main
// window on module 2.
struct ControlEditorOnSim
{
    SimFixture &f;
    krv::ControlEditor &editor = f.program->controlEditor;
    krv::EditorLink &link = f.program->controlLink;

    static inline const QStringList Rows{"StartStep", "InSel", "Phase", "SamTime", "SetVal",
                                         "SerD0",     "SerD1", "SerD2", "CtrlArea"};

    // "控制参数" after a few polling ticks; waits until the sweep on its real
    // timer has read all nine channels.
    [[nodiscard]] bool open()
    {
        // The editors open on a module polling has identified.
        if (!f.runModule2())
            return false;
        f.click("Command2");
        return QTest::qWaitFor(
            [this] { return !link.sweepTimer().isActive() && !link.engine().outstanding(); },
            10000);
    }
    QLineEdit *box(int row, int channel) const
    {
        return editor.findChild<QLineEdit *>(Rows[row] + QString::number(channel));
    }
    QStringList column(int channel) const
    {
        QStringList out;
        for (int r = 0; r < 9; ++r)
            out << box(r, channel)->text();
        return out;
    }
    QString text(const QString &name) const { return editor.findChild<QLineEdit *>(name)->text(); }
    void click(const QString &name)
    {
        QTest::mouseClick(editor.findChild<QPushButton *>(name), Qt::LeftButton);
    }
    // A read or write button, waiting until its request has ended.
    [[nodiscard]] bool press(const QString &name)
    {
        QSignalSpy ended(&link.engine(), &krv::TransactionEngine::requestEnded);
        click(name);
        return !ended.isEmpty() || ended.wait(3000);
    }
    // The boxes of a channel as the simulator's last reply to its read shows them.
    QStringList simColumn(int channel)
    {
        const QString request =
            QStringLiteral("02 03 01 %1 00 07").arg(2 + 18 * channel, 2, 16, QLatin1Char('0'));
        const QList<qint16> w = f.sim.lastReplyTo(request.toUpper());
        if (w.size() != 7)
            return {};
        return {
            QString::number(w[0] / 256), QString::number(w[0] & 255), QString::number(w[1] / 256),
            QString::number(w[1] & 255), QString::number(w[2]),       QString::number(w[3]),
            QString::number(w[4]),       QString::number(w[5]),       QString::number(w[6])};
    }
};
