#pragma once
// The control editor's requests on its line and the decoding of their
// replies: each channel's block read and written whole, its record kept here.
// No widgets: the window hands texts in and shows the texts that come out.

#include "link/editorlink.h"
#include "link/sharedstate.h"
#include "module/controlrecord.h"

#include <QObject>

#include <array>
#include <optional>

namespace krv {

class ControlBlocks : public QObject
{
    Q_OBJECT
public:
    // Takes over the link's block read (the opening sweep reads control
    // blocks) and its replies.
    ControlBlocks(const ModuleSlots &moduleSlots, EditorLink &link, QObject *parent = nullptr);

    void readChannel(int channel);
    // Writes channel c from its texts: the record, then the request. A text
    // that cannot be converted is refused and nothing is sent.
    std::optional<InputRefusal> writeChannel(int channel, const ControlTexts &texts);
    // The record of channel c as last read or written.
    const ControlRecord &record(int channel) const { return m_records.at(channel); }

Q_SIGNALS:
    // Channel c's block was read: show these texts in its boxes.
    void channelRead(int channel, const krv::ControlTexts &texts);

private:
    void onReply(int channel, const ReplyReader &reply);
    void onWriteUnconfirmed(int channel);
    static bool validChannel(int channel) { return channel >= 0 && channel < BlockCount; }

    const ModuleSlots &m_slots;
    EditorLink &m_link;
    std::array<ControlRecord, BlockCount> m_records{};
};

} // namespace krv
