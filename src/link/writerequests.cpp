#include "writerequests.h"

#include "protocol/requests.h"
#include "text/numbertext.h"

namespace krv {

bool pushCommand(SharedState &state, TransactionEngine &engine, qint16 code)
{
    if (state.commands.push(code))
        return true;
    engine.setStatus(WriteRequests::tr("命令队列已满"));
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
    buildRequest(m_state.frame, static_cast<quint8>(m_state.mods.address() & 0xFF), function, reg,
                 static_cast<quint16>(high << 8 | low));
    m_engine.SendCommand();
}

namespace {
// The four system registers move when the module uses continuous addressing.
quint16 systemRegister(const ModuleData &m, quint16 separate, quint16 continuous)
{
    return m.AddrContinuous == 1 ? continuous : separate;
}
} // namespace

void WriteRequests::PutSysBaud()
{
    const ModuleData &m = m_state.module;
    writeRegister(Fn::WriteRegister, systemRegister(m, 0x0014, 0x0013), m.CommByte);
}

void WriteRequests::PutSysSensor()
{
    const ModuleData &m = m_state.module;
    writeRegister(Fn::WriteRegister, systemRegister(m, 0x0015, 0x0014), m.SensorByte);
}

void WriteRequests::PutSysAddress()
{
    const ModuleData &m = m_state.module;
    writeRegister(Fn::WriteRegister, systemRegister(m, 0x001C, 0x001A), m.SysAddress & 0xFF);
}

void WriteRequests::PutSysAdjAD590()
{
    const ModuleData &m = m_state.module;
    writeRegister(Fn::WriteRegister, systemRegister(m, 0x001D, 0x001B), m.ColdAdj);
}

void WriteRequests::PutChnlSensor(int channel)
{
    if (channel < 0 || channel > 7)
        return;
    writeRegister(Fn::WriteRegister, static_cast<quint16>(0x0062 + channel),
                  m_state.module.ChnlSensorCode[channel]);
}

void WriteRequests::PutECalb(int channel)
{
    if (channel < 0 || channel > 7)
        return;
    writeRegister(Fn::WriteRegister, static_cast<quint16>(0x0082 + 2 * channel),
                  m_state.module.ECalbEntry[channel].Value);
}

void WriteRequests::PutDO()
{
    ModuleData &m = m_state.module;
    const int index = qBound(0, static_cast<int>(m_state.writes.DOIndex), 9);
    const quint16 coil = index == 9 ? 0x0030 : static_cast<quint16>(index);
    const bool on = m_state.writes.DONew != False16;
    m.ReqRegister = static_cast<qint16>(coil);
    // The module's outputs are active low: writing 0xFF00 switches one off.
    m_engine.setStatus(on ? tr("设置开关量输出为OFF") : tr("设置开关量输出为ON"));
    writeRegister(Fn::WriteCoil, coil, on ? 0xFF00 : 0x0000);
}

void WriteRequests::ChangeParameter(const SysParamSelection &sel, int address, qint32 adj)
{
    ModuleData &m = m_state.module;
    WriteState &w = m_state.writes;

    auto applyBit = [](quint8 &byte, int bit, int index, qint16 &changed) {
        if (index == 1) {
            byte = static_cast<quint8>(byte | (1 << bit));
            changed = True16;
        } else if (index == 0 && (byte & (1 << bit))) {
            byte = static_cast<quint8>(byte & ~(1 << bit));
            changed = True16;
        }
    };

    w.SensorChanged = False16;
    quint8 sensor = m.SensorByte;
    if (sel.SysSensor >= 0) {
        sensor = static_cast<quint8>((sensor & 0xF0) | (sel.SysSensor & 0x0F));
        w.SensorChanged = True16;
    }
    applyBit(sensor, 4, sel.Seperate, w.SensorChanged);
    applyBit(sensor, 5, sel.Chnl8, w.SensorChanged);
    applyBit(sensor, 6, sel.Comp, w.SensorChanged);
    applyBit(sensor, 7, sel.Filter, w.SensorChanged);
    m.SensorByte = sensor;

    w.CommChanged = False16;
    quint8 comm = m.CommByte;
    if (sel.Baud >= 0) {
        comm = static_cast<quint8>((comm & 0xF8) | (sel.Baud & 0x07));
        w.CommChanged = True16;
    }
    // Byte and request output are written whenever picked, set or clear.
    for (auto [bit, index] : {std::pair{5, sel.OutByte}, std::pair{6, sel.Request}}) {
        if (index == 1) {
            comm = static_cast<quint8>(comm | (1 << bit));
            w.CommChanged = True16;
        } else if (index == 0) {
            comm = static_cast<quint8>(comm & ~(1 << bit));
            w.CommChanged = True16;
        }
    }
    if (sel.ProtocolSel >= 0) {
        comm = static_cast<quint8>((comm & 0xE7) + (sel.ProtocolSel & 0x03) * 8);
        w.CommChanged = True16;
    }
    m.CommByte = comm;

    w.AddressChanged = False16;
    if (address != m.SysAddress) {
        m.SysAddress = static_cast<qint16>(address & 0xFF);
        w.AddressChanged = True16;
    }

    // Compared before clamping: 200 against a stored 127 counts as a change.
    w.AdjChanged = False16;
    if (adj != m.ColdAdj) {
        m.ColdAdj = static_cast<qint16>(qBound(-128, adj, 127));
        w.AdjChanged = True16;
    }
}

std::optional<WriteRequests::BadField>
WriteRequests::writeModuleParameters(const SysParamSelection &sel, const QString &addressText,
                                     const QString &adjText)
{
    const auto address = parseWhole(addressText, 0, 255);
    if (!address)
        return BadField::Address;
    const auto adj = parseWhole(adjText, -2147483647LL, 2147483647LL);
    if (!adj)
        return BadField::ColdAdj;

    if (!pushCommand(m_state, m_engine, Cmd::ReadSystem))
        return std::nullopt;
    ChangeParameter(sel, static_cast<int>(*address), static_cast<qint32>(*adj));
    const WriteState &w = m_state.writes;
    if (w.AdjChanged)
        pushCommand(m_state, m_engine, Cmd::WriteColdAdj);
    if (w.AddressChanged)
        pushCommand(m_state, m_engine, Cmd::WriteAddress);
    if (w.CommChanged)
        pushCommand(m_state, m_engine, Cmd::WriteCommByte);
    if (w.SensorChanged)
        pushCommand(m_state, m_engine, Cmd::WriteSensorByte);
    return std::nullopt;
}

void WriteRequests::writeChannelSensors(const std::array<int, 8> &picked)
{
    if (!pushCommand(m_state, m_engine, Cmd::ReadSensorCodes))
        return;
    for (int i = 0; i < 8; ++i) {
        if (picked[i] < 0)
            continue;
        m_state.module.ChnlSensorCode[i] = picked[i];
        pushCommand(m_state, m_engine, static_cast<qint16>(Cmd::WriteSensorCode0 + i));
    }
}

QList<int> WriteRequests::writeCalibration(const std::array<QString, 8> &texts)
{
    QList<int> skipped;
    auto &entries = m_state.module.ECalbEntry;
    for (int i = 0; i < 8; ++i) {
        entries[i].Dirty = False16;
        const auto number = parseDecimal(texts[i]);
        if (number && *number == entries[i].Value)
            continue;
        const auto whole = parseWhole(texts[i], -32768, 32767);
        if (!whole) {
            skipped.append(i);
            continue;
        }
        entries[i].Value = static_cast<qint16>(*whole);
        entries[i].Dirty = True16;
    }
    if (!pushCommand(m_state, m_engine, Cmd::ReadCalibration))
        return skipped;
    for (int i = 0; i < 8; ++i) {
        if (entries[i].Dirty)
            pushCommand(m_state, m_engine, static_cast<qint16>(Cmd::WriteCalibration0 + 2 * i));
    }
    return skipped;
}

void WriteRequests::toggleOutput(int index)
{
    if (index < 0 || index > 9)
        return;
    m_state.writes.DOIndex = static_cast<qint16>(index);
    m_state.writes.DONew = m_state.module.DOState[index] == 0 ? True16 : False16;
    pushCommand(m_state, m_engine, Cmd::WriteOutput);
}

} // namespace krv
