#pragma once
// A serial device on Linux, read so that the program wakes once per reply
// instead of once per character.
//
// A tty delivers a reply as the line brings it: at 9600 baud a character
// every millisecond, often one at a time. Whoever polls the device is woken
// by the kernel for each of them (the terminal layer wakes its readers on
// every arrival and only then checks VMIN), so the reading is done on a
// thread of its own: it waits with VMIN set to the characters still missing
// from the expected reply and hands the bytes to the owner's thread only once
// that many are there. The owner's thread takes shorter input (an exception
// reply, a reply cut short) when it asks for it, at its time-out.
//
// The device is opened exclusively (TIOCEXCL and an advisory lock), raw, 8N1
// at the given speed, without flow control.

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>

namespace krv {

class TtyLine : public QObject
{
    Q_OBJECT
public:
    explicit TtyLine(QObject *parent = nullptr);
    ~TtyLine() override;

    // Opens and sets up the device; false with the system's reason.
    bool open(const QString &path, int baud, QString *reason);
    void close();
    bool isOpen() const;

    // Takes what arrived and was not handed over yet (including what the
    // reader thread holds), then writes the bytes. False with the system's
    // reason when the write failed.
    bool write(const QByteArray &bytes, QByteArray *arrivedBefore, QString *reason);
    // Hands over bytes through arrived() once `count` of them are there
    // (0: hold whatever comes until taken).
    void expect(int count);
    // Whatever has arrived, now, without waiting.
    QByteArray takeAvailable();

Q_SIGNALS:
    // The expected number of bytes is there (the signal is raised on the
    // owner's thread; take them with takeAvailable()).
    void arrived();
    // The device went away (unplugged, hung up) or a read failed.
    void lost(const QString &reason);

private:
    class Reader;
    std::unique_ptr<Reader> m_reader;
};

} // namespace krv
