#include "controleditorform.h"

#include "ui/controls.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace krv {

namespace {
struct RowForm
{
    const char *name;    // the boxes' objectName, before the channel
    const char *caption; // row label
    const char *initial; // design-time text of every box
};
constexpr std::array<RowForm, ControlRowCount> Rows = {{
    {"StartStep", QT_TRANSLATE_NOOP("krv::ControlEditor", "启动顺序"), "StartStep"},
    {"InSel", QT_TRANSLATE_NOOP("krv::ControlEditor", "输入通道"), "InSel"},
    {"Phase", QT_TRANSLATE_NOOP("krv::ControlEditor", "相位偏移"), "Phase"},
    {"SamTime", QT_TRANSLATE_NOOP("krv::ControlEditor", "采样时间"), "SamTime"},
    {"SetVal", QT_TRANSLATE_NOOP("krv::ControlEditor", "设置温度"), "SetValue"},
    {"SerD0", QT_TRANSLATE_NOOP("krv::ControlEditor", "系数D0"), "SeriesD0"},
    {"SerD1", QT_TRANSLATE_NOOP("krv::ControlEditor", "系数D1"), "SeriesD1"},
    {"SerD2", QT_TRANSLATE_NOOP("krv::ControlEditor", "系数D2"), "SeriesD2"},
    {"CtrlArea", QT_TRANSLATE_NOOP("krv::ControlEditor", "控制范围"), "CtrlArea"},
}};

// Geometry in twips: the grid's columns and rows.
constexpr int ColumnX = 960;
constexpr int ColumnStep = 1200;
constexpr int RowY = 960;
constexpr int RowStep = 360;
constexpr int BoxWidth = 1092;
constexpr int BoxHeight = 264;
} // namespace

QString ControlEditorForm::rowCaption(ControlRow row)
{
    return tr(Rows[int(row)].caption);
}

void ControlEditorForm::setupUi(QWidget *window)
{
    window->setObjectName(QStringLiteral("ControlSet"));
    window->setWindowTitle(tr("控制参数设置"));
    window->setFixedSize(twips(11880), twips(7530));

    for (int c = 0; c < BlockCount; ++c) {
        const int x = ColumnX + ColumnStep * c;
        channelLabels[c] =
            makeLabel(QStringLiteral("ChnlName%1").arg(c), tr("通道%1").arg(c), window);
        placeTwips(channelLabels[c], x + 120, 720, BoxWidth - 120, 240);
        readButtons[c] = makeButton(readButtonName(c), tr("读取"), window);
        placeTwips(readButtons[c], x, 4440, BoxWidth, 372);
        writeButtons[c] = makeButton(writeButtonName(c), tr("写入"), window);
        placeTwips(writeButtons[c], x, 4920, BoxWidth, 372);
    }
    for (int r = 0; r < ControlRowCount; ++r) {
        const int y = RowY + RowStep * r;
        rowLabels[r] = makeLabel(QStringLiteral("RowName%1").arg(r), tr(Rows[r].caption), window);
        placeTwips(rowLabels[r], 120, y, ColumnX - 120 - 15, BoxHeight);
        for (int c = 0; c < BlockCount; ++c) {
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
