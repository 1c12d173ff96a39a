#include "alarmblocks.h"

#include "link/modulecontrol.h"
#include "protocol/requests.h"
#include "text/numbertext.h"

#include <cmath>

namespace krv {

namespace {
constexpr int PreAlarmUnit = 4096; // pre-alarm control sits above 12 bits of relative alarm

// A number already read, rounded halves to even and checked against [lo, hi].
FieldNumber wholeWithin(double v, qint32 lo, qint32 hi)
{
    FieldNumber n;
    // Checked before rounding as well, so that a huge value never reaches the
    // conversion to an integer.
    if (!(v > lo - 1.0 && v < hi + 1.0)) {
        n.fault = FieldFault::OutOfRange;
        return n;
    }
    const long long rounded = roundHalfEven(v);
    if (rounded < lo || rounded > hi)
        n.fault = FieldFault::OutOfRange;
    else
        n.value = static_cast<qint32>(rounded);
    return n;
}

bool validBlock(int block)
{
    return block >= 0 && block < AlarmBlock::Count;
}
} // namespace

FieldNumber fieldNumber(const QString &text, qint32 lo, qint32 hi)
{
    const auto v = parseDecimal(text);
    if (!v) {
        FieldNumber n;
        n.fault = FieldFault::NotNumber;
        return n;
    }
    return wholeWithin(*v, lo, hi);
}

std::optional<FieldRefusal> channelToRecord(int channel, const AlarmChannelTexts &t,
                                            AlarmParaRecord &r)
{
    const auto refuse = [channel](AlarmField field, FieldFault fault) {
        return FieldRefusal{field, fault, channel};
    };
    const FieldNumber upper = fieldNumber(t.InSel, RegisterMin, RegisterMax);
    if (upper.fault)
        return refuse(AlarmField::InSel, *upper.fault);
    const FieldNumber lower = fieldNumber(t.SetVal, RegisterMin, RegisterMax);
    if (lower.fault)
        return refuse(AlarmField::SetVal, *lower.fault);
    const auto relative = parseDecimal(t.SamTime);
    if (!relative)
        return refuse(AlarmField::SamTime, FieldFault::NotNumber);
    const auto preAlarm = parseDecimal(t.PreAlmCon);
    if (!preAlarm)
        return refuse(AlarmField::PreAlmCon, FieldFault::NotNumber);
    const FieldNumber packed =
        wholeWithin(*preAlarm * PreAlarmUnit + *relative, RegisterMin, RegisterMax);
    if (packed.fault)
        return refuse(AlarmField::PreAlarmAndRelative, *packed.fault);
    r.Reg0 = upper.value;
    r.Reg1 = lower.value;
    r.Reg2 = packed.value;
    return std::nullopt;
}

std::optional<FieldRefusal> moduleControlToRecord(const ModuleControlFields &f, AlarmParaRecord &r)
{
    const auto refuse = [](AlarmField field, FieldFault fault) {
        return FieldRefusal{field, fault};
    };
    if (f.PReqOut < 0)
        return refuse(AlarmField::PReqOut, FieldFault::NoSelection);
    const auto serialOut = parseDecimal(f.COMMCtrl);
    if (!serialOut)
        return refuse(AlarmField::COMMCtrl, FieldFault::NotNumber);
    const FieldNumber serial = wholeWithin(*serialOut, RegisterMin, RegisterMax);
    if (serial.fault)
        return refuse(AlarmField::COMMCtrl, *serial.fault);
    if (serial.value < 0)
        return refuse(AlarmField::COMMCtrl, FieldFault::Negative);
    const FieldNumber channels = fieldNumber(f.ChnlSelect, RegisterMin, RegisterMax);
    if (channels.fault)
        return refuse(AlarmField::ChnlSelect, *channels.fault);
    if (f.StartCon < 0)
        return refuse(AlarmField::StartCon, FieldFault::NoSelection);
    if (f.ModAddr < 0)
        return refuse(AlarmField::ModAddr, FieldFault::NoSelection);
    r.Reg0 = serial.value % 16 * 256 + f.ModAddr * 32768 + f.PReqOut;
    r.Reg1 = f.StartCon;
    r.Reg2 = channels.value;
    return std::nullopt;
}

AlarmChannelTexts recordToChannel(const AlarmParaRecord &r)
{
    // C++ division truncates toward zero and its remainder keeps the sign of
    // the dividend: -32758 shows as -7 and -4086.
    return {QString::number(r.Reg0), QString::number(r.Reg1),
            QString::number(r.Reg2 % PreAlarmUnit), QString::number(r.Reg2 / PreAlarmUnit)};
}

ModuleControlFields moduleControlToFields(const ModuleData &m)
{
    return {m.RequestOut, QString::number(m.SerialOutCount), QString::number(m.MeasChannels),
            m.StartControl, m.AddrContinuous};
}

AlarmBlocks::AlarmBlocks(SharedState &state, EditorLink &link, QObject *parent)
    : QObject(parent), m_state(state), m_link(link)
{
    link.engine().setDispatcher([this] { dispatch(); });
    link.setBlockRead([this](int block) { GetAlarmPara(block); });
    connect(&link, &EditorLink::writeUnconfirmed, this, &AlarmBlocks::writeFailed);
}

quint8 AlarmBlocks::station() const
{
    return static_cast<quint8>(m_state.mods.address() & 0xFF);
}

void AlarmBlocks::GetAlarmPara(int block)
{
    if (!validBlock(block))
        return;
    FrameBuffer fb;
    buildRequest(fb, station(), Fn::ReadHolding, AlarmBlock::start(block), 3);
    m_link.submit(fb, block);
}

void AlarmBlocks::PutAlarmPara(int block)
{
    if (!validBlock(block))
        return;
    ParameterTables &t = m_state.params;
    AlarmParaToBytes(t, block);
    const auto &bytes = t.AlarmPara[block].RegBytes;
    if (block == AlarmBlock::ModuleControl)
        m_writtenControl = QByteArray(reinterpret_cast<const char *>(bytes.data()), 6);
    FrameBuffer fb;
    buildRequest(fb, station(), Fn::WriteRegisters, AlarmBlock::start(block), 3,
                 QByteArrayView(bytes.data(), 6));
    m_link.submit(fb, block, true);
}

void AlarmBlocks::readRegister(quint16 address)
{
    FrameBuffer fb;
    buildRequest(fb, station(), Fn::ReadHolding, address, 1);
    m_link.submit(fb, -1);
}

void AlarmBlocks::writeRegister(quint16 address, qint32 value)
{
    quint8 value2[2] = {};
    packRegister(value, value2[0], value2[1]);
    FrameBuffer fb;
    buildRequest(fb, station(), Fn::WriteRegisters, address, 1, QByteArrayView(value2, 2));
    m_link.submit(fb, -1);
}

void AlarmBlocks::readSwitch(quint16 address)
{
    FrameBuffer fb;
    buildRequest(fb, station(), Fn::ReadCoils, address, 1);
    m_link.submit(fb, -1);
}

void AlarmBlocks::writeSwitch(quint16 address, bool on)
{
    FrameBuffer fb;
    buildRequest(fb, station(), Fn::WriteCoil, address, on ? 0xFF00 : 0x0000);
    m_link.submit(fb, -1);
}

void AlarmBlocks::dispatch()
{
    TransactionEngine &engine = m_link.engine();
    const ReplyReader r(m_state.frame, m_state.mods.isAscii());
    const int block = m_link.CurChnl();
    switch (r.function()) {
    case Fn::WriteRegisters:
        // Also the confirmation of a single register write, naming the block
        // last used.
        engine.setStatus(tr("写通道%1报警参数成功").arg(QChar(48 + block)));
        if ((r.byte(2) << 8 | r.byte(3)) == AlarmBlock::start(AlarmBlock::ModuleControl) &&
            r.byte(5) == 3)
            decodeModuleControl(m_state.module, m_writtenControl);
        return;
    case Fn::WriteRegisters | Fn::ExceptionBit:
        // The module refused the write: no echo, as with a write that timed out.
        writeFailed(block);
        return;
    case Fn::ReadHolding:
        if (r.byteCount() == 2)
            Q_EMIT registerDecoded(QString::number(r.signedRegister(0)));
        else if (r.byteCount() == 6)
            decodeBlock(block);
        return;
    case Fn::ReadCoils:
        Q_EMIT switchDecoded(QString::number(r.byte(3)));
        return;
    case Fn::WriteCoil: {
        // The echoed address's high byte, as a character; code 0 (addresses
        // below 256) is left out.
        const quint8 high = r.byte(2);
        engine.setStatus(tr("写内存%1开关量参数成功").arg(high ? QString(QChar(high)) : QString()));
        return;
    }
    default:
        engine.setStatus(tr("无此功能号"));
        return;
    }
}

void AlarmBlocks::decodeBlock(int block)
{
    if (!validBlock(block))
        return;
    const ReplyReader r(m_state.frame, m_state.mods.isAscii());
    ParameterTables &t = m_state.params;
    const QByteArrayView regBytes = r.bytes(3, 6);
    std::copy(regBytes.begin(), regBytes.end(), t.AlarmPara[block].RegBytes.begin());
    BytesToAlarmPara(t, block);
    if (block != AlarmBlock::ModuleControl) {
        Q_EMIT channelDecoded(block);
        return;
    }
    decodeModuleControl(m_state.module, regBytes);
    Q_EMIT moduleControlDecoded();
}

void AlarmBlocks::writeFailed(int block)
{
    m_link.engine().setStatus(tr("写通道%1报警参数失败").arg(QChar(48 + block)));
}

} // namespace krv
