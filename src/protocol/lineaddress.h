#pragma once
// Where the line is: one of the classic ports "COM1".."COM4" (on Windows a
// COM port of any number), a serial device the system names ("ttyUSB0",
// "/dev/ttyUSB0", "COM7"), a serial device server that carries the frames
// unchanged over TCP ("host:port", "tcp://host:port"), or a Modbus TCP
// gateway ("mbap://host:port"). Parsed from what the port list holds or the
// operator typed; nothing is opened here.

#include <QString>
#include <QtGlobal>

namespace krv {

struct LineAddress
{
    enum class Kind {
        Invalid,
        ComNumber, // COMn: on Windows the device itself, elsewhere KRV2060_COMn or /dev/ttyS<n-1>
        SerialDevice, // a device path or a name the system knows
        Tcp,          // RTU or ASCII frames over a TCP connection
        Mbap,         // Modbus TCP to a gateway
    };
    enum class Fault {
        None,
        Empty,
        Blank,       // blanks inside the address
        NoHost,      // ":502"
        NoPort,      // "host:" or "tcp://host"
        BadPort,     // not a number 1..65535
        UnknownForm, // none of the forms
    };

    Kind kind = Kind::Invalid;
    Fault fault = Fault::Empty;
    int comNumber = 0;
    QString device; // a serial device's name or path as given
    QString host;
    quint16 port = 0;

    static LineAddress parse(const QString &text);
    static LineAddress com(int n);

    bool valid() const { return kind != Kind::Invalid; }
    bool isNetwork() const { return kind == Kind::Tcp || kind == Kind::Mbap; }
    bool isSerial() const { return kind == Kind::ComNumber || kind == Kind::SerialDevice; }
    // The address as the operator writes it: "COM1", "ttyUSB0", "host:502",
    // "mbap://host:502".
    QString text() const;
    // A serial device's path (what QSerialPort opens), or "host:port".
    QString location() const;

    friend bool operator==(const LineAddress &, const LineAddress &) = default;
};

} // namespace krv
