#include "destination/IniFile.h"

#include <QDir>
#include <QTemporaryDir>

#include "FileBytes.h"
#include "HostErrors.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using expwiz::IniFile;

namespace {

const QByteArray kHostFile = "; settings of the host\r\n[Program]\r\nWindow=120,80\r\n\r\n[defaults]\r\nPrinter = Office  \r\n"
                             "exportpath = /old/place/\r\n;ExportPath=/commented/\r\n\r\n[Defaults]\r\n"
                             "ExportPath=/second/section/\r\n[Recent]\r\nFile1=\"  spaced  \"\r\n";

// Puts the bytes where the file is; a null array removes the file.
void place(const QString& path, const QByteArray& bytes) { bytes.isNull() ? void(QFile::remove(path)) : writeBytes(path, bytes); }

} // namespace

TEST(Ini, ReadsLikeThePrivateProfileFunctions)
{
    QTemporaryDir dir;
    const IniFile ini(dir.filePath(u"HOST.INI"_s));
    struct Case { QByteArray file; const char *section, *key, *value; };   // a null file: none on disk
    // Names in any letter case, the first section wins, blanks around the value and one pair of quotes go;
    // a comment is no key, lines before any section belong to none.
    for (const Case& c : {Case{QByteArray(), "Defaults", "ExportPath", "default"}, Case{kHostFile, "DEFAULTS", "ExportPath", "/old/place/"},
                          Case{kHostFile, "Defaults", "PRINTER", "Office"}, Case{kHostFile, "recent", "file1", "  spaced  "},
                          Case{kHostFile, "Defaults", "Window", "default"}, Case{kHostFile, "Nothing", "ExportPath", "default"},
                          Case{"ExportPath=/none/\n[Defaults]\n;ExportPath=/commented/\n", "Defaults", "ExportPath", "default"},
                          Case{"ExportPath=/none/\n", "", "ExportPath", "default"}, Case{"[Defaults]\nExportPath=\"\n", "Defaults", "ExportPath", "\""},
                          Case{"\xEF\xBB\xBF[Defaults]\nExportPath=/bom/\n", "Defaults", "ExportPath", "/bom/"}}) {
        SCOPED_TRACE(c.file.toStdString());
        place(ini.path(), c.file);
        EXPECT_EQ(ini.readString(QLatin1String(c.section), QLatin1String(c.key), u"default"_s), QLatin1String(c.value));
    }
}

TEST(Ini, WriteChangesOnlyItsKeyAndKeepsEveryOtherByte)
{
    QTemporaryDir dir;
    IniFile ini(dir.filePath(u"HOST.INI"_s));
    struct Case { QByteArray before; QString section, key, value; QByteArray after; int replaced = 0; };   // null before: no file
    const QString def = u"Defaults"_s, path = u"ExportPath"_s;
    const QByteArray none;
    const Case cases[] = {
        // A key keeps its spelling and blanks, a new one goes after its section's last line; the file's line ends
        // stay; a new section goes at the end after one blank line; bytes the codec cannot read survive.
        {kHostFile, def, path, u"/new/"_s, QByteArray(kHostFile).replace("exportpath = /old/place/", "exportpath = /new/")},
        {kHostFile, u"program"_s, path, u"/p/"_s, QByteArray(kHostFile).replace("120,80\r\n", "120,80\r\nExportPath=/p/\r\n")},
        {"[Program]\nWindow=1", def, path, u"/x/"_s, "[Program]\nWindow=1\n\n[Defaults]\nExportPath=/x/\n"},
        {"[Program]\r\n\r\n", def, path, u"/x/"_s, "[Program]\r\n\r\n[Defaults]\r\nExportPath=/x/\r\n"},
        {"[Defaults]\r\nPrinter=Lab", def, path, u"/y/"_s, "[Defaults]\r\nPrinter=Lab\r\nExportPath=/y/\r\n"},
        {"[Other]\nName=\xFF\xFE caf\xE9\n", def, path, u"/z/"_s, "[Other]\nName=\xFF\xFE caf\xE9\n\n[Defaults]\nExportPath=/z/\n"},
        {none, def, path, u"/Ü/"_s, "[Defaults]\nExportPath=/\xC3\x9C/\n"},
        {"[Defaults]\n", u" Defaults "_s, u" ExportPath "_s, u"/b/"_s, "[Defaults]\nExportPath=/b/\n"},
        // Values that would not read back as they are get quotes.
        {none, def, path, u" /lead/"_s, "[Defaults]\nExportPath=\" /lead/\"\n"},
        {none, def, path, u"/trail/ "_s, "[Defaults]\nExportPath=\"/trail/ \"\n"},
        {none, def, path, u"\"/q/\""_s, "[Defaults]\nExportPath=\"\"/q/\"\"\n"},
        {none, def, path, u"'x'"_s, "[Defaults]\nExportPath=\"'x'\"\n"},
        {none, def, path, u"\"\""_s, "[Defaults]\nExportPath=\"\"\"\"\n"},
        {none, def, path, u"a=b;c"_s, "[Defaults]\nExportPath=a=b;c\n"},
        {"[Defaults]\nExportPath=/a/\n", def, path, QString(), "[Defaults]\nExportPath=\n"},
        // Characters the codec cannot represent are replaced and counted, a trailing high surrogate too.
        {none, def, path, u"a"_s + QChar(0xD800) + u"b\U0001F600"_s, "[Defaults]\nExportPath=a?b\xF0\x9F\x98\x80\n", 1},
        {none, def, path, u"c"_s + QChar(0xD83D), "[Defaults]\nExportPath=c?\n", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.after.toStdString());
        place(ini.path(), c.before);
        EXPECT_EQ(ini.writeString(c.section, c.key, c.value), c.replaced);
        EXPECT_EQ(readBytes(ini.path()), c.after);
        const QString read = ini.readString(c.section, c.key, u"default"_s);
        EXPECT_TRUE(c.replaced || read == c.value) << read.toStdString();
    }
}

