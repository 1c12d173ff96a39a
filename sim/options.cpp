#include "options.h"

#include <algorithm>
#include <optional>

namespace sim {

namespace {

std::optional<int> toInt(const QString &text, int min, int max)
{
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok || v < min || v > max)
        return std::nullopt;
    return v;
}

std::optional<bool> toBool(const QString &text)
{
    if (text.isEmpty() || text == u"1" || text == u"yes" || text == u"on" || text == u"true")
        return true;
    if (text == u"0" || text == u"no" || text == u"off" || text == u"false")
        return false;
    return std::nullopt;
}

// Sets one fault from its name and value text; false when the name is no fault.
// An empty value is allowed for the two switches only.
bool setFault(Faults &f, const QString &name, const QString &value, QString *error)
{
    const auto count = [&](int &field, int max) {
        const auto v = toInt(value, 0, max);
        if (!v)
            *error = QStringLiteral("%1 needs a whole number 0..%2, not '%3'")
                         .arg(name)
                         .arg(max)
                         .arg(value);
        else
            field = *v;
    };
    const auto flag = [&](bool &field) {
        const auto v = toBool(value);
        if (!v)
            *error = QStringLiteral("%1 takes no value or 0/1, not '%2'").arg(name, value);
        else
            field = *v;
    };
    if (name == u"silent")
        flag(f.silent);
    else if (name == u"lowercase")
        flag(f.lowercase);
    else if (name == u"drop")
        count(f.drop, 1000000);
    else if (name == u"corrupt")
        count(f.corrupt, 1000000);
    else if (name == u"garbage")
        count(f.garbage, 1000000);
    else if (name == u"exception")
        count(f.exception, 1000000);
    else if (name == u"delay")
        count(f.delayMs, 60000);
    else if (name == u"delayat") {
        // REGISTER:MS, the register in decimal or 0x hexadecimal.
        const QStringList parts = value.split(u':');
        bool ok = parts.size() == 2;
        const int reg = ok ? parts[0].toInt(&ok, 0) : -1;
        const auto ms = ok ? toInt(parts[1], 0, 60000) : std::nullopt;
        if (!ok || reg < 0 || reg > 0xFFFF || !ms)
            *error = QStringLiteral("delayat needs REGISTER:MS (0x0082:320), not '%1'").arg(value);
        else {
            f.delayAtRegister = reg;
            f.delayAtMs = *ms;
        }
    } else
        return false;
    return true;
}

bool isFlagFault(const QString &name)
{
    return name == u"silent" || name == u"lowercase";
}

bool parseModule(const QString &settings, const Faults &global, ModuleOptions *out, QString *error)
{
    ModuleOptions m;
    m.faults = global;
    for (const QString &item : settings.split(u',', Qt::SkipEmptyParts)) {
        const qsizetype eq = item.indexOf(u'=');
        const QString key = item.left(eq).trimmed();
        const QString value = eq < 0 ? QString() : item.mid(eq + 1).trimmed();
        const auto bad = [&](const QString &why) {
            *error = QStringLiteral("--module %1: %2").arg(settings, why);
            return false;
        };
        if (key == u"addr") {
            const auto v = toInt(value, 1, 255);
            if (!v)
                return bad(QStringLiteral("addr must be 1..255"));
            m.setup.address = *v;
        } else if (key == u"id") {
            if (value.isEmpty() || value.size() > 14 ||
                !std::all_of(value.begin(), value.end(),
                             [](QChar c) { return c.unicode() >= 0x20 && c.unicode() < 0x7F; }))
                return bad(QStringLiteral("id must be 1..14 printable ASCII characters"));
            m.setup.id = value.toLatin1();
        } else if (key == u"fw") {
            const QStringList parts = value.split(u'.');
            const auto major = parts.size() == 2 ? toInt(parts[0], 0, 255) : std::nullopt;
            const auto minor = parts.size() == 2 ? toInt(parts[1], 0, 255) : std::nullopt;
            if (!major || !minor)
                return bad(QStringLiteral("fw must be MAJOR.MINOR, e.g. 5.3"));
            m.setup.fwMajor = *major;
            m.setup.fwMinor = *minor;
        } else if (key == u"framing") {
            if (value.compare(u"rtu", Qt::CaseInsensitive) == 0)
                m.setup.framing = Framing::Rtu;
            else if (value.compare(u"ascii", Qt::CaseInsensitive) == 0)
                m.setup.framing = Framing::Ascii;
            else
                return bad(QStringLiteral("framing must be rtu or ascii"));
        } else if (key == u"baud") {
            const auto v = toInt(value, 1, 1000000);
            if (!v || baudCode(*v) < 0)
                return bad(QStringLiteral("baud must be 1200, 2400, 4800, 9600, 19200 or 38400"));
            m.setup.baud = *v;
        } else if (eq < 0 && !isFlagFault(key)) {
            return bad(QStringLiteral("'%1' needs a value").arg(key));
        } else if (!setFault(m.faults, key, value, error)) {
            return bad(QStringLiteral("unknown key '%1'").arg(key));
        } else if (!error->isEmpty()) {
            return bad(*error);
        }
    }
    *out = m;
    return true;
}

} // namespace

