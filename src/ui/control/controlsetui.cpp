#include "controlsetui.h"

#include "ui/controls.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace krv {

namespace {
struct RowForm
{
    const char *name;    // box array
    const char *caption; // row label
    const char *initial; // design-time text of every box
};
constexpr std::array<RowForm, ControlRows> Rows = {{
    {"StartStep", QT_TRANSLATE_NOOP("krv::ControlSet", "启动顺序"), "StartStep"},
    {"InSel", QT_TRANSLATE_NOOP("krv::ControlSet", "输入通道"), "InSel"},
    {"Phase", QT_TRANSLATE_NOOP("krv::ControlSet", "相位偏移"), "Phase"},
    {"SamTime", QT_TRANSLATE_NOOP("krv::ControlSet", "采样时间"), "SamTime"},
    {"SetVal", QT_TRANSLATE_NOOP("krv::ControlSet", "设置温度"), "SetValue"},
    {"SerD0", QT_TRANSLATE_NOOP("krv::ControlSet", "系数D0"), "SeriesD0"},
    {"SerD1", QT_TRANSLATE_NOOP("krv::ControlSet", "系数D1"), "SeriesD0"},
    {"SerD2", QT_TRANSLATE_NOOP("krv::ControlSet", "系数D2"), "SeriesD0"},
    {"CtrlArea", QT_TRANSLATE_NOOP("krv::ControlSet", "控制范围"), "CtrlArea"},
}};

// Geometry in twips: the grid's columns and rows.
constexpr int ColumnX = 960;
constexpr int ColumnStep = 1200;
constexpr int RowY = 960;
constexpr int RowStep = 360;
constexpr int BoxWidth = 1092;
constexpr int BoxHeight = 264;

// The designer names of the buttons under column c: Read0, Read1, read2..read7,
// Read8 and Write0, write1..write7, Write8.
QString readName(int c)
{
    const bool capital = c <= 1 || c == ControlChannels - 1;
    return QLatin1String(capital ? "Read" : "read") + QString::number(c);
}
QString writeName(int c)
{
    const bool capital = c == 0 || c == ControlChannels - 1;
    return QLatin1String(capital ? "Write" : "write") + QString::number(c);
}
} // namespace

QString ControlSetUi::rowCaption(ControlRow row)
{
    return tr(Rows[int(row)].caption);
}

void ControlSetUi::setupUi(QWidget *window)
{
    window->setObjectName(QStringLiteral("ControlSet"));
    window->setWindowTitle(tr("控制参数设置"));
    window->setFixedSize(twips(11880), twips(7530));

    for (int c = 0; c < ControlChannels; ++c) {
        const int x = ColumnX + ColumnStep * c;
        ChnlName[c] = makeLabel(QStringLiteral("ChnlName%1").arg(c), tr("通道%1").arg(c), window);
        placeTwips(ChnlName[c], x + 120, 720, BoxWidth - 120, 240);
        readButtons[c] = makeButton(readName(c), tr("读取"), window);
        placeTwips(readButtons[c], x, 4440, BoxWidth, 372);
        writeButtons[c] = makeButton(writeName(c), tr("写入"), window);
        placeTwips(writeButtons[c], x, 4920, BoxWidth, 372);
    }
    for (int r = 0; r < ControlRows; ++r) {
        const int y = RowY + RowStep * r;
        RowName[r] = makeLabel(QStringLiteral("RowName%1").arg(r), tr(Rows[r].caption), window);
        placeTwips(RowName[r], 120, y, ColumnX - 120 - 15, BoxHeight);
        for (int c = 0; c < ControlChannels; ++c) {
            boxes[r][c] = makeTextBox(QString::fromLatin1(Rows[r].name) + QString::number(c),
                                      QString::fromLatin1(Rows[r].initial), window);
            placeTwips(boxes[r][c], ColumnX + ColumnStep * c, y, BoxWidth, BoxHeight);
        }
    }

    const EditorFrame::Places at{.countLabelX = 720,
                                 .countBoxX = 1680,
                                 .countY = 120,
                                 .statusY = 5880,
                                 .sentY = 6360,
                                 .receivedY = 6840,
                                 .saveX = 8760,
                                 .saveY = 5640,
                                 .loadX = 10200,
                                 .loadY = 5640,
                                 .backX = 9720,
                                 .backY = 6480,
                                 .backWidth = 1452};
    frame = EditorFrame::build(window, at, tr("返 回"));
}

} // namespace krv
