#include "destination/SettingsFile.h"

#include <QTemporaryDir>

#include "FileBytes.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using expwiz::SettingsFile;

TEST(Settings, FileNamePerEditionCode)
{
    struct Case { const char* name; std::vector<int32_t> codes; };
    for (const Case& c : {Case{"DESKORVO.INI", {1, 5, 62, 63}}, Case{"KEDPRO.INI", {27, 29, 61}}, Case{"ORVOLITE.INI", {34, 35}},
                          Case{"ORVOpub.ini", {36, 37}}, Case{"ORVOpubNW.ini", {38, 39}}, Case{"ORVOpubMS.ini", {44, 45}},
                          Case{"TAMLITE.INI", {48, 49}}, Case{"ORVONord.ini", {52, 53}}, Case{"ORVONordNW.ini", {54}},
                          Case{"ORVONordMS.ini", {55}}, Case{"KIROORVO.INI", {60}},
                          Case{"ORVOPRO.INI", {-1, 0, 2, 6, 28, 30, 56, 64}}})
        for (const int32_t code : c.codes)
            EXPECT_EQ(SettingsFile::fileNameFor(code), QLatin1String(c.name)) << code;
}

TEST(Settings, ExportPathAndWindowSizeLiveInTheConfigFolder)
{
    QTemporaryDir dir;
    const QString config = dir.filePath(u"config"_s);
    const QByteArray oldHome = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config));
    const QString folder = SettingsFile::defaultFolder(), kedpro = SettingsFile(61).filePath();
    const SettingsFile settings(2);
    oldHome.isNull() ? qunsetenv("XDG_CONFIG_HOME") : qputenv("XDG_CONFIG_HOME", oldHome);
    EXPECT_EQ(folder, config + u'/');
    EXPECT_EQ(kedpro, config + u"/KEDPRO.INI"_s);
    // no file yet: the program path; writing creates the missing folder and the file
    EXPECT_EQ(settings.readExportPath(u"/opt/orvo"_s), u"/opt/orvo"_s);
    QString error;
    EXPECT_TRUE(settings.writeExportPath(u"/data/out/"_s, &error)) << error.toStdString();
    EXPECT_EQ(readBytes(config + u"/ORVOPRO.INI"_s), "[Defaults]\nExportPath=/data/out/\n");
    EXPECT_EQ(settings.readExportPath(u"/opt/orvo"_s), u"/data/out/"_s);
    EXPECT_EQ(SettingsFile(61, config).readExportPath(u"/other"_s), u"/other"_s);
    // other keys of the host stay
    writeBytes(settings.filePath(), "[Defaults]\r\nLastCompany=7\r\nExportPath=/a/\r\n[Print]\r\nCopies=2\r\n");
    EXPECT_TRUE(settings.writeExportPath(u"/b/"_s));
    EXPECT_TRUE(settings.writeWindowSize(QSize(640, 480)));
    EXPECT_EQ(readBytes(settings.filePath()),
              "[Defaults]\r\nLastCompany=7\r\nExportPath=/b/\r\n[Print]\r\nCopies=2\r\n\r\n[Export Wizard]\r\nWindowSize=640x480\r\n");
    // a hand-edited size is used only when it is sound
    for (const auto& [text, size] : {std::pair{"640x480", QSize(640, 480)}, std::pair{" 800 x 600 ", QSize(800, 600)},
                                     std::pair{"20000x1", QSize(20000, 1)}, std::pair{"1x20000", QSize(1, 20000)},
                                     std::pair{"0x480", QSize()}, std::pair{"640x0", QSize()}, std::pair{"20001x480", QSize()},
                                     std::pair{"640x20001", QSize()}, std::pair{"640", QSize()}, std::pair{"ax480", QSize()},
                                     std::pair{"640xb", QSize()}, std::pair{"1x2x3", QSize()}}) {
        writeBytes(settings.filePath(), QByteArray("[Export Wizard]\nWindowSize=") + text + "\n");
        EXPECT_EQ(settings.readWindowSize(), size) << text;
    }
}

TEST(Settings, LongValuesAreCutAndFailuresReported)
{
    QTemporaryDir dir;
    const SettingsFile settings(36, dir.path());
    EXPECT_EQ(settings.filePath(), dir.filePath(u"ORVOpub.ini"_s));
    const QString b1022(1022, u'b');
    struct Case { QByteArray value; QString read; };   // the value as the file holds it, and as read
    // At most 1023 characters, a character of two UTF-16 units at the cut not halved, nothing from a NUL on.
    for (const Case& c : {Case{b1022.toUtf8() + "\xF0\x9F\x98\x80tail", b1022}, Case{QByteArray("/a/\0/b/", 7), u"/a/"_s},
                          Case{QByteArray("\0/b/", 4), QString()}}) {
        writeBytes(settings.filePath(), "[Defaults]\nExportPath=" + c.value + "\n");
        EXPECT_EQ(settings.readExportPath(u"/prog"_s), c.read) << c.value.size();
    }
    ASSERT_TRUE(settings.writeExportPath(u'/' + QString(1499, u'a')));
    EXPECT_EQ(settings.readExportPath(QString()), u'/' + QString(1022, u'a'));

    // A settings folder that cannot exist: reported, not thrown.
    writeBytes(dir.filePath(u"file"_s), QByteArray());
    const SettingsFile blocked(2, dir.filePath(u"file/sub"_s));
    QString error;
    EXPECT_FALSE(blocked.writeExportPath(u"/x/"_s, &error));
    EXPECT_FALSE(blocked.writeWindowSize(QSize(1, 1)));
    EXPECT_TRUE(error.contains(u"ORVOPRO.INI"_s)) << error.toStdString();
    EXPECT_EQ(blocked.readExportPath(u"/prog"_s), u"/prog"_s);
}
