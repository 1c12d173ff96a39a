#pragma once
// Writing an export the operator asked for: the file chooser through the
// Asker, the bytes through QSaveFile (a failed write leaves no torn file), and
// the system's reason (in the words of the interface) in a message box when
// it fails.

#include <QString>

#include <functional>

class QIODevice;
class QWidget;

namespace krv {

class Asker;

struct ExportRequest
{
    QString title;     // of the file chooser
    QString suggested; // file name offered
    QString filter;    // "CSV (*.csv)"
};

// Asks for a file name and writes it with `write`. Returns the path written,
// or an empty string (cancelled or failed; a failure has been reported).
QString exportToFile(QWidget *parent, Asker &asker, const ExportRequest &request,
                     const std::function<bool(QIODevice &)> &write);

} // namespace krv
