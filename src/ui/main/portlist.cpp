#include "portlist.h"

#include "protocol/portcomponent.h"
#include "ui/controls.h"

#include <QAbstractItemView>
#include <QSerialPortInfo>
#include <QSet>
#include <QStyle>

namespace krv {

namespace {

// "ttyUSB2" before "ttyUSB10": the letters, then the number they end in.
bool nameBefore(const QString &a, const QString &b)
{
    const auto split = [](const QString &s) {
        qsizetype digits = s.size();
        while (digits > 0 && s[digits - 1].isDigit())
            --digits;
        return std::pair{s.left(digits), s.mid(digits).toULongLong()};
    };
    const auto [aStem, aNumber] = split(a);
    const auto [bStem, bNumber] = split(b);
    if (const int c = aStem.compare(bStem, Qt::CaseInsensitive); c != 0)
        return c < 0;
    if (aNumber != bNumber)
        return aNumber < bNumber;
    return a < b;
}

// The address a system port is chosen by: its name when that is one, else
// its device path; invalid when neither is.
LineAddress addressOf(const SerialPortDescription &port)
{
    const LineAddress byName = LineAddress::parse(port.name);
    return byName.valid() ? byName : LineAddress::parse(port.location);
}

} // namespace

QList<SerialPortDescription> SystemPortInfoSource::ports() const
{
    QList<SerialPortDescription> ports;
    const QList<QSerialPortInfo> found = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : found)
        ports.append({info.portName(), info.systemLocation(), info.description(),
                      info.manufacturer(), info.serialNumber()});
    return ports;
}

PortList::PortList(QWidget *parent) : QComboBox(parent)
{
    connect(this, &QComboBox::currentTextChanged, this, &PortList::updateToolTip);
}

void PortList::updateToolTip()
{
    const QString text = currentText();
    const int current = currentIndex();
    const int named = current >= 0 && itemText(current) == text
                          ? current
                          : findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    setToolTip(named >= 0 ? itemData(named, Qt::ToolTipRole).toString()
                          : LineAddress::parse(text).location());
}

void PortList::setSource(const PortInfoSource *source)
{
    m_source = source;
}

void PortList::refresh()
{
    if (count() == 0) {
        QStringList names;
        for (int n = 1; n <= ComCount; ++n)
            names << QStringLiteral("COM%1").arg(n);
        krv::addItems(this, names);
        for (int n = 1; n <= ComCount; ++n) {
            setItemData(n - 1, names[n - 1]);
            setItemData(n - 1, devicePathForPort(n), Qt::ToolTipRole);
        }
    }

    const QString shown = currentText();
    const int current = currentIndex();
    const bool showsCurrent = current >= 0 && itemText(current) == shown;

    static const SystemPortInfoSource system;
    const QList<SerialPortDescription> listed = (m_source ? m_source : &system)->ports();
    // COM1..COM4 are there already; a port listed twice counts once.
    QList<LineAddress> known;
    for (int i = 0; i < ComCount; ++i)
        known << LineAddress::parse(itemData(i).toString());
    QList<std::pair<QString, SerialPortDescription>> ports; // by address text
    for (const SerialPortDescription &port : listed) {
        const LineAddress address = addressOf(port);
        if (!address.valid() || known.contains(address))
            continue;
        known << address;
        ports.append({address.text(), port});
    }

    QSet<QString> present;
    for (const auto &[address, port] : ports)
        present.insert(address);
    for (int i = count() - 1; i >= ComCount; --i) {
        if (i != current && !present.contains(itemData(i).toString()))
            removeItem(i);
    }
    for (const auto &[address, port] : ports) {
        const QString caption = port.description.isEmpty()
                                    ? port.name
                                    : port.name + QStringLiteral(" – ") + port.description;
        QStringList tip{port.location};
        if (!port.manufacturer.isEmpty())
            tip << tr("制造商: %1").arg(port.manufacturer);
        if (!port.serialNumber.isEmpty())
            tip << tr("序列号: %1").arg(port.serialNumber);
        int at = findData(address);
        if (at < 0) {
            at = ComCount;
            while (at < count() && nameBefore(itemData(at).toString(), address))
                ++at;
            insertItem(at, caption, address);
        } else if (itemText(at) != caption) {
            setItemText(at, caption);
        }
        setItemData(at, tip.join(u'\n'), Qt::ToolTipRole);
    }
    // Rows inserted or removed around the selection may have put the selected
    // item's text back into the edit field.
    if (!showsCurrent && currentText() != shown)
        setEditText(shown);

    // The open list is as wide as its widest item, even where the box is not.
    int widest = view()->sizeHintForColumn(0) + 2 * view()->frameWidth();
    if (count() > maxVisibleItems())
        widest += style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, view());
    view()->setMinimumWidth(widest);
    updateToolTip();
}

QString PortList::addressText() const
{
    const QString text = currentText();
    const int current = currentIndex();
    if (current >= 0 && itemText(current) == text)
        return itemData(current).toString();
    if (const int named = findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive); named >= 0)
        return itemData(named).toString();
    return text;
}

void PortList::showAddress(const QString &text)
{
    const QString typed = text.trimmed();
    if (typed.isEmpty())
        return;
    int at = findData(typed);
    const LineAddress address = LineAddress::parse(typed);
    for (int i = 0; at < 0 && address.valid() && i < count(); ++i) {
        if (LineAddress::parse(itemData(i).toString()) == address)
            at = i;
    }
    if (at >= 0) {
        setCurrentIndex(at);
        setEditText(itemText(at));
        return;
    }
    setEditText(typed);
}

void PortList::showPopup()
{
    refresh();
    QComboBox::showPopup();
}

} // namespace krv
