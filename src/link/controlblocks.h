#pragma once
// The control parameter blocks of channels 0..8 as the control editor reads
// and writes them: the nine box texts of a channel, the record (CtrlPara) they
// convert into, the register bytes, the read and write requests, and the
// dispatch of a confirmed reply back into a record and texts. No widgets: the
// window hands texts in and shows the texts that come out.
//
// Block c occupies holding registers 0x0100 + 18c + 2 .. + 8: start order and
// input channel (high and low byte of one word), phase offset and sample time
// (likewise), set temperature, D0, D1, D2 and control range.

#include "link/editorlink.h"
#include "link/shareddata.h"

#include <QObject>
#include <QString>

#include <array>
#include <optional>

namespace krv {

// The editor's rows, top to bottom; also the field order of a .CON line.
enum class ControlRow {
    StartStep,
    InSel,
    Phase,
    SamTime,
    SetVal,
    SerD0,
    SerD1,
    SerD2,
    CtrlArea,
};
constexpr int ControlRows = 9;
constexpr int ControlChannels = 9;

// The nine box texts of one channel, in row order.
using ControlTexts = std::array<QString, ControlRows>;

// Why a channel's texts cannot be written.
struct ControlTextFault
{
    enum class Kind {
        NotANumber, // the box at `row` holds no decimal number
        OutOfRange, // the value (packed from `row` and the row after it when
                    // `packed`) lies outside -32768..32767
    };
    Kind kind = Kind::NotANumber;
    ControlRow row = ControlRow::StartStep;
    bool packed = false;
};

// First register of channel c's block: 0x0102, 0x0114, ... 0x0192.
quint16 controlBlockStart(int channel);

// Texts to record words (RegBytes untouched). The packed words are
// high × 256 + low with fractions allowed, then every value is taken to the
// nearest whole number, halves to even; an input channel or sample time of
// 256 or more carries into the high byte. On a fault the record is left as it
// was.
std::optional<ControlTextFault> textsToRecord(const ControlTexts &texts, ControlParaRecord &record);
// Record words to texts: the high bytes as the word divided by 256, truncated
// toward zero (0xFF05 shows start order 0), the low bytes as word AND 255.
ControlTexts recordToTexts(const ControlParaRecord &record);

// Channel c's read request (seven registers) in the frame buffer.
void buildControlRead(FrameBuffer &fb, quint8 station, int channel);
// Channel c's record as register bytes (RegBytes 0..13), and its write request.
void buildControlWrite(FrameBuffer &fb, quint8 station, ParameterTables &tables, int channel);
// A read reply's bytes 3..16 into channel c's RegBytes and record words;
// false (nothing changed) when the reply holds fewer than 17 bytes.
bool takeControlReply(const ReplyReader &reply, ParameterTables &tables, int channel);

// The control editor's requests on its line and the dispatch of their replies.
class ControlBlocks : public QObject
{
    Q_OBJECT
public:
    // Takes over the link's block read (the opening sweep reads control
    // blocks) and its engine's dispatch.
    ControlBlocks(SharedState &state, EditorLink &link, QObject *parent = nullptr);

    // Read of channel c.
    void GetControlPara(int channel);
    // Write of channel c from its texts: the record, then the request. A text
    // that cannot be converted is returned and nothing is sent.
    std::optional<ControlTextFault> writeChannel(int channel, const ControlTexts &texts);

    // A confirmed reply in the frame buffer, for the channel of its request.
    void dispatch();

Q_SIGNALS:
    // Channel c's record was read: show these texts in its boxes.
    void DisplayPara(int channel, const krv::ControlTexts &texts);

private:
    void writeUnconfirmed(int channel);

    SharedState &m_state;
    EditorLink &m_link;
};

} // namespace krv
