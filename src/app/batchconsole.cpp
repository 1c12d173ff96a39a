#include "app/batchconsole.h"

#include <QSocketNotifier>
#include <QTimer>

#include <csignal>
#include <cstdio>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace krv {

namespace {

void writeTo(std::FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

bool isTerminal([[maybe_unused]] std::FILE *stream)
{
#ifdef Q_OS_UNIX
    return ::isatty(::fileno(stream)) == 1;
#else
    return false;
#endif
}

bool isWide(char32_t c)
{
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) ||
           (c >= 0x3041 && c <= 0x33FF) || (c >= 0x3400 && c <= 0x4DBF) ||
           (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF) ||
           (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
           (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
}

// The signal handler's end of the pipe, and whether Ctrl-C came (where there
// is no pipe).
#ifdef Q_OS_UNIX
int g_pipe[2] = {-1, -1};
struct sigaction g_previous;

extern "C" void onInterrupt(int)
{
    const char byte = 1;
    // Nothing else is safe here; a full pipe already holds the news.
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &byte, 1);
}
#else
volatile std::sig_atomic_t g_interrupted = 0;
void (*g_previousHandler)(int) = SIG_DFL;

extern "C" void onInterrupt(int)
{
    g_interrupted = 1;
}
#endif

} // namespace

Console Console::standard()
{
    return Console([](const QString &text) { writeTo(stdout, text); },
                   [](const QString &text) { writeTo(stderr, text); }, isTerminal(stderr));
}

void Console::print(const QString &text)
{
    endProgress();
    m_out(text);
}

void Console::message(const QString &line)
{
    endProgress();
    m_err(line + u'\n');
}

void Console::progress(const QString &line)
{
    if (!m_terminal) {
        m_err(line + u'\n');
        return;
    }
    // Back to the start of the line, the new text, the rest of the old cleared.
    m_err(u'\r' + line + QStringLiteral("\x1b[K"));
    m_progressShown = true;
}

void Console::endProgress()
{
    if (!m_progressShown)
        return;
    m_progressShown = false;
    m_err(QStringLiteral("\r\x1b[K"));
}

int displayWidth(const QString &text)
{
    int width = 0;
    for (const char32_t c : text.toUcs4())
        width += isWide(c) ? 2 : 1;
    return width;
}

QString textTable(const QList<QStringList> &rows)
{
    QList<int> widths;
    for (const QStringList &row : rows) {
        for (qsizetype i = 0; i < row.size(); ++i) {
            if (i >= widths.size())
                widths.append(0);
            widths[i] = qMax(widths[i], displayWidth(row[i]));
        }
    }
    QString table;
    for (const QStringList &row : rows) {
        QString line;
        for (qsizetype i = 0; i < row.size(); ++i) {
            line += row[i];
            if (i + 1 < row.size())
                line += QString(widths[i] - displayWidth(row[i]) + 2, u' ');
        }
        while (line.endsWith(u' '))
            line.chop(1);
        table += line + u'\n';
    }
    return table;
}

InterruptWatch::InterruptWatch(QObject *parent) : QObject(parent)
{
#ifdef Q_OS_UNIX
    if (::pipe(g_pipe) != 0)
        return;
    for (int fd : g_pipe) {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &InterruptWatch::takeSignal);
    struct sigaction action = {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    // The handler is used once: a second Ctrl-C ends the program at once.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    sigaction(SIGINT, &action, &g_previous);
#else
    g_interrupted = 0;
    g_previousHandler = std::signal(SIGINT, onInterrupt);
    m_poll = new QTimer(this);
    m_poll->setInterval(100);
    connect(m_poll, &QTimer::timeout, this, &InterruptWatch::takeSignal);
    m_poll->start();
#endif
}

InterruptWatch::~InterruptWatch()
{
#ifdef Q_OS_UNIX
    if (g_pipe[0] < 0)
        return;
    sigaction(SIGINT, &g_previous, nullptr);
    delete m_notifier;
    for (int &fd : g_pipe) {
        ::close(fd);
        fd = -1;
    }
#else
    std::signal(SIGINT, g_previousHandler);
#endif
}

void InterruptWatch::takeSignal()
{
#ifdef Q_OS_UNIX
    char bytes[16];
    bool came = false;
    while (::read(g_pipe[0], bytes, sizeof bytes) > 0)
        came = true;
    if (came)
        Q_EMIT interrupted();
#else
    if (g_interrupted) {
        g_interrupted = 0;
        Q_EMIT interrupted();
    }
#endif
}

} // namespace krv
