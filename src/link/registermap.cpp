#include "registermap.h"

#include "text/numbertext.h"

namespace krv {

namespace {
const QString LengthError = QStringLiteral("数据长度错误");
constexpr int MaxRegisters = 8; // the window shows eight channels
} // namespace

RegisterMap::RegisterMap(SharedState &state, TransactionEngine &engine, QObject *parent)
    : QObject(parent), m_state(state), m_engine(engine)
{}

void RegisterMap::readRequest(const QString &status, quint8 function, quint16 start, quint16 count,
                              qint16 replyLen, bool setReqRegister)
{
    m_engine.setStatus(status);
    if (setReqRegister)
        m_state.module.ReqRegister = static_cast<qint16>(start);
    FrameBuffer &fb = m_state.frame;
    fb.FrameLen = 8;
    fb.ReplyLen = replyLen;
    fb.CommBuf = QByteArray(fb.FrameLen, '\0');
    fb.CommBuf[0] = static_cast<char>(m_state.mods.address() & 0xFF);
    fb.CommBuf[1] = static_cast<char>(function);
    fb.CommBuf[2] = static_cast<char>(start >> 8);
    fb.CommBuf[3] = static_cast<char>(start & 0xFF);
    fb.CommBuf[4] = static_cast<char>(count >> 8);
    fb.CommBuf[5] = static_cast<char>(count & 0xFF);
    m_engine.SendCommand();
}

void RegisterMap::GetData()
{
    readRequest(QStringLiteral("取测量实时数据"), 3, Reg::Measurements, 8, 21, true);
}

void RegisterMap::GetSys()
{
    const bool longBlock = m_state.module.version() >= 53;
    readRequest(QStringLiteral("取系统信息"), 3, Reg::SystemBlock, longBlock ? 10 : 6,
                longBlock ? 25 : 17, true);
}

void RegisterMap::GetChnlSensor()
{
    readRequest(QStringLiteral("取传感器信息"), 3, Reg::SensorCodes, 8, 21, true);
}

void RegisterMap::GetPOutTime()
{
    readRequest(QStringLiteral("取并口时间"), 3, Reg::POutTime, 1, 7, true);
}

void RegisterMap::GetECalbData()
{
    readRequest(QStringLiteral("取工程校准数据"), 3, Reg::Calibration, 8, 21, true);
}

void RegisterMap::GetModCon()
{
    readRequest(QStringLiteral("取模块控制参数"), 3, Reg::ModuleControl, 3, 11, true);
}

void RegisterMap::GetDO()
{
    readRequest(QStringLiteral("取开关量输出状态"), 1, 0x0000, 9, 7, false);
}

void RegisterMap::GetControlEn()
{
    readRequest(QStringLiteral("取控制温度使能状态"), 1, 0x0030, 1, 6, false);
}

void RegisterMap::GetDI()
{
    const quint16 start = m_state.module.version() > 51 ? 0x0010 : 0x0000;
    readRequest(QStringLiteral("取开关量输入状态"), 2, start, 20, 8, false);
}

void RegisterMap::GetDeviceID()
{
    m_engine.setStatus(QStringLiteral("取设备标识信息"));
    FrameBuffer &fb = m_state.frame;
    fb.FrameLen = 4;
    fb.ReplyLen = 21;
    fb.CommBuf = QByteArray(fb.FrameLen, '\0');
    fb.CommBuf[0] = static_cast<char>(m_state.mods.address() & 0xFF);
    fb.CommBuf[1] = 0x11;
    m_engine.SendCommand();
}

quint8 RegisterMap::byte(int i) const
{
    const QByteArray &b = m_state.frame.CommBuf;
    return i >= 0 && i < b.size() ? static_cast<quint8>(b.at(i)) : 0;
}

int RegisterMap::bodyLength() const
{
    const int checkBytes = m_state.mods.isAscii() ? 1 : 2;
    const int n = qMin(static_cast<int>(m_state.frame.CommLen),
                       static_cast<int>(m_state.frame.CommBuf.size()));
    return qMax(0, n - checkBytes);
}

bool RegisterMap::need(int bytes)
{
    if (bodyLength() >= bytes)
        return true;
    m_engine.setStatus(LengthError);
    return false;
}

template <std::size_t N> int RegisterMap::registerList(std::array<qint32, N> &target)
{
    const int n = qMin(byte(2) / 2, MaxRegisters);
    for (int k = 0; k < n; ++k)
        target[k] = unpackRegister(byte(3 + 2 * k), byte(4 + 2 * k));
    return n;
}

void RegisterMap::dispatch()
{
    if (bodyLength() < 2) {
        m_engine.setStatus(LengthError);
        return;
    }
    switch (byte(1)) {
    case 0x01:
        decodeCoils();
        return;
    case 0x02:
        decodeInputs();
        return;
    case 0x03:
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
            m_engine.setStatus(QStringLiteral("无此起始地址号"));
            return;
        }
    case 0x04:
        decodeMeasurements(false);
        return;
    case 0x05:
        m_engine.setStatus(QStringLiteral("置数字输出成功"));
        return;
    case 0x06:
        m_engine.setStatus(QStringLiteral("写系统参数成功"));
        return;
    case 0x11:
        decodeDeviceId();
        return;
    default:
        m_engine.setStatus(QStringLiteral("无此功能号"));
        return;
    }
}

