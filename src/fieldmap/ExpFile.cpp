#include "fieldmap/ExpFile.h"

#include "catalog/FieldCatalog.h"
#include "destination/WholeFileReplacer.h"
#include "destination/UniqueFd.h"
#include "host/HostError.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace expwiz {

namespace {

constexpr qsizetype kIdSize = 4;

orvo::HostError tooLarge(const QString& path, qint64 size)
{
    return orvo::HostError(orvo::errnum::Overflow,
                           QStringLiteral("The field map file %1 is %2 bytes; a field map is at most %3 bytes, so "
                                          "this is not a field map. Choose another file.")
                               .arg(path)
                               .arg(size)
                               .arg(ExpFile::kMaxFileSize));
}

} // namespace

QByteArray ExpFile::encode(const std::vector<int32_t>& ids)
{
    QByteArray out;
    out.reserve(static_cast<qsizetype>(ids.size()) * kIdSize);
    for (const int32_t id : ids) {
        const auto v = static_cast<uint32_t>(id);
        out += static_cast<char>(v & 0xFF);
        out += static_cast<char>((v >> 8) & 0xFF);
        out += static_cast<char>((v >> 16) & 0xFF);
        out += static_cast<char>((v >> 24) & 0xFF);
    }
    return out;
}

ExpReadResult ExpFile::decode(const QByteArray& bytes)
{
    ExpReadResult result;
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype whole = bytes.size() - bytes.size() % kIdSize;
    for (qsizetype offset = 0; offset < whole; offset += kIdSize) {
        const uint32_t u = uint32_t(data[offset]) | (uint32_t(data[offset + 1]) << 8)
                           | (uint32_t(data[offset + 2]) << 16) | (uint32_t(data[offset + 3]) << 24);
        const auto v = static_cast<int32_t>(u);
        if (isCatalogId(v))
            result.ids.push_back(v);
        else
            result.skippedValues.push_back({v, offset});
    }
    result.trailingBytes = static_cast<int>(bytes.size() - whole);
    return result;
}

ExpReadResult ExpFile::read(const QString& path)
{
    const QString what = QStringLiteral("Cannot read the field map file");
    UniqueFd fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC));
    if (!fd.isOpen())
        throw orvo::fileError(errno, what, path);
    // A map is a few hundred bytes: anything far larger is refused before
    // it is read, and a file that grows (or never ends) while read is cut off.
    struct stat st {};
    if (::fstat(fd.get(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > kMaxFileSize)
        throw tooLarge(path, st.st_size);
    QByteArray bytes;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw orvo::fileError(errno, what, path);
        }
        if (n == 0)
            break;
        bytes.append(buffer, n);
        if (bytes.size() > kMaxFileSize)
            throw tooLarge(path, bytes.size());
    }
    return decode(bytes);
}

void ExpFile::write(const QString& path, const std::vector<int32_t>& ids)
{
    WholeFileReplacer::write(path, encode(ids), QStringLiteral("Cannot save the field map file"));
}

} // namespace expwiz
