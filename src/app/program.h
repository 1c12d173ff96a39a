#pragma once
// The program's parts wired together: the shared state, the main window's
// transaction engine on the given port, its register map, writes and polling
// cycle, the main window itself, and the traffic monitor and trend chart
// behind its "查看" menu.

#include "app/language.h"
#include "link/editorlink.h"
#include "link/pollingcycle.h"
#include "link/registermap.h"
#include "link/shareddata.h"
#include "link/transactionengine.h"
#include "link/writerequests.h"
#include "protocol/serialportcomponent.h"
#include "ui/alarm/alarmset.h"
#include "ui/asker.h"
#include "ui/control/controlset.h"
#include "ui/files/filesearch.h"
#include "ui/main/form1.h"
#include "ui/monitor/monitorwindows.h"

namespace krv {

// The port components of the three windows: the main window's (Comm1) and
// each editor's own (MSComm1), all leading to the same device.
struct Ports
{
    SerialPortComponent &comm1;
    SerialPortComponent &controlPort;
    SerialPortComponent &alarmPort;
};

class Program
{
public:
    Program(Ports ports, Asker &asker);

    // The language the windows were built in: ticked in the language menu. A
    // choice from that menu is saved for the next start (the windows are not
    // rebuilt while the line is in use) and, when it differs from this one,
    // the operator is told so in both languages.
    void useLanguage(Language running);

    SharedState state;
    TransactionEngine engine;
    RegisterMap registerMap;
    WriteRequests writes;
    PollingCycle polling;
    EditorLink controlLink;
    EditorLink alarmLink;
    Form1 form1;
    ControlSet controlSet;
    AlarmSet alarmSet;
    FileSearch fileSearch;
    MonitorWindows monitors;

private:
    Asker &m_asker;
};

// The program as it runs on a desktop: the real serial ports and dialog boxes.
struct DesktopProgram
{
    QSerialPortComponent comm1;
    QSerialPortComponent controlPort;
    QSerialPortComponent alarmPort;
    DialogAsker asker;
    Program program{{comm1, controlPort, alarmPort}, asker};
};

// The message telling that a language choice takes effect at the next start,
// the same in both languages.
QString languageAtNextStartText();

} // namespace krv
