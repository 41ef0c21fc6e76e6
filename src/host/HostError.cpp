#include "host/HostError.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

namespace orvo {

HostError::HostError(int32_t number, QString description)
    : number_(number), description_(std::move(description)), what_(description_.toStdString())
{
}

HostError::~HostError() = default;

int32_t runtimeNumberFromErrno(int err) noexcept
{
    switch (err) {
    case ENOENT:
        return errnum::FileNotFound;
    case ENOTDIR:
        return errnum::PathNotFound;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return errnum::DiskFull;
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
    case EBUSY:
        return errnum::PermissionDenied;
    default:
        return errnum::PathFileAccess;
    }
}

HostError fileError(int err, const QString& what, const QString& path)
{
    const QString reason = QString::fromLocal8Bit(std::strerror(err));
    int32_t number = runtimeNumberFromErrno(err);
    // open() says ENOENT both for a missing file and a missing folder; only
    // the second is "path not found".
    if (err == ENOENT && !QFileInfo(path).absoluteDir().exists())
        number = errnum::PathNotFound;
    return HostError(number,
                     QStringLiteral("%1 %2: %3").arg(what, path, reason));
}

} // namespace orvo