TEST(Ini, UnsafeNamesAndValuesAreRefusedAndFailuresTouchNothing)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"HOST.INI"_s);
    writeBytes(path, "[Defaults]\nExportPath=/a/\n");
    IniFile ini(path);
    struct Case { QString section, key, value; };
    for (const Case& c : {Case{u"Defaults"_s, u"ExportPath"_s, u"/a/\n[Evil]\nx=1"_s}, Case{u"Defaults"_s, u"ExportPath"_s, u"/a/\r"_s},
                          Case{u"Defaults"_s, u"ExportPath"_s, u"a"_s + QChar(0)}, Case{u"Def\naults"_s, u"k"_s, u"v"_s},
                          Case{u"Defaults"_s, u"k\r"_s, u"v"_s}, Case{u"Defaults"_s, u"a=b"_s, u"v"_s},
                          Case{u"Def]aults"_s, u"k"_s, u"v"_s}, Case{u"Defaults"_s, u" "_s, u"v"_s},
                          Case{u"Defaults"_s, u" [k"_s, u"v"_s}, Case{u"Defaults"_s, u" ;k"_s, u"v"_s}}) {
        SCOPED_TRACE((c.section + u'|' + c.key + u'|' + c.value).toStdString());
        EXPECT_EQ(hostErrorNumber([&] { ini.writeString(c.section, c.key, c.value); }), orvo::errnum::InvalidProcedureCall);
    }
    EXPECT_EQ(readBytes(path), "[Defaults]\nExportPath=/a/\n");

    // Writing keeps the permissions; a file that cannot be read is not replaced.
    ::chmod(QFile::encodeName(path).constData(), 0604);
    ini.writeString(u"Defaults"_s, u"ExportPath"_s, u"/b/"_s);
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0604u);
    QDir(dir.path()).mkdir(u"IS_A_FOLDER.INI"_s);
    EXPECT_EQ(hostErrorNumber([&] { IniFile(dir.filePath(u"IS_A_FOLDER.INI"_s)).writeString(u"D"_s, u"k"_s, u"v"_s); }),
              orvo::errnum::PermissionDenied);
    EXPECT_TRUE(QFileInfo(dir.filePath(u"IS_A_FOLDER.INI"_s)).isDir());
    if (::geteuid() != 0) {
        ::chmod(QFile::encodeName(path).constData(), 0200);
        EXPECT_EQ(hostErrorNumber([&] { ini.writeString(u"Defaults"_s, u"k"_s, u"v"_s); }), orvo::errnum::PermissionDenied);
        ::chmod(QFile::encodeName(path).constData(), 0604);
    }
    EXPECT_EQ(readBytes(path), "[Defaults]\nExportPath=/b/\n");
    QString description;
    EXPECT_EQ(hostErrorNumber([&] { IniFile(dir.filePath(u"gone/HOST.INI"_s)).writeString(u"D"_s, u"k"_s, u"v"_s); },
                              &description),
              orvo::errnum::PathNotFound);
    EXPECT_TRUE(description.contains(u"gone/HOST.INI"_s)) << description.toStdString();
}