bool parseOptions(const QStringList &args, Options *out, QString *error)
{
    Options o;
    Faults global;
    QStringList moduleArgs;
    error->clear();
    for (qsizetype i = 0; i < args.size(); ++i) {
        QString arg = args[i];
        std::optional<QString> inlineValue;
        if (arg.startsWith(u"--") && arg.contains(u'=')) {
            inlineValue = arg.mid(arg.indexOf(u'=') + 1);
            arg = arg.left(arg.indexOf(u'='));
        }
        const auto value = [&]() -> std::optional<QString> {
            if (inlineValue)
                return inlineValue;
            if (i + 1 < args.size())
                return args[++i];
            *error = QStringLiteral("%1 needs a value").arg(arg);
            return std::nullopt;
        };
        if (arg == u"-h" || arg == u"--help") {
            o.help = true;
        } else if (arg == u"--version") {
            o.version = true;
        } else if (arg == u"-v" || arg == u"--verbose") {
            ++o.verbose;
        } else if (arg == u"-vv") {
            o.verbose += 2;
        } else if (arg == u"--log-us") {
            o.logMicroseconds = true;
        } else if (arg == u"--fast") {
            o.fast = true;
        } else if (arg == u"--module") {
            const auto v = value();
            if (!v)
                return false;
            moduleArgs.append(*v);
        } else if (arg == u"--tcp" || arg == u"--mbap") {
            const auto v = value();
            if (!v)
                return false;
            const auto port = toInt(*v, 0, 65535);
            if (!port) {
                *error = QStringLiteral("%1 needs a port 0..65535, not '%2'").arg(arg, *v);
                return false;
            }
            if (o.server != Server::Pty) {
                *error = QStringLiteral("only one of --tcp and --mbap, once");
                return false;
            }
            o.server = arg == u"--tcp" ? Server::Tcp : Server::Mbap;
            o.port = *port;
        } else if (arg == u"--link") {
            const auto v = value();
            if (!v)
                return false;
            o.link = *v;
        } else if (arg.startsWith(u"--") && isFlagFault(arg.mid(2))) {
            if (!setFault(global, arg.mid(2), inlineValue.value_or(QString()), error))
                return false;
        } else if (arg.startsWith(u"--")) {
            Faults probe;
            QString probeError; // only whether the name is a fault's
            if (!setFault(probe, arg.mid(2), QStringLiteral("0"), &probeError)) {
                *error = QStringLiteral("unknown option %1").arg(arg);
                return false;
            }
            const auto v = value();
            if (!v)
                return false;
            setFault(global, arg.mid(2), *v, error);
        } else {
            *error = QStringLiteral("unexpected argument '%1'").arg(arg);
            return false;
        }
        if (!error->isEmpty())
            return false;
    }

    if (!o.link.isEmpty() && o.server != Server::Pty) {
        *error = QStringLiteral("--link names the pseudo-terminal, which --tcp and --mbap "
                                "do not open");
        return false;
    }
    for (const QString &settings : moduleArgs) {
        ModuleOptions m;
        if (!parseModule(settings, global, &m, error))
            return false;
        for (const ModuleOptions &other : o.modules) {
            if (other.setup.address == m.setup.address && other.setup.framing == m.setup.framing) {
                *error = QStringLiteral("two modules with address %1 in the same framing")
                             .arg(m.setup.address);
                return false;
            }
            // Modbus TCP selects a module by its address alone.
            if (other.setup.address == m.setup.address && o.server == Server::Mbap) {
                *error = QStringLiteral("two modules with address %1: with --mbap the unit id "
                                        "alone selects the module")
                             .arg(m.setup.address);
                return false;
            }
        }
        o.modules.append(m);
    }
    if (o.modules.isEmpty()) {
        ModuleOptions a;
        a.setup = {2, "REREVE2060RIDU", 5, 3, Framing::Rtu, 9600};
        a.faults = global;
        ModuleOptions b;
        b.setup = {5, "ZEZADO2040ZOZE", 5, 2, Framing::Ascii, 9600};
        b.faults = global;
        o.modules = {a, b};
    }
    *out = o;
    return true;
}

