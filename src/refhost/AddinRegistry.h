#pragma once

#include "host/OrvoClassServer.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <vector>

namespace orvo::refhost {

struct AddinEntry {
    QString progId;
    QString libraryPath;
};

// The host's add-in list file, edited by the add-ins' register functions.
// Rewrites are atomic and keep every unrelated line as it was.
class AddinRegistry : public IOrvoAddinRegistry {
public:
    explicit AddinRegistry(QString filePath);

    std::vector<AddinEntry> entries() const;   // a missing file is an empty list
    void Register(const QString& progId, const QString& libraryPath) override;
    void Unregister(const QString& progId) override;

private:
    QList<QByteArray> readRawLines() const;
    void writeRawLines(const QList<QByteArray>& lines) const;
    QString path_;
};

} // namespace orvo::refhost
