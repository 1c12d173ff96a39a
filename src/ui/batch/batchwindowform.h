#pragma once
// The batch window's form: the modules to work on (with a tick box and a
// framing each), the parameter files and the backup folder, the actions, the
// progress bar and the result table. No behaviour: BatchWindow connects the
// handlers. The controls are laid out (the window may be resized); their
// objectNames are how tests and the picture script find them.

#include <QCoreApplication>

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QWidget;

namespace krv {

class BatchWindowForm
{
    Q_DECLARE_TR_FUNCTIONS(krv::BatchWindow)
public:
    // The target table's columns.
    enum TargetColumn { StationColumn, FramingColumn, TargetColumnCount };

    void setupUi(QWidget *window);

    // Modules: "上次扫描的模块", or a station list typed and listed.
    QPushButton *scannedButton = nullptr;
    QLineEdit *stationsBox = nullptr;
    QPushButton *listStationsButton = nullptr;
    QPushButton *tickAllButton = nullptr;
    QPushButton *tickNoneButton = nullptr;
    // One row per module: the station with its tick box, the framing list.
    QTableWidget *targetTable = nullptr;

    // Files.
    QLineEdit *controlFileBox = nullptr;
    QPushButton *controlFileButton = nullptr;
    QLineEdit *alarmFileBox = nullptr;
    QPushButton *alarmFileButton = nullptr;
    QCheckBox *systemBlockBox = nullptr;
    QLineEdit *backupFolderBox = nullptr;
    QPushButton *backupFolderButton = nullptr;

    // Actions.
    QPushButton *applyButton = nullptr;
    QPushButton *backupButton = nullptr;
    QPushButton *compareButton = nullptr;
    QPushButton *stopButton = nullptr;

    QProgressBar *progress = nullptr;
    // BatchText::titles() and a note column.
    QTableWidget *resultTable = nullptr;
    QPushButton *exportButton = nullptr;
};

} // namespace krv
