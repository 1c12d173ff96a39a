#include "alarmset.h"

#include "ui/controls.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace krv {

AlarmSet::AlarmSet(EditorLink &link, SharedState &state, Asker &asker, QWidget *parent)
    : EditorWindow(link, state, asker, 1, parent)
{
    setObjectName(QStringLiteral("AlarmSet"));
    setWindowTitle(tr("报警参数设置"));
    setFixedSize(twips(11880), twips(7965));

    Text4 = makeTextBox(QStringLiteral("Text4"), QStringLiteral("Text4"), this);
    Text2 = makeTextBox(QStringLiteral("Text2"), QStringLiteral("Text2"), this);
    Text1 = makeTextBox(QStringLiteral("Text1"), QStringLiteral("Text1"), this);
    Text3 = makeTextBox(QStringLiteral("Text3"), QStringLiteral("Text3"), this);
    placeTwips(makeLabel(QStringLiteral("Label4"), tr("通讯次数"), this), 720, 240, 1000, 252);
    placeTwips(Text4, 1800, 240, 1104, 252);
    placeTwips(makeLabel(QStringLiteral("Label2"), tr("状态信息"), this), 1320, 6480, 1000, 252);
    placeTwips(Text2, 2400, 6480, 5964, 252);
    placeTwips(makeLabel(QStringLiteral("Label1"), tr("发送命令"), this), 1320, 6960, 1000, 252);
    placeTwips(Text1, 2400, 6960, 5964, 252);
    placeTwips(makeLabel(QStringLiteral("Label3"), tr("接收命令"), this), 1320, 7440, 1000, 252);
    placeTwips(Text3, 2400, 7440, 5964, 252);
    bindStatusBoxes(Text1, Text2, Text3, Text4);

    SaveCmd = makeButton(QStringLiteral("SaveCmd"), tr("保存参数"), this);
    LoadCmd = makeButton(QStringLiteral("LoadCmd"), tr("恢复参数"), this);
    Command1 = makeButton(QStringLiteral("Command1"), tr("返  回"), this);
    placeTwips(SaveCmd, 9000, 6480, 972, 492);
    placeTwips(LoadCmd, 9000, 7200, 972, 492);
    placeTwips(Command1, 10200, 6840, 1092, 612);
    connect(SaveCmd, &QPushButton::clicked, this, &AlarmSet::SaveCmd_Click);
    connect(LoadCmd, &QPushButton::clicked, this, &AlarmSet::LoadCmd_Click);
    connect(Command1, &QPushButton::clicked, this, &AlarmSet::Command1_Click);
}

void AlarmSet::SaveCmd_Click()
{
    saveParameters(tr("存储文件名：(如果文件名没有扩展名，则自动添加扩展名.ALM)"),
                   QStringLiteral(".ALM"));
}

std::optional<QList<QByteArray>> AlarmSet::fileLines()
{
    return std::nullopt; // the fields come with the alarm blocks
}

std::optional<QString> AlarmSet::applyFileValues(const QStringList &)
{
    return std::nullopt;
}

} // namespace krv
