#include "modulemodel.h"

#include <algorithm>
#include <cmath>

namespace sim {

namespace {

// Holding register map.
constexpr int kMeasFirst = 0x0000; // channels 0..8
constexpr int kSysFirst = 0x0012;  // system block and its write registers, to 0x001D
constexpr int kSysLast = 0x001D;
constexpr int kSensorFirst = 0x0062; // channel sensor codes 0..7
constexpr int kPOutTime = 0x0072;    // parallel-port nibble output time
constexpr int kCalibFirst = 0x0082;  // calibration: read contiguously, written every 2nd
constexpr int kControlBase = 0x0100; // control block c: 0x0100 + 18c + 2 .. + 8
constexpr int kControlStride = 18;
constexpr int kAlarmBase = 0x01A8; // alarm block b: 0x01A8 + 10b .. + 2; b = 8: module control
constexpr int kAlarmStride = 10;
constexpr int kSensorCodes = 20; // entries of a channel's sensor list

quint16 word(QByteArrayView b, int i)
{
    return static_cast<quint16>(static_cast<quint8>(b[i]) << 8 | static_cast<quint8>(b[i + 1]));
}

void appendWord(QByteArray &out, quint16 v)
{
    out.append(static_cast<char>(v >> 8));
    out.append(static_cast<char>(v & 0xFF));
}

// (channel, word 0..6) of a control block register.
std::optional<std::pair<int, int>> controlSlot(int reg)
{
    const int rel = reg - kControlBase;
    if (rel < 0)
        return std::nullopt;
    const int c = rel / kControlStride;
    const int off = rel % kControlStride;
    if (c >= ModuleModel::kChannels || off < 2 || off > 8)
        return std::nullopt;
    return std::pair{c, off - 2};
}

// (block 0..8, register 0..2) of an alarm or module control block register.
std::optional<std::pair<int, int>> alarmSlot(int reg)
{
    const int rel = reg - kAlarmBase;
    if (rel < 0)
        return std::nullopt;
    const int b = rel / kAlarmStride;
    const int k = rel % kAlarmStride;
    if (b > 8 || k > 2)
        return std::nullopt;
    return std::pair{b, k};
}

} // namespace

int baudCode(int baud)
{
    const auto it = std::find(kBaudRates.begin(), kBaudRates.end(), baud);
    return it == kBaudRates.end() ? -1 : static_cast<int>(it - kBaudRates.begin());
}

QByteArray exceptionReply(quint8 address, quint8 function, ExceptionCode code)
{
    QByteArray out;
    out.append(static_cast<char>(address));
    out.append(static_cast<char>(function | 0x80));
    out.append(static_cast<char>(code));
    return out;
}

ModuleModel::ModuleModel(const ModuleSetup &setup, quint32 seed)
    : m_id(setup.id.left(14).leftJustified(14, ' ')), m_fwMajor(setup.fwMajor),
      m_fwMinor(setup.fwMinor), m_rng(seed)
{
    m_sys.serialNo = static_cast<quint16>(2000 + setup.address);
    m_sys.commByte = static_cast<quint8>(std::max(0, baudCode(setup.baud)) |
                                         (setup.framing == Framing::Ascii ? 1 << 3 : 0));
    m_sys.sensorByte = 0x02;
    m_sys.year = 2006;
    m_sys.month = 5;
    m_sys.day = 18;
    m_sys.hour = 14;
    m_sys.minute = 30;
    m_sys.address = static_cast<quint8>(setup.address);
    m_sys.coldAdj = 3;

    m_sensorCode = {1, 1, 1, 1, 3, 1, 1, 1};
    m_pOutTime = 64536;
    const std::array<qint16, 8> calib = {0, 2, -1, 0, 5, 0, -3, 1};
    for (int i = 0; i < 8; ++i)
        m_calib[i] = static_cast<quint16>(calib[i]);
    for (int c = 0; c < kChannels; ++c) {
        // start order, input channel | phase, sample time | set value | D0 D1 D2 | range
        m_control[c] = {static_cast<quint16>((c + 1) << 8 | c),
                        10,
                        static_cast<quint16>(300 + 10 * c),
                        120,
                        30,
                        8,
                        50};
    }
    for (auto &a : m_alarm)
        a = {600, static_cast<quint16>(-300), 20};
    m_modCon = {0, 0, 7};

    // Raw values in tenths of a degree: room temperature, one channel in a freezer,
    // channel 8 the cold junction. Each module a little different.
    const std::array<double, kChannels> ambient = {235, 241, 228, 252, -183, 238, 246, 231, 250};
    const double offset = (setup.address * 7) % 11 - 5;
    for (int c = 0; c < kChannels; ++c) {
        m_ambient[c] = ambient[c] + offset;
        m_temp[c] = m_ambient[c];
    }
    m_nextInputChange = 5;
    updateMeasurements();
}

LineSettings ModuleModel::storedLineSettings() const
{
    const int code = m_sys.commByte & 0x07;
    return {m_sys.address, kBaudRates[std::min(code, 5)],
            (m_sys.commByte >> 3 & 0x03) == 1 ? Framing::Ascii : Framing::Rtu};
}

bool ModuleModel::continuousAddressing() const
{
    return version() >= 53 && (m_modCon[0] & 0x8000) != 0;
}

bool ModuleModel::controlActive() const
{
    // Start mode 1 waits for external input IN0.
    return m_controlEnable && ((m_modCon[1] & 1) == 0 || m_extIn[0]);
}

bool ModuleModel::discreteInput(int index) const
{
    if (index < 8)
        return m_meas[index] > static_cast<qint16>(m_alarm[index][0]);
    if (index < 16)
        return m_meas[index - 8] < static_cast<qint16>(m_alarm[index - 8][1]);
    return m_extIn[index - 16];
}

void ModuleModel::advance(double seconds)
{
    if (seconds <= 0)
        return;
    const bool control = controlActive();
    const double tau = control ? 40.0 : 120.0;
    const double k = 1.0 - std::exp(-seconds / tau);
    for (int c = 0; c < kChannels; ++c) {
        const double target = control ? static_cast<qint16>(m_control[c][2]) : m_ambient[c];
        m_temp[c] += (target - m_temp[c]) * k;
    }
    m_nextInputChange -= seconds;
    if (m_nextInputChange <= 0) {
        const int n = static_cast<int>(m_rng() % m_extIn.size());
        m_extIn[n] = !m_extIn[n];
        m_nextInputChange = std::uniform_real_distribution<double>(3.0, 10.0)(m_rng);
    }
    updateMeasurements();
}

void ModuleModel::updateMeasurements()
{
    std::normal_distribution<double> noise(0.0, 0.6);
    for (int c = 0; c < kChannels; ++c) {
        const long v = std::lround(m_temp[c] + noise(m_rng));
        m_meas[c] = static_cast<qint16>(std::clamp(v, -32768L, 32767L));
    }
}

std::optional<quint16> ModuleModel::readSystem(int reg) const
{
    const SystemBlock &s = m_sys;
    // Outside continuous addressing the station address and cold-junction value are
    // written at 0x1C/0x1D; those registers read back what was written there.
    if (!continuousAddressing() && reg == 0x1C)
        return s.address;
    if (!continuousAddressing() && reg == 0x1D)
        return static_cast<quint16>(s.coldAdj);
    if (version() < 53) {
        switch (reg) {
        case 0x12:
            return s.serialNo;
        case 0x13:
            return static_cast<quint16>(s.sensorByte << 8 | s.commByte);
        case 0x14:
            return s.year;
        case 0x15:
            return static_cast<quint16>(s.day << 8 | s.month);
        case 0x16:
            return static_cast<quint16>(s.minute << 8 | s.hour);
        case 0x17:
            return static_cast<quint16>(static_cast<quint8>(s.coldAdj) << 8 | s.address);
        default:
            return std::nullopt;
        }
    }
    switch (reg) {
    case 0x12:
        return s.serialNo;
    case 0x13:
        return s.commByte;
    case 0x14:
        return s.sensorByte;
    case 0x15:
        return s.year;
    case 0x16:
        return s.month;
    case 0x17:
        return s.day;
    case 0x18:
        return s.hour;
    case 0x19:
        return s.minute;
    case 0x1A:
        return s.address;
    case 0x1B:
        return static_cast<quint16>(s.coldAdj);
    default:
        return std::nullopt;
    }
}

std::optional<quint16> ModuleModel::readHolding(int reg) const
{
    if (reg >= kMeasFirst && reg < kMeasFirst + kChannels)
        return static_cast<quint16>(m_meas[reg - kMeasFirst]);
    if (reg >= kSysFirst && reg <= kSysLast)
        return readSystem(reg);
    if (reg >= kSensorFirst && reg < kSensorFirst + 8)
        return m_sensorCode[reg - kSensorFirst];
    if (reg == kPOutTime)
        return m_pOutTime;
    if (reg >= kCalibFirst && reg < kCalibFirst + 8)
        return m_calib[reg - kCalibFirst];
    if (const auto slot = controlSlot(reg))
        return m_control[slot->first][slot->second];
    if (const auto slot = alarmSlot(reg))
        return slot->first == 8 ? m_modCon[slot->second] : m_alarm[slot->first][slot->second];
    return std::nullopt;
}

ModuleModel::WriteCheck ModuleModel::writeSystem(int reg, quint16 value, bool apply)
{
    const bool cont = continuousAddressing();
    SystemBlock &s = m_sys;
    if (reg == (cont ? 0x13 : 0x14)) {
        // A line speed or protocol the module does not have is refused.
        if (value > 0xFF || (value & 0x07) > 5 || (value >> 3 & 0x03) > 1)
            return WriteCheck::BadValue;
        if (apply)
            s.commByte = static_cast<quint8>(value);
    } else if (reg == (cont ? 0x14 : 0x15)) {
        if (value > 0xFF)
            return WriteCheck::BadValue;
        if (apply)
            s.sensorByte = static_cast<quint8>(value);
    } else if (reg == (cont ? 0x1A : 0x1C)) {
        if (value < 1 || value > 255)
            return WriteCheck::BadValue;
        if (apply)
            s.address = static_cast<quint8>(value);
    } else if (reg == (cont ? 0x1B : 0x1D)) {
        const auto v = static_cast<qint16>(value);
        if (v < -128 || v > 127)
            return WriteCheck::BadValue;
        if (apply)
            s.coldAdj = v;
    } else {
        return WriteCheck::BadAddress;
    }
    return WriteCheck::Ok;
}

ModuleModel::WriteCheck ModuleModel::writeHolding(int reg, quint16 value, bool apply)
{
    if (reg >= kSysFirst && reg <= kSysLast)
        return writeSystem(reg, value, apply);
    if (reg >= kSensorFirst && reg < kSensorFirst + 8) {
        if (value >= kSensorCodes)
            return WriteCheck::BadValue;
        if (apply)
            m_sensorCode[reg - kSensorFirst] = value;
        return WriteCheck::Ok;
    }
    if (reg == kPOutTime) {
        if (apply)
            m_pOutTime = value;
        return WriteCheck::Ok;
    }
    // Channel i's calibration is written at 0x0082 + 2i but read as the i-th register
    // from 0x0082.
    if (reg >= kCalibFirst && reg < kCalibFirst + 16 && (reg - kCalibFirst) % 2 == 0) {
        if (apply)
            m_calib[(reg - kCalibFirst) / 2] = value;
        return WriteCheck::Ok;
    }
    if (const auto slot = controlSlot(reg)) {
        if (apply)
            m_control[slot->first][slot->second] = value;
        return WriteCheck::Ok;
    }
    if (const auto slot = alarmSlot(reg)) {
        if (apply)
            (slot->first == 8 ? m_modCon[slot->second] : m_alarm[slot->first][slot->second]) =
                value;
        return WriteCheck::Ok;
    }
    return WriteCheck::BadAddress;
}

std::optional<bool> ModuleModel::readCoil(int addr) const
{
    if (addr >= 0 && addr < kOutputs)
        return m_outputs[addr];
    if (addr == kControlCoil)
        return m_controlEnable;
    return std::nullopt;
}

QByteArray ModuleModel::handle(QByteArrayView request)
{
    if (request.size() < 2)
        return {};
    switch (static_cast<quint8>(request[1])) {
    case 0x01:
        return readBits(request, true);
    case 0x02:
        return readBits(request, false);
    case 0x03:
        return readRegisters(request, false);
    case 0x04:
        return readRegisters(request, true);
    case 0x05:
        return writeCoil(request);
    case 0x06:
        return writeRegister(request);
    case 0x10:
        return writeRegisters(request);
    case 0x11:
        return identification(request);
    default:
        return exceptionReply(request[0], request[1], ExceptionCode::IllegalFunction);
    }
}

QByteArray ModuleModel::readBits(QByteArrayView request, bool coils) const
{
    const auto fail = [&](ExceptionCode c) { return exceptionReply(request[0], request[1], c); };
    if (request.size() != 6)
        return fail(ExceptionCode::IllegalValue);
    const int start = word(request, 2);
    const int count = word(request, 4);
    if (count < 1 || count > 2000)
        return fail(ExceptionCode::IllegalValue);
    QByteArray bits((count + 7) / 8, '\0');
    for (int i = 0; i < count; ++i) {
        const int addr = start + i;
        std::optional<bool> on;
        if (coils)
            on = readCoil(addr);
        else if (addr >= inputBase() && addr < inputBase() + kInputs)
            on = discreteInput(addr - inputBase());
        if (!on)
            return fail(ExceptionCode::IllegalAddress);
        if (*on)
            bits[i / 8] = static_cast<char>(bits[i / 8] | 1 << (i % 8));
    }
    QByteArray out = request.first(2).toByteArray();
    out.append(static_cast<char>(bits.size()));
    return out + bits;
}

QByteArray ModuleModel::readRegisters(QByteArrayView request, bool inputRegisters) const
{
    const auto fail = [&](ExceptionCode c) { return exceptionReply(request[0], request[1], c); };
    if (request.size() != 6)
        return fail(ExceptionCode::IllegalValue);
    const int start = word(request, 2);
    const int count = word(request, 4);
    if (count < 1 || count > 125)
        return fail(ExceptionCode::IllegalValue);
    QByteArray out = request.first(2).toByteArray();
    out.append(static_cast<char>(2 * count));
    for (int reg = start; reg < start + count; ++reg) {
        // Input registers are the measurements only.
        const bool mapped = !inputRegisters || reg < kMeasFirst + kChannels;
        const auto v = mapped ? readHolding(reg) : std::nullopt;
        if (!v)
            return fail(ExceptionCode::IllegalAddress);
        appendWord(out, *v);
    }
    return out;
}

QByteArray ModuleModel::writeCoil(QByteArrayView request)
{
    const auto fail = [&](ExceptionCode c) { return exceptionReply(request[0], request[1], c); };
    if (request.size() != 6)
        return fail(ExceptionCode::IllegalValue);
    const int addr = word(request, 2);
    const quint16 value = word(request, 4);
    if (value != 0xFF00 && value != 0x0000)
        return fail(ExceptionCode::IllegalValue);
    if (!readCoil(addr))
        return fail(ExceptionCode::IllegalAddress);
    (addr == kControlCoil ? m_controlEnable : m_outputs[addr]) = value == 0xFF00;
    return request.toByteArray();
}

QByteArray ModuleModel::writeRegister(QByteArrayView request)
{
    const auto fail = [&](ExceptionCode c) { return exceptionReply(request[0], request[1], c); };
    if (request.size() != 6)
        return fail(ExceptionCode::IllegalValue);
    switch (writeHolding(word(request, 2), word(request, 4), true)) {
    case WriteCheck::BadAddress:
        return fail(ExceptionCode::IllegalAddress);
    case WriteCheck::BadValue:
        return fail(ExceptionCode::IllegalValue);
    case WriteCheck::Ok:
        break;
    }
    return request.toByteArray();
}

QByteArray ModuleModel::writeRegisters(QByteArrayView request)
{
    const auto fail = [&](ExceptionCode c) { return exceptionReply(request[0], request[1], c); };
    if (request.size() < 7)
        return fail(ExceptionCode::IllegalValue);
    const int start = word(request, 2);
    const int count = word(request, 4);
    const int byteCount = static_cast<quint8>(request[6]);
    if (count < 1 || count > 123 || byteCount != 2 * count || request.size() != 7 + byteCount)
        return fail(ExceptionCode::IllegalValue);
    // All or nothing: every register is checked before any is written.
    WriteCheck worst = WriteCheck::Ok;
    for (int i = 0; i < count && worst != WriteCheck::BadAddress; ++i) {
        const WriteCheck c = writeHolding(start + i, word(request, 7 + 2 * i), false);
        if (c != WriteCheck::Ok)
            worst = c;
    }
    if (worst == WriteCheck::BadAddress)
        return fail(ExceptionCode::IllegalAddress);
    if (worst == WriteCheck::BadValue)
        return fail(ExceptionCode::IllegalValue);
    for (int i = 0; i < count; ++i)
        writeHolding(start + i, word(request, 7 + 2 * i), true);
    return request.first(6).toByteArray();
}

QByteArray ModuleModel::identification(QByteArrayView request) const
{
    if (request.size() != 2)
        return exceptionReply(request[0], request[1], ExceptionCode::IllegalValue);
    QByteArray out = request.toByteArray();
    out.append(static_cast<char>(16));
    out.append(m_id);
    out.append(static_cast<char>(m_fwMajor));
    out.append(static_cast<char>(m_fwMinor));
    return out;
}

} // namespace sim
