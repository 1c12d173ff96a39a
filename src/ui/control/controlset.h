#pragma once
// "控制参数设置": the control parameter blocks of channels 0..8, read from the
// module at opening, read and written per channel, saved to and restored from
// .CON files.

#include "ui/editorwindow.h"

class QLineEdit;
class QPushButton;

namespace krv {

class ControlSet : public EditorWindow
{
    Q_OBJECT
public:
    ControlSet(EditorLink &link, SharedState &state, Asker &asker, QWidget *parent = nullptr);

    void SaveCmd_Click();

protected:
    std::optional<QList<QByteArray>> fileLines() override;
    int fileValueCount() const override { return 81; }
    std::optional<QString> applyFileValues(const QStringList &values) override;

private:
    QLineEdit *Text1 = nullptr; // sent frame
    QLineEdit *Text2 = nullptr; // status
    QLineEdit *Text3 = nullptr; // received frame
    QLineEdit *Text4 = nullptr; // receive count
    QPushButton *SaveCmd = nullptr;
    QPushButton *LoadCmd = nullptr;
    QPushButton *Command1 = nullptr;
};

} // namespace krv
