#include "destination/FilePaths.h"
#include "destination/HostFileGuard.h"
#include "destination/IniFile.h"
#include "destination/SettingsFile.h"
#include "destination/WholeFileReplacer.h"

#include <QDir>
#include <QTemporaryDir>

#include "FileBytes.h"
#include "HostErrors.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace expwiz;
using namespace orvo::errnum;

namespace {

const QByteArray kHostFile = "; settings of the host\r\n[Program]\r\nWindow=120,80\r\n\r\n[defaults]\r\nPrinter = Office  \r\n"
                             "exportpath = /old/place/\r\n;ExportPath=/commented/\r\n\r\n[Defaults]\r\n"
                             "ExportPath=/second/section/\r\n[Recent]\r\nFile1=\"  spaced  \"\r\n";

void place(const QString& path, const QByteArray& bytes) { bytes.isNull() ? void(QFile::remove(path)) : writeBytes(path, bytes); }

} // namespace

// Reads like the private profile functions, a write changes only its key, unsafe ones are refused;
// the settings of each edition live in such a file.
TEST(IniSettings, ReadWriteRefuseAndTheEditionsExportPathAndWindowSize)
{
    QTemporaryDir dir;
    IniFile ini(dir.filePath(u"HOST.INI"_s));
    struct Read { QByteArray file; const char *section, *key, *value; };   // a null file: none on disk
    // Names in any letter case, the first section wins, blanks around the value and one pair of quotes go;
    // a comment is no key, lines before any section belong to none; a header without its "]" still names its section.
    const Read reads[] = {
        {QByteArray(), "Defaults", "ExportPath", "default"}, {kHostFile, "DEFAULTS", "ExportPath", "/old/place/"},
        {kHostFile, "Defaults", "PRINTER", "Office"}, {kHostFile, "recent", "file1", "  spaced  "},
        {kHostFile, "Defaults", "Window", "default"}, {kHostFile, "Nothing", "ExportPath", "default"},
        {"ExportPath=/none/\n[Defaults]\n;ExportPath=/commented/\n", "Defaults", "ExportPath", "default"},
        {"ExportPath=/none/\n", "", "ExportPath", "default"}, {"[Defaults]\nExportPath=\"\n", "Defaults", "ExportPath", "\""},
        {"\xEF\xBB\xBF[Defaults]\nExportPath=/bom/\n", "Defaults", "ExportPath", "/bom/"},
        {"\n[Defaults]\nExportPath=/after/a/blank/\n", "Defaults", "ExportPath", "/after/a/blank/"},
        {"[Defaults\nExportPath=/unclosed/\n", "Defaults", "ExportPath", "/unclosed/"}};
    for (const Read& c : reads) {
        place(ini.path(), c.file);
        EXPECT_EQ(ini.readString(QLatin1String(c.section), QLatin1String(c.key), u"default"_s), QLatin1String(c.value))
            << c.file.toStdString();
    }
    // null before: no file; an after of only one line: the file holds the section with this line alone
    struct Case {
        QByteArray before; QString value; QByteArray after; int replaced = 0; QString section = u"Defaults"_s, key = u"ExportPath"_s;
    };
    const QByteArray none;
    const Case cases[] = {
        // A key keeps its spelling and blanks, a new one goes after its section's last line; the file's line ends
        // stay; a new section goes at the end after one blank line; bytes the codec cannot read survive.
        {kHostFile, u"/new/"_s, QByteArray(kHostFile).replace("exportpath = /old/place/", "exportpath = /new/")},
        {kHostFile, u"/p/"_s, QByteArray(kHostFile).replace("120,80\r\n", "120,80\r\nExportPath=/p/\r\n"), 0, u"program"_s},
        {"[Program]\nWindow=1", u"/x/"_s, "[Program]\nWindow=1\n\n[Defaults]\nExportPath=/x/\n"},
        {"[Program]\r\n\r\n", u"/x/"_s, "[Program]\r\n\r\n[Defaults]\r\nExportPath=/x/\r\n"},
        {"[Defaults]\r\nPrinter=Lab", u"/y/"_s, "[Defaults]\r\nPrinter=Lab\r\nExportPath=/y/\r\n"},
        {"[Other]\nName=\xFF\xFE caf\xE9\n", u"/z/"_s, "[Other]\nName=\xFF\xFE caf\xE9\n\n[Defaults]\nExportPath=/z/\n"},
        {"[Defaults]\n", u"/b/"_s, "ExportPath=/b/", 0, u" Defaults "_s, u" ExportPath "_s}, {none, u"/Ü/"_s, "ExportPath=/\xC3\x9C/"},
        // Values that would not read back as they are get quotes.
        {none, u" /lead/"_s, "ExportPath=\" /lead/\""}, {none, u"/trail/ "_s, "ExportPath=\"/trail/ \""},
        {none, u"\"/q/\""_s, "ExportPath=\"\"/q/\"\""}, {none, u"'x'"_s, "ExportPath=\"'x'\""},
        {none, u"a=b;c"_s, "ExportPath=a=b;c"}, {none, u"\"\""_s, "ExportPath=\"\"\"\""},
        {"[Defaults]\nExportPath=/a/\n", QString(), "ExportPath="},
        // Characters the codec cannot represent are replaced and counted, a trailing high surrogate too.
        {none, u"a"_s + QChar(0xD800) + u"b\U0001F600"_s, "ExportPath=a?b\xF0\x9F\x98\x80", 1},
        {none, u"c"_s + QChar(0xD83D), "ExportPath=c?", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.after.toStdString());
        place(ini.path(), c.before);
        EXPECT_EQ(ini.writeString(c.section, c.key, c.value), c.replaced);
        EXPECT_EQ(readBytes(ini.path()), c.after.contains('\n') ? c.after : "[Defaults]\n" + c.after + '\n');
        EXPECT_TRUE(c.replaced || ini.readString(c.section, c.key, u"default"_s) == c.value);
    }

    // Names and values that would change other lines are refused, the file untouched.
    writeBytes(ini.path(), "[Defaults]\nExportPath=/a/\n");
    for (const QString& refused : {u"Defaults|ExportPath|/a/\n[Evil]\nx=1"_s, u"Defaults|ExportPath|/a/\r"_s,
                                   u"Defaults|ExportPath|a"_s + QChar(0), u"Def\naults|k|v"_s, u"Defaults|k\r|v"_s,
                                   u"Defaults|a=b|v"_s, u"Def]aults|k|v"_s, u"Defaults| |v"_s, u"Defaults| [k|v"_s, u"Defaults| ;k|v"_s}) {
        const QStringList c = refused.split(u'|');
        EXPECT_EQ(hostErrorNumber([&] { ini.writeString(c[0], c[1], c[2]); }), InvalidProcedureCall) << refused.toStdString();
    }
    EXPECT_EQ(readBytes(ini.path()), "[Defaults]\nExportPath=/a/\n");

    // A file that cannot be read is not replaced.
    ASSERT_TRUE(QFile::remove(ini.path()) && QDir().mkdir(ini.path()));
    EXPECT_EQ(hostErrorNumber([&] { ini.writeString(u"D"_s, u"k"_s, u"v"_s); }), PermissionDenied);
    EXPECT_TRUE(QFileInfo(ini.path()).isDir());

    // The file of each edition in the given folder; what it holds, and what is refused or cut.
    struct Name { const char* name; std::vector<int32_t> codes; };
    for (const Name& c : {Name{"DESKORVO.INI", {1, 5, 62, 63}}, Name{"KEDPRO.INI", {27, 29, 61}}, Name{"ORVOLITE.INI", {34, 35}},
                          Name{"ORVOpub.ini", {36, 37}}, Name{"ORVOpubNW.ini", {38, 39}}, Name{"ORVOpubMS.ini", {44, 45}},
                          Name{"TAMLITE.INI", {48, 49}}, Name{"ORVONord.ini", {52, 53}}, Name{"ORVONordNW.ini", {54}},
                          Name{"ORVONordMS.ini", {55}}, Name{"KIROORVO.INI", {60}}, Name{"ORVOPRO.INI", {-1, 0, 2, 6, 28, 30, 56, 64}}})
        for (const int32_t code : c.codes)
            EXPECT_EQ(SettingsFile(code, dir.path()).filePath(), dir.filePath(QLatin1String(c.name))) << code;
    const QString config = dir.filePath(u"config"_s);
    const SettingsFile settings(2, config);
    // no file yet: the program path; writing creates the missing folder and the file
    EXPECT_EQ(settings.readExportPath(u"/opt/orvo"_s), u"/opt/orvo"_s);
    QString error;
    EXPECT_TRUE(settings.writeExportPath(u"/data/out/"_s, &error)) << error.toStdString();
    EXPECT_EQ(readBytes(config + u"/ORVOPRO.INI"_s), "[Defaults]\nExportPath=/data/out/\n");
    EXPECT_EQ(settings.readExportPath(u"/opt/orvo"_s), u"/data/out/"_s);
    // A program path within the limit is kept whole, even one ending in half a pair.
    const QString b1022(1022, u'b'), halfPair = b1022 + QChar(0xD83D);
    EXPECT_EQ(SettingsFile(61, config).readExportPath(halfPair), halfPair);
    EXPECT_TRUE(settings.writeWindowSize(QSize(640, 480)));
    EXPECT_EQ(readBytes(settings.filePath()), "[Defaults]\nExportPath=/data/out/\n\n[Export Wizard]\nWindowSize=640x480\n");
    // a hand-edited size is used only when it is sound
    const std::pair<const char*, QSize> sizes[] = {
        {"640x480", {640, 480}}, {" 800 x 600 ", {800, 600}}, {"20000x1", {20000, 1}}, {"1x20000", {1, 20000}}, {"0x480", {}},
        {"640x0", {}}, {"20001x480", {}}, {"640x20001", {}}, {"640", {}}, {"ax480", {}}, {"640xb", {}}, {"1x2x3", {}}};
    for (const auto& [text, size] : sizes) {
        writeBytes(settings.filePath(), QByteArray("[Export Wizard]\nWindowSize=") + text + "\n");
        EXPECT_EQ(settings.readWindowSize(), size) << text;
    }
    // At most 1023 characters, a character of two UTF-16 units at the cut not halved, nothing from a NUL on.
    struct Held { QByteArray value; QString read; };   // the value as the file holds it, and as read
    for (const Held& c : {Held{b1022.toUtf8() + "\xF0\x9F\x98\x80tail", b1022}, Held{QByteArray("/a/\0/b/", 7), u"/a/"_s},
                          Held{QByteArray("\0/b/", 4), QString()}}) {
        writeBytes(settings.filePath(), "[Defaults]\nExportPath=" + c.value + "\n");
        EXPECT_EQ(settings.readExportPath(u"/prog"_s), c.read) << c.value.size();
    }
    ASSERT_TRUE(settings.writeExportPath(u'/' + QString(1499, u'a')));
    EXPECT_EQ(settings.readExportPath(QString()), u'/' + QString(1022, u'a'));

    // A settings folder that cannot exist: reported, not thrown.
    const SettingsFile blocked(2, settings.filePath() + u"/sub"_s);
    EXPECT_FALSE(blocked.writeExportPath(u"/x/"_s, &error) || blocked.writeWindowSize(QSize(1, 1)));
    EXPECT_TRUE(error.contains(u"ORVOPRO.INI"_s)) << error.toStdString();
    EXPECT_EQ(blocked.readExportPath(u"/prog"_s), u"/prog"_s);
}

