// krv2060-soak: the program as krv2060 builds it (the real port, the main
// window), with an operator who answers every question with OK and, for a
// given time, plays what a person does at the module: short scans (now and
// then a full one), runs of the modules found, switch outputs toggled and
// calibration values written while polling goes on.
//
//   krv2060-soak --seconds N --record FILE [--seed S] [--port ADDRESS]
//
// The line is COM1 (KRV2060_COM1 names its device), or ADDRESS in any form the
// port box takes ("ttyUSB0", "host:port", "mbap://host:port"), put into the
// port box as krv2060 --port does.
//
// FILE gets one line per block the register map decoded, with the values the
// shared state then holds, keyed by the request that was answered:
//   HH:mm:ss.zzz STATION FN START COUNT Name=value ...
// (START and COUNT are "-" for the identifier). scripts/soak compares them
// with the replies in the simulator's own log.
//
// The program checks itself that every request sent ended exactly once, and
// that no message box was raised (the operator's writes are all valid, so a
// box means something went wrong, a lost port say). At the end it prints one
// "soak NAME VALUE" line per counter and exits 1 when a check failed.

#include "app/program.h"
#include "scriptedasker.h"
#include "ui/panelcachestyle.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTextStream>
#include <QTime>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <random>

using namespace krv;

namespace {

struct Options
{
    int seconds = 120;
    QString record;
    quint32 seed = 1;
    std::optional<LineAddress> port;
};

bool parseArgs(const QStringList &args, Options *o)
{
    for (qsizetype i = 1; i + 1 < args.size(); i += 2) {
        bool ok = false;
        if (args[i] == u"--seconds")
            o->seconds = args[i + 1].toInt(&ok);
        else if (args[i] == u"--seed")
            o->seed = args[i + 1].toUInt(&ok);
        else if (args[i] == u"--record")
            o->record = args[i + 1], ok = true;
        else if (args[i] == u"--port")
            o->port = LineAddress::parse(args[i + 1]), ok = o->port->valid();
        if (!ok)
            return false;
    }
    return args.size() % 2 == 1 && o->seconds > 0 && !o->record.isEmpty();
}

// The body (station, function, data; no check field) of a frame as sent.
QByteArray requestBody(const QByteArray &wire, Framing framing)
{
    switch (framing) {
    case Framing::Ascii: {
        const QByteArray hex = wire.mid(1, wire.size() - 3); // no ':' and CR LF
        return QByteArray::fromHex(hex).chopped(1);          // no LRC
    }
    case Framing::Mbap:
        return wire.mid(MbapHeaderLength); // no header
    case Framing::Rtu:
        break;
    }
    return wire.chopped(2); // no CRC
}

QString word(const QByteArray &b, int at)
{
    return QStringLiteral("%1").arg(
        static_cast<quint8>(b[at]) << 8 | static_cast<quint8>(b[at + 1]), 4, 16, QLatin1Char('0'));
}

// Counts sends and ends and writes the decoded blocks.
class Recorder : public QObject
{
public:
    Recorder(Program &p, QFile &file) : m_p(p), m_out(&file)
    {
        connect(&p.engine, &TransactionEngine::traffic, this, &Recorder::onTraffic);
        connect(&p.engine, &TransactionEngine::requestEnded, this, &Recorder::onEnded);
        const ModuleData &m = p.state.module;
        RegisterMap &r = p.registerMap;
        connect(&r, &RegisterMap::measurementsDecoded, this,
                [this, &m](const ChannelValues &values, bool) {
                    write(
                        list(QStringLiteral("measurements"), m.measurements.values, values.count));
                });
        connect(&r, &RegisterMap::systemBlockDecoded, this, [this, &m] {
            const SystemBlock &s = m.system;
            write(QStringLiteral("serialNumber=%1 commByte=%2 sensorByte=%3 year=%4 month=%5 "
                                 "day=%6 hour=%7 minute=%8 stationAddress=%9 "
                                 "coldJunctionAdjust=%10")
                      .arg(s.serialNumber)
                      .arg(s.commByte)
                      .arg(s.sensorByte)
                      .arg(s.year)
                      .arg(s.month)
                      .arg(s.day)
                      .arg(s.hour)
                      .arg(s.minute)
                      .arg(s.stationAddress)
                      .arg(s.coldJunctionAdjust));
        });
        connect(&r, &RegisterMap::sensorCodesDecoded, this, [this, &m](const ChannelValues &codes) {
            write(list(QStringLiteral("sensorCodes"), m.sensorCodes, codes.count));
        });
        connect(&r, &RegisterMap::calibrationDecoded, this,
                [this, &m](const ChannelValues &values) {
                    write(list(QStringLiteral("calibration"), m.calibration, values.count));
                });
        connect(&r, &RegisterMap::moduleControlDecoded, this, [this, &m] {
            const ModuleControl &c = m.control;
            write(QStringLiteral("continuousAddressing=%1 serialOutputCount=%2 requestOutput=%3 "
                                 "startMode=%4 measuredChannels=%5")
                      .arg(int(c.continuousAddressing))
                      .arg(c.serialOutputCount)
                      .arg(c.requestOutput)
                      .arg(c.startMode)
                      .arg(c.measuredChannels));
        });
        connect(&r, &RegisterMap::switchOutputsDecoded, this, [this, &m] {
            write(list(QStringLiteral("outputs"), m.outputs, SwitchOutputCount));
        });
        connect(&r, &RegisterMap::controlEnableDecoded, this, [this, &m] {
            write(QStringLiteral("controlEnable=%1").arg(int(m.outputs[ControlEnableIndex])));
        });
        connect(&r, &RegisterMap::switchInputsDecoded, this,
                [this, &m] { write(list(QStringLiteral("inputs"), m.inputs, InputCount)); });
        connect(&r, &RegisterMap::deviceIdentified, this, [this, &m](const DeviceId &id, int) {
            write(QStringLiteral("id=%1 firmwareMajor=%2 firmwareMinor=%3")
                      .arg(QString::fromLatin1(id.id.toHex()))
                      .arg(m.firmwareMajor)
                      .arg(m.firmwareMinor));
        });
    }

