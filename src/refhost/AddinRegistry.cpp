#include "refhost/AddinRegistry.h"

#include "refhost/HostDataFolder.h"

#include <QFile>

namespace orvo::refhost {

namespace {

QString progIdOf(const QString& line)
{
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

QStringList AddinRegistry::readRawLines() const
{
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

void AddinRegistry::writeRawLines(const QStringList& lines) const
{
    writeTextAtomically(path_, lines.isEmpty() ? QString() : lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
}

void AddinRegistry::Register(const QString& progId, const QString& libraryPath)
{
    QStringList lines = readRawLines();
    const QString entry = progId + QLatin1Char('\t') + libraryPath;
    bool replaced = false;
    for (QString& line : lines) {
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
    QStringList lines = readRawLines();
    lines.removeIf([&](const QString& line) { return progIdOf(line) == progId; });
    writeRawLines(lines);
}

} // namespace orvo::refhost
