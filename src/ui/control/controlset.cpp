#include "controlset.h"

#include "ui/controls.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace krv {

ControlSet::ControlSet(EditorLink &link, SharedState &state, Asker &asker, QWidget *parent)
    : EditorWindow(link, state, asker, 0, parent)
{
    setObjectName(QStringLiteral("ControlSet"));
    setWindowTitle(tr("控制参数设置"));
    setFixedSize(twips(11880), twips(7530));

    Text4 = makeTextBox(QStringLiteral("Text4"), QStringLiteral("Text4"), this);
    Text2 = makeTextBox(QStringLiteral("Text2"), QStringLiteral("Text2"), this);
    Text1 = makeTextBox(QStringLiteral("Text1"), QStringLiteral("Text1"), this);
    Text3 = makeTextBox(QStringLiteral("Text3"), QStringLiteral("Text3"), this);
    placeTwips(makeLabel(QStringLiteral("Label4"), tr("通讯次数"), this), 720, 120, 900, 252);
    placeTwips(Text4, 1680, 120, 1104, 252);
    placeTwips(makeLabel(QStringLiteral("Label2"), tr("状态信息"), this), 1320, 5880, 1000, 252);
    placeTwips(Text2, 2400, 5880, 5964, 252);
    placeTwips(makeLabel(QStringLiteral("Label1"), tr("发送命令"), this), 1320, 6360, 1000, 252);
    placeTwips(Text1, 2400, 6360, 5964, 252);
    placeTwips(makeLabel(QStringLiteral("Label3"), tr("接收命令"), this), 1320, 6840, 1000, 252);
    placeTwips(Text3, 2400, 6840, 5964, 252);
    bindStatusBoxes(Text1, Text2, Text3, Text4);

    SaveCmd = makeButton(QStringLiteral("SaveCmd"), tr("保存参数"), this);
    LoadCmd = makeButton(QStringLiteral("LoadCmd"), tr("恢复参数"), this);
    Command1 = makeButton(QStringLiteral("Command1"), tr("返 回"), this);
    placeTwips(SaveCmd, 8760, 5640, 972, 492);
    placeTwips(LoadCmd, 10200, 5640, 972, 492);
    placeTwips(Command1, 9720, 6480, 1452, 612);
    connect(SaveCmd, &QPushButton::clicked, this, &ControlSet::SaveCmd_Click);
    connect(LoadCmd, &QPushButton::clicked, this, &ControlSet::LoadCmd_Click);
    connect(Command1, &QPushButton::clicked, this, &ControlSet::Command1_Click);
}

void ControlSet::SaveCmd_Click()
{
    saveParameters(tr("存储文件名：(如果文件名没有扩展名，则自动加扩展名.CON)"),
                   QStringLiteral(".CON"));
}

std::optional<QList<QByteArray>> ControlSet::fileLines()
{
    return std::nullopt; // the grid comes with the control blocks
}

std::optional<QString> ControlSet::applyFileValues(const QStringList &)
{
    return std::nullopt;
}

} // namespace krv