    // Ends the program's last request and says whether the counts add up.
    bool finish()
    {
        m_p.polling.stop();
        m_p.engine.cancel();
        if (m_open)
            fail("a request is still outstanding after cancel");
        if (m_sent != m_ends)
            fail("requests sent and requests ended differ");
        m_out.flush();
        return m_failures == 0;
    }

    void print(const ScriptedAsker &asker) const
    {
        const auto line = [](const char *name, qint64 value) {
            std::printf("soak %s %lld\n", name, static_cast<long long>(value));
        };
        line("requests", m_sent);
        line("ended", m_ends);
        const auto ended = [this](RequestEnd how) {
            const auto it = m_ended.find(how);
            return it == m_ended.end() ? 0 : it->second;
        };
        line("ended-reply", ended(RequestEnd::Reply));
        line("ended-check-failed", ended(RequestEnd::CheckFailed));
        line("ended-timed-out", ended(RequestEnd::TimedOut));
        line("ended-abandoned", ended(RequestEnd::Abandoned));
        const auto seen = [this](TrafficEvent::Kind k) {
            const auto it = m_frames.find(k);
            return it == m_frames.end() ? 0 : it->second;
        };
        line("replies", seen(TrafficEvent::Kind::Answer));
        line("exception-replies", seen(TrafficEvent::Kind::Exception));
        line("check-failures", seen(TrafficEvent::Kind::CheckFailed));
        line("foreign-frames", seen(TrafficEvent::Kind::Foreign));
        line("late-replies", seen(TrafficEvent::Kind::Late));
        line("time-outs", seen(TrafficEvent::Kind::TimedOut));
        line("decoded-blocks", m_blocks);
        line("questions", asker.asked.size());
        line("once-failures", m_failures);
    }

private:
    template <class T, std::size_t N>
    static QString list(const QString &name, const std::array<T, N> &values, int n)
    {
        QString s;
        for (int k = 0; k < n && k < static_cast<int>(N); ++k)
            s += QStringLiteral("%1%2%3=%4")
                     .arg(k ? QStringLiteral(" ") : QString(), name)
                     .arg(k)
                     .arg(static_cast<qint32>(values[k]));
        return s;
    }

