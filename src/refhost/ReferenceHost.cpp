#include "refhost/ReferenceHost.h"

#include "pghost/PgDatabase.h"
#include "refhost/RefDatabase.h"

#include <QFileInfo>

namespace orvo::refhost {

ReferenceHost::ReferenceHost(HostDataFolder folder) : folder_(std::move(folder)) {}

std::shared_ptr<ReferenceHost> ReferenceHost::open(const QString& dataFolder)
{
    if (!QFileInfo(dataFolder).isDir())
        throw HostError(errnum::PathNotFound,
                        QStringLiteral("The host data folder %1 does not exist. Create one with "
                                       "'expwiz demo --out %1'.")
                            .arg(dataFolder));
    std::shared_ptr<ReferenceHost> host(new ReferenceHost(HostDataFolder(dataFolder)));
    host->settings_ = host->folder_.readSettings();
    for (const DatabaseRecord& record : host->folder_.readDatabases()) {
        if (isConnectionString(record.file))
            host->databases_.push_back(std::make_shared<pghost::PgDatabase>(record.name, record.file));
        else
            host->databases_.push_back(std::make_shared<RefDatabase>(record.name, record.file));
    }
    return host;
}

void ReferenceHost::AddOperation(const QString& name, const QString& verb, std::shared_ptr<IOrvoOperation> operation)
{
    if (!operation)
        throw HostError(errnum::ObjectRequired, QStringLiteral("AddOperation needs an operation object."));
    operations_.push_back({name, verb, std::move(operation)});
}

void ReferenceHost::AddMenuItem(std::shared_ptr<IOrvoMenuItem> item)
{
    if (!item)
        throw HostError(errnum::ObjectRequired, QStringLiteral("AddMenuItem needs a menu item object."));
    menuItems_.push_back(std::move(item));
}

void ReferenceHost::ShowHelp(int32_t context)
{
    if (helpHandler_)
        helpHandler_(context);
}

OrvoCollection<IOrvoDatabaseEntry> ReferenceHost::Databases()
{
    return {databases_.begin(), databases_.end()};
}

std::shared_ptr<IOrvoDatabaseEntry> ReferenceHost::OpenDatabase(const QString& name)
{
    openError_.clear();
    for (const auto& db : databases_) {
        if (db->Name() != name)
            continue;
        try {
            db->open();
        } catch (const HostError& e) {
            openError_ = e.description();
            return {};   // the host gives no object for a database it cannot open
        }
        return db;
    }
    return {};
}

QStringList ReferenceHost::HostFiles()
{
    QStringList files{folder_.settingsPath(), folder_.databaseListPath(), folder_.addinListPath()};
    for (const auto& db : databases_) {
        // A database on a server has no file here.
        const auto file = std::dynamic_pointer_cast<RefDatabase>(db);
        for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
            if (file)
                files << file->file() + QLatin1String(suffix);
        }
    }
    return files;
}

void ReferenceHost::releaseAddins()
{
    operations_.clear();
    menuItems_.clear();
}

} // namespace orvo::refhost
