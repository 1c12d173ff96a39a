#pragma once
// The program's parts wired together: the shared state, the main window's
// transaction engine on the given port, its register map, writes, scan and
// polling cycle, the editors' lines, the windows, the traffic monitor and
// trend chart behind the main window's "查看" menu, and the batch job and its
// window behind "工具".

#include "app/language.h"
#include "link/batchjob.h"
#include "link/editorlink.h"
#include "link/modulescan.h"
#include "link/pollingcycle.h"
#include "link/registermap.h"
#include "link/sharedstate.h"
#include "link/transactionengine.h"
#include "link/writerequests.h"
#include "protocol/portcomponent.h"
#include "ui/alarm/alarmeditor.h"
#include "ui/asker.h"
#include "ui/batch/batchwindow.h"
#include "ui/control/controleditor.h"
#include "ui/files/filechooser.h"
#include "ui/main/mainwindow.h"
#include "ui/main/portlist.h"
#include "ui/monitor/monitorwindows.h"

#include <memory>
#include <optional>

namespace krv {

// The port components of the windows: the main window's, each editor's and
// the batch window's own, all leading to the same device. Without a batch
// port the program makes one on the system's ports.
struct Ports
{
    PortComponent &mainPort;
    PortComponent &controlPort;
    PortComponent &alarmPort;
    PortComponent *batchPort = nullptr;
};

// The settings keys of the port and line speed last used: the port as an
// address ("COM1", "ttyUSB0", "host:4001", "mbap://host:502"), the speed as
// its text ("9600").
inline constexpr char kPortSetting[] = "line/port";
inline constexpr char kSpeedSetting[] = "line/speed";

class Program
{
public:
    // portInfo names the serial ports the main window lists (not owned;
    // nullptr: the system's).
    Program(Ports ports, Asker &asker, const PortInfoSource *portInfo = nullptr);

    // The language the windows were built in: ticked in the language menu. A
    // choice from that menu is saved for the next start (the windows are not
    // rebuilt while the line is in use) and, when it differs from this one,
    // the operator is told so in both languages.
    void useLanguage(Language running);
    // The port and line speed the operator used last, from the settings, put
    // into the main window; port, when given (--port), instead of the saved
    // one. Whatever "运 行" or "扫描模块" starts with is saved for the next
    // start.
    void useRememberedLine(const std::optional<LineAddress> &port);

    SharedState state;
    TransactionEngine engine;
    RegisterMap registerMap;
    WriteRequests writes;
    ModuleScan scan;
    PollingCycle polling;
    EditorLink controlLink;
    EditorLink alarmLink;
    MainWindow mainWindow;
    ControlEditor controlEditor;
    AlarmEditor alarmEditor;
    FileChooser fileChooser;
    MonitorWindows monitors;

private:
    std::unique_ptr<PortComponent> m_ownBatchPort; // when Ports names none

public:
    // "工具 > 批量设置…": the batch job on its own port, and its window.
    BatchJob batchJob;
    BatchWindow batchWindow;

private:
    // Shows the chooser for `editor`, which gets its answer.
    void chooseFileFor(EditorWindow &editor);

    Asker &m_asker;
};

// The program as it runs on a desktop: the real ports and dialog boxes.
struct DesktopProgram
{
    SystemPortComponent mainPort;
    SystemPortComponent controlPort;
    SystemPortComponent alarmPort;
    SystemPortComponent batchPort;
    DialogAsker asker;
    Program program{{mainPort, controlPort, alarmPort, &batchPort}, asker};
};

// The message telling that a language choice takes effect at the next start,
// the same in both languages.
QString languageAtNextStartText();

} // namespace krv
