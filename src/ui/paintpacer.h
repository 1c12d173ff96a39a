#pragma once
// Paces a window's painting while it shows what the line brings, and paints
// nothing while the window is minimised or hidden.
//
// A request changes the window (the frame sent, the status) and its reply
// changes it again a few milliseconds later (the frame received, the
// counters, the status cleared, the values). While a request is on the line
// the painting is held, so both reach the screen in one pass, in the same
// wake-up as the reply; and passes come at most every MinPaintIntervalMs:
// polling at 38400 baud sends five requests a second, and every pass over
// the window costs painting, a copy to the screen and a round trip to the
// display server. The boxes hold their new texts at once; only the painting
// waits: for the reply, or at most MaxHoldMs for a slow line or a time-out,
// and then for the interval. Right after the user's own input (a key, a
// click, the wheel) the window paints at once, so typing and clicking feel as
// before.

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class QWidget;

namespace krv {

class PaintPacer : public QObject
{
    Q_OBJECT
public:
    static constexpr int MaxHoldMs = 100;
    // About three passes a second: the measurements are read every fourth
    // request, so a value waits at most one pass longer than it did.
    static constexpr int MinPaintIntervalMs = 350;
    // How long a pass waits at most for the next reply to paint it.
    static constexpr int LongestWaitMs = 2 * MinPaintIntervalMs;
    // How long after the user's input the window paints without waiting.
    static constexpr int InputGraceMs = 500;

    explicit PaintPacer(QWidget *window);
    ~PaintPacer() override;

    // A request went out: hold the painting until release().
    void hold();
    // Its reply (or its end) is there: paint what waits, now or when the
    // interval since the last pass has run.
    void release();
    bool holding() const { return m_holding; }

    // Passes held back so far (for tests and the bench).
    int heldCount() const { return m_held; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void paintWhatWaits();
    bool away() const;
    bool afterInput() const;

    QWidget *m_window;
    QTimer m_maxHold;
    QTimer m_interval; // runs while a pass waits for the interval
    QElapsedTimer m_sinceInput;
    QElapsedTimer m_sincePaint;
    bool m_holding = false;   // a request is on the line
    bool m_waiting = false;   // a pass was held back
    bool m_releasing = false; // the next update request is our own
    int m_held = 0;
};

} // namespace krv
