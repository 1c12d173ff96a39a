#include "batchwindowform.h"

#include "ui/batch/batchtext.h"
#include "ui/controls.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace krv {

namespace {

QTableWidget *makeTable(const QString &name, const QStringList &titles, QWidget *parent)
{
    auto *table = new QTableWidget(0, static_cast<int>(titles.size()), parent);
    table->setObjectName(name);
    table->setHorizontalHeaderLabels(titles);
    table->verticalHeader()->hide();
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setWordWrap(false);
    return table;
}

// A line of a label, a box and a "选择…" button in the files frame.
void addFileLine(QGridLayout *grid, int row, const QString &name, const QString &caption,
                 QLineEdit *&box, QPushButton *&button, QWidget *parent)
{
    grid->addWidget(makeLabel(name + QStringLiteral("Label"), caption, parent), row, 0);
    box = makeTextBox(name + QStringLiteral("Box"), QString(), parent);
    grid->addWidget(box, row, 1);
    button = makeButton(name + QStringLiteral("Button"), BatchWindowForm::tr("选择…"), parent);
    grid->addWidget(button, row, 2);
}

} // namespace

void BatchWindowForm::setupUi(QWidget *window)
{
    window->setObjectName(QStringLiteral("BatchSet"));
    window->setWindowTitle(tr("批量设置"));

    // Left: the modules.
    QGroupBox *modules = makeFrame(QStringLiteral("modulesFrame"), tr("模块"), window);
    auto *moduleLayout = new QVBoxLayout(modules);
    scannedButton = makeButton(QStringLiteral("scannedButton"), tr("上次扫描的模块"), modules);
    moduleLayout->addWidget(scannedButton);
    auto *typed = new QHBoxLayout;
    typed->addWidget(makeLabel(QStringLiteral("stationsLabel"), tr("站号"), modules));
    stationsBox = makeTextBox(QStringLiteral("stationsBox"), QString(), modules);
    stationsBox->setPlaceholderText(QStringLiteral("2,5-7,9a"));
    typed->addWidget(stationsBox, 1);
    listStationsButton = makeButton(QStringLiteral("listStationsButton"), tr("列出"), modules);
    typed->addWidget(listStationsButton);
    moduleLayout->addLayout(typed);
    targetTable = makeTable(QStringLiteral("targetTable"), {tr("站号"), tr("协议")}, modules);
    targetTable->horizontalHeader()->setSectionResizeMode(StationColumn, QHeaderView::Stretch);
    targetTable->horizontalHeader()->setSectionResizeMode(FramingColumn,
                                                          QHeaderView::ResizeToContents);
    moduleLayout->addWidget(targetTable, 1);
    auto *ticks = new QHBoxLayout;
    tickAllButton = makeButton(QStringLiteral("tickAllButton"), tr("全选"), modules);
    tickNoneButton = makeButton(QStringLiteral("tickNoneButton"), tr("全不选"), modules);
    ticks->addWidget(tickAllButton);
    ticks->addWidget(tickNoneButton);
    moduleLayout->addLayout(ticks);

    // Right: the files and the actions.
    QGroupBox *files = makeFrame(QStringLiteral("filesFrame"), tr("参数文件"), window);
    auto *grid = new QGridLayout(files);
    addFileLine(grid, 0, QStringLiteral("controlFile"), tr("控制参数文件"), controlFileBox,
                controlFileButton, files);
    addFileLine(grid, 1, QStringLiteral("alarmFile"), tr("报警参数文件"), alarmFileBox,
                alarmFileButton, files);
    systemBlockBox = new QCheckBox(tr("系统块（块8）也写入"), files);
    systemBlockBox->setObjectName(QStringLiteral("systemBlockBox"));
    grid->addWidget(systemBlockBox, 2, 1, 1, 2);
    addFileLine(grid, 3, QStringLiteral("backupFolder"), tr("备份文件夹"), backupFolderBox,
                backupFolderButton, files);
    grid->setColumnStretch(1, 1);

    QGroupBox *actions = makeFrame(QStringLiteral("actionsFrame"), tr("操作"), window);
    auto *actionLayout = new QHBoxLayout(actions);
    applyButton =
        makeButton(QStringLiteral("applyButton"), BatchText::action(BatchAction::Apply), actions);
    backupButton =
        makeButton(QStringLiteral("backupButton"), BatchText::action(BatchAction::Backup), actions);
    compareButton = makeButton(QStringLiteral("compareButton"),
                               BatchText::action(BatchAction::Compare), actions);
    stopButton = makeButton(QStringLiteral("stopButton"), tr("停止"), actions);
    for (QPushButton *b : {applyButton, backupButton, compareButton, stopButton})
        actionLayout->addWidget(b);

    auto *right = new QVBoxLayout;
    right->addWidget(files);
    right->addWidget(actions);
    right->addStretch(1);

    auto *top = new QHBoxLayout;
    top->addWidget(modules, 2);
    top->addLayout(right, 3);

    // Below: progress and results.
    progress = new QProgressBar(window);
    progress->setObjectName(QStringLiteral("batchProgress"));
    progress->setTextVisible(true);
    progress->setRange(0, 1);
    progress->setValue(0);
    progress->setFormat(QString());

    resultTable =
        makeTable(QStringLiteral("resultTable"), BatchText::titles() << tr("备注"), window);
    resultTable->horizontalHeader()->setStretchLastSection(true);

    auto *bottom = new QHBoxLayout;
    bottom->addStretch(1);
    exportButton = makeButton(QStringLiteral("exportButton"), tr("导出CSV"), window);
    bottom->addWidget(exportButton);

    auto *layout = new QVBoxLayout(window);
    layout->addLayout(top, 2);
    layout->addWidget(progress);
    layout->addWidget(resultTable, 3);
    layout->addLayout(bottom);
    window->resize(1040, 680);
}

} // namespace krv
