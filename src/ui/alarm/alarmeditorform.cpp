#include "alarmeditorform.h"

#include "ui/controls.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace krv {

namespace {
constexpr int BoxWidth = 1092;
constexpr int BoxHeight = 264;
constexpr int ButtonHeight = 372;
constexpr int FieldHeight = 300; // drop-downs and boxes inside the frames

int column(int c)
{
    return 960 + 1320 * c;
}
} // namespace

void AlarmEditorForm::setupUi(QWidget *window)
{
    window->setObjectName(QStringLiteral("AlarmSet"));
    window->setWindowTitle(tr("报警参数设置"));
    window->setFixedSize(twips(11880), twips(7965));

    buildGrid(window);
    buildRegisterFrames(window);
    buildControlFrame(window);

    const EditorFrame::Places at{.countLabelX = 720,
                                 .countBoxX = 1800,
                                 .countY = 240,
                                 .statusY = 6480,
                                 .sentY = 6960,
                                 .receivedY = 7440,
                                 .saveX = 9000,
                                 .saveY = 6480,
                                 .loadX = 9000,
                                 .loadY = 7200,
                                 .backX = 10200,
                                 .backY = 6840,
                                 .backWidth = 1092};
    frame = EditorFrame::build(window, at, tr("返  回"));
}

QString AlarmEditorForm::rowCaption(int row)
{
    switch (row) {
    case UpperRow:
        return tr("上限设置");
    case LowerRow:
        return tr("下限设置");
    case RelativeRow:
        return tr("相对报警");
    default:
        return tr("预警控制");
    }
}

void AlarmEditorForm::buildGrid(QWidget *window)
{
    const std::array<std::array<QLineEdit *, ChannelCount> *, 4> rows = {
        &upperLimitBoxes, &lowerLimitBoxes, &relativeAlarmBoxes, &preAlarmBoxes};
    const QStringList names = {QStringLiteral("InSel"), QStringLiteral("SetVal"),
                               QStringLiteral("SamTime"), QStringLiteral("PreAlmCon")};
    const QStringList initial = {QStringLiteral("InSel"), QStringLiteral("SetValue"),
                                 QStringLiteral("SamTime"), QStringLiteral("PreAlmCon")};
    for (int row = 0; row < 4; ++row) {
        const int y = 1080 + 360 * row;
        placeTwips(makeLabel(QStringLiteral("Label%1").arg(5 + row), rowCaption(row), window), 120,
                   y, 840, BoxHeight);
        for (int c = 0; c < ChannelCount; ++c) {
            QLineEdit *box = makeTextBox(names[row] + QString::number(c), initial[row], window);
            placeTwips(box, column(c), y, BoxWidth, BoxHeight);
            (*rows[row])[c] = box;
        }
    }
    for (int c = 0; c < ChannelCount; ++c) {
        makeBlockButtons(c, window);
        QLabel *name = makeLabel(QStringLiteral("ChnlName%1").arg(c), tr("通道%1").arg(c), window);
        name->setAlignment(Qt::AlignCenter);
        placeTwips(name, column(c), 720, BoxWidth, 252);
        placeTwips(readButtons[c], column(c), 2520, BoxWidth, ButtonHeight);
        placeTwips(writeButtons[c], column(c), 3000, BoxWidth, ButtonHeight);
    }
}

