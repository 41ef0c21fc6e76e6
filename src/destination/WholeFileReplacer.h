#pragma once

#include <QByteArray>
#include <QString>

namespace expwiz {

// Replaces a file's whole content so that readers see either the old or the
// new content, never a truncated mix: the bytes go to a temporary file in the
// same folder, are flushed to disk and renamed over the target. A failure at
// any point removes the temporary and leaves the old file as it was.
class WholeFileReplacer {
public:
    // Writes `content` to `path`. An existing target keeps its permission
    // bits; a new one gets the usual 0666 less the umask. A symbolic link is
    // followed, so the file it points at is replaced, not the link.
    // Failures raise orvo::HostError with the runtime number of the errno
    // (61 disk full, 70 permission denied, 75, 76 folder missing) and a
    // description "<what> <path>: <reason>".
    static void write(const QString& path, const QByteArray& content, const QString& what);

    // The path a write of `path` actually replaces (links resolved).
    static QString resolveTarget(const QString& path);
};

} // namespace expwiz
