#pragma once
// Why a value typed into a window is not used, and where it was typed: the one
// way every window reports refused input. The window turns it into a message.

#include <QtGlobal>

namespace krv {

struct InputRefusal
{
    enum class Field {
        // The main window's boxes.
        StationAddress,     // "地  址"
        ColdJunctionAdjust, // "冷校准"
        Calibration,        // "工程校准" of `channel`
        // The control editor's boxes: `row` (a ControlRow) of `channel`.
        ControlBox,
        // The word packed from `row` × 256 + the row after it, of `channel`.
        ControlPackedBoxes,
        // The alarm editor's channel boxes, of `channel`.
        UpperLimit,
        LowerLimit,
        RelativeAlarm,
        PreAlarm,
        PreAlarmAndRelative, // pre-alarm × 4096 + relative alarm
        // Its module control fields.
        RequestOutput,
        SerialOutput,
        MeasuredChannels,
        StartMode,
        RegisterAddressing,
        // Its single register and switch boxes.
        RegisterAddress,
        RegisterValue,
        SwitchAddress,
        SwitchValue,
    };
    enum class Reason {
        NotANumber,
        NotWhole,    // a fraction where only a whole number will do
        OutOfRange,  // outside [low, high]
        Negative,    // a negative number would set bits nobody chose
        NoSelection, // a list with nothing selected
        NotAnItem,   // a list whose typed text is none of its items
    };

    Field field = Field::StationAddress;
    Reason reason = Reason::NotANumber;
    int channel = -1;
    int row = -1;
    qint64 low = 0; // the range the value must lie in (OutOfRange)
    qint64 high = 0;
};

} // namespace krv
