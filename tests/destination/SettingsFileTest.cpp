#include "destination/SettingsFile.h"

#include <QFile>
#include <QTemporaryDir>

#include "FileBytes.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <utility>

using expwiz::SettingsFile;

namespace {

// Points the user's configuration folder somewhere else for one test.
class ConfigHome {
public:
    explicit ConfigHome(const QString& folder) : old_(qgetenv("XDG_CONFIG_HOME")), had_(qEnvironmentVariableIsSet("XDG_CONFIG_HOME"))
    {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(folder));
    }
    ~ConfigHome()
    {
        if (had_)
            qputenv("XDG_CONFIG_HOME", old_);
        else
            qunsetenv("XDG_CONFIG_HOME");
    }
    ConfigHome(const ConfigHome&) = delete;
    ConfigHome& operator=(const ConfigHome&) = delete;

private:
    QByteArray old_;
    bool had_;
};

} // namespace

TEST(Settings, FileNamePerEditionCode)
{
    struct Case {
        int32_t code;
        const char* name;
    };
    for (const Case& c : {Case{2, "ORVOPRO.INI"}, Case{0, "ORVOPRO.INI"}, Case{64, "ORVOPRO.INI"}, Case{-1, "ORVOPRO.INI"},
                          Case{1, "DESKORVO.INI"}, Case{63, "DESKORVO.INI"}, Case{27, "KEDPRO.INI"}, Case{29, "KEDPRO.INI"},
                          Case{61, "KEDPRO.INI"}, Case{35, "ORVOLITE.INI"}, Case{36, "ORVOpub.ini"},
                          Case{39, "ORVOpubNW.ini"}, Case{44, "ORVOpubMS.ini"}, Case{49, "TAMLITE.INI"},
                          Case{52, "ORVONord.ini"}, Case{54, "ORVONordNW.ini"}, Case{55, "ORVONordMS.ini"},
                          Case{60, "KIROORVO.INI"}, Case{28, "ORVOPRO.INI"}, Case{56, "ORVOPRO.INI"}}) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(SettingsFile::fileNameFor(c.code), QLatin1String(c.name));
    }
}

TEST(Settings, ExportPathLivesInTheConfigFolder)
{
    QTemporaryDir dir;
    const QString config = dir.filePath(QStringLiteral("config"));
    ConfigHome home(config);
    {
        SCOPED_TRACE("the folder comes from XDG_CONFIG_HOME");
        EXPECT_EQ(SettingsFile::defaultFolder(), config + QLatin1Char('/'));
        EXPECT_EQ(SettingsFile(61).filePath(), config + QStringLiteral("/KEDPRO.INI"));
    }
    const SettingsFile settings(2);
    {
        SCOPED_TRACE("no file yet: the program path");
        EXPECT_EQ(settings.readExportPath(QStringLiteral("/opt/orvo")), QStringLiteral("/opt/orvo"));
    }
    {
        SCOPED_TRACE("writing creates the missing folder and the file");
        QString error;
        EXPECT_TRUE(settings.writeExportPath(QStringLiteral("/data/out/"), &error)) << error.toStdString();
        EXPECT_EQ(readBytes(config + QStringLiteral("/ORVOPRO.INI")), QByteArray("[Defaults]\nExportPath=/data/out/\n"));
        EXPECT_EQ(settings.readExportPath(QStringLiteral("/opt/orvo")), QStringLiteral("/data/out/"));
        EXPECT_EQ(SettingsFile(61).readExportPath(QStringLiteral("/other")), QStringLiteral("/other"));
    }
    {
        SCOPED_TRACE("other keys of the host stay");
        writeBytes(settings.filePath(), "[Defaults]\r\nLastCompany=7\r\nExportPath=/a/\r\n[Print]\r\nCopies=2\r\n");
        EXPECT_TRUE(settings.writeExportPath(QStringLiteral("/b/")));
        EXPECT_EQ(readBytes(settings.filePath()),
                  QByteArray("[Defaults]\r\nLastCompany=7\r\nExportPath=/b/\r\n[Print]\r\nCopies=2\r\n"));
    }
}

TEST(Settings, LongValuesAreCutAndFailuresReported)
{
    QTemporaryDir dir;
    const SettingsFile settings(36, dir.path());
    EXPECT_EQ(settings.filePath(), dir.filePath(QStringLiteral("ORVOpub.ini")));
    {
        SCOPED_TRACE("1500 characters read back as 1023");
        const QString longPath = QLatin1Char('/') + QString(1499, QLatin1Char('a'));
        ASSERT_TRUE(settings.writeExportPath(longPath));
        EXPECT_EQ(settings.readExportPath(QString()), longPath.left(1023));
    }
    {
        SCOPED_TRACE("a character of two UTF-16 units at the cut is not halved");
        const QString path = QString(1022, QLatin1Char('b')) + QString::fromUtf8("\xF0\x9F\x98\x80") + QStringLiteral("tail");
        ASSERT_TRUE(settings.writeExportPath(path));
        EXPECT_EQ(settings.readExportPath(QString()), QString(1022, QLatin1Char('b')));
    }
    {
        SCOPED_TRACE("a NUL in the file ends the value, as for any C string");
        for (const auto& [bytes, value] : {std::pair{QByteArray("/a/\0/b/", 7), "/a/"}, std::pair{QByteArray("\0/b/", 4), ""}}) {
            writeBytes(settings.filePath(), "[Defaults]\nExportPath=" + bytes + "\n");
            EXPECT_EQ(settings.readExportPath(QStringLiteral("/prog")), QLatin1String(value));
        }
    }
    {
        SCOPED_TRACE("a settings folder that cannot exist: reported, not thrown");
        writeBytes(dir.filePath(QStringLiteral("file")), QByteArray());
        const SettingsFile blocked(2, dir.filePath(QStringLiteral("file/sub")));
        QString error;
        EXPECT_FALSE(blocked.writeExportPath(QStringLiteral("/x/"), &error));
        EXPECT_TRUE(error.contains(QStringLiteral("ORVOPRO.INI"))) << error.toStdString();
        EXPECT_EQ(blocked.readExportPath(QStringLiteral("/prog")), QStringLiteral("/prog"));
    }
}
