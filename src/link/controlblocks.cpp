#include "controlblocks.h"

#include "protocol/requests.h"
#include "text/numbertext.h"

#include <cmath>
#include <utility>

namespace krv {

namespace {
constexpr quint16 BlockRegisters = 7;
constexpr int BlockBytes = 2 * BlockRegisters;

// The record's words in register order, each from its box or, for the packed
// words, from the high and the low byte's boxes (-1: a word of one box).
constexpr std::array<std::pair<ControlRow, int>, BlockRegisters> WordRows = {{
    {ControlRow::StartStep, int(ControlRow::InSel)},
    {ControlRow::Phase, int(ControlRow::SamTime)},
    {ControlRow::SetVal, -1},
    {ControlRow::SerD0, -1},
    {ControlRow::SerD1, -1},
    {ControlRow::SerD2, -1},
    {ControlRow::CtrlArea, -1},
}};

std::array<qint16 *, BlockRegisters> words(ControlParaRecord &r)
{
    return {&r.StepInSel, &r.PhaseSam, &r.SetVal, &r.SerD0, &r.SerD1, &r.SerD2, &r.CtrlArea};
}

// The nearest whole number, halves to even, when it fits a register.
std::optional<qint16> nearestWord(double v)
{
    if (!std::isfinite(v) || v < -32768.5 || v > 32767.5)
        return std::nullopt;
    const long long r = roundHalfEven(v);
    if (r < -32768 || r > 32767)
        return std::nullopt;
    return static_cast<qint16>(r);
}

bool validChannel(int channel)
{
    return channel >= 0 && channel < ControlChannels;
}
} // namespace

quint16 controlBlockStart(int channel)
{
    return static_cast<quint16>(0x0100 + 18 * channel + 2);
}

std::optional<ControlTextFault> textsToRecord(const ControlTexts &texts, ControlParaRecord &record)
{
    using Kind = ControlTextFault::Kind;
    std::array<qint16, BlockRegisters> out{};
    for (int k = 0; k < BlockRegisters; ++k) {
        const auto [first, low] = WordRows[k];
        const auto high = parseDecimal(texts[int(first)]);
        if (!high)
            return ControlTextFault{Kind::NotANumber, first, false};
        double value = *high;
        if (low >= 0) {
            const auto lowValue = parseDecimal(texts[low]);
            if (!lowValue)
                return ControlTextFault{Kind::NotANumber, ControlRow(low), false};
            value = value * 256.0 + *lowValue;
        }
        const auto word = nearestWord(value);
        if (!word)
            return ControlTextFault{Kind::OutOfRange, first, low >= 0};
        out[k] = *word;
    }
    const auto target = words(record);
    for (int k = 0; k < BlockRegisters; ++k)
        *target[k] = out[k];
    return std::nullopt;
}

ControlTexts recordToTexts(const ControlParaRecord &record)
{
    // Integer division truncates toward zero: -251 / 256 is 0, and -251 & 255 is 5.
    const auto high = [](int word) { return QString::number(word / 256); };
    const auto low = [](int word) { return QString::number(word & 255); };
    return {high(record.StepInSel),          low(record.StepInSel),
            high(record.PhaseSam),           low(record.PhaseSam),
            QString::number(record.SetVal),  QString::number(record.SerD0),
            QString::number(record.SerD1),   QString::number(record.SerD2),
            QString::number(record.CtrlArea)};
}

void buildControlRead(FrameBuffer &fb, quint8 station, int channel)
{
    buildRequest(fb, station, Fn::ReadHolding, controlBlockStart(channel), BlockRegisters);
}

void buildControlWrite(FrameBuffer &fb, quint8 station, ParameterTables &tables, int channel)
{
    ControlParaToBytes(tables, channel);
    const auto &bytes = tables.CtrlPara[channel].RegBytes;
    buildRequest(fb, station, Fn::WriteRegisters, controlBlockStart(channel), BlockRegisters,
                 QByteArrayView(reinterpret_cast<const char *>(bytes.data()), BlockBytes));
}

bool takeControlReply(const ReplyReader &reply, ParameterTables &tables, int channel)
{
    // The data are reply bytes 3..16, whatever the byte count says (the
    // engine has confirmed it already).
    if (!validChannel(channel) || !reply.has(3 + BlockBytes))
        return false;
    const QByteArrayView data = reply.bytes(3, BlockBytes);
    auto &record = tables.CtrlPara[channel];
    for (int i = 0; i < BlockBytes; ++i)
        record.RegBytes[i] = static_cast<quint8>(data[i]);
    BytesToControlPara(tables, channel);
    return true;
}

ControlBlocks::ControlBlocks(SharedState &state, EditorLink &link, QObject *parent)
    : QObject(parent), m_state(state), m_link(link)
{
    m_link.setBlockRead([this](int channel) { GetControlPara(channel); });
    m_link.engine().setDispatcher([this] { dispatch(); });
    connect(&m_link, &EditorLink::writeUnconfirmed, this, &ControlBlocks::writeUnconfirmed);
}

void ControlBlocks::GetControlPara(int channel)
{
    if (!validChannel(channel))
        return;
    FrameBuffer fb;
    buildControlRead(fb, static_cast<quint8>(m_state.mods.address()), channel);
    m_link.submit(fb, channel);
}

std::optional<ControlTextFault> ControlBlocks::writeChannel(int channel, const ControlTexts &texts)
{
    if (!validChannel(channel))
        return std::nullopt;
    if (const auto fault = textsToRecord(texts, m_state.params.CtrlPara[channel]))
        return fault;
    FrameBuffer fb;
    buildControlWrite(fb, static_cast<quint8>(m_state.mods.address()), m_state.params, channel);
    m_link.submit(fb, channel, true);
    return std::nullopt;
}

void ControlBlocks::dispatch()
{
    const ReplyReader reply(m_state.frame, m_state.mods.isAscii());
    const int channel = m_link.CurChnl();
    TransactionEngine &engine = m_link.engine();
    switch (reply.function()) {
    case Fn::WriteRegisters:
        engine.setStatus(tr("写通道%1控制参数成功").arg(channel));
        break;
    case Fn::ReadHolding:
        if (!takeControlReply(reply, m_state.params, channel)) {
            engine.setStatus(tr("数据长度错误"));
            break;
        }
        Q_EMIT DisplayPara(channel, recordToTexts(m_state.params.CtrlPara[channel]));
        break;
    default: // an exception reply
        engine.setStatus(tr("无此功能号"));
        break;
    }
}

void ControlBlocks::writeUnconfirmed(int channel)
{
    m_link.engine().setStatus(tr("写通道%1控制参数失败").arg(channel));
}

} // namespace krv
