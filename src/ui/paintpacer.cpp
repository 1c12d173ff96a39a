#include "paintpacer.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

namespace krv {

PaintPacer::PaintPacer(QWidget *window) : QObject(window), m_window(window)
{
    m_maxHold.setSingleShot(true);
    m_maxHold.setInterval(MaxHoldMs);
    connect(&m_maxHold, &QTimer::timeout, this, &PaintPacer::release);
    m_interval.setSingleShot(true);
    connect(&m_interval, &QTimer::timeout, this, &PaintPacer::paintWhatWaits);
    // The window's update requests and the user's input anywhere in the
    // application (an application filter sees both, once).
    qApp->installEventFilter(this);
}

PaintPacer::~PaintPacer()
{
    qApp->removeEventFilter(this);
}

void PaintPacer::hold()
{
    m_holding = true;
    // Started here, not when a pass is held: a reply in time stops it before
    // it fires, so a request costs no wake-up of its own.
    m_maxHold.start();
}

void PaintPacer::release()
{
    m_holding = false;
    m_maxHold.stop();
    if (!m_waiting)
        return;
    if (afterInput() || !m_sincePaint.isValid() || m_sincePaint.elapsed() >= MinPaintIntervalMs) {
        paintWhatWaits();
        return;
    }
    // Too soon after the last pass: the next reply paints it (polling sends
    // the next request within a tick, and the interval is shorter than two),
    // and should none come, the timer does. It runs longer than a tick so
    // that it does not fire while polling: a pass at a reply costs no
    // wake-up of its own, a pass at a timer one more.
    if (!m_interval.isActive())
        m_interval.start(LongestWaitMs);
}

bool PaintPacer::away() const
{
    return !m_window->isVisible() || m_window->isMinimized();
}

bool PaintPacer::afterInput() const
{
    return m_sinceInput.isValid() && m_sinceInput.elapsed() < InputGraceMs;
}

bool PaintPacer::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::InputMethod:
        m_sinceInput.start();
        // What waits is painted with the answer to the input.
        paintWhatWaits();
        return false;
    case QEvent::WindowStateChange:
    case QEvent::Show:
        // Back from the task bar: show what came meanwhile.
        if (watched == m_window)
            QTimer::singleShot(0, this, &PaintPacer::paintWhatWaits);
        return false;
    case QEvent::UpdateRequest:
        break;
    default:
        return false;
    }
    if (watched != m_window)
        return false;
    if (m_releasing) {
        m_releasing = false;
        m_sincePaint.start();
        return false;
    }
    const bool soon = m_sincePaint.isValid() && m_sincePaint.elapsed() < MinPaintIntervalMs;
    if (!away() && (afterInput() || (!m_holding && !soon && !m_interval.isActive()))) {
        m_sincePaint.start();
        return false;
    }
    // Held back: the window's dirty regions stay marked and are painted
    // together when the pass comes (or when the window shows again).
    m_waiting = true;
    ++m_held;
    // A change that came soon after a pass with no request on the line (the
    // clock, while polling) goes with the next reply's pass, or the timer's.
    if (!m_holding && !away() && !m_interval.isActive())
        m_interval.start(LongestWaitMs);
    return true;
}

void PaintPacer::paintWhatWaits()
{
    m_interval.stop();
    if (!m_waiting || away())
        return; // painted when the window shows again
    m_waiting = false;
    m_releasing = true;
    QCoreApplication::postEvent(m_window, new QEvent(QEvent::UpdateRequest), Qt::LowEventPriority);
}

} // namespace krv
