#pragma once
// The alarm editor's requests on its line and the decoding of their replies:
// the nine blocks read and written whole (alarm blocks of channels 0..7 and
// the module control block 8), and single holding registers and switches
// (coils) poked by address. No widgets.

#include "link/editorlink.h"
#include "link/sharedstate.h"
#include "module/alarmrecord.h"

#include <QObject>

#include <optional>

namespace krv {

class AlarmBlocks : public QObject
{
    Q_OBJECT
public:
    // Takes over the link's replies and its sweep's block reads.
    AlarmBlocks(SharedState &state, EditorLink &link, QObject *parent = nullptr);

    void readBlock(int block);
    // Writes channel c's block, or block 8, from the fields; a field that
    // cannot be converted is refused and nothing is sent.
    std::optional<InputRefusal> writeChannel(int channel, const AlarmChannelTexts &texts);
    std::optional<InputRefusal> writeModuleControl(const ModuleControlFields &fields);
    // One holding register, read with function 3 and written with function 16.
    void readRegister(quint16 address);
    void writeRegister(quint16 address, qint32 value);
    // One switch (coil): function 1, and function 5 with 0xFF00 for on.
    void readSwitch(quint16 address);
    void writeSwitch(quint16 address, bool on);

Q_SIGNALS:
    void channelRead(int channel, const krv::AlarmChannelTexts &texts);
    // Block 8 was read: the module control values it holds.
    void moduleControlRead(const krv::ModuleControl &control);
    void registerRead(int value);
    void switchRead(int value);

private:
    quint8 station() const { return m_state.moduleSlots.selectedStation(); }
    void writeBlock(int block, const AlarmRecord &record);
    void onReply(int block, const ReplyReader &reply);
    void decodeBlock(int block, const ReplyReader &reply);
    void onWriteFailed(int block);

    SharedState &m_state;
    EditorLink &m_link;
    // The block-8 values written last: once the module echoes the write, the
    // shared module-control values follow them, so that the main window's
    // system writes address the registers the module now uses.
    std::optional<AlarmRecord> m_writtenControl;
};

} // namespace krv
