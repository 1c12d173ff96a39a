#pragma once
// The system's reason for a failure (a port that cannot be opened, a file that
// cannot be written) in the words of the interface. Qt and the C library give
// it in English, whatever the interface language: the Chinese interface shows
// the reasons the tool meets in Chinese, the English one shows them as the
// system gave them (their English translation is the system's own text). A
// reason not known here comes back unchanged.
//
//     tr("文件%1写入失败：%2").arg(path, SystemReason::text(file.errorString()))

#include <QCoreApplication>
#include <QString>

namespace krv {

class SystemReason
{
    Q_DECLARE_TR_FUNCTIONS(krv::SystemReason)
public:
    static QString text(const QString &systemText);
};

} // namespace krv
