#pragma once
// The program's parts wired together: the shared state, the main window's
// transaction engine on the given port, its register map, writes and polling
// cycle, and the main window itself.

#include "link/pollingcycle.h"
#include "link/registermap.h"
#include "link/shareddata.h"
#include "link/transactionengine.h"
#include "link/writerequests.h"
#include "ui/main/form1.h"

namespace krv {

class Asker;
class SerialPortComponent;

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
};

} // namespace krv
