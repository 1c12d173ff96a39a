#pragma once
// An in-memory port component for tests: records what was sent and lets a test
// deliver replies in any chunking, fail an opening or pull the port.

#include "protocol/portcomponent.h"

#include <QList>

namespace testsupport {

class MemoryPort : public krv::PortComponent
{
public:
    using PortComponent::PortComponent;
    bool isOpen() const override { return m_open; }
    void transmit(const QByteArray &bytes) override { m_sent.append(bytes); }

    // Bytes arriving from the line.
    void receive(const QByteArray &bytes) { deliver(bytes); }
    // The next openings fail with this reason (none: they succeed).
    void failOpen(const QString &reason) { m_failReason = reason; }
    // The device goes away.
    void pull(const QString &reason) { lost(reason); }
    QList<QByteArray> &sent() { return m_sent; }
    const QList<QByteArray> &sent() const { return m_sent; }
    int openCount() const { return m_opens; }

protected:
    bool openDevice(QString *reason) override
    {
        if (!m_failReason.isEmpty()) {
            *reason = m_failReason;
            return false;
        }
        m_open = true;
        ++m_opens;
        return true;
    }
    void closeDevice() override { m_open = false; }

private:
    bool m_open = false;
    int m_opens = 0;
    QString m_failReason;
    QList<QByteArray> m_sent;
};

} // namespace testsupport
