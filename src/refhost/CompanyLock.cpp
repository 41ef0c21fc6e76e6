#include "refhost/CompanyLock.h"

#include "host/HostError.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace orvo::refhost {

CompanyLock::CompanyLock(const QString& databaseFile, int companyId, const QString& companyName)
    : path_(QStringLiteral("%1.company-%2.lock").arg(databaseFile).arg(companyId)), companyName_(companyName)
{
}

CompanyLock::~CompanyLock()
{
    release();
}

void CompanyLock::acquire()
{
    if (fd_ >= 0)
        return;
    const QByteArray file = path_.toLocal8Bit();
    const int fd = ::open(file.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        throw fileError(errno, QStringLiteral("Cannot open the company lock file"), path_);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        char buffer[32] = {};
        const ssize_t n = ::pread(fd, buffer, sizeof buffer - 1, 0);
        ::close(fd);
        if (err == EWOULDBLOCK) {
            const QString holder = n > 0 ? QString::fromLatin1(buffer, n).trimmed() : QString();
            throw HostError(errnum::CompanyLocked,
                            holder.isEmpty()
                                ? QStringLiteral("Company '%1' is locked by another user.").arg(companyName_)
                                : QStringLiteral("Company '%1' is locked by another user (process %2).")
                                      .arg(companyName_, holder));
        }
        throw fileError(err, QStringLiteral("Cannot lock the company file"), path_);
    }
    // Say who holds it, for the message another user gets.
    const QByteArray pid = QByteArray::number(static_cast<qlonglong>(::getpid())) + '\n';
    if (::ftruncate(fd, 0) == 0)
        (void)!::pwrite(fd, pid.constData(), static_cast<size_t>(pid.size()), 0);
    fd_ = fd;
}

void CompanyLock::release() noexcept
{
    if (fd_ < 0)
        return;
    (void)!::ftruncate(fd_, 0);
    ::flock(fd_, LOCK_UN);
    ::close(fd_);
    fd_ = -1;
}

} // namespace orvo::refhost
