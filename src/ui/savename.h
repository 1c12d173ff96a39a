#pragma once
// Asking where to save: an input box for the file name, the default extension
// added to a name without one, and a question before an existing file is
// replaced. The record file and both parameter files are saved this way.

#include <QCoreApplication>
#include <QString>

#include <optional>

class QWidget;

namespace krv {

class Asker;

struct SaveQuestion
{
    QString prompt;      // the input box's text
    QString defaultName; // offered in the box
    QString extension;   // ".DAT", added to a name without a dot
};

class SaveName
{
    Q_DECLARE_TR_FUNCTIONS(krv::SaveName)
public:
    // The file name to write, or nothing when the operator cancelled, gave an
    // empty name or would not replace the file there.
    static std::optional<QString> ask(Asker &asker, QWidget *parent, const SaveQuestion &question);
};

} // namespace krv