TEST(Paths, NamesAsTypedFilesFoldersAndHostFilesOnDisk)
{
    const char* const names[][3] = {   // path, its title and its folder
        {"/maps/Assets.exp", "Assets", "/maps/"}, {"/maps/a.b.exp", "a.b", "/maps/"}, {"Assets.exp", "", ""},
        {"/maps/Assets", "", "/maps/"}, {"/maps/", "", "/maps/"}, {"/x.y/file", "", "/x.y/"}, {"/out/.csv", "", "/out/"},
        {"/top.csv", "top", "/"}, {"", "", ""}};
    for (const auto& [path, title, folder] : names)
        EXPECT_EQ(QStringList({FilePaths::getFileTitle(path), FilePaths::getFolderPart(path)}),
                  QStringList({title, folder})) << path;
    for (const auto& [folder, name, csv, exp] :
         {std::tuple{"/out", "Q1", "/out/Q1.csv", "/out/Q1.exp"}, std::tuple{"/out/", "Q1.csv", "/out/Q1.csv.csv", "/out/Q1.csv.exp"},
          std::tuple{"/a", " Q1 ", "/a/ Q1 .csv", "/a/ Q1 .exp"}})
        EXPECT_EQ(QStringList({FilePaths::composeExportPath(folder, name),
                               FilePaths::composeFieldMapPath(folder, name)}),
                  QStringList({csv, exp})) << name;
    EXPECT_EQ(FilePaths::composeFieldMapPath(QString(), u"a"_s), u"a.exp"_s);
    for (const QString& name : {u"Q1 export"_s, QString(), u"Müller"_s, u"a.b"_s, u" lead"_s})
        EXPECT_TRUE(FilePaths::isValidFileName(name)) << name.toStdString();
    for (const QChar c : u"\\/:*?\"<>|"_s + QChar(0))
        EXPECT_FALSE(FilePaths::isValidFileName(u"a"_s + c + u"b"_s) || FilePaths::isValidFileName(c)) << int(c.unicode());

    // Files and folders on disk, and the files an export must never replace.
    QTemporaryDir dir;
    const auto at = [&dir](const char* name) { return dir.filePath(QLatin1String(name)); };
    const QString file = at("there.csv");
    writeBytes(file, "12345678");
    const std::tuple<QString, bool, bool> paths[] = {   // path, whether it is a file, whether its folder is there
        {file, true, true}, {at("absent.csv"), false, true}, {at("no/absent.csv"), false, false},
        {file + u"/under.csv"_s, false, false}, {dir.path(), false, true}, {QString(), false, true}};
    for (const auto& [path, isFile, folder] : paths) {
        EXPECT_EQ(FilePaths::fileExists(path), isFile) << path.toStdString();
        EXPECT_EQ(FilePaths::folderExists(path), folder) << path.toStdString();
    }
    // An existing file is cut to length 0, a new one created; a missing folder names the file.
    FilePaths::createEmptyFile(file);
    FilePaths::createEmptyFile(at("fresh.exp"));
    EXPECT_EQ(readBytes(file) + readBytes(at("fresh.exp")), "");
    QString description;
    EXPECT_EQ(hostErrorNumber([&] { FilePaths::createEmptyFile(at("none/map.exp")); }, &description), PathNotFound);
    EXPECT_TRUE(description.contains(at("none/map.exp"))) << description.toStdString();
    // One folder level; its parent must exist.
    for (const auto& [folder, made] : {std::pair{at("out//"), true}, std::pair{at("out"), true}, std::pair{at("a/b/"), false},
                                       std::pair{file, false}, std::pair{QString(), false}, std::pair{u"/"_s, true}})
        EXPECT_EQ(FilePaths::createFolder(folder), made) << folder.toStdString();
    EXPECT_TRUE(QFileInfo(at("out")).isDir());
    EXPECT_FALSE(QFileInfo::exists(at("a")));

    writeBytes(at("host.db"), "db");
    writeBytes(at("other.db"), "db");
    ASSERT_TRUE(QFile::link(at("host.db"), at("link.csv")));
    ASSERT_EQ(::link(QFile::encodeName(at("host.db")).constData(), QFile::encodeName(at("hard.csv")).constData()), 0);
    ASSERT_TRUE(QFile::link(at("gone.db"), at("dangling.csv")));
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"sub"_s));
    struct Case { QString target; QStringList protectedFiles; QString clash; };
    const Case cases[] = {
        {at("host.db"), {QString(), at("other.db"), at("host.db")}, at("host.db")}, {at("link.csv"), {at("host.db")}, at("host.db")},
        {at("hard.csv"), {at("host.db")}, at("host.db")}, {at("sub/../new.db"), {at("new.db")}, at("new.db")},
        {at("dangling.csv"), {at("gone.db")}, at("gone.db")}, {at("other.db"), {at("host.db")}, QString()},
        {at("new.csv"), {at("host.db"), at("gone.db")}, QString()}};
    for (const Case& c : cases)
        EXPECT_EQ(HostFileGuard::clash(c.target, c.protectedFiles), c.clash) << c.target.toStdString();
    // A whole-file write of any length lands byte for byte, through a link.
    for (const QByteArray& content : {QByteArray("x"), QByteArray(), QByteArray(70000, 'y')}) {
        WholeFileReplacer::write(at("link.csv"), content, u"test file"_s);
        EXPECT_EQ(readBytes(at("host.db")), content);
    }
    EXPECT_EQ(HostFileGuard::message(at("host.db"), at("host.db")),
              "The export file " + at("host.db") + " is a file the export reads or the host keeps"
              " its data in; choose another file name.");
}
