#include "writerequests.h"

#include "module/registerimage.h"
#include "module/replydecoding.h"
#include "protocol/requests.h"
#include "text/numbertext.h"

namespace krv {

bool pushCommand(CommandStack &stack, TransactionEngine &engine, qint16 code)
{
    if (stack.push(code))
        return true;
    engine.setStatus({LinkStatus::Code::CommandStackFull});
    return false;
}

WriteRequests::WriteRequests(SharedState &state, TransactionEngine &engine, QObject *parent)
    : QObject(parent), m_state(state), m_engine(engine)
{}

void WriteRequests::writeRegister(quint8 function, quint16 reg, qint32 value)
{
    quint8 high = 0;
    quint8 low = 0;
    packRegister(value, high, low);
    m_engine.send(buildRequest(m_state.moduleSlots.selectedStation(), function, reg,
                               static_cast<quint16>(high << 8 | low)));
}

namespace {
// The four system registers move when the module uses continuous addressing.
quint16 systemRegister(const ModuleData &m, quint16 separate, quint16 continuous)
{
    return m.control.continuousAddressing ? continuous : separate;
}
} // namespace

void WriteRequests::sendCommByte()
{
    const ModuleData &m = m_state.module;
    writeRegister(Fn::WriteRegister, systemRegister(m, 0x0014, 0x0013), m.system.commByte);
}

void WriteRequests::sendSensorByte()
{
    const ModuleData &m = m_state.module;
    writeRegister(Fn::WriteRegister, systemRegister(m, 0x0015, 0x0014), m.system.sensorByte);
}

void WriteRequests::sendStationAddress()
{
    const ModuleData &m = m_state.module;
    writeRegister(Fn::WriteRegister, systemRegister(m, 0x001C, 0x001A),
                  m.system.stationAddress & 0xFF);
}

void WriteRequests::sendColdJunctionAdjust()
{
    const ModuleData &m = m_state.module;
    writeRegister(Fn::WriteRegister, systemRegister(m, 0x001D, 0x001B),
                  m.system.coldJunctionAdjust);
}

void WriteRequests::sendSensorCode(int channel)
{
    if (channel < 0 || channel >= ChannelCount)
        return;
    writeRegister(Fn::WriteRegister, static_cast<quint16>(Reg::SensorCodes + channel),
                  m_state.module.sensorCodes[channel]);
}

void WriteRequests::sendCalibration(int channel)
{
    if (channel < 0 || channel >= ChannelCount)
        return;
    writeRegister(Fn::WriteRegister, static_cast<quint16>(Reg::Calibration + 2 * channel),
                  m_state.module.calibration[channel]);
}

void WriteRequests::sendOutputSwitch()
{
    const int index = qBound(0, m_outputIndex, OutputCount - 1);
    const quint16 coil =
        index == ControlEnableIndex ? Reg::ControlEnableCoil : static_cast<quint16>(index);
    // The module's outputs are active low: writing 0xFF00 switches one off.
    m_engine.setStatus(
        {m_outputOn ? LinkStatus::Code::SwitchingOutputOff : LinkStatus::Code::SwitchingOutputOn});
    writeRegister(Fn::WriteCoil, coil, m_outputOn ? 0xFF00 : 0x0000);
}

SystemChanges WriteRequests::applySelection(const SystemSelection &selection, int address,
                                            qint32 coldAdjust)
{
    SystemBlock &s = m_state.module.system;
    SystemChanges changed;

    // A Yes/No list sets or clears its bit; clearing a bit that is clear
    // already changes nothing.
    auto applyBit = [](quint8 &byte, int bit, int index, bool &changed) {
        if (index == 1) {
            byte = static_cast<quint8>(byte | (1 << bit));
            changed = true;
        } else if (index == 0 && (byte & (1 << bit))) {
            byte = static_cast<quint8>(byte & ~(1 << bit));
            changed = true;
        }
    };

    quint8 sensor = s.sensorByte;
    if (selection.sensorType >= 0) {
        sensor = static_cast<quint8>((sensor & 0xF0) | (selection.sensorType & 0x0F));
        changed.sensorByte = true;
    }
    applyBit(sensor, 4, selection.perChannel, changed.sensorByte);
    applyBit(sensor, 5, selection.channel8, changed.sensorByte);
    applyBit(sensor, 6, selection.compensation, changed.sensorByte);
    applyBit(sensor, 7, selection.filter, changed.sensorByte);
    s.sensorByte = sensor;

    quint8 comm = s.commByte;
    if (selection.baudRate >= 0) {
        comm = static_cast<quint8>((comm & 0xF8) | (selection.baudRate & 0x07));
        changed.commByte = true;
    }
    // Byte and request output are written whenever picked, set or clear.
    for (auto [bit, index] :
         {std::pair{5, selection.byteOutput}, std::pair{6, selection.requestOutput}}) {
        if (index == 1) {
            comm = static_cast<quint8>(comm | (1 << bit));
            changed.commByte = true;
        } else if (index == 0) {
            comm = static_cast<quint8>(comm & ~(1 << bit));
            changed.commByte = true;
        }
    }
    if (selection.protocol >= 0) {
        comm = static_cast<quint8>((comm & 0xE7) + (selection.protocol & 0x03) * 8);
        changed.commByte = true;
    }
    s.commByte = comm;

    if (address != s.stationAddress) {
        s.stationAddress = static_cast<qint16>(address);
        changed.stationAddress = true;
    }
    if (coldAdjust != s.coldJunctionAdjust) {
        s.coldJunctionAdjust = static_cast<qint16>(coldAdjust);
        changed.coldJunction = true;
    }
    return changed;
}

std::optional<InputRefusal> WriteRequests::writeModuleParameters(const SystemSelection &selection,
                                                                 const QString &addressText,
                                                                 const QString &coldAdjustText)
{
    using Field = InputRefusal::Field;
    const auto refused = [](Field field, InputRefusal::Reason reason, FieldRange range) {
        return InputRefusal{field, reason, -1, -1, range.low, range.high};
    };
    const FieldNumber address = wholeNumber(addressText, SystemRange::StationAddress);
    if (address.fault)
        return refused(Field::StationAddress, *address.fault, SystemRange::StationAddress);
    const FieldNumber adjust = wholeNumber(coldAdjustText, SystemRange::ColdJunction);
    if (adjust.fault)
        return refused(Field::ColdJunctionAdjust, *adjust.fault, SystemRange::ColdJunction);

    if (!push(Cmd::ReadSystem))
        return std::nullopt;
    const SystemChanges changed = applySelection(selection, address.value, adjust.value);
    if (changed.coldJunction)
        push(Cmd::WriteColdJunction);
    if (changed.stationAddress)
        push(Cmd::WriteAddress);
    if (changed.commByte)
        push(Cmd::WriteCommByte);
    if (changed.sensorByte)
        push(Cmd::WriteSensorByte);
    return std::nullopt;
}

void WriteRequests::writeChannelSensors(const std::array<int, ChannelCount> &picked)
{
    if (!push(Cmd::ReadSensorCodes))
        return;
    for (int i = 0; i < ChannelCount; ++i) {
        if (picked[i] < 0)
            continue;
        m_state.module.sensorCodes[i] = picked[i];
        push(static_cast<qint16>(Cmd::WriteSensorCode0 + i));
    }
}

QList<InputRefusal> WriteRequests::writeCalibration(const std::array<QString, ChannelCount> &texts)
{
    QList<InputRefusal> refused;
    std::array<bool, ChannelCount> changed{};
    auto &values = m_state.module.calibration;
    for (int i = 0; i < ChannelCount; ++i) {
        const auto number = parseDecimal(texts[i]);
        if (number && *number == values[i])
            continue;
        const auto whole = parseWhole(texts[i], -32768, 32767);
        if (!whole) {
            refused.append({InputRefusal::Field::Calibration, InputRefusal::Reason::OutOfRange, i,
                            -1, -32768, 32767});
            continue;
        }
        values[i] = static_cast<qint16>(*whole);
        changed[i] = true;
    }
    if (!push(Cmd::ReadCalibration))
        return refused;
    for (int i = 0; i < ChannelCount; ++i) {
        if (changed[i])
            push(static_cast<qint16>(Cmd::WriteCalibration0 + 2 * i));
    }
    return refused;
}

void WriteRequests::toggleOutput(int index)
{
    if (index < 0 || index >= OutputCount)
        return;
    m_outputIndex = index;
    m_outputOn = !m_state.module.outputs[index];
    push(Cmd::WriteOutput);
}

} // namespace krv
