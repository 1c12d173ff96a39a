#pragma once
// What the line reports on a window's status line, as a value: the windows
// turn it into text in the interface language.

#include <QMetaType>

namespace krv {

struct LinkStatus
{
    enum class Code {
        None, // an empty status line
        // Replies that cannot be used.
        CheckFailed,          // the CRC or LRC does not match
        ReplyMismatch,        // an intact frame that answers no request outstanding
        WrongLength,          // a reply shorter than its layout
        UnknownStartRegister, // a register read the window does not decode
        UnknownFunction,      // a function code the window does not handle
        CommandStackFull,
        // The main window's requests, as they are sent.
        ReadingMeasurements,
        ReadingSystemBlock,
        ReadingSensorCodes,
        ReadingParallelTime,
        ReadingCalibration,
        ReadingModuleControl,
        ReadingOutputs,
        ReadingControlEnable,
        ReadingInputs,
        ReadingDeviceId,
        SwitchingOutputOff,
        SwitchingOutputOn,
        // Its replies.
        MeasurementsRead,
        InputRegistersRead, // the measurements by function 04
        SystemBlockRead,
        SensorCodesRead,
        ParallelTimeRead,
        CalibrationRead,
        OutputsRead,
        ControlEnableRead,
        InputsRead,
        DeviceIdRead,
        OutputWritten,
        SystemRegisterWritten,
        ModuleFound, // number: the station address
        // The editors' replies; number: the channel or block.
        ControlBlockWritten,
        ControlBlockWriteFailed,
        AlarmBlockWritten,
        AlarmBlockWriteFailed,
        SwitchWritten, // number: the echoed address's high byte (0: none)
        // The line.
        LateReply,              // number: the station; the frame was not used
        RepliesLate,            // number: the station; lateMs, timeoutMs: how late, against what
        AwaitingIdentification, // a reply whose layout the firmware decides came first
        RequestNotSent,         // the port could not be opened
    };

    Code code = Code::None;
    int number = 0;
    int lateMs = 0;
    int timeoutMs = 0;

    friend bool operator==(const LinkStatus &, const LinkStatus &) = default;
};

} // namespace krv

Q_DECLARE_METATYPE(krv::LinkStatus)
