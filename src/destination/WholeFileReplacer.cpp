#include "destination/WholeFileReplacer.h"

#include "destination/UniqueFd.h"
#include "host/HostError.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace expwiz {

namespace {

// Removes the temporary file unless the rename has taken it over.
class TemporaryName {
public:
    explicit TemporaryName(QByteArray name) : name_(std::move(name)) {}
    ~TemporaryName()
    {
        if (!name_.isEmpty())
            ::unlink(name_.constData());
    }
    TemporaryName(const TemporaryName&) = delete;
    TemporaryName& operator=(const TemporaryName&) = delete;

    const char* get() const { return name_.constData(); }
    void release() { name_.clear(); }

private:
    QByteArray name_;
};

int writeAll(int fd, const QByteArray& content)
{
    const char* data = content.constData();
    qsizetype left = content.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        data += n;
        left -= n;
    }
    return 0;
}

void syncFolder(const QByteArray& folder)
{
    // Makes the rename itself durable; a folder that cannot be opened or
    // synced (some file systems refuse) does not undo the completed write.
    UniqueFd dir(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.isOpen())
        ::fsync(dir.get());
}

} // namespace

QString WholeFileReplacer::resolveTarget(const QString& path)
{
    QFileInfo info(path);
    for (int hops = 0; hops < 40 && info.isSymLink(); ++hops)
        info = QFileInfo(info.symLinkTarget());
    return info.isSymLink() ? path : info.filePath();
}

void WholeFileReplacer::write(const QString& path, const QByteArray& content, const QString& what)
{
    const QString target = resolveTarget(path);
    const QByteArray targetName = QFile::encodeName(target);
    const QFileInfo info(target);
    const QByteArray folder = QFile::encodeName(info.absolutePath());

    struct stat existing {};
    const bool exists = ::stat(targetName.constData(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode))
        throw orvo::fileError(EISDIR, what, path);

    // Open with O_EXCL under a fresh random name: the umask then applies as
    // for any new file, and no other file is ever opened by mistake.
    UniqueFd fd;
    QByteArray tempName;
    for (int attempt = 0; attempt < 64 && !fd.isOpen(); ++attempt) {
        tempName = folder + "/." + QFile::encodeName(info.fileName()) + '.'
                   + QByteArray::number(QRandomGenerator::global()->generate64(), 36) + ".tmp";
        fd = UniqueFd(::open(tempName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (!fd.isOpen() && errno != EEXIST)
            throw orvo::fileError(errno, what, path);
    }
    if (!fd.isOpen())
        throw orvo::fileError(EEXIST, what, path);
    TemporaryName temp(tempName);

    if (exists)
        ::fchmod(fd.get(), existing.st_mode & 07777);

    if (const int err = writeAll(fd.get(), content))
        throw orvo::fileError(err, what, path);
    if (::fsync(fd.get()) != 0 && errno != EINVAL)
        throw orvo::fileError(errno, what, path);
    if (const int err = fd.close())
        throw orvo::fileError(err, what, path);
    if (::rename(temp.get(), targetName.constData()) != 0)
        throw orvo::fileError(errno, what, path);
    temp.release();
    syncFolder(folder);
}

} // namespace expwiz