    void onTraffic(const TrafficEvent &e)
    {
        ++m_frames[e.kind];
        if (e.kind != TrafficEvent::Kind::Sent)
            return;
        if (m_open)
            fail("a request went out while the one before had not ended");
        m_open = true;
        ++m_sent;
        const QByteArray body = requestBody(e.bytes, e.framing);
        if (body.size() < 2) {
            m_key = QStringLiteral("? ? - -");
            return;
        }
        m_key = QStringLiteral("%1 %2")
                    .arg(static_cast<quint8>(body[0]))
                    .arg(static_cast<quint8>(body[1]), 2, 16, QLatin1Char('0'));
        m_key +=
            body.size() >= 6
                ? QStringLiteral(" %1 %2").arg(word(body, 2)).arg(word(body, 4).toInt(nullptr, 16))
                : QStringLiteral(" - -");
    }

    void onEnded(RequestEnd how)
    {
        if (!m_open)
            fail("a request ended that was not outstanding (or ended twice)");
        m_open = false;
        ++m_ends;
        ++m_ended[how];
    }

    void write(const QString &fields)
    {
        ++m_blocks;
        m_out << QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz")) << ' ' << m_key
              << ' ' << fields << '\n';
    }

    void fail(const char *what)
    {
        ++m_failures;
        std::fprintf(stderr, "krv2060-soak: %s (request %lld)\n", what,
                     static_cast<long long>(m_sent));
    }

    Program &m_p;
    QTextStream m_out;
    QString m_key;
    bool m_open = false;
    qint64 m_sent = 0;
    qint64 m_ends = 0;
    qint64 m_blocks = 0;
    qint64 m_failures = 0;
    std::map<RequestEnd, qint64> m_ended;
    std::map<TrafficEvent::Kind, qint64> m_frames;
};

// The operator: sessions of a scan followed by a run with writes, until time is up.
class Operator : public QObject
{
public:
    Operator(Program &p, const Options &o, std::function<void()> done)
        : m_p(p), m_rng(o.seed), m_limitMs(o.seconds * 1000LL), m_done(std::move(done))
    {
        m_clock.start();
        connect(&p.scan, &ModuleScan::stepped, this, [this](int address, Framing) {
            // A short scan covers the modules at 2 and 5; stop once address 6 is tried.
            if (!m_fullScan && m_scanning && address >= 6) {
                m_scanning = false;
                QTimer::singleShot(0, this, [this] {
                    press(QStringLiteral("Command7"));
                    later(300, [this] { run(); });
                });
            }
        });
        connect(&p.scan, &ModuleScan::finished, this, [this] {
            if (m_fullScan && m_scanning) {
                m_scanning = false;
                later(300, [this] { run(); });
            }
        });
    }