void AlarmEditorForm::buildRegisterFrames(QWidget *window)
{
    // Two frames alike: a label and box on each of two lines, a button beside each.
    struct Line
    {
        const char *label;
        QString caption;
        QLineEdit *&box;
        const char *boxName;
        QPushButton *&button;
        const char *buttonName;
        QString buttonCaption;
        int buttonY;
    };
    const auto frame = [window](const char *name, const QString &caption, int y, int height,
                                std::array<Line, 2> lines) {
        QGroupBox *f = makeFrame(QLatin1String(name), caption, window);
        placeTwips(f, 960, y, 4572, height);
        for (int i = 0; i < 2; ++i) {
            const Line &l = lines[i];
            const int lineY = 360 + 480 * i;
            placeTwips(makeLabel(QLatin1String(l.label), l.caption, f), 480, lineY, 1080,
                       BoxHeight);
            l.box = makeTextBox(QLatin1String(l.boxName), QStringLiteral("0"), f);
            placeTwips(l.box, 1560, lineY, 1332, BoxHeight);
            l.button = makeButton(QLatin1String(l.buttonName), l.buttonCaption, f);
            placeTwips(l.button, 3000, l.buttonY, 1212, ButtonHeight);
        }
    };
    frame("Frame1", tr("单寄存器读写"), 3600, 1212,
          {Line{"Label9", tr("寄存器地址"), registerAddressBox, "text5", readRegisterButton,
                "GetRegister", tr("读寄存器"), 240},
           Line{"Label10", tr("寄存器内容"), registerValueBox, "Text6", writeRegisterButton,
                "PutRegister", tr("写寄存器"), 720}});
    frame("Frame2", tr("开入和开出读写"), 4920, 1332,
          {Line{"Label11", tr("内存地址"), switchAddressBox, "Text7", readSwitchButton, "Command2",
                tr("读开关量"), 360},
           Line{"Label12", tr("单元内容"), switchValueBox, "Text8", writeSwitchButton, "Command3",
                tr("写开关量"), 840}});
    registerAddressBox->setText(QStringLiteral("28"));
}

void AlarmEditorForm::buildControlFrame(QWidget *window)
{
    QGroupBox *f = makeFrame(QStringLiteral("Frame3"), tr("控制参数"), window);
    placeTwips(f, 6000, 3840, 5772, 2412);

    requestOutputList = makeComboBox(QStringLiteral("PReqOut"), QStringLiteral("PReqOut"), f);
    serialOutputBox = makeTextBox(QStringLiteral("COMMCtrl"), QStringLiteral("COMMCtrl"), f);
    measuredChannelsBox =
        makeTextBox(QStringLiteral("ChnlSelect"), QStringLiteral("ChnlSelect"), f);
    startModeList = makeComboBox(QStringLiteral("StartCon"), QStringLiteral("StartCon"), f);
    addressingList = makeComboBox(QStringLiteral("ModAddr"), QStringLiteral("ModAddr"), f);
    addItems(requestOutputList, {tr("请求无效"), tr("请求有效")});
    addItems(startModeList, {tr("启动控温"), tr("请求控温")});
    addItems(addressingList, {tr("地址不连续"), tr("地址连续")});

    struct Line
    {
        QString caption;
        QWidget *field;
        int width;
        QString explanation;
    };
    const std::array<Line, 5> lines = {
        Line{tr("请求输出"), requestOutputList, 1092, tr("请求有效,IN3每ON一次并口输出一次")},
        Line{tr("串口输出"), serialOutputBox, 1092, tr("非0,主动输出,1~11为一次输出寄存器数")},
        Line{tr("测温通道"), measuredChannelsBox, 1092, tr("测量的通道数(1~7)")},
        Line{tr("控温启动"), startModeList, 1092, tr("请求控温,由IN0=ON启动控温")},
        Line{tr("寄 存 器"), addressingList, 1332, QString()},
    };
    for (int i = 0; i < 5; ++i) {
        const int y = 360 + 360 * i;
        placeTwips(makeLabel(QStringLiteral("Label%1").arg(13 + i), lines[i].caption, f), 240, y,
                   840, FieldHeight);
        placeTwips(lines[i].field, 1080, y, lines[i].width, FieldHeight);
        if (!lines[i].explanation.isEmpty())
            placeTwips(makeLabel(QStringLiteral("Label%1").arg(18 + i), lines[i].explanation, f),
                       2280, y, 3372, FieldHeight);
    }
    makeBlockButtons(AlarmBlock::ModuleControl, f);
    placeTwips(readButtons[AlarmBlock::ModuleControl], 2640, 1800, BoxWidth, ButtonHeight);
    placeTwips(writeButtons[AlarmBlock::ModuleControl], 4200, 1800, BoxWidth, ButtonHeight);
}

void AlarmEditorForm::makeBlockButtons(int block, QWidget *parent)
{
    readButtons[block] = makeButton(readButtonName(block), tr("读  取"), parent);
    writeButtons[block] = makeButton(writeButtonName(block), tr("写  入"), parent);
}

} // namespace krv
