#pragma once

// A host data folder holds everything one host instance knows:
//
//   host.conf        Key=Value lines: ApplicationType (edition code), Title,
//                    ProgramPath (empty = the folder itself), HelpFileName,
//                    AvailabilityText, DatabaseName (the database in use)
//   databases.list   one database a line: Name<TAB>file (relative to the folder),
//                    or Name<TAB>a PostgreSQL connection string or URI
//   addins.list      one add-in a line: ProgID<TAB>library path
//   *.sqlite         one SQLite file per database
//
// Lines starting with '#' are comments. All files are UTF-8.

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <utility>
#include <vector>

namespace orvo::refhost {

struct HostSettings {
    int32_t applicationType = 1;
    QString title = QStringLiteral("Orvo");
    QString programPath;   // no final separator
    QString helpFileName = QStringLiteral("orvo.hlp");
    QString availabilityText = QStringLiteral("Available");
    QString databaseName;
};

struct DatabaseRecord {
    QString name;
    QString file;   // absolute, or a server connection string
};

class HostDataFolder {
public:
    explicit HostDataFolder(QString folder);

    const QString& path() const { return folder_; }
    QString settingsPath() const;
    QString databaseListPath() const;
    QString addinListPath() const;

    // Raises HostError naming the file when the folder is not a host data folder.
    HostSettings readSettings() const;
    void writeSettings(const HostSettings& settings) const;
    std::vector<DatabaseRecord> readDatabases() const;
    void writeDatabases(const std::vector<DatabaseRecord>& databases) const;

private:
    QString folder_;
};

// The text of a host list's bytes: UTF-8, every carriage return dropped, so
// files written on Windows read the same.
QString decodeListText(QByteArray bytes);
// Reads "a<TAB>b" lines; comments and blank lines are skipped.
std::vector<std::pair<QString, QString>> readTabList(const QString& path);
// Writes the file atomically (temporary file, then rename).
void writeTextAtomically(const QString& path, const QString& text);
void writeBytesAtomically(const QString& path, const QByteArray& bytes);

} // namespace orvo::refhost
