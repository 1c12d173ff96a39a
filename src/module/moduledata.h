#pragma once
// What the tool knows about the selected module, as its replies told it: the
// counts of its channels, blocks, outputs and inputs, and one value type per
// kind of reply. The decoders fill these; the windows show what they carry.

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <array>

namespace krv {

constexpr int ChannelCount = 8;       // measurement channels 0..7
constexpr int BlockCount = 9;         // parameter blocks 0..8 of the editors
constexpr int SwitchOutputCount = 9;  // switch outputs 0..8
constexpr int OutputCount = 10;       // the switch outputs and the control enable
constexpr int ControlEnableIndex = 9; // the control enable among the outputs
constexpr int InputCount = 20;        // switch inputs 0..19

// One register per channel, as a reply carried them: `count` channels from
// channel 0 (measurements, sensor codes, calibration values).
struct ChannelValues
{
    int count = 0;
    std::array<qint32, ChannelCount> values{};
};

// The system block (serial number, communication and sensor bytes, date and
// time of manufacture, station address, cold-junction adjustment).
struct SystemBlock
{
    quint16 serialNumber = 0; // shown unsigned 0..65535
    quint8 commByte = 0;      // line speed (bits 0-2), protocol (3-4), byte and request output
    quint8 sensorByte = 0;    // sensor (bits 0-3), per-channel, channel 8, compensation, filter
    quint16 year = 0;         // shown unsigned 0..65535
    qint16 month = 0;
    qint16 day = 0;
    qint16 hour = 0;
    qint16 minute = 0;
    qint16 stationAddress = 0;
    qint16 coldJunctionAdjust = 0;
};

// The module control block (three registers from 0x01F8).
struct ModuleControl
{
    bool continuousAddressing = false; // bit 15: the system registers move
    qint16 serialOutputCount = 0;      // bits 11..8 of register 0
    qint16 requestOutput = 0;          // bit 0 of register 0
    qint16 startMode = 0;              // bit 0 of register 1
    qint16 measuredChannels = 0;       // register 2
};

// The identification reply: 14 identifier bytes and the firmware version.
struct DeviceId
{
    QByteArray id;
    quint8 major = 0;
    quint8 minor = 0;

    // "REREVE2060RIDU  Version5.3": one character per identifier byte.
    QString text() const;
    // One of the two module types this tool serves.
    bool isKnownModule() const;
};

struct ModuleData
{
    ChannelValues measurements;
    // The calibration values as read, or as the operator set them for writing.
    std::array<qint16, ChannelCount> calibration{};
    std::array<qint32, ChannelCount> sensorCodes{};
    std::array<bool, OutputCount> outputs{}; // true = on
    std::array<bool, InputCount> inputs{};
    SystemBlock system;
    ModuleControl control;
    qint16 firmwareMajor = 0;
    qint16 firmwareMinor = 0;
    // The selected module has answered its identification request since it
    // was selected: its firmware version, and with it the layout of several
    // replies, is known.
    bool firmwareKnown = false;

    // The firmware version as one number: 53 for 5.3. Several layouts change at 52 and 53.
    int version() const { return firmwareMajor * 10 + firmwareMinor; }
};

} // namespace krv
