#include "destination/IniFile.h"
#include "host/HostError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "FileBytes.h"
#include "HostErrors.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using expwiz::IniFile;

namespace {

const QByteArray kHostFile =
    "; settings of the host\r\n"
    "[Program]\r\n"
    "Window=120,80\r\n"
    "\r\n"
    "[defaults]\r\n"
    "Printer = Office  \r\n"
    "exportpath = /old/place/\r\n"
    ";ExportPath=/commented/\r\n"
    "\r\n"
    "[Defaults]\r\n"
    "ExportPath=/second/section/\r\n"
    "[Recent]\r\n"
    "File1=\"  spaced  \"\r\n";

} // namespace

TEST(Ini, ReadsLikeThePrivateProfileFunctions)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("HOST.INI"));
    const IniFile ini(path);
    {
        SCOPED_TRACE("missing file gives the default");
        EXPECT_EQ(ini.readString(QStringLiteral("Defaults"), QStringLiteral("ExportPath"), QStringLiteral("/prog")),
                  QStringLiteral("/prog"));
    }
    writeBytes(path, kHostFile);
    {
        SCOPED_TRACE("section and key in any letter case; the first section wins");
        EXPECT_EQ(ini.readString(QStringLiteral("DEFAULTS"), QStringLiteral("ExportPath"), QString()),
                  QStringLiteral("/old/place/"));
        EXPECT_EQ(ini.readString(QStringLiteral("Defaults"), QStringLiteral("PRINTER"), QString()),
                  QStringLiteral("Office"));
    }
    {
        SCOPED_TRACE("quotes taken off, blanks inside kept");
        EXPECT_EQ(ini.readString(QStringLiteral("recent"), QStringLiteral("file1"), QString()),
                  QStringLiteral("  spaced  "));
    }
    {
        SCOPED_TRACE("missing key or section, a key of another section");
        EXPECT_EQ(ini.readString(QStringLiteral("Defaults"), QStringLiteral("Window"), QStringLiteral("d")),
                  QStringLiteral("d"));
        EXPECT_EQ(ini.readString(QStringLiteral("Nothing"), QStringLiteral("ExportPath"), QStringLiteral("d")),
                  QStringLiteral("d"));
    }
    {
        SCOPED_TRACE("a comment is no key; lines before any section belong to none");
        writeBytes(path, "ExportPath=/nosection/\n[Defaults]\n;ExportPath=/commented/\n");
        EXPECT_EQ(ini.readString(QStringLiteral("Defaults"), QStringLiteral("ExportPath"), QStringLiteral("d")),
                  QStringLiteral("d"));
        EXPECT_EQ(ini.readString(QString(), QStringLiteral("ExportPath"), QStringLiteral("d")), QStringLiteral("d"));
    }
    {
        SCOPED_TRACE("a byte-order mark before the first section");
        writeBytes(path, "\xEF\xBB\xBF[Defaults]\nExportPath=/bom/\n");
        EXPECT_EQ(ini.readString(QStringLiteral("Defaults"), QStringLiteral("ExportPath"), QString()),
                  QStringLiteral("/bom/"));
    }
}

TEST(Ini, WriteChangesOnlyItsKeyAndKeepsEveryOtherByte)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("HOST.INI"));
    IniFile ini(path);
    {
        SCOPED_TRACE("an existing key keeps its spelling and blanks; CR LF stays");
        writeBytes(path, kHostFile);
        ini.writeString(QStringLiteral("Defaults"), QStringLiteral("ExportPath"), QStringLiteral("/new/place/"));
        QByteArray expected = kHostFile;
        expected.replace("exportpath = /old/place/", "exportpath = /new/place/");
        EXPECT_EQ(readBytes(path), expected);
    }
    {
        SCOPED_TRACE("a missing key goes after the section's last line, before its blank lines");
        writeBytes(path, kHostFile);
        ini.writeString(QStringLiteral("program"), QStringLiteral("ExportPath"), QStringLiteral("/p/"));
        QByteArray expected = kHostFile;
        expected.replace("Window=120,80\r\n", "Window=120,80\r\nExportPath=/p/\r\n");
        EXPECT_EQ(readBytes(path), expected);
    }
    {
        SCOPED_TRACE("a missing section is added at the end, LF file stays LF, last line without line end");
        writeBytes(path, "[Program]\nWindow=1");
        ini.writeString(QStringLiteral("Defaults"), QStringLiteral("ExportPath"), QStringLiteral("/x/"));
        EXPECT_EQ(readBytes(path), QByteArray("[Program]\nWindow=1\n\n[Defaults]\nExportPath=/x/\n"));
    }
    {
        SCOPED_TRACE("a key in the last section of a file without final line end");
        writeBytes(path, "[Defaults]\r\nPrinter=Lab");
        ini.writeString(QStringLiteral("Defaults"), QStringLiteral("ExportPath"), QStringLiteral("/y/"));
        EXPECT_EQ(readBytes(path), QByteArray("[Defaults]\r\nPrinter=Lab\r\nExportPath=/y/\r\n"));
    }
    {
        SCOPED_TRACE("bytes the codec cannot read in other lines survive");
        const QByteArray odd = "[Other]\nName=\xFF\xFE caf\xE9\n";
        writeBytes(path, odd);
        ini.writeString(QStringLiteral("Defaults"), QStringLiteral("ExportPath"), QStringLiteral("/z/"));
        EXPECT_TRUE(readBytes(path).startsWith(odd));
    }
    {
        SCOPED_TRACE("a new file");
        QFile::remove(path);
        EXPECT_EQ(ini.writeString(QStringLiteral("Defaults"), QStringLiteral("ExportPath"), QStringLiteral("/Ü/")), 0);
        EXPECT_EQ(readBytes(path), QByteArray("[Defaults]\nExportPath=/\xC3\x9C/\n"));
        // a character the codec cannot represent is replaced and counted
        EXPECT_EQ(ini.writeString(QStringLiteral("Defaults"), QStringLiteral("Broken"),
                                  QStringLiteral("a") + QChar(0xD800) + QStringLiteral("b\U0001F600")), 1);
        EXPECT_TRUE(readBytes(path).endsWith("Broken=a?b\xF0\x9F\x98\x80\n"));
        EXPECT_EQ(ini.writeString(QStringLiteral("Defaults"), QStringLiteral("Tail"), QStringLiteral("c") + QChar(0xD83D)), 1);
        EXPECT_TRUE(readBytes(path).endsWith("Tail=c?\n"));
        EXPECT_EQ(ini.readString(QStringLiteral("Defaults"), QStringLiteral("ExportPath"), QString()),
                  QStringLiteral("/Ü/"));
    }
}

