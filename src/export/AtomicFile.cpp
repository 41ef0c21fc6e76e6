#include "export/AtomicFile.h"

#include "host/HostError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
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

} // namespace

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

    const QFileInfo info(target_);
    const QString folder = info.absolutePath();
    const QString base = QStringLiteral(".") + info.fileName().left(200) + QStringLiteral(".");
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary_ = folder + QLatin1Char('/') + base
            + QString::number(QRandomGenerator::global()->generate(), 16) + QStringLiteral(".tmp");
        // 0666 so that the umask decides, as for any newly created file.
        fd_ = ::open(native(temporary_).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ >= 0)
            return;
        if (errno != EEXIST)
            break;
    }
    const int err = errno;
    temporary_.clear();
    throw orvo::fileError(err, QStringLiteral("Cannot create"), target_);
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
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0)
        fail(errno, QStringLiteral("Cannot write"));
    if (::rename(native(temporary_).constData(), native(target_).constData()) != 0)
        fail(errno, QStringLiteral("Cannot replace"));
    temporary_.clear();
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
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temporary_.isEmpty()) {
        ::unlink(native(temporary_).constData());
        temporary_.clear();
    }
}

} // namespace expwiz
