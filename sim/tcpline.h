#pragma once
// The simulator's end of a TCP connection on 127.0.0.1: a listening socket and one
// client at a time. A connection that arrives while a client is connected is
// accepted and closed at once; when the client goes, the next connection is taken.
// There is no line speed: every module hears the client whatever its own speed.

#include "line.h"

#include <QByteArray>
#include <QString>

namespace sim {

class TcpLine : public Line
{
public:
    // label names the server in the log ("tcp", "mbap").
    explicit TcpLine(QByteArray label) : m_label(std::move(label)) {}
    ~TcpLine() override;

    // Listens on 127.0.0.1:port; port 0 takes any free port.
    bool listen(quint16 port, QString *error);
    // The port it listens on (the real one when 0 was asked for).
    quint16 port() const { return m_port; }
    bool connected() const { return m_client >= 0; }

    std::optional<int> lineBaud() const override { return std::nullopt; }
    void addPollFds(std::vector<pollfd> &fds) const override;
    LineInput takeInput(const pollfd *fds) override;

protected:
    ssize_t writeOut(const char *data, size_t size) override;

private:
    void readClient(LineInput &in);
    void acceptPending(LineInput &in);
    void closeClient(const QByteArray &why);

    QByteArray m_label;
    int m_listen = -1;
    int m_client = -1;
    QByteArray m_peer; // the client's address and port, for the log
    quint16 m_port = 0;
};

} // namespace sim
