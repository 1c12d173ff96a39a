#include "controlblocks.h"

namespace krv {

using Code = LinkStatus::Code;

ControlBlocks::ControlBlocks(const ModuleSlots &moduleSlots, EditorLink &link, QObject *parent)
    : QObject(parent), m_slots(moduleSlots), m_link(link)
{
    m_link.setBlockRead([this](int channel) { readChannel(channel); });
    m_link.setReplyHandler(
        [this](int channel, const ReplyReader &reply) { onReply(channel, reply); });
    connect(&m_link, &EditorLink::writeUnconfirmed, this, &ControlBlocks::onWriteUnconfirmed);
}

void ControlBlocks::readChannel(int channel)
{
    if (validChannel(channel))
        m_link.submit(controlReadRequest(m_slots.selectedStation(), channel), channel);
}

std::optional<InputRefusal> ControlBlocks::writeChannel(int channel, const ControlTexts &texts)
{
    if (!validChannel(channel))
        return std::nullopt;
    if (const auto refused = textsToRecord(channel, texts, m_records[channel]))
        return refused;
    m_link.submit(controlWriteRequest(m_slots.selectedStation(), channel, m_records[channel]),
                  channel, true);
    return std::nullopt;
}

void ControlBlocks::onReply(int channel, const ReplyReader &reply)
{
    TransactionEngine &engine = m_link.engine();
    switch (reply.function()) {
    case Fn::WriteRegisters:
        engine.setStatus({Code::ControlBlockWritten, channel});
        break;
    case Fn::ReadHolding: {
        const auto record = controlRecordFromReply(reply);
        if (!record || !validChannel(channel)) {
            engine.setStatus({Code::WrongLength});
            break;
        }
        m_records[channel] = *record;
        Q_EMIT channelRead(channel, recordToTexts(*record));
        break;
    }
    default: // an exception reply
        engine.setStatus({Code::UnknownFunction});
        break;
    }
}

void ControlBlocks::onWriteUnconfirmed(int channel)
{
    m_link.engine().setStatus({Code::ControlBlockWriteFailed, channel});
}

} // namespace krv
