#pragma once

#include <QString>

namespace expwiz {

// The questions and messages of choosing where a file goes, shared by the
// export destination and the field map save dialog.
class DestinationMessages {
public:
    // "The file already exists. Do you want to replace " CR LF "<path>?"
    static QString replaceFileQuestion(const QString& path);
    // "The path does not exists. Do you want to create the path " CR LF "<folder>?"
    static QString createFolderQuestion(const QString& folder);
    static QString folderNotCreated();
};

} // namespace expwiz
