#include "export/AtomicFile.h"

#include "host/HostError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace expwiz {

namespace {

QByteArray native(const QString& path)
{
    return QFile::encodeName(path);
}

// The file a path stands for: a symbolic link is replaced through, so the
// rename lands on the file it points to.
QString resolveTarget(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isSymLink())
        return info.absoluteFilePath();
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.symLinkTarget() : canonical;
}

constexpr char kTemporarySuffix[] = ".expwiz-tmp";

bool sameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Whether the open file is still the one a path names: another export may
// have renamed or removed it between our open and our lock.
bool stillNamedBy(int fd, const QByteArray& path)
{
    struct stat byFd {}, byPath {};
    return ::fstat(fd, &byFd) == 0 && ::lstat(path.constData(), &byPath) == 0 && sameFile(byFd, byPath);
}

} // namespace

QString AtomicFile::temporaryPathFor(const QString& target)
{
    const QFileInfo info(target);
    return info.absolutePath() + QStringLiteral("/.") + info.fileName().left(200)
        + QLatin1String(kTemporarySuffix);
}

void AtomicFile::sweepStaleTemporaries(const QString& folder)
{
    const QStringList names = QDir(folder).entryList({QStringLiteral(".*") + QLatin1String(kTemporarySuffix)},
                                                     QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        const QByteArray path = native(folder + QLatin1Char('/') + name);
        const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat st {};
        // Only a file of this user that no running export holds locked is
        // the leftover of a crashed one.
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid()
            && ::flock(fd, LOCK_EX | LOCK_NB) == 0 && stillNamedBy(fd, path))
            ::unlink(path.constData());
        ::close(fd);
    }
}

void AtomicFile::openTemporary()
{
    temporary_ = temporaryPathFor(target_);
    const QByteArray path = native(temporary_);
    int err = EEXIST;
    for (int attempt = 0; attempt < 100; ++attempt) {
        // 0666 so that the umask decides, as for any newly created file.
        fd_ = ::open(path.constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        const bool created = fd_ >= 0;
        if (!created && errno == EEXIST)
            fd_ = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd_ < 0) {
            err = errno;
            break;
        }
        // The lock marks the temporary as in use for as long as this
        // process lives; the system drops it when the process dies.
        if (::flock(fd_, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
            ::close(fd_);
            fd_ = -1;
            temporary_.clear();
            throw orvo::HostError(orvo::errnum::PermissionDenied,
                                  QStringLiteral("Another export is writing %1 right now; wait for it to finish "
                                                 "and try again.")
                                      .arg(target_));
        }
        if (created && stillNamedBy(fd_, path))
            return;
        // A leftover of a crashed export (or one just replaced): start anew.
        struct stat st {};
        if (!created && ::fstat(fd_, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid()
            && stillNamedBy(fd_, path))
            ::unlink(path.constData());
        ::close(fd_);
        fd_ = -1;
    }
    temporary_.clear();
    throw orvo::fileError(err, QStringLiteral("Cannot create"), target_);
}

AtomicFile::AtomicFile(const QString& targetPath, WriteFunction write)
    : write_(write ? std::move(write) : WriteFunction([](int fd, const void* data, size_t size) {
          return ::write(fd, data, size);
      }))
{
    if (targetPath.trimmed().isEmpty())
        throw orvo::HostError(orvo::errnum::PathFileAccess, QStringLiteral("No file name was given."));
    target_ = resolveTarget(targetPath);
    const QByteArray target = native(target_);

    struct stat st {};
    if (::stat(target.constData(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            throw orvo::HostError(orvo::errnum::PathFileAccess,
                                  QStringLiteral("Cannot write %1: it is a folder, not a file.").arg(target_));
        if (!S_ISREG(st.st_mode))
            throw orvo::HostError(orvo::errnum::PathFileAccess,
                                  QStringLiteral("Cannot write %1: it is not a regular file.").arg(target_));
        // The rename would replace a file the user made read-only; refuse
        // as writing it in place would.
        if (::access(target.constData(), W_OK) != 0)
            throw orvo::fileError(errno, QStringLiteral("Cannot overwrite"), target_);
        targetExisted_ = true;
        mode_ = st.st_mode & 07777;
        uid_ = st.st_uid;
        gid_ = st.st_gid;
    } else if (errno != ENOENT) {
        throw orvo::fileError(errno, QStringLiteral("Cannot create"), target_);
    }

    sweepStaleTemporaries(QFileInfo(target_).absolutePath());
    openTemporary();
}

AtomicFile::~AtomicFile()
{
    discard();
}

void AtomicFile::fail(int err, const QString& what)
{
    discard();
    throw orvo::fileError(err, what, target_);
}

void AtomicFile::write(const char* data, size_t size)
{
    if (fd_ < 0)
        throw orvo::HostError(orvo::errnum::BadFileMode,
                              QStringLiteral("Cannot write %1: the file is closed.").arg(target_));
    while (size > 0) {
        const ssize_t n = write_(fd_, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail(errno, QStringLiteral("Cannot write"));
        }
        if (n == 0)
            fail(EIO, QStringLiteral("Cannot write"));
        data += n;
        size -= static_cast<size_t>(n);
    }
}

void AtomicFile::commit()
{
    if (fd_ < 0)
        throw orvo::HostError(orvo::errnum::BadFileMode,
                              QStringLiteral("Cannot write %1: the file is closed.").arg(target_));
    // Write errors of a buffered file may only show at fsync or close.
    if (::fsync(fd_) != 0)
        fail(errno, QStringLiteral("Cannot write"));
    if (targetExisted_) {
        if (::fchmod(fd_, mode_) != 0)
            fail(errno, QStringLiteral("Cannot set the permissions of"));
        // Only root may give the file away; otherwise it stays the user's.
        if (::geteuid() == 0)
            (void)::fchown(fd_, uid_, gid_);
    }
    // Renamed while still locked: a second export waiting on the name sees
    // the file change under it and starts its own.
    if (::rename(native(temporary_).constData(), native(target_).constData()) != 0)
        fail(errno, QStringLiteral("Cannot replace"));
    temporary_.clear();
    const int fd = fd_;
    fd_ = -1;
    // The data are on disk (fsync above); a late close error loses nothing.
    ::close(fd);
    // Make the rename itself durable; a folder that cannot be synced still
    // holds the complete file.
    const int dir = ::open(native(QFileInfo(target_).absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        (void)::fsync(dir);
        ::close(dir);
    }
}

void AtomicFile::discard() noexcept
{
    // Removed while still locked, so no other export can have taken the name.
    if (!temporary_.isEmpty()) {
        ::unlink(native(temporary_).constData());
        temporary_.clear();
    }
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

} // namespace expwiz
