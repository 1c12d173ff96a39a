#pragma once
// The simulator's command line.

#include "modulemodel.h"
#include "station.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace sim {

struct ModuleOptions
{
    ModuleSetup setup;
    Faults faults;
};

// Where the master reaches the modules.
enum class Server {
    Pty,  // a pseudo-terminal, as a serial port
    Tcp,  // a transparent serial server: serial frames over TCP, no line speed
    Mbap, // Modbus TCP: MBAP frames, the unit id selects the module
};

struct Options
{
    QList<ModuleOptions> modules; // the two default modules when none is given
    Server server = Server::Pty;
    int port = 0;      // TCP port on 127.0.0.1 (Tcp, Mbap); 0: any free port
    QString link;      // symbolic link to the slave device, if any
    bool fast = false; // no turnaround and no pacing
    int verbose = 0;
    bool logMicroseconds = false; // log time stamps to the microsecond
    bool help = false;
    bool version = false;
};

// Parses the arguments after the program name. Fault options given outside
// --module apply to every module that does not set the same fault itself.
bool parseOptions(const QStringList &args, Options *out, QString *error);
QString helpText();

} // namespace sim
