#include "refhost/AddinRegistry.h"

#include "refhost/HostDataFolder.h"

#include <QFile>

namespace orvo::refhost {

namespace {

// The ProgID of a raw line as the list's reader sees it.
QString progIdOf(const QByteArray& raw)
{
    const QString line = decodeListText(raw);
    const qsizetype tab = line.indexOf(QLatin1Char('\t'));
    return tab > 0 && !line.startsWith(QLatin1Char('#')) ? line.left(tab) : QString();
}

} // namespace

AddinRegistry::AddinRegistry(QString filePath) : path_(std::move(filePath)) {}

std::vector<AddinEntry> AddinRegistry::entries() const
{
    std::vector<AddinEntry> out;
    if (!QFile::exists(path_))
        return out;
    for (const auto& [progId, library] : readTabList(path_))
        out.push_back({progId, library});
    return out;
}

// Lines are kept as bytes: a registration rewrites only its own line, and
// the others stay byte for byte, even where they are not valid UTF-8.
QList<QByteArray> AddinRegistry::readRawLines() const
{
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<QByteArray> lines = file.readAll().split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

void AddinRegistry::writeRawLines(const QList<QByteArray>& lines) const
{
    writeBytesAtomically(path_, lines.isEmpty() ? QByteArray() : lines.join('\n') + '\n');
}

void AddinRegistry::Register(const QString& progId, const QString& libraryPath)
{
    QList<QByteArray> lines = readRawLines();
    const QByteArray entry = (progId + QLatin1Char('\t') + libraryPath).toUtf8();
    bool replaced = false;
    for (QByteArray& line : lines) {
        if (progIdOf(line) == progId) {
            line = entry;
            replaced = true;
        }
    }
    if (!replaced)
        lines << entry;
    writeRawLines(lines);
}

void AddinRegistry::Unregister(const QString& progId)
{
    QList<QByteArray> lines = readRawLines();
    lines.removeIf([&](const QByteArray& line) { return progIdOf(line) == progId; });
    writeRawLines(lines);
}

} // namespace orvo::refhost
