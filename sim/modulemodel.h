#pragma once
// One simulated temperature module: its holding registers, coils and inputs, a slow
// thermal model of its nine channels, and the handling of one request body (station
// address, function code, data; no check field) into one reply body. It knows nothing
// about the line: which frames reach it, and when a new station address, line speed or
// protocol takes effect, is decided by the Station that owns it.

#include <QByteArray>
#include <QByteArrayView>

#include <array>
#include <optional>
#include <random>

namespace sim {

enum class Framing { Rtu, Ascii };

// Module line speeds, indexed by the code in bits 0..2 of the communication byte.
inline constexpr std::array<int, 6> kBaudRates = {1200, 2400, 4800, 9600, 19200, 38400};
// Code of a module line speed, or -1 when the module has no such speed.
int baudCode(int baud);

// What a module is when the simulator starts.
struct ModuleSetup
{
    int address = 2;
    QByteArray id = "REREVE2060RIDU"; // up to 14 characters, padded with blanks
    int fwMajor = 5;
    int fwMinor = 3;
    Framing framing = Framing::Rtu;
    int baud = 9600;
};

// Station address, line speed and protocol a module answers with.
struct LineSettings
{
    int address = 0;
    int baud = 0;
    Framing framing = Framing::Rtu;
    bool operator==(const LineSettings &) const = default;
};

enum class ExceptionCode : quint8 {
    IllegalFunction = 1,
    IllegalAddress = 2,
    IllegalValue = 3,
    DeviceFailure = 4,
};

// Exception reply body: address, function | 0x80, code.
QByteArray exceptionReply(quint8 address, quint8 function, ExceptionCode code);

class ModuleModel
{
public:
    static constexpr int kChannels = 9;       // measuring channels 0..7 and channel 8
    static constexpr int kOutputs = 9;        // switch output coils 0..8
    static constexpr int kControlCoil = 0x30; // temperature-control enable
    static constexpr int kInputs = 20;        // discrete inputs

    explicit ModuleModel(const ModuleSetup &setup, quint32 seed = 1);

    // Reply body to a request body (at least address and function code) whose
    // station address is this module's.
    QByteArray handle(QByteArrayView request);
    // Lets time pass: channels move toward their targets, external inputs change
    // now and then.
    void advance(double seconds);

    // Line settings as stored in the system block; the line takes them over only
    // once the reply to the write that changed them has been sent.
    LineSettings storedLineSettings() const;
    int version() const { return m_fwMajor * 10 + m_fwMinor; }
    // System writes use the continuous register addresses.
    bool continuousAddressing() const;
    // First discrete input address: 0x0010 from firmware 5.2 on, 0 before.
    int inputBase() const { return version() >= 52 ? 0x10 : 0; }

    qint16 measurement(int channel) const { return m_meas[channel]; }
    bool discreteInput(int index) const;
    void setExternalInput(int n, bool on) { m_extIn[n] = on; }
    bool controlActive() const;
    std::optional<quint16> readHolding(int reg) const;

private:
    enum class WriteCheck { Ok, BadAddress, BadValue };

    struct SystemBlock
    {
        quint16 serialNo = 0;
        quint8 commByte = 0;
        quint8 sensorByte = 0;
        quint16 year = 0;
        quint8 month = 0, day = 0, hour = 0, minute = 0;
        quint8 address = 0;
        qint16 coldAdj = 0;
    };

    QByteArray readBits(QByteArrayView request, bool coils) const;
    QByteArray readRegisters(QByteArrayView request, bool inputRegisters) const;
    QByteArray writeCoil(QByteArrayView request);
    QByteArray writeRegister(QByteArrayView request);
    QByteArray writeRegisters(QByteArrayView request);
    QByteArray identification(QByteArrayView request) const;

    std::optional<quint16> readSystem(int reg) const;
    std::optional<bool> readCoil(int addr) const;
    WriteCheck writeHolding(int reg, quint16 value, bool apply);
    WriteCheck writeSystem(int reg, quint16 value, bool apply);
    void updateMeasurements();

    QByteArray m_id;
    int m_fwMajor;
    int m_fwMinor;
    SystemBlock m_sys;
    std::array<quint16, 8> m_sensorCode{};
    quint16 m_pOutTime = 0;
    std::array<quint16, 8> m_calib{};
    std::array<std::array<quint16, 7>, kChannels> m_control{}; // offsets 2..8 of each block
    std::array<std::array<quint16, 3>, 8> m_alarm{};
    std::array<quint16, 3> m_modCon{};
    std::array<bool, kOutputs> m_outputs{};
    bool m_controlEnable = false;
    std::array<bool, 4> m_extIn{};

    std::array<double, kChannels> m_ambient{};
    std::array<double, kChannels> m_temp{};
    std::array<qint16, kChannels> m_meas{};
    double m_nextInputChange = 0;
    std::mt19937 m_rng;
};

} // namespace sim
