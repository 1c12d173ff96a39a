#pragma once
// The measurements behind the trend chart: time-stamped raw values of the
// eight channels, kept for the longest time window the chart offers and no
// longer, so that a day of polling holds an hour at most. Gives the chart its
// points (thinned to what a plot can show) and writes the shown data as CSV.
// No widgets.

#include <QList>
#include <QPointF>
#include <QtGlobal>

#include <array>
#include <deque>
#include <optional>
#include <span>

class QIODevice;

namespace krv {

class TrendStore
{
public:
    static constexpr int Channels = 8;
    // The longest time window of the chart (60 minutes).
    static constexpr qint64 KeepMs = 60 * 60 * 1000;
    // A guard whatever the polling rate: 20 samples a second over KeepMs.
    static constexpr std::size_t MaxSamples = 20 * 60 * 60;

    struct Sample
    {
        qint64 t = 0; // ms since the epoch
        std::array<qint32, Channels> value{};
        quint8 valid = 0; // bit c: channel c was in the reply
    };

    // Adds a sample of the first `values.size()` channels (at most eight) at
    // time t, and drops what is older than KeepMs before it. A time before the
    // newest sample (a clock set back) counts as the newest time.
    void append(qint64 t, std::span<const qint32> values);
    void clear() { m_samples.clear(); }

    std::size_t size() const { return m_samples.size(); }
    bool isEmpty() const { return m_samples.empty(); }
    const Sample &at(std::size_t i) const { return m_samples[i]; }
    qint64 oldest() const { return m_samples.empty() ? 0 : m_samples.front().t; }
    qint64 newest() const { return m_samples.empty() ? 0 : m_samples.back().t; }

    // The points (x: ms since the epoch, y: value) of one channel from `from`
    // to `to` (both included). Beyond maxPoints the samples are thinned per
    // time slice to its first, lowest, highest and last value, so that peaks
    // survive.
    QList<QPointF> points(int channel, qint64 from, qint64 to, int maxPoints) const;
    // Lowest and highest value of the channels in `mask` from `from` to `to`.
    std::optional<std::pair<qint32, qint32>> valueRange(qint64 from, qint64 to, quint8 mask) const;

    // The samples from `from` to `to` as CSV: UTF-8 with a byte order mark, a
    // header line "时间" and "通道N" for each channel in `mask`, then one line
    // per sample with its local time (yyyy-MM-dd hh:mm:ss.zzz) and values (a
    // channel missing from its reply left empty); CR LF line ends. Returns
    // false when the device refused the bytes.
    bool writeCsv(QIODevice &out, qint64 from, qint64 to, quint8 mask) const;

private:
    using Iter = std::deque<Sample>::const_iterator;
    std::pair<Iter, Iter> span(qint64 from, qint64 to) const;

    std::deque<Sample> m_samples;
};

} // namespace krv
