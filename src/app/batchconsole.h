#pragma once
// What the commands without a window need around them: standard output for
// the result table and standard error for progress and messages, a table laid
// out in columns, and Ctrl-C turned into an event.

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class QSocketNotifier;
class QTimer;

namespace krv {

// The command's two outputs. On a terminal the progress is one line written
// over; elsewhere (a pipe, a log file) every step is a line of its own.
class Console
{
public:
    using Sink = std::function<void(const QString &text)>;

    Console(Sink out, Sink err, bool errIsTerminal)
        : m_out(std::move(out)), m_err(std::move(err)), m_terminal(errIsTerminal)
    {}
    // Standard output and standard error of the process.
    static Console standard();

    bool errIsTerminal() const { return m_terminal; }
    // Text on standard output, as it stands.
    void print(const QString &text);
    // A line on standard error (after the progress line, which ends).
    void message(const QString &line);
    // The step in work on standard error.
    void progress(const QString &line);
    // Ends a progress line written over on a terminal.
    void endProgress();

private:
    Sink m_out;
    Sink m_err;
    bool m_terminal = false;
    bool m_progressShown = false;
};

// How many columns a text takes on a terminal: two for a CJK character or a
// full-width form, one for anything else.
int displayWidth(const QString &text);
// The rows as lines of columns, each column as wide as its widest cell, two
// blanks apart, without blanks at the ends of lines.
QString textTable(const QList<QStringList> &rows);

// Ctrl-C (SIGINT) while it lives: the first one is reported by interrupted()
// on the event loop (the handler only writes a byte to a pipe); a second one
// ends the program as Ctrl-C always does. The handler before is put back when
// it goes.
class InterruptWatch : public QObject
{
    Q_OBJECT
public:
    explicit InterruptWatch(QObject *parent = nullptr);
    ~InterruptWatch() override;

Q_SIGNALS:
    void interrupted();

private:
    void takeSignal();

#ifdef Q_OS_UNIX
    QSocketNotifier *m_notifier = nullptr;
#else
    QTimer *m_poll = nullptr; // where there are no signal pipes
#endif
};

} // namespace krv