QString helpText()
{
    return QStringLiteral(R"(Usage: krv2060-sim [options]

Simulates temperature modules on one serial line. By default the line is a
pseudo-terminal; the first line on standard output is its device, exactly
"pty: /dev/pts/N". Open that device as the serial port (8N1). With --tcp or
--mbap the modules are reached over TCP instead and no pseudo-terminal is opened;
the first line is then "tcp: 127.0.0.1:PORT" or "mbap: 127.0.0.1:PORT". The
simulator ends on SIGINT or SIGTERM.

Options:
  --module LIST   Adds a module (repeatable). LIST is a comma-separated list of
                  key=value items:
                    addr=N          station address 1..255 (default 2)
                    id=TEXT         identification, up to 14 characters
                                    (default REREVE2060RIDU)
                    fw=MAJOR.MINOR  firmware version (default 5.3)
                    framing=rtu|ascii  Modbus framing (default rtu)
                    baud=N          1200, 2400, 4800, 9600, 19200 or 38400
                                    (default 9600)
                  and any fault below without its dashes, e.g. drop=3,silent.
                  Without --module the line holds two modules:
                    addr=2,id=REREVE2060RIDU,fw=5.3,framing=rtu,baud=9600
                    addr=5,id=ZEZADO2040ZOZE,fw=5.2,framing=ascii,baud=9600
  --tcp PORT      A transparent serial server on 127.0.0.1:PORT instead of the
                  pseudo-terminal: the bytes a client sends reach the modules as
                  bytes on the line would (RTU and ASCII frames, each module in
                  its own framing, faults as on the line) and the replies go back
                  unchanged. There is no line speed: every module answers
                  whatever its own.
  --mbap PORT     Modbus TCP on 127.0.0.1:PORT instead of the pseudo-terminal:
                  each request is an MBAP frame (transaction id, protocol id 0,
                  length, unit id, PDU); the unit id is the station address and
                  selects the module whatever its framing, so no two modules may
                  share an address. The reply is an MBAP frame with the same
                  transaction id. Frames with another protocol id are skipped; a
                  length below 2 or above 254 throws away everything received up
                  to then (both logged at -vv).
                  With --tcp or --mbap, PORT 0 takes any free port (the first
                  line names it). The server takes one client at a time: a
                  connection made while a client is connected is accepted and
                  closed at once (logged at -v); once the client has closed its
                  connection the next one is taken.
  --link PATH     Also makes PATH a symbolic link to the device (an old link
                  there is replaced); removed on exit. Not with --tcp or --mbap.
  --fast          Replies at once: no turnaround, no pacing at the line speed.
  -v, --verbose   Logs every request and reply to standard error with the time
                  to the millisecond: hex bytes for RTU, the characters for
                  ASCII, the whole frame in hex for MBAP. Twice (-vv) also logs
                  bytes a module ignored.
  --log-us        Log time stamps to the microsecond (HH:mm:ss.zzzzzz).
  -h, --help      Shows this text.
  --version       Shows the version.

Faults (for all modules; a module's own LIST item overrides). N counts the
requests that reach a module; every Nth one is affected:
  --silent        The module never answers.
  --drop N        Every Nth reply is not sent (the request is still executed).
  --corrupt N     Every Nth reply has a wrong CRC or LRC.
  --lowercase     ASCII replies use lower-case hex digits.
  --delay MS      Every reply starts MS milliseconds late.
  --delayat REG:MS  Replies to reads from start register REG (decimal or 0x..)
                  start MS milliseconds late instead (e.g. 0x0082:320).
  --garbage N     Every Nth reply is preceded by 2 to 5 noise bytes.
  --exception N   Every Nth request is not executed and gets exception 04.
With --mbap, --corrupt sends the reply with the complement of the request's
transaction id (the rest of the frame is right), --garbage sends the noise bytes
before the MBAP frame, and --lowercase does not apply.

The line:
  A module answers only while the speed the master set on its end of the
  pseudo-terminal equals the module's own line speed. It answers only frames
  with its station address and a good check, in its own framing. RTU frames
  are sized by their function code; garbage before a frame is skipped and 3.5
  character times of silence end a frame. ASCII frames run from ":" to CR LF.
  Unless --fast, a reply starts about 3 ms after the request and is sent at
  10 bits per character.
  Over --tcp there is no line speed, so every module answers whatever its own
  speed; unless --fast its replies still start about 3 ms late and are paced
  at its own speed, as from a serial server. Over --mbap replies start about
  3 ms late (unless --fast) and go out whole.

Functions: 01 read coils, 02 read discrete inputs, 03 read holding registers,
04 read input registers (the measurements), 05 write coil (FF00 on, 0000 off),
06 write register, 16 (0x10) write registers, 17 (0x11) identification (byte
count 16, the 14 identification characters, major and minor firmware number).
Exceptions: 01 unknown function, 02 address outside the map, 03 bad value or
count (also a line speed code above 5, a protocol code above 1, station address
0, a cold-junction value outside -128..127, a sensor code above 19).

Holding registers (values are raw integers):
  0x0000-0x0008  measurements of channels 0..8 (read only); channels drift
                 toward their control block's set value while control runs
                 (coil 0x30 on and start mode 0, or start mode 1 and IN0 on)
  0x0012-...     system block: 6 registers below firmware 5.3, 10 from 5.3
                 below 5.3: 12 serial no., 13 sensor byte (hi) comm byte (lo),
                   14 year, 15 day|month, 16 minute|hour, 17 cold value|address
                 from 5.3: 12 serial no., 13 comm byte, 14 sensor byte, 15 year,
                   16 month, 17 day, 18 hour, 19 minute, 1A address, 1B cold value
                 written (function 06 or 16) at 13 comm, 14 sensor, 1A address,
                 1B cold value with continuous addressing (firmware 5.3 or above
                 and bit 15 of 0x01F8 set), else at 14, 15, 1C, 1D (1C and 1D
                 then read back too). The comm byte holds the line speed code
                 (bits 0-2) and protocol (bits 3-4: 0 RTU, 1 ASCII); a new
                 address, speed or protocol is used once the echo has been sent.
  0x0062-0x0069  channel sensor codes 0..19
  0x0072         parallel-port output time
  0x0082-0x0089  calibration of channels 0..7 as read; channel i is written at
                 0x0082 + 2i
  0x0100 + 18c + 2..8   control block of channel c = 0..8
  0x01A8 + 10b + 0..2   alarm block of channel b = 0..7 (upper limit, lower
                        limit, pre-alarm|relative alarm)
  0x01F8-0x01FA  module control: bit 15 continuous addressing, bits 11-8
                 serial output, bit 0 request output | start mode | channels
Coils: 0-8 switch outputs, 0x30 temperature-control enable.
Discrete inputs: 20 from 0x0010 (firmware 5.2 and above) or from 0: 0-7 channel
above its upper limit, 8-15 below its lower limit, 16-19 external inputs IN0-IN3,
which change now and then.
)");
}

} // namespace sim
