#pragma once
// How a window puts a question to the operator. Windows never open a message
// box or an input box themselves: they ask through this interface, so that a
// test can answer in place of the operator and nothing blocks.

#include <QString>

#include <optional>

class QWidget;

namespace krv {

// Title of message boxes that have none of their own.
inline QString programTitle()
{
    return QStringLiteral("KRV2060");
}

class Asker
{
public:
    virtual ~Asker() = default;
    // OK/Cancel message box; true for OK.
    virtual bool confirm(QWidget *parent, const QString &title, const QString &text) = 0;
    // Message box with OK only; returns when the operator has read it.
    virtual void inform(QWidget *parent, const QString &title, const QString &text) = 0;
    // A warning that must not hold up the caller (it may come from a port event).
    virtual void warn(QWidget *parent, const QString &title, const QString &text) = 0;
    // Input box; nothing for Cancel.
    virtual std::optional<QString> askText(QWidget *parent, const QString &title,
                                           const QString &prompt, const QString &defaultText) = 0;
    // File chooser for a file to write; nothing for Cancel. `filter` as Qt's
    // file dialogs take it ("CSV (*.csv)").
    virtual std::optional<QString> askSaveFile(QWidget *parent, const QString &title,
                                               const QString &suggested, const QString &filter) = 0;
    // File chooser for an existing file to read, starting in `folder`;
    // nothing for Cancel.
    virtual std::optional<QString> askOpenFile(QWidget *parent, const QString &title,
                                               const QString &folder, const QString &filter) = 0;
    // Folder chooser, starting in `folder`; nothing for Cancel.
    virtual std::optional<QString> askFolder(QWidget *parent, const QString &title,
                                             const QString &folder) = 0;
};

// The real dialogs.
class DialogAsker : public Asker
{
public:
    bool confirm(QWidget *parent, const QString &title, const QString &text) override;
    void inform(QWidget *parent, const QString &title, const QString &text) override;
    void warn(QWidget *parent, const QString &title, const QString &text) override;
    std::optional<QString> askText(QWidget *parent, const QString &title, const QString &prompt,
                                   const QString &defaultText) override;
    std::optional<QString> askSaveFile(QWidget *parent, const QString &title,
                                       const QString &suggested, const QString &filter) override;
    std::optional<QString> askOpenFile(QWidget *parent, const QString &title, const QString &folder,
                                       const QString &filter) override;
    std::optional<QString> askFolder(QWidget *parent, const QString &title,
                                     const QString &folder) override;
};

} // namespace krv
