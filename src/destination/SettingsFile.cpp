#include "destination/SettingsFile.h"

#include "destination/FilePaths.h"
#include "destination/IniFile.h"
#include "host/HostError.h"

#include <QDir>
#include <QStandardPaths>
#include <QStringList>

namespace expwiz {

namespace {

const QString& section()
{
    static const QString s = QStringLiteral("Defaults");
    return s;
}

const QString& key()
{
    static const QString k = QStringLiteral("ExportPath");
    return k;
}

const QString& windowSection()
{
    static const QString s = QStringLiteral("Export Wizard");
    return s;
}

const QString& windowSizeKey()
{
    static const QString k = QStringLiteral("WindowSize");
    return k;
}

} // namespace

SettingsFile::SettingsFile(int32_t appType) : SettingsFile(appType, defaultFolder()) {}

SettingsFile::SettingsFile(int32_t appType, const QString& folder)
    : path_(FilePaths::withTrailingSeparator(folder) + fileNameFor(appType))
{
}

QString SettingsFile::fileNameFor(int32_t appType)
{
    switch (appType) {
    case 1: case 5: case 62: case 63:
        return QStringLiteral("DESKORVO.INI");
    case 27: case 29: case 61:
        return QStringLiteral("KEDPRO.INI");
    case 34: case 35:
        return QStringLiteral("ORVOLITE.INI");
    case 36: case 37:
        return QStringLiteral("ORVOpub.ini");
    case 38: case 39:
        return QStringLiteral("ORVOpubNW.ini");
    case 44: case 45:
        return QStringLiteral("ORVOpubMS.ini");
    case 48: case 49:
        return QStringLiteral("TAMLITE.INI");
    case 52: case 53:
        return QStringLiteral("ORVONord.ini");
    case 54:
        return QStringLiteral("ORVONordNW.ini");
    case 55:
        return QStringLiteral("ORVONordMS.ini");
    case 60:
        return QStringLiteral("KIROORVO.INI");
    default:
        return QStringLiteral("ORVOPRO.INI");
    }
}

QString SettingsFile::defaultFolder()
{
    return FilePaths::withTrailingSeparator(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
}

QString SettingsFile::readExportPath(const QString& defaultPath) const
{
    QString value = IniFile(path_).readString(section(), key(), defaultPath);
    const qsizetype nul = value.indexOf(QChar(0));
    if (nul >= 0)
        value.truncate(nul);
    if (value.size() > kExportPathMaxLength) {
        qsizetype cut = kExportPathMaxLength;
        // Never keep half of a character that takes two UTF-16 units.
        if (value[cut - 1].isHighSurrogate())
            --cut;
        value.truncate(cut);
    }
    return value;
}

bool SettingsFile::writeExportPath(const QString& value, QString* error) const
{
    return write(section(), key(), value, error);
}

QSize SettingsFile::readWindowSize() const
{
    const QStringList parts = IniFile(path_).readString(windowSection(), windowSizeKey(), QString()).split(u'x');
    if (parts.size() != 2)
        return {};
    bool wide = false;
    bool high = false;
    const QSize size(parts[0].trimmed().toInt(&wide), parts[1].trimmed().toInt(&high));
    // A hand-edited value larger than any screen is no size to open at.
    if (!wide || !high || size.width() <= 0 || size.height() <= 0 || size.width() > 20000 || size.height() > 20000)
        return {};
    return size;
}

bool SettingsFile::writeWindowSize(const QSize& size) const
{
    return write(windowSection(), windowSizeKey(),
                 QString::number(size.width()) + u'x' + QString::number(size.height()), nullptr);
}

bool SettingsFile::write(const QString& section, const QString& key, const QString& value, QString* error) const
{
    try {
        QDir().mkpath(FilePaths::getFolderPart(path_));
        IniFile(path_).writeString(section, key, value);
        return true;
    } catch (const orvo::HostError& e) {
        if (error)
            *error = e.description();
        return false;
    }
}

} // namespace expwiz
