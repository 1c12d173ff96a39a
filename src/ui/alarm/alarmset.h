#pragma once
// "报警参数设置": the alarm blocks of channels 0..7 and the module control block,
// single holding registers and switches, .ALM files.

#include "ui/editorwindow.h"

class QLineEdit;
class QPushButton;

namespace krv {

class AlarmSet : public EditorWindow
{
    Q_OBJECT
public:
    AlarmSet(EditorLink &link, SharedState &state, Asker &asker, QWidget *parent = nullptr);

    void SaveCmd_Click();

protected:
    std::optional<QList<QByteArray>> fileLines() override;
    int fileValueCount() const override { return 37; }
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