    void begin()
    {
        later(500, [this] { scan(); });
    }
    qint64 sessions() const { return m_session; }
    qint64 fullScans() const { return m_fullScans; }
    qint64 outputToggles() const { return m_toggles; }
    qint64 calibrationWrites() const { return m_calibrations; }

private:
    template <class T> T *w(const QString &name) const
    {
        T *widget = m_p.mainWindow.findChild<T *>(name);
        if (!widget)
            qFatal("no widget %s", qPrintable(name));
        return widget;
    }
    void press(const QString &name) { w<QPushButton>(name)->click(); }
    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_rng); }
    bool timeUp() const { return m_clock.elapsed() >= m_limitMs; }
    void later(int ms, std::function<void()> step)
    {
        QTimer::singleShot(ms, this, [this, step = std::move(step)] {
            if (timeUp())
                m_done();
            else
                step();
        });
    }

    void scan()
    {
        ++m_session;
        // A full scan (512 ticks) after five minutes and every fifteen after that.
        const qint64 now = m_clock.elapsed();
        m_fullScan =
            now >= 5 * 60000 && now - m_lastFullScan >= 15 * 60000 && m_limitMs - now > 3 * 60000;
        if (m_fullScan) {
            m_lastFullScan = now;
            ++m_fullScans;
        }
        m_scanning = true;
        press(QStringLiteral("Command5"));
    }

    void run()
    {
        QComboBox *list = w<QComboBox>(QStringLiteral("ModNO"));
        if (list->count() > 0) {
            list->setCurrentIndex(static_cast<int>(m_session % list->count()));
        } else {
            w<QLineEdit>(QStringLiteral("Address"))->setText(QStringLiteral("2"));
            w<QComboBox>(QStringLiteral("Protocol"))->setCurrentIndex(0);
        }
        press(QStringLiteral("Start"));
        m_runEnds = m_clock.elapsed() + pick(20000, 40000);
        later(pick(2000, 6000), [this] { act(); });
    }

    void act()
    {
        if (m_clock.elapsed() >= m_runEnds) {
            press(QStringLiteral("Command7"));
            later(500, [this] { scan(); });
            return;
        }
        // Calibration values are written once the module has shown them: with
        // every reply late, say, the boxes keep their design-time text, which
        // the window rightly refuses to write.
        if (pick(0, 9) < 6 || !calibrationShown()) {
            ++m_toggles;
            press(QStringLiteral("DOoutP%1").arg(pick(0, 9)));
        } else {
            ++m_calibrations;
            for (int n = pick(1, 3); n > 0; --n)
                w<QLineEdit>(QStringLiteral("EngCalb%1").arg(pick(0, 7)))
                    ->setText(QString::number(pick(-999, 999)));
            press(QStringLiteral("Command8"));
        }
        later(pick(2000, 6000), [this] { act(); });
    }

    bool calibrationShown() const
    {
        for (int ch = 0; ch < ChannelCount; ++ch) {
            bool number = false;
            w<QLineEdit>(QStringLiteral("EngCalb%1").arg(ch))->text().toInt(&number);
            if (!number)
                return false;
        }
        return true;
    }

    Program &m_p;
    std::mt19937 m_rng;
    qint64 m_limitMs;
    std::function<void()> m_done;
    QElapsedTimer m_clock;
    qint64 m_session = 0;
    qint64 m_fullScans = 0;
    qint64 m_lastFullScan = -15 * 60000;
    qint64 m_runEnds = 0;
    qint64 m_toggles = 0;
    qint64 m_calibrations = 0;
    bool m_scanning = false;
    bool m_fullScan = false;
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("krv2060"));
    krv::usePanelCacheStyle();
    Options opt;
    if (!parseArgs(QApplication::arguments(), &opt)) {
        std::fputs("usage: krv2060-soak --seconds N --record FILE [--seed S] [--port ADDRESS]\n",
                   stderr);
        return 2;
    }
    QFile file(opt.record);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        std::fprintf(stderr, "krv2060-soak: cannot write %s\n", qPrintable(opt.record));
        return 2;
    }

    SystemPortComponent mainPort, controlPort, alarmPort;
    ScriptedAsker asker;
    auto program = std::make_unique<Program>(Ports{mainPort, controlPort, alarmPort}, asker);
    if (opt.port)
        program->mainWindow.showLine(opt.port->text(), QString());
    Recorder recorder(*program, file);
    Operator op(*program, opt, [] { QApplication::exit(0); });
    program->mainWindow.show();
    op.begin();
    QApplication::exec();

    const bool once = recorder.finish();
    recorder.print(asker);
    std::printf("soak sessions %lld\nsoak full-scans %lld\nsoak output-toggles %lld\n"
                "soak calibration-writes %lld\n",
                static_cast<long long>(op.sessions()), static_cast<long long>(op.fullScans()),
                static_cast<long long>(op.outputToggles()),
                static_cast<long long>(op.calibrationWrites()));
    for (const Question &q : asker.asked) {
        if (q.kind != u"confirm")
            std::fprintf(stderr, "krv2060-soak: unexpected %s box: %s\n", qPrintable(q.kind),
                         qPrintable(q.text));
    }
    const bool quiet = std::all_of(asker.asked.begin(), asker.asked.end(),
                                   [](const Question &q) { return q.kind == u"confirm"; });
    return once && quiet ? 0 : 1;
}
