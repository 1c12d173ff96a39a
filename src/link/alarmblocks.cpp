#include "alarmblocks.h"

#include "module/modulecontrol.h"
#include "module/registerimage.h"

namespace krv {

using Code = LinkStatus::Code;

AlarmBlocks::AlarmBlocks(SharedState &state, EditorLink &link, QObject *parent)
    : QObject(parent), m_state(state), m_link(link)
{
    link.setReplyHandler([this](int block, const ReplyReader &reply) { onReply(block, reply); });
    link.setBlockRead([this](int block) { readBlock(block); });
    connect(&link, &EditorLink::writeUnconfirmed, this, &AlarmBlocks::onWriteFailed);
}

void AlarmBlocks::readBlock(int block)
{
    if (AlarmBlock::valid(block))
        m_link.submit(alarmReadRequest(station(), block), block);
}

std::optional<InputRefusal> AlarmBlocks::writeChannel(int channel, const AlarmChannelTexts &texts)
{
    if (channel < 0 || channel >= ChannelCount)
        return std::nullopt;
    AlarmRecord record;
    if (const auto refused = channelToRecord(channel, texts, record))
        return refused;
    writeBlock(channel, record);
    return std::nullopt;
}

std::optional<InputRefusal> AlarmBlocks::writeModuleControl(const ModuleControlFields &fields)
{
    AlarmRecord record;
    if (const auto refused = moduleControlToRecord(fields, record))
        return refused;
    m_writtenControl = record;
    writeBlock(AlarmBlock::ModuleControl, record);
    return std::nullopt;
}

void AlarmBlocks::writeBlock(int block, const AlarmRecord &record)
{
    m_link.submit(alarmWriteRequest(station(), block, record), block, true);
}

void AlarmBlocks::readRegister(quint16 address)
{
    m_link.submit(buildRequest(station(), Fn::ReadHolding, address, 1), -1);
}

void AlarmBlocks::writeRegister(quint16 address, qint32 value)
{
    const qint32 values[] = {value};
    m_link.submit(buildRequest(station(), Fn::WriteRegisters, address, 1, packRegisters(values)),
                  -1);
}

void AlarmBlocks::readSwitch(quint16 address)
{
    m_link.submit(buildRequest(station(), Fn::ReadCoils, address, 1), -1);
}

void AlarmBlocks::writeSwitch(quint16 address, bool on)
{
    m_link.submit(buildRequest(station(), Fn::WriteCoil, address, on ? 0xFF00 : 0x0000), -1);
}

void AlarmBlocks::onReply(int block, const ReplyReader &reply)
{
    TransactionEngine &engine = m_link.engine();
    switch (reply.function()) {
    case Fn::WriteRegisters:
        // Also the confirmation of a single register write, naming the block
        // last used.
        engine.setStatus({Code::AlarmBlockWritten, block});
        if ((reply.byte(2) << 8 | reply.byte(3)) == AlarmBlock::start(AlarmBlock::ModuleControl) &&
            reply.byte(5) == AlarmBlock::Registers && m_writtenControl) {
            if (const auto control = decodeModuleControl(packRegisters(m_writtenControl->values),
                                                         m_state.module.version()))
                m_state.module.control = *control;
        }
        return;
    case Fn::WriteRegisters | Fn::ExceptionBit:
        // The module refused the write: no echo, as with a write that timed out.
        onWriteFailed(block);
        return;
    case Fn::ReadHolding:
        if (reply.byteCount() == 2)
            Q_EMIT registerRead(reply.signedRegister(0));
        else if (reply.byteCount() == 2 * AlarmBlock::Registers)
            decodeBlock(block, reply);
        return;
    case Fn::ReadCoils:
        Q_EMIT switchRead(reply.byte(3));
        return;
    case Fn::WriteCoil:
        // The echoed address's high byte, shown as a character.
        engine.setStatus({Code::SwitchWritten, reply.byte(2)});
        return;
    default:
        engine.setStatus({Code::UnknownFunction});
        return;
    }
}

void AlarmBlocks::decodeBlock(int block, const ReplyReader &reply)
{
    if (!AlarmBlock::valid(block))
        return;
    const auto record = alarmRecordFromReply(reply);
    if (!record) {
        m_link.engine().setStatus({Code::WrongLength});
        return;
    }
    if (block != AlarmBlock::ModuleControl) {
        Q_EMIT channelRead(block, recordToChannel(*record));
        return;
    }
    const auto control =
        decodeModuleControl(packRegisters(record->values), m_state.module.version());
    if (!control)
        return;
    m_state.module.control = *control;
    Q_EMIT moduleControlRead(*control);
}

void AlarmBlocks::onWriteFailed(int block)
{
    m_link.engine().setStatus({Code::AlarmBlockWriteFailed, block});
}

} // namespace krv
