#include "trendstore.h"

#include "text/csvwriter.h"

#include <QDateTime>
#include <QIODevice>
#include <QStringList>

#include <algorithm>

namespace krv {

void TrendStore::append(qint64 t, std::span<const qint32> values)
{
    Sample s;
    s.t = m_samples.empty() ? t : qMax(t, m_samples.back().t);
    const int n = qMin<int>(Channels, static_cast<int>(values.size()));
    for (int c = 0; c < n; ++c) {
        s.value[static_cast<std::size_t>(c)] = values[static_cast<std::size_t>(c)];
        s.valid |= static_cast<quint8>(1u << c);
    }
    m_samples.push_back(s);
    while (!m_samples.empty() && m_samples.front().t < s.t - KeepMs)
        m_samples.pop_front();
    while (m_samples.size() > MaxSamples)
        m_samples.pop_front();
}

std::pair<TrendStore::Iter, TrendStore::Iter> TrendStore::span(qint64 from, qint64 to) const
{
    const auto first = std::lower_bound(m_samples.begin(), m_samples.end(), from,
                                        [](const Sample &s, qint64 t) { return s.t < t; });
    const auto last = std::upper_bound(first, m_samples.end(), to,
                                       [](qint64 t, const Sample &s) { return t < s.t; });
    return {first, last};
}

QList<QPointF> TrendStore::points(int channel, qint64 from, qint64 to, int maxPoints) const
{
    QList<QPointF> out;
    if (channel < 0 || channel >= Channels || to < from)
        return out;
    const auto c = static_cast<std::size_t>(channel);
    const quint8 bit = static_cast<quint8>(1u << channel);
    const auto [first, last] = span(from, to);
    const auto point = [c](const Sample &s) {
        return QPointF(static_cast<qreal>(s.t), static_cast<qreal>(s.value[c]));
    };
    if (last - first <= qMax(4, maxPoints)) {
        out.reserve(last - first);
        for (auto it = first; it != last; ++it) {
            if (it->valid & bit)
                out.append(point(*it));
        }
        return out;
    }
    // Four points per slice: first, lowest, highest, last (in time order).
    const int slices = qMax(1, maxPoints / 4);
    const qint64 width = qMax<qint64>(1, (to - from + 1 + slices - 1) / slices);
    out.reserve(4 * slices);
    auto it = first;
    while (it != last) {
        const qint64 sliceEnd = from + ((it->t - from) / width + 1) * width;
        const Sample *firstS = nullptr, *lowS = nullptr, *highS = nullptr, *lastS = nullptr;
        for (; it != last && it->t < sliceEnd; ++it) {
            if (!(it->valid & bit))
                continue;
            const Sample &s = *it;
            if (!firstS)
                firstS = lowS = highS = &s;
            if (s.value[c] < lowS->value[c])
                lowS = &s;
            if (s.value[c] > highS->value[c])
                highS = &s;
            lastS = &s;
        }
        if (!firstS)
            continue;
        const Sample *picked[4] = {firstS, lowS, highS, lastS};
        std::sort(std::begin(picked), std::end(picked),
                  [](const Sample *a, const Sample *b) { return a->t < b->t; });
        const Sample *previous = nullptr;
        for (const Sample *s : picked) {
            if (s != previous)
                out.append(point(*s));
            previous = s;
        }
    }
    return out;
}

std::optional<std::pair<qint32, qint32>> TrendStore::valueRange(qint64 from, qint64 to,
                                                                quint8 mask) const
{
    std::optional<std::pair<qint32, qint32>> range;
    const auto [first, last] = span(from, to);
    for (auto it = first; it != last; ++it) {
        const quint8 shown = it->valid & mask;
        for (int c = 0; c < Channels; ++c) {
            if (!(shown & (1u << c)))
                continue;
            const qint32 v = it->value[static_cast<std::size_t>(c)];
            if (!range)
                range.emplace(v, v);
            range->first = qMin(range->first, v);
            range->second = qMax(range->second, v);
        }
    }
    return range;
}

bool TrendStore::writeCsv(QIODevice &out, qint64 from, qint64 to, quint8 mask) const
{
    // Fixed texts: the file reads the same whatever the interface language.
    CsvWriter csv(out);
    QStringList fields{QStringLiteral("时间")};
    for (int c = 0; c < Channels; ++c) {
        if (mask & (1u << c))
            fields << QStringLiteral("通道%1").arg(c);
    }
    if (!csv.writeRow(fields))
        return false;
    const auto [first, last] = span(from, to);
    for (auto it = first; it != last; ++it) {
        fields = {QDateTime::fromMSecsSinceEpoch(it->t).toString(
            QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"))};
        for (int c = 0; c < Channels; ++c) {
            if (!(mask & (1u << c)))
                continue;
            fields << ((it->valid & (1u << c))
                           ? QString::number(it->value[static_cast<std::size_t>(c)])
                           : QString());
        }
        if (!csv.writeRow(fields))
            return false;
    }
    return true;
}

} // namespace krv
