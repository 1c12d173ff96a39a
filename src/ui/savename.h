#pragma once
// Asking where to save: an input box for the file name, the default extension
// added to a name without one, and a question before an existing file is
// replaced. The record file and both parameter files are saved this way, in
// the current folder: the name must be a plain file name.

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
    // empty name or would not replace the file there. Blanks around the name
    // are dropped. A name that is no plain file name (only blanks, a folder
    // part, a leading or trailing dot, a character no file name may hold) or
    // that names a folder is refused with a message; the operator presses the
    // button again.
    static std::optional<QString> ask(Asker &asker, QWidget *parent, const SaveQuestion &question);

private:
    // Why the typed name is no plain file name; nothing when it is one.
    static std::optional<QString> refusal(const QString &name);
};

} // namespace krv
