#pragma once
// The program's parts wired together: the shared state, the main window's
// transaction engine on the given port, its register map, writes and polling
// cycle, the main window itself, and the traffic monitor and trend chart
// behind its "查看" menu.

#include "link/pollingcycle.h"
#include "link/registermap.h"
#include "link/shareddata.h"
#include "link/transactionengine.h"
#include "link/writerequests.h"
#include "protocol/serialportcomponent.h"
#include "ui/asker.h"
#include "ui/main/form1.h"
#include "ui/monitor/monitorwindows.h"

namespace krv {

class Program
{
public:
    Program(SerialPortComponent &comm1, Asker &asker);

    SharedState state;
    TransactionEngine engine;
    RegisterMap registerMap;
    WriteRequests writes;
    PollingCycle polling;
    Form1 form1;
    MonitorWindows monitors;
};

// The program as it runs on a desktop: the real serial port and dialog boxes.
struct DesktopProgram
{
    QSerialPortComponent comm1;
    DialogAsker asker;
    Program program{comm1, asker};
};

} // namespace krv
