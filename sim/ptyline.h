#pragma once
// The simulator's end of the serial line: a pseudo-terminal pair whose slave side
// the master opens as its serial port. The slave stays open here as well, so the
// master can close and reopen its port without this end seeing a hang-up, and its
// settings (raw 8N1, the speed the master chose) live as long as the simulator.

#include "line.h"

#include <QString>

namespace sim {

class PtyLine : public Line
{
public:
    PtyLine() = default;
    ~PtyLine() override;

    // Creates the pair, raw, at the given speed until the master sets its own.
    bool open(int baud, QString *error);
    QString slavePath() const { return m_slavePath; }
    int fd() const { return m_master; }
    // Speed the master set on its end (tcgetattr on our end shows it); 0 if unknown.
    std::optional<int> lineBaud() const override;
    QByteArray readAvailable();

    void addPollFds(std::vector<pollfd> &fds) const override;
    LineInput takeInput(const pollfd *fds) override;

protected:
    ssize_t writeOut(const char *data, size_t size) override;
    bool makeRoom() override;

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
};

} // namespace sim
