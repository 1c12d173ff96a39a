#include "registermap.h"

#include "link/modulecontrol.h"
#include "text/numbertext.h"

namespace krv {

namespace {
constexpr int MaxRegisters = 8; // the window shows eight channels
} // namespace

RegisterMap::RegisterMap(SharedState &state, TransactionEngine &engine, QObject *parent)
    : QObject(parent), m_state(state), m_engine(engine)
{}

void RegisterMap::readRequest(const QString &status, quint8 function, quint16 start, quint16 count)
{
    m_engine.setStatus(status);
    if (function == Fn::ReadHolding)
        m_state.module.ReqRegister = static_cast<qint16>(start);
    buildRequest(m_state.frame, static_cast<quint8>(m_state.mods.address() & 0xFF), function, start,
                 count);
    m_engine.SendCommand();
}

void RegisterMap::GetData()
{
    readRequest(tr("取测量实时数据"), Fn::ReadHolding, Reg::Measurements, 8);
}

void RegisterMap::GetSys()
{
    const bool longBlock = m_state.module.version() >= 53;
    readRequest(tr("取系统信息"), Fn::ReadHolding, Reg::SystemBlock, longBlock ? 10 : 6);
}

void RegisterMap::GetChnlSensor()
{
    readRequest(tr("取传感器信息"), Fn::ReadHolding, Reg::SensorCodes, 8);
}

void RegisterMap::GetPOutTime()
{
    readRequest(tr("取并口时间"), Fn::ReadHolding, Reg::POutTime, 1);
}

void RegisterMap::GetECalbData()
{
    readRequest(tr("取工程校准数据"), Fn::ReadHolding, Reg::Calibration, 8);
}

void RegisterMap::GetModCon()
{
    readRequest(tr("取模块控制参数"), Fn::ReadHolding, Reg::ModuleControl, 3);
}

void RegisterMap::GetDO()
{
    readRequest(tr("取开关量输出状态"), Fn::ReadCoils, 0x0000, 9);
}

void RegisterMap::GetControlEn()
{
    readRequest(tr("取控制温度使能状态"), Fn::ReadCoils, 0x0030, 1);
}

void RegisterMap::GetDI()
{
    const quint16 start = m_state.module.version() > 51 ? 0x0010 : 0x0000;
    readRequest(tr("取开关量输入状态"), Fn::ReadInputs, start, 20);
}

void RegisterMap::GetDeviceID()
{
    readRequest(tr("取设备标识信息"), Fn::ReportId);
}

ReplyReader RegisterMap::reply() const
{
    return ReplyReader(m_state.frame, m_state.mods.isAscii());
}

bool RegisterMap::need(const ReplyReader &r, int n)
{
    if (r.has(n))
        return true;
    m_engine.setStatus(tr("数据长度错误"));
    return false;
}

int RegisterMap::listLength(const ReplyReader &r)
{
    if (!need(r, 3))
        return -1;
    const int n = qMin(r.byteCount() / 2, MaxRegisters);
    return need(r, 3 + 2 * n) ? n : -1;
}

template <std::size_t N>
void RegisterMap::storeList(const ReplyReader &r, int n, std::array<qint32, N> &target)
{
    for (int k = 0; k < n; ++k)
        target[k] = r.signedRegister(k);
}

void RegisterMap::dispatch()
{
    const ReplyReader r = reply();
    if (!need(r, 2))
        return;
    switch (r.function()) {
    case Fn::ReadCoils:
        decodeCoils();
        return;
    case Fn::ReadInputs:
        decodeInputs();
        return;
    case Fn::ReadHolding:
        switch (m_state.module.ReqRegister) {
        case Reg::Measurements:
            decodeMeasurements(true);
            return;
        case Reg::SystemBlock:
            decodeSystemBlock();
            return;
        case Reg::SensorCodes:
            decodeSensorCodes();
            return;
        case Reg::POutTime:
            decodePOutTime();
            return;
        case Reg::Calibration:
            decodeCalibration();
            return;
        case Reg::ModuleControl:
            decodeModuleControl();
            return;
        default:
            m_engine.setStatus(tr("无此起始地址号"));
            return;
        }
    case Fn::ReadInputRegisters:
        decodeMeasurements(false);
        return;
    case Fn::WriteCoil:
        m_engine.setStatus(tr("置数字输出成功"));
        return;
    case Fn::WriteRegister:
        m_engine.setStatus(tr("写系统参数成功"));
        return;
    case Fn::ReportId:
        decodeDeviceId();
        return;
    default:
        m_engine.setStatus(tr("无此功能号"));
        return;
    }
}

void RegisterMap::decodeMeasurements(bool record)
{
    const ReplyReader r = reply();
    const int n = listLength(r);
    if (n < 0)
        return;
    m_engine.setStatus(record ? tr("取8通道数据成功") : tr("取8通道数据"));
    storeList(r, n, m_state.module.MeasValue);
    Q_EMIT measurementsDecoded(n, record);
}

void RegisterMap::decodeSystemBlock()
{
    const ReplyReader r = reply();
    ModuleData &m = m_state.module;
    const bool longBlock = m.version() >= 53;
    if (!need(r, longBlock ? 23 : 15))
        return;
    m_engine.setStatus(tr("取系统信息成功"));
    m.SerialNo = r.unsignedRegister(0);
    if (longBlock) {
        m.CommByte = r.byte(6);
        m.SensorByte = r.byte(8);
        m.MadeYear = r.unsignedRegister(3);
        m.MadeMonth = r.byte(12);
        m.MadeDay = r.byte(14);
        m.MadeHour = r.byte(16);
        m.MadeMinute = r.byte(18);
        m.SysAddress = r.byte(20);
        m.ColdAdj = r.signedRegister(9);
    } else {
        m.SensorByte = r.byte(5);
        m.CommByte = r.byte(6);
        m.MadeYear = r.unsignedRegister(2);
        m.MadeDay = r.byte(9);
        m.MadeMonth = r.byte(10);
        m.MadeMinute = r.byte(11);
        m.MadeHour = r.byte(12);
        m.ColdAdj = r.byte(13);
        m.SysAddress = r.byte(14);
    }
    Q_EMIT systemBlockDecoded();
}

void RegisterMap::decodeSensorCodes()
{
    const ReplyReader r = reply();
    const int n = listLength(r);
    if (n < 0)
        return;
    m_engine.setStatus(tr("取通道传感器选择字"));
    storeList(r, n, m_state.module.ChnlSensorCode);
    Q_EMIT sensorCodesDecoded(n);
}

double RegisterMap::pOutTimeMicros(quint16 v)
{
    return (65536.0 - v) * 12 / 11.0592;
}

void RegisterMap::decodePOutTime()
{
    const ReplyReader r = reply();
    if (!need(r, 5))
        return;
    m_engine.setStatus(tr("取并口半字节输出时间"));
    Q_EMIT pOutTimeDecoded(formatDouble15(pOutTimeMicros(r.unsignedRegister(0))));
}

void RegisterMap::decodeCalibration()
{
    const ReplyReader r = reply();
    const int n = listLength(r);
    if (n < 0)
        return;
    m_engine.setStatus(tr("取8通道工程校准成功"));
    ModuleData &m = m_state.module;
    storeList(r, n, m.ECalbValue);
    for (int k = 0; k < n; ++k)
        m.ECalbEntry[k].Value = static_cast<qint16>(m.ECalbValue[k]);
    Q_EMIT calibrationDecoded(n);
}

void RegisterMap::decodeModuleControl()
{
    const ReplyReader r = reply();
    if (!need(r, 9))
        return;
    krv::decodeModuleControl(m_state.module, r.bytes(3, 6));
    Q_EMIT moduleControlDecoded();
}

void RegisterMap::decodeCoils()
{
    const ReplyReader r = reply();
    ModuleData &m = m_state.module;
    if (!need(r, 3))
        return;
    if (r.byteCount() == 2) {
        if (!need(r, 5))
            return;
        m_engine.setStatus(tr("取开关量输出成功"));
        const int s = r.byte(3) | r.byte(4) << 8;
        for (int k = 0; k <= 8; ++k)
            m.DOState[k] = (s >> k) & 1;
        Q_EMIT outputsDecoded();
    } else if (r.byteCount() == 1) {
        if (!need(r, 4))
            return;
        m_engine.setStatus(tr("取控制使能成功"));
        m.DOState[9] = r.byte(3) & 1;
        Q_EMIT controlEnableDecoded();
    }
}

void RegisterMap::decodeInputs()
{
    const ReplyReader r = reply();
    if (!need(r, 6))
        return;
    m_engine.setStatus(tr("取开关量输入成功"));
    const int s = r.byte(3) | r.byte(4) << 8 | r.byte(5) << 16;
    for (int k = 0; k < 20; ++k)
        m_state.module.DIState[k] = (s >> k) & 1;
    Q_EMIT inputsDecoded();
}

QString RegisterMap::deviceText(const QByteArray &id, quint8 major, quint8 minor)
{
    QString text;
    for (char c : id)
        text += QChar(static_cast<quint8>(c)); // one character per byte
    return text + QStringLiteral("  Version") + QChar(48 + major) + QLatin1Char('.') +
           QChar(48 + minor);
}

bool RegisterMap::isKnownModule(const QByteArray &id)
{
    return id == "REREVE2060RIDU" || id == "ZEZADO2040ZOZE";
}

void RegisterMap::decodeDeviceId()
{
    const ReplyReader r = reply();
    if (!need(r, 19))
        return;
    m_engine.setStatus(tr("取设备信息成功"));
    ModuleData &m = m_state.module;
    const QByteArray id = r.bytes(3, 14).toByteArray();
    const int before = m.version();
    m.VerMajor = r.byte(17);
    m.VerMinor = r.byte(18);
    Q_EMIT deviceIdDecoded(deviceText(id, r.byte(17), r.byte(18)));
    Q_EMIT deviceIdentified(id, before);
}

} // namespace krv
