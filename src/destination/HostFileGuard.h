#pragma once

#include <QString>
#include <QStringList>

#include <memory>

namespace orvo {
class IOrvoObject;
}

namespace expwiz {

// Keeps an export from replacing a file the export itself depends on: a
// database of the host, its journal, the host's settings and lists, or the
// field map being read. Replacing one would destroy the data the export
// comes from.
class HostFileGuard {
public:
    // The protected file the target is, or an empty string. The same file
    // means the same device and inode, symbolic links followed; a target
    // that does not exist yet is compared by its resolved path.
    static QString clash(const QString& target, const QStringList& protectedFiles);

    // The message for a refused target, naming both files.
    static QString message(const QString& target, const QString& protectedFile);

    // The files a host names as its own; none when it cannot tell.
    static QStringList hostFiles(const std::shared_ptr<orvo::IOrvoObject>& host);
};

} // namespace expwiz
