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

struct Options
{
    QList<ModuleOptions> modules; // the two default modules when none is given
    QString link;                 // symbolic link to the slave device, if any
    bool fast = false;            // no turnaround and no pacing
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