TEST(Ini, ValuesReadBackAsWrittenAndUnsafeTextIsRefused)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("HOST.INI"));
    IniFile ini(path);
    for (const QString& value : {QStringLiteral(" /lead/"), QStringLiteral("/trail/ "), QStringLiteral("\"/q/\""),
                                 QStringLiteral("'x'"), QStringLiteral("a=b;c"), QString()}) {
        SCOPED_TRACE(value.toStdString());
        ini.writeString(QStringLiteral("Defaults"), QStringLiteral("ExportPath"), value);
        EXPECT_EQ(ini.readString(QStringLiteral("Defaults"), QStringLiteral("ExportPath"), QStringLiteral("d")), value);
    }
    {
        SCOPED_TRACE("names with blanks around them are the names the file holds");
        ini.writeString(QStringLiteral(" Defaults "), QStringLiteral(" ExportPath "), QStringLiteral("/b/"));
        EXPECT_EQ(ini.readString(QStringLiteral("Defaults"), QStringLiteral("ExportPath"), QString()), "/b/");
        EXPECT_EQ(readBytes(path), QByteArray("[Defaults]\nExportPath=/b/\n"));
    }
    const QByteArray before = readBytes(path);
    for (const QString& value : {QStringLiteral("/a/\n[Evil]\nx=1"), QStringLiteral("/a/\r"), QStringLiteral("a") + QChar(0)}) {
        SCOPED_TRACE("value with a line break");
        EXPECT_THROW(ini.writeString(QStringLiteral("Defaults"), QStringLiteral("ExportPath"), value), orvo::HostError);
    }
    EXPECT_THROW(ini.writeString(QStringLiteral("Defaults"), QStringLiteral("a=b"), QStringLiteral("v")), orvo::HostError);
    EXPECT_THROW(ini.writeString(QStringLiteral("Def]aults"), QStringLiteral("k"), QStringLiteral("v")), orvo::HostError);
    EXPECT_THROW(ini.writeString(QStringLiteral("Defaults"), QStringLiteral(" "), QStringLiteral("v")), orvo::HostError);
    EXPECT_EQ(readBytes(path), before);
}

TEST(Ini, WriteKeepsPermissionsAndFailsWithoutTouchingTheFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("HOST.INI"));
    writeBytes(path, "[Defaults]\nExportPath=/a/\n");
    ::chmod(QFile::encodeName(path).constData(), 0604);
    IniFile(path).writeString(QStringLiteral("Defaults"), QStringLiteral("ExportPath"), QStringLiteral("/b/"));
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0604u);

    {
        SCOPED_TRACE("a file that cannot be read is not replaced");
        const QString folderNamed = dir.filePath(QStringLiteral("IS_A_FOLDER.INI"));
        QDir(dir.path()).mkdir(QStringLiteral("IS_A_FOLDER.INI"));
        EXPECT_THROW(IniFile(folderNamed).writeString(QStringLiteral("Defaults"), QStringLiteral("k"), QStringLiteral("v")),
                     orvo::HostError);
        EXPECT_TRUE(QFileInfo(folderNamed).isDir());
        if (::geteuid() != 0) {
            ::chmod(QFile::encodeName(path).constData(), 0200);
            EXPECT_THROW(IniFile(path).writeString(QStringLiteral("Defaults"), QStringLiteral("k"), QStringLiteral("v")),
                         orvo::HostError);
            ::chmod(QFile::encodeName(path).constData(), 0604);
            EXPECT_EQ(readBytes(path), QByteArray("[Defaults]\nExportPath=/b/\n"));
        }
    }

    IniFile missingFolder(dir.filePath(QStringLiteral("gone/HOST.INI")));
    QString description;
    EXPECT_EQ(hostErrorNumber([&] { missingFolder.writeString(QStringLiteral("Defaults"), QStringLiteral("ExportPath"),
                                                                QStringLiteral("/c/")); },
                              &description),
              orvo::errnum::PathNotFound);
    EXPECT_TRUE(description.contains(QStringLiteral("gone/HOST.INI"))) << description.toStdString();
}
