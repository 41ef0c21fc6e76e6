#pragma once

#include <QString>

namespace expwiz {

// What a file dialog is opened with. The filter is in the host's form,
// "Name (.ext) | *.ext", possibly several pairs separated by "|".
struct FileDialogRequest {
    QString title;
    QString filter;
    QString defaultExtension;   // without the dot, e.g. "csv"
    QString initialFolder;
    QString fileName;
};

} // namespace expwiz
