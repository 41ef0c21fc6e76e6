#include "refhost/HostDataFolder.h"

#include "host/HostError.h"
#include "refhost/HostDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace orvo::refhost {

namespace {

QStringList readLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw HostError(errnum::FileNotFound,
                        QStringLiteral("Cannot read %1: %2. Is this a host data folder? "
                                       "Create one with 'expwiz demo --out DIR'.")
                            .arg(path, file.errorString()));
    QStringList lines;
    for (const QString& line : decodeListText(file.readAll()).split(QLatin1Char('\n'))) {
        const QString trimmed = line.trimmed();
        if (!trimmed.isEmpty() && !trimmed.startsWith(QLatin1Char('#')))
            lines << line;
    }
    return lines;
}

// A file named in the folder's files, relative to the folder. QDir alone
// would take a name starting with ':' for a compiled-in resource.
QString absoluteIn(const QString& folder, const QString& path)
{
    if (path.startsWith(QLatin1Char(':')))
        return folder + QLatin1Char('/') + path;
    return QDir(folder).absoluteFilePath(path);
}

} // namespace

HostDataFolder::HostDataFolder(QString folder) : folder_(QDir(folder).absolutePath()) {}

QString HostDataFolder::settingsPath() const { return folder_ + QStringLiteral("/host.conf"); }
QString HostDataFolder::databaseListPath() const { return folder_ + QStringLiteral("/databases.list"); }
QString HostDataFolder::addinListPath() const { return folder_ + QStringLiteral("/addins.list"); }

HostSettings HostDataFolder::readSettings() const
{
    HostSettings s;
    s.programPath = folder_;
    for (const QString& line : readLines(settingsPath())) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        const QString key = line.left(eq).trimmed();
        const QString value = line.mid(eq + 1);
        if (key == QLatin1String("ApplicationType")) {
            bool ok = false;
            s.applicationType = value.trimmed().toInt(&ok);
            if (!ok)
                throw HostError(errnum::TypeMismatch,
                                QStringLiteral("%1: ApplicationType must be a whole number, not '%2'.")
                                    .arg(settingsPath(), value));
        } else if (key == QLatin1String("Title")) {
            s.title = value;
        } else if (key == QLatin1String("ProgramPath")) {
            if (!value.isEmpty())
                s.programPath = absoluteIn(folder_, value);
        } else if (key == QLatin1String("HelpFileName")) {
            s.helpFileName = value;
        } else if (key == QLatin1String("AvailabilityText")) {
            s.availabilityText = value;
        } else if (key == QLatin1String("DatabaseName")) {
            s.databaseName = value;
        }
    }
    while (s.programPath.size() > 1 && s.programPath.endsWith(QLatin1Char('/')))
        s.programPath.chop(1);
    return s;
}

void HostDataFolder::writeSettings(const HostSettings& s) const
{
    QString text = QStringLiteral("# Settings of this host instance\n");
    text += QStringLiteral("ApplicationType=%1\n").arg(s.applicationType);
    text += QStringLiteral("Title=%1\n").arg(s.title);
    text += QStringLiteral("ProgramPath=%1\n").arg(s.programPath == folder_ ? QString() : s.programPath);
    text += QStringLiteral("HelpFileName=%1\n").arg(s.helpFileName);
    text += QStringLiteral("AvailabilityText=%1\n").arg(s.availabilityText);
    text += QStringLiteral("DatabaseName=%1\n").arg(s.databaseName);
    writeTextAtomically(settingsPath(), text);
}

std::vector<DatabaseRecord> HostDataFolder::readDatabases() const
{
    std::vector<DatabaseRecord> out;
    for (const auto& [name, file] : readTabList(databaseListPath()))
        out.push_back({name, isConnectionString(file) ? file : absoluteIn(folder_, file)});
    return out;
}

void HostDataFolder::writeDatabases(const std::vector<DatabaseRecord>& databases) const
{
    QString text = QStringLiteral("# Databases of this host: name<TAB>file\n");
    for (const DatabaseRecord& db : databases) {
        const QString file = isConnectionString(db.file) ? db.file : QDir(folder_).relativeFilePath(db.file);
        // One entry a line, its file read trimmed: what would read back as
        // another database or another file is refused, not written.
        const QString name = db.name.trimmed();
        const auto breaksLine = [](const QString& t) {
            return t.contains(QLatin1Char('\n')) || t.contains(QLatin1Char('\r'));
        };
        if (name.isEmpty() || name.startsWith(QLatin1Char('#')) || db.name.contains(QLatin1Char('\t'))
            || breaksLine(db.name) || breaksLine(file) || file != file.trimmed())
            throw HostError(errnum::InvalidProcedureCall,
                            QStringLiteral("Cannot write %1: the database \"%2\" with the file \"%3\" does not fit "
                                           "on one line of the list; rename it.")
                                .arg(databaseListPath(), db.name, db.file));
        text += db.name + QLatin1Char('\t') + file + QLatin1Char('\n');
    }
    writeTextAtomically(databaseListPath(), text);
}

QString decodeListText(QByteArray bytes)
{
    return QString::fromUtf8(bytes.replace('\r', QByteArray()));
}

std::vector<std::pair<QString, QString>> readTabList(const QString& path)
{
    std::vector<std::pair<QString, QString>> out;
    for (const QString& line : readLines(path)) {
        const qsizetype tab = line.indexOf(QLatin1Char('\t'));
        if (tab > 0)
            out.emplace_back(line.left(tab), line.mid(tab + 1).trimmed());
    }
    return out;
}

void writeTextAtomically(const QString& path, const QString& text)
{
    writeBytesAtomically(path, text.toUtf8());
}

void writeBytesAtomically(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) < 0 || !file.commit())
        throw HostError(errnum::PathFileAccess, QStringLiteral("Cannot write %1: %2").arg(path, file.errorString()));
}

} // namespace orvo::refhost
