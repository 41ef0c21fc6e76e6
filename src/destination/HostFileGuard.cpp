#include "destination/HostFileGuard.h"

#include "host/OrvoInterfaces.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace expwiz {

namespace {

// Where a write to the path lands: through a link, even a dangling one.
QString resolved(const QString& path)
{
    QFileInfo info(path);
    for (int depth = 0; depth < 40 && info.isSymLink(); ++depth)
        info = QFileInfo(info.symLinkTarget());
    const QString canonical = info.canonicalFilePath();
    if (!canonical.isEmpty())
        return canonical;
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return QDir::cleanPath((folder.isEmpty() ? info.absolutePath() : folder) + QLatin1Char('/') + info.fileName());
}

} // namespace

QString HostFileGuard::clash(const QString& target, const QStringList& protectedFiles)
{
    struct stat t {};
    const bool targetExists = ::stat(QFile::encodeName(target).constData(), &t) == 0;
    const QString targetPath = resolved(target);
    for (const QString& file : protectedFiles) {
        if (file.isEmpty())
            continue;
        struct stat p {};
        if (targetExists && ::stat(QFile::encodeName(file).constData(), &p) == 0) {
            if (p.st_dev == t.st_dev && p.st_ino == t.st_ino)
                return file;
        } else if (resolved(file) == targetPath) {
            return file;
        }
    }
    return {};
}

QString HostFileGuard::message(const QString& target, const QString& protectedFile)
{
    if (QFileInfo(target).absoluteFilePath() == QFileInfo(protectedFile).absoluteFilePath())
        return QStringLiteral("The export file %1 is a file the export reads or the host keeps its data in; "
                              "choose another file name.")
            .arg(target);
    return QStringLiteral("The export file %1 is the same file as %2, which the export reads or the host keeps "
                          "its data in; choose another file name.")
        .arg(target, protectedFile);
}

QStringList HostFileGuard::hostFiles(const std::shared_ptr<orvo::IOrvoObject>& host)
{
    const auto files = std::dynamic_pointer_cast<orvo::IOrvoHostFiles>(host);
    return files ? files->HostFiles() : QStringList();
}

} // namespace expwiz
