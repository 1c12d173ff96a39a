#include "program.h"

namespace krv {

Program::Program(SerialPortComponent &comm1, Asker &asker)
    : engine(state, comm1, TransactionEngine::Config{}), registerMap(state, engine),
      writes(state, engine), polling(state, engine, registerMap, writes),
      form1(Form1::Links{state, engine, registerMap, writes, polling}, asker),
      monitors(state, engine, registerMap, asker)
{
    engine.setDispatcher([this] { registerMap.dispatch(); });
    QObject::connect(&form1, &Form1::trafficMonitorRequested, &monitors,
                     &MonitorWindows::showTrafficMonitor);
    QObject::connect(&form1, &Form1::trendChartRequested, &monitors,
                     &MonitorWindows::showTrendChart);
}

} // namespace krv
