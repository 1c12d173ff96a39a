#pragma once
// The program-wide state: owned by no window, created once in main() and handed
// by reference to every window and link class (a test builds a fresh one).

#include "link/commandstack.h"
#include "protocol/framebuffer.h"
#include "protocol/registercodecs.h"

#include <QString>
#include <QtGlobal>

#include <array>

namespace krv {

struct ECalbRecord
{
    qint16 Dirty = 0; // 16-bit boolean
    qint16 Value = 0;
};

// What the replies of the module told us, as last decoded.
struct ModuleData
{
    std::array<qint32, 9> MeasValue{};
    std::array<qint32, 9> ECalbValue{};
    std::array<ECalbRecord, 8> ECalbEntry{};
    std::array<qint32, 8> ChnlSensorCode{};
    std::array<qint16, 10> DOState{}; // 0..8 switch outputs, 9 control enable
    std::array<qint16, 20> DIState{};

    quint16 SerialNo = 0; // shown unsigned 0..65535
    quint8 CommByte = 0;
    quint8 SensorByte = 0;
    quint16 MadeYear = 0; // shown unsigned 0..65535
    qint16 MadeMonth = 0;
    qint16 MadeDay = 0;
    qint16 MadeHour = 0;
    qint16 MadeMinute = 0;
    qint16 SysAddress = 0;
    qint16 ColdAdj = 0;

    qint16 AddrContinuous = 0;
    qint16 SerialOutCount = 0;
    qint16 RequestOut = 0;
    qint16 StartControl = 0;
    qint16 MeasChannels = 0;

    qint16 VerMajor = 0;
    qint16 VerMinor = 0;
    qint16 ReqRegister = 0;

    int version() const { return VerMajor * 10 + VerMinor; }
};

// Values the write requests take at the moment they are sent.
struct WriteState
{
    qint16 DOIndex = 0;
    qint16 DONew = 0;
    qint16 CommChanged = 0;
    qint16 SensorChanged = 0;
    qint16 AddressChanged = 0;
    qint16 AdjChanged = 0;
};

struct ScanState
{
    qint16 ScanAddress = 0;
    qint16 Scanning = 0;  // 16-bit boolean
    qint16 ScanAscii = 0; // framing tried at this scan tick (true = ASCII)
};

struct FileHandOff
{
    qint16 FileRequester = 0;
    qint16 FileChosen = 0;
    QString ChosenPath;
};

struct SharedState
{
    FrameBuffer frame;
    ModuleSlots mods;
    ModuleData module;
    WriteState writes;
    CommandStack commands;
    ScanState scan;
    ParameterTables params;
    FileHandOff files;
};

} // namespace krv
