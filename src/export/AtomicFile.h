#pragma once

#include <QString>

#include <functional>
#include <sys/types.h>

namespace expwiz {

// A file that replaces its target only when it is complete: the bytes go to
// a temporary file beside the target, which commit() flushes to disk and
// renames over the target. Until then the previous file stays as it was; a
// failure or a destruction without commit() removes the temporary.
// The temporary stays locked while it is written, so a second export to the
// same target fails (70) instead of replacing the first one's file, and a
// temporary left by a crash is removed by the next export into its folder.
//
// Every failure raises orvo::HostError with the runtime number of the
// errno (61 disk full, 70 permission denied, 75 access error, 76 path not
// found) and a description naming the target.
class AtomicFile {
public:
    // Replaces the write system call, so tests can make the disk fail.
    using WriteFunction = std::function<ssize_t(int fd, const void* data, size_t size)>;

    explicit AtomicFile(const QString& targetPath, WriteFunction write = {});
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    void write(const char* data, size_t size);

    // Flushes, keeps the permissions of an existing target and renames the
    // temporary over it. On failure the temporary is removed and the target
    // is untouched.
    void commit();

    // Removes the temporary; the target is untouched.
    void discard() noexcept;

    // The file that is replaced (a symbolic link is followed, so the link
    // stays a link).
    const QString& targetPath() const { return target_; }
    const QString& temporaryPath() const { return temporary_; }

    // The one temporary an export to this target writes. A fixed name lets
    // a second export to the same target see the first one's lock.
    static QString temporaryPathFor(const QString& target);

private:
    // Removes what crashed exports left in the folder: temporaries of this
    // program and this user that no live export holds locked.
    static void sweepStaleTemporaries(const QString& folder);
    void openTemporary();
    [[noreturn]] void fail(int err, const QString& what);

    QString target_;
    QString temporary_;
    WriteFunction write_;
    int fd_ = -1;
    bool targetExisted_ = false;
    mode_t mode_ = 0;
    uid_t uid_ = 0;
    gid_t gid_ = 0;
};

} // namespace expwiz