void RegisterMap::decodeMeasurements(bool record)
{
    if (!need(3) || !need(3 + 2 * qMin(byte(2) / 2, MaxRegisters)))
        return;
    m_engine.setStatus(record ? QStringLiteral("取8通道数据成功") : QStringLiteral("取8通道数据"));
    const int n = registerList(m_state.module.MeasValue);
    Q_EMIT measurementsDecoded(n, record);
}

void RegisterMap::decodeSystemBlock()
{
    ModuleData &m = m_state.module;
    const bool longBlock = m.version() >= 53;
    if (!need(longBlock ? 23 : 15))
        return;
    m_engine.setStatus(QStringLiteral("取系统信息成功"));
    m.SerialNo = static_cast<quint16>(byte(3) << 8 | byte(4));
    if (longBlock) {
        m.CommByte = byte(6);
        m.SensorByte = byte(8);
        m.MadeYear = static_cast<quint16>(byte(9) << 8 | byte(10));
        m.MadeMonth = byte(12);
        m.MadeDay = byte(14);
        m.MadeHour = byte(16);
        m.MadeMinute = byte(18);
        m.SysAddress = byte(20);
        m.ColdAdj = unpackRegister(byte(21), byte(22));
    } else {
        m.SensorByte = byte(5);
        m.CommByte = byte(6);
        m.MadeYear = static_cast<quint16>(byte(7) << 8 | byte(8));
        m.MadeDay = byte(9);
        m.MadeMonth = byte(10);
        m.MadeMinute = byte(11);
        m.MadeHour = byte(12);
        m.ColdAdj = byte(13);
        m.SysAddress = byte(14);
    }
    Q_EMIT systemBlockDecoded();
}

void RegisterMap::decodeSensorCodes()
{
    if (!need(3) || !need(3 + 2 * qMin(byte(2) / 2, MaxRegisters)))
        return;
    m_engine.setStatus(QStringLiteral("取通道传感器选择字"));
    const int n = registerList(m_state.module.ChnlSensorCode);
    Q_EMIT sensorCodesDecoded(n);
}

double RegisterMap::pOutTimeMicros(quint16 v)
{
    return (65536.0 - v) * 12 / 11.0592;
}

void RegisterMap::decodePOutTime()
{
    if (!need(5))
        return;
    m_engine.setStatus(QStringLiteral("取并口半字节输出时间"));
    const quint16 v = static_cast<quint16>(byte(3) << 8 | byte(4));
    Q_EMIT pOutTimeDecoded(formatDouble15(pOutTimeMicros(v)));
}

void RegisterMap::decodeCalibration()
{
    if (!need(3) || !need(3 + 2 * qMin(byte(2) / 2, MaxRegisters)))
        return;
    m_engine.setStatus(QStringLiteral("取8通道工程校准成功"));
    ModuleData &m = m_state.module;
    const int n = registerList(m.ECalbValue);
    for (int k = 0; k < n; ++k)
        m.ECalbEntry[k].Value = static_cast<qint16>(m.ECalbValue[k]);
    Q_EMIT calibrationDecoded(n);
}

void RegisterMap::decodeModuleControl()
{
    if (!need(9))
        return;
    ModuleData &m = m_state.module;
    m.AddrContinuous = (m.version() >= 53 && (byte(3) & 0x80)) ? 1 : 0;
    m.SerialOutCount = byte(3) & 0x0F;
    m.RequestOut = byte(4) & 1;
    m.StartControl = byte(6) & 1;
    m.MeasChannels = byte(8);
    Q_EMIT moduleControlDecoded();
}

void RegisterMap::decodeCoils()
{
    ModuleData &m = m_state.module;
    if (!need(3))
        return;
    if (byte(2) == 2) {
        if (!need(5))
            return;
        m_engine.setStatus(QStringLiteral("取开关量输出成功"));
        const int s = byte(3) | byte(4) << 8;
        for (int k = 0; k <= 8; ++k)
            m.DOState[k] = (s >> k) & 1;
        Q_EMIT outputsDecoded();
    } else if (byte(2) == 1) {
        if (!need(4))
            return;
        m_engine.setStatus(QStringLiteral("取控制使能成功"));
        m.DOState[9] = byte(3) & 1;
        Q_EMIT controlEnableDecoded();
    }
}

void RegisterMap::decodeInputs()
{
    if (!need(6))
        return;
    m_engine.setStatus(QStringLiteral("取开关量输入成功"));
    const int s = byte(3) | byte(4) << 8 | byte(5) << 16;
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
    if (!need(19))
        return;
    m_engine.setStatus(QStringLiteral("取设备信息成功"));
    ModuleData &m = m_state.module;
    const QByteArray id = m_state.frame.CommBuf.mid(3, 14);
    const int before = m.version();
    m.VerMajor = byte(17);
    m.VerMinor = byte(18);
    Q_EMIT deviceIdDecoded(deviceText(id, byte(17), byte(18)));
    if (!m_state.scan.Scanning && m.version() != before)
        Q_EMIT firmwareChanged();

    if (!m_state.scan.Scanning || !isKnownModule(id))
        return;
    ModuleSlots &mods = m_state.mods;
    const QString address = formatHash(mods.address());
    mods.ascii() = m_state.scan.ScanAscii;
    Q_EMIT moduleFound(QStringLiteral("MOD(") + address + QLatin1Char(')'), mods.ModIndex);
    m_engine.setStatus(QStringLiteral("找到模块地址为:") + address);
    if (mods.ModIndex < ModuleSlots::Count - 1)
        ++mods.ModIndex;
}

} // namespace krv
