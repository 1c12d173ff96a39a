#pragma once
// An in-memory line with simulated modules on it: what the tool transmits is
// unframed (RTU or ASCII, as it came), handed to the module at its station
// address and answered in the same framing after `replyDelayMs` (on the event
// loop, like a real line). Tests make a station silent, fail requests by start
// register or delay single replies. Link with krv_sim.

#include "memoryport.h"
#include "modulemodel.h"
#include "protocol/modbusframing.h"

#include <QHash>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>

namespace testsupport {

class ModuleLine : public MemoryPort
{
public:
    using MemoryPort::MemoryPort;

    // A module at `station` of the given identity and firmware.
    sim::ModuleModel &addModule(int station, const QByteArray &id = "REREVE2060RIDU", int major = 5,
                                int minor = 3)
    {
        sim::ModuleSetup setup;
        setup.address = station;
        setup.id = id;
        setup.fwMajor = major;
        setup.fwMinor = minor;
        auto &slot = m_modules[station];
        slot = std::make_unique<sim::ModuleModel>(setup, static_cast<quint32>(station));
        return *slot;
    }
    sim::ModuleModel &module(int station) { return *m_modules.at(station); }

    // Decides for each request body (station, function, data) whether and how
    // late it is answered: -1 drops it, otherwise the delay in ms.
    std::function<int(const QByteArray &body)> replyDelay = [](const QByteArray &) { return 0; };

    // Request bodies received so far, in order.
    QList<QByteArray> requests;

    void transmit(const QByteArray &bytes) override
    {
        MemoryPort::transmit(bytes);
        const bool ascii = bytes.startsWith(':');
        const QByteArray body = ascii ? QByteArray::fromHex(bytes.mid(1, bytes.size() - 5))
                                      : bytes.left(bytes.size() - 2);
        if (body.size() < 2)
            return;
        requests.append(body);
        const auto it = m_modules.find(static_cast<quint8>(body[0]));
        if (it == m_modules.end())
            return;
        const int delay = replyDelay(body);
        if (delay < 0)
            return;
        const QByteArray reply = it->second->handle(body);
        const QByteArray frame = ascii ? krv::asciiFrame(reply) : krv::rtuFrame(reply);
        QTimer::singleShot(delay, this, [this, frame] {
            if (isOpen())
                receive(frame);
        });
    }

    // Requests of one function code so far.
    int countOf(quint8 function) const
    {
        int n = 0;
        for (const QByteArray &b : requests)
            n += static_cast<quint8>(b[1]) == function;
        return n;
    }

private:
    std::map<int, std::unique_ptr<sim::ModuleModel>> m_modules;
};

} // namespace testsupport
