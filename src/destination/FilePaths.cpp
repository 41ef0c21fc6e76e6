#include "destination/FilePaths.h"

#include "destination/UniqueFd.h"
#include "host/HostError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

namespace expwiz {

namespace {

constexpr QChar kSeparator = QLatin1Char('/');

} // namespace

QString FilePaths::getFileTitle(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(kSeparator);
    if (slash < 0)
        return QString();
    const QString name = path.mid(slash + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.left(dot);
}

QString FilePaths::getFolderPart(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(kSeparator);
    return slash < 0 ? QString() : path.left(slash + 1);
}

bool FilePaths::fileExists(const QString& path)
{
    if (path.isEmpty())
        return false;
    UniqueFd fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC));
    if (!fd.isOpen())
        return false;
    struct stat st {};
    return ::fstat(fd.get(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool FilePaths::folderExists(const QString& path)
{
    UniqueFd fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC));
    if (fd.isOpen())
        return true;
    // A missing file and a missing folder both say ENOENT; only the second
    // means the folder is not there. A file used as a folder is ENOTDIR.
    if (errno == ENOTDIR)
        return false;
    if (errno == ENOENT)
        return QFileInfo(path).absoluteDir().exists();
    return true;
}

void FilePaths::createEmptyFile(const QString& path)
{
    UniqueFd fd(::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (!fd.isOpen())
        throw orvo::fileError(errno, QStringLiteral("Cannot create the file"), path);
    if (const int err = fd.close())
        throw orvo::fileError(err, QStringLiteral("Cannot create the file"), path);
}

bool FilePaths::createFolder(const QString& folder)
{
    QString path = folder;
    while (path.size() > 1 && path.endsWith(kSeparator))
        path.chop(1);
    if (path.isEmpty())
        return false;
    QDir dir;
    return dir.mkdir(path) || QFileInfo(path).isDir();
}

bool FilePaths::isValidFileName(const QString& name)
{
    static const QString refused = QStringLiteral("\\/:*?\"<>|");
    for (const QChar c : name) {
        if (c.unicode() == 0 || refused.contains(c))
            return false;
    }
    return true;
}

QString FilePaths::withTrailingSeparator(const QString& folder)
{
    return folder.endsWith(kSeparator) ? folder : folder + kSeparator;
}

QString FilePaths::composeExportPath(const QString& location, const QString& fileName)
{
    return withTrailingSeparator(location) + fileName + QLatin1String(".csv");
}

QString FilePaths::composeFieldMapPath(const QString& folder, const QString& name)
{
    const QString base = folder.isEmpty() ? folder : withTrailingSeparator(folder);
    return base + name + QLatin1String(".exp");
}

} // namespace expwiz
