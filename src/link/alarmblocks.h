#pragma once
// The alarm editor's side of the module, without widgets: the nine blocks of
// three holding registers it reads and writes whole (the alarm blocks of
// channels 0..7 from 0x01A8, ten registers apart, and the module control block
// 8 at 0x01F8), the conversion between the window's fields and the register
// values, single holding registers and switches (coils) poked by address, and
// the decoding of the replies.
//
// Channel block registers: 0 upper limit, 1 lower limit, 2 pre-alarm control
// in bits 15..12 and relative alarm in bits 11..0. All raw register integers.

#include "link/editorlink.h"
#include "link/shareddata.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <optional>

namespace krv {

namespace AlarmBlock {
constexpr int ModuleControl = 8; // blocks 0..7 are channels 0..7
constexpr int Count = 9;
constexpr quint16 start(int block)
{
    return static_cast<quint16>(0x01A8 + 10 * block);
}
} // namespace AlarmBlock

// A channel column's four boxes, as they hold their texts.
struct AlarmChannelTexts
{
    QString InSel;     // upper limit, register 0
    QString SetVal;    // lower limit, register 1
    QString SamTime;   // relative alarm, register 2 bits 11..0
    QString PreAlmCon; // pre-alarm control, register 2 bits 15..12
};

// The block-8 fields: list positions (-1 while nothing is selected) and texts.
struct ModuleControlFields
{
    int PReqOut = -1;   // request output, register 0 bit 0
    QString COMMCtrl;   // serial active output, register 0 bits 11..8
    QString ChnlSelect; // measured channels, register 2
    int StartCon = -1;  // start mode of temperature control, register 1 bit 0
    int ModAddr = -1;   // continuous register addressing, register 0 bit 15
};

// The fields a write takes its values from.
enum class AlarmField {
    InSel,
    SetVal,
    SamTime,
    PreAlmCon,
    PreAlarmAndRelative, // pre-alarm control × 4096 + relative alarm
    PReqOut,
    COMMCtrl,
    ChnlSelect,
    StartCon,
    ModAddr,
    RegisterAddress, // text5
    RegisterValue,   // Text6
    SwitchAddress,   // Text7
    SwitchValue,     // Text8
};

enum class FieldFault {
    NotNumber,
    OutOfRange, // register values -65536..65535, addresses 0..32767
    Negative,   // a negative serial output would set bits nobody chose
    NoSelection,
};

// Why nothing was sent: the field (of channel `channel` for a channel field)
// and what is wrong with it.
struct FieldRefusal
{
    AlarmField field;
    FieldFault fault;
    int channel = -1;
};

// The ranges a field's whole number must lie in.
constexpr qint32 RegisterMin = -65536;
constexpr qint32 RegisterMax = 65535;
constexpr qint32 AddressMax = 32767;

// A box's number as a whole number: decimal text, a fraction rounded halves to
// even, within [lo, hi].
struct FieldNumber
{
    qint32 value = 0;
    std::optional<FieldFault> fault;
};
FieldNumber fieldNumber(const QString &text, qint32 lo, qint32 hi);

// Channel `channel`'s fields into its record (Reg2 = pre-alarm × 4096 +
// relative alarm, computed before rounding). A refused field leaves the record
// as it was.
std::optional<FieldRefusal> channelToRecord(int channel, const AlarmChannelTexts &t,
                                            AlarmParaRecord &r);
// The block-8 fields into its record: Reg0 = (COMMCtrl mod 16) × 256 + ModAddr
// × 32768 + PReqOut, Reg1 = StartCon, Reg2 = ChnlSelect. A list without a
// selection and a negative COMMCtrl are refused: either would put bits into the
// control word that the user never chose.
std::optional<FieldRefusal> moduleControlToRecord(const ModuleControlFields &f, AlarmParaRecord &r);
// A channel record as its boxes show it: the relative alarm is Reg2's remainder
// by 4096 and the pre-alarm control its quotient, both with Reg2's sign.
AlarmChannelTexts recordToChannel(const AlarmParaRecord &r);
// The shared module-control values as the block-8 fields show them.
ModuleControlFields moduleControlToFields(const ModuleData &m);

class AlarmBlocks : public QObject
{
    Q_OBJECT
public:
    // Takes over the editor line's dispatch and its sweep's block reads.
    AlarmBlocks(SharedState &state, EditorLink &link, QObject *parent = nullptr);

    // Reads block 0..8 (GetAlarmPara).
    void GetAlarmPara(int block);
    // Writes AlarmPara(block) as it stands (PutAlarmPara).
    void PutAlarmPara(int block);
    // One holding register, read with function 3 and written with function 16.
    void readRegister(quint16 address);
    void writeRegister(quint16 address, qint32 value);
    // One switch (coil): function 1, and function 5 with 0xFF00 for on.
    void readSwitch(quint16 address);
    void writeSwitch(quint16 address, bool on);

    // Handles the confirmed reply in the frame buffer.
    void dispatch();

Q_SIGNALS:
    void channelDecoded(int channel);          // AlarmPara(channel) holds the reply
    void moduleControlDecoded();               // the shared module-control values do
    void registerDecoded(const QString &text); // Text6
    void switchDecoded(const QString &text);   // Text8

private:
    quint8 station() const;
    void decodeBlock(int block);
    void writeFailed(int block);

    SharedState &m_state;
    EditorLink &m_link;
    // The block-8 image written last: once the module echoes the write, the
    // shared module-control values follow it, so that the main window's
    // system writes address the registers the module now uses.
    QByteArray m_writtenControl;
};

} // namespace krv
