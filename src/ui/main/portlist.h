#pragma once
// The port box of the main window: COM1..COM4 as always, then every serial
// port the system lists (a USB-RS485 adapter shows as "ttyUSB0 – FT232R USB
// UART"), read again each time the list is opened, so that an adapter plugged
// in after the start appears. The operator may also type an address into the
// edit field: a device path, "host:port" or "mbap://host:port".

#include "protocol/lineaddress.h"

#include <QComboBox>
#include <QList>
#include <QString>

namespace krv {

// A serial port as the system describes it.
struct SerialPortDescription
{
    QString name;         // "ttyUSB0", "COM5"
    QString location;     // "/dev/ttyUSB0", "\\.\COM5"
    QString description;  // "FT232R USB UART"; may be empty
    QString manufacturer; // may be empty
    QString serialNumber; // may be empty
};

// Where the list of the system's serial ports comes from; tests put in a
// stand-in.
class PortInfoSource
{
public:
    virtual ~PortInfoSource() = default;
    virtual QList<SerialPortDescription> ports() const = 0;
};

// The serial ports QSerialPortInfo finds.
class SystemPortInfoSource : public PortInfoSource
{
public:
    QList<SerialPortDescription> ports() const override;
};

class PortList : public QComboBox
{
    Q_OBJECT
public:
    // "COM1".."COM4", always the first items.
    static constexpr int ComCount = 4;

    explicit PortList(QWidget *parent = nullptr);

    // The ports come from source from now on (not owned; it must outlive the
    // list). nullptr: the system's. Does not refresh.
    void setSource(const PortInfoSource *source);

    // Lists the system's ports again after COM1..COM4: new ones join in name
    // order, ones no longer there go, except the selected one (an adapter
    // pulled out stays chosen until another is). Typed text stays as typed.
    void refresh();

    // The address the edit field names: an item's address when it shows an
    // item's text (the item data, "ttyUSB0"), else the text as typed.
    QString addressText() const;
    LineAddress address() const { return LineAddress::parse(addressText()); }

    // Selects the item of this address; an address no item has is put in the
    // edit field as typed text.
    void showAddress(const QString &text);

    // Refreshes, then opens the list.
    void showPopup() override;

private:
    // The box's tooltip tells where the chosen port leads: the item's device,
    // or where a typed address leads.
    void updateToolTip();

    const PortInfoSource *m_source = nullptr;
};

} // namespace krv
