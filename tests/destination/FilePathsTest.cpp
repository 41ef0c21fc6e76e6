#include "destination/DestinationMessages.h"
#include "destination/FilePaths.h"
#include "destination/HostFileGuard.h"
#include "destination/WholeFileReplacer.h"

#include <QDir>
#include <QTemporaryDir>

#include "FileBytes.h"
#include "HostErrors.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <unistd.h>

using namespace Qt::StringLiterals;
using expwiz::FilePaths;

TEST(Paths, NamesArePickedApartAndComposedAsTyped)
{
    for (const auto& [path, title, folder] :
         {std::tuple{"/maps/Assets.exp", "Assets", "/maps/"}, std::tuple{"/maps/a.b.exp", "a.b", "/maps/"},
          std::tuple{"Assets.exp", "", ""}, std::tuple{"/maps/Assets", "", "/maps/"}, std::tuple{"/maps/", "", "/maps/"},
          std::tuple{"/x.y/file", "", "/x.y/"}, std::tuple{"/out/.csv", "", "/out/"}, std::tuple{"/top.csv", "top", "/"},
          std::tuple{"", "", ""}}) {
        EXPECT_EQ(FilePaths::getFileTitle(QLatin1String(path)), QLatin1String(title)) << path;
        EXPECT_EQ(FilePaths::getFolderPart(QLatin1String(path)), QLatin1String(folder)) << path;
    }
    for (const auto& [folder, name, csv, exp] :
         {std::tuple{"/out", "Q1", "/out/Q1.csv", "/out/Q1.exp"}, std::tuple{"/out/", "Q1.csv", "/out/Q1.csv.csv", "/out/Q1.csv.exp"},
          std::tuple{"/a", " Q1 ", "/a/ Q1 .csv", "/a/ Q1 .exp"}}) {
        EXPECT_EQ(FilePaths::composeExportPath(QLatin1String(folder), QLatin1String(name)), QLatin1String(csv));
        EXPECT_EQ(FilePaths::composeFieldMapPath(QLatin1String(folder), QLatin1String(name)), QLatin1String(exp));
    }
    EXPECT_EQ(FilePaths::composeFieldMapPath(QString(), u"a"_s), u"a.exp"_s);
    for (const QString& name : {u"Q1 export"_s, QString(), u"Müller"_s, u"a.b"_s, u" lead"_s})
        EXPECT_TRUE(FilePaths::isValidFileName(name)) << name.toStdString();
    for (const QChar c : u"\\/:*?\"<>|"_s + QChar(0))
        EXPECT_FALSE(FilePaths::isValidFileName(u"a"_s + c + u"b"_s) || FilePaths::isValidFileName(c)) << int(c.unicode());
    EXPECT_EQ(expwiz::DestinationMessages::replaceFileQuestion(u"/out/Q1.csv"_s),
              u"The file already exists. Do you want to replace \r\n</out/Q1.csv>?"_s);
    EXPECT_EQ(expwiz::DestinationMessages::createFolderQuestion(u"/out/"_s),
              u"The path does not exists. Do you want to create the path \r\n</out/>?"_s);
}

TEST(Paths, FilesAndFoldersOnDisk)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(u"there.csv"_s);
    writeBytes(file, "12345678");
    for (const auto& [path, isFile, folder] :
         {std::tuple{file, true, true}, std::tuple{dir.filePath(u"absent.csv"_s), false, true},
          std::tuple{dir.filePath(u"no/absent.csv"_s), false, false}, std::tuple{file + u"/under.csv"_s, false, false},
          std::tuple{dir.path(), false, true}}) {
        EXPECT_EQ(FilePaths::fileExists(path), isFile) << path.toStdString();
        EXPECT_EQ(FilePaths::folderExists(path), folder) << path.toStdString();
    }
    // An existing file is cut to length 0, a new one created; a missing folder names the file.
    FilePaths::createEmptyFile(file);
    FilePaths::createEmptyFile(dir.filePath(u"fresh.exp"_s));
    EXPECT_EQ(readBytes(file), "");
    EXPECT_EQ(readBytes(dir.filePath(u"fresh.exp"_s)), "");
    const QString nowhere = dir.filePath(u"none/map.exp"_s);
    QString description;
    EXPECT_EQ(hostErrorNumber([&] { FilePaths::createEmptyFile(nowhere); }, &description), orvo::errnum::PathNotFound);
    EXPECT_TRUE(description.contains(nowhere)) << description.toStdString();
    // One folder level; its parent must exist.
    for (const auto& [folder, made] : {std::pair{dir.filePath(u"out//"_s), true}, std::pair{dir.filePath(u"out"_s), true},
                                       std::pair{dir.filePath(u"a/b/"_s), false}, std::pair{file, false}, std::pair{QString(), false},
                                       std::pair{u"/"_s, true}})
        EXPECT_EQ(FilePaths::createFolder(folder), made) << folder.toStdString();
    EXPECT_TRUE(QFileInfo(dir.filePath(u"out"_s)).isDir());
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(u"a"_s)));
}

TEST(Paths, AnExportTargetThatIsAHostFileIsFound)
{
    QTemporaryDir dir;
    const auto at = [&dir](const char* name) { return dir.filePath(QLatin1String(name)); };
    writeBytes(at("host.db"), "db");
    writeBytes(at("other.db"), "db");
    ASSERT_TRUE(QFile::link(at("host.db"), at("link.csv")));
    ASSERT_EQ(::link(QFile::encodeName(at("host.db")).constData(), QFile::encodeName(at("hard.csv")).constData()), 0);
    ASSERT_TRUE(QFile::link(at("gone.db"), at("dangling.csv")));
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"sub"_s));
    struct Case { const char* name; QString target; QStringList protectedFiles; QString clash; };
    const Case cases[] = {
        {"the file itself", at("host.db"), {QString(), at("other.db"), at("host.db")}, at("host.db")},
        {"a link to it", at("link.csv"), {at("host.db")}, at("host.db")},
        {"a second name of the same inode", at("hard.csv"), {at("host.db")}, at("host.db")},
        {"a new file spelled another way", at("sub/../new.db"), {at("new.db")}, at("new.db")},
        {"a dangling link to a missing host file", at("dangling.csv"), {at("gone.db")}, at("gone.db")},
        {"another file with the same content", at("other.db"), {at("host.db")}, QString()},
        {"a new file beside them", at("new.csv"), {at("host.db"), at("gone.db")}, QString()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(expwiz::HostFileGuard::clash(c.target, c.protectedFiles), c.clash) << c.name;
    // A whole-file write of any length lands byte for byte, through a link.
    for (const QByteArray& content : {QByteArray("x"), QByteArray(), QByteArray(70000, 'y')}) {
        expwiz::WholeFileReplacer::write(at("link.csv"), content, u"test file"_s);
        EXPECT_EQ(readBytes(at("host.db")), content);
    }
    EXPECT_EQ(expwiz::HostFileGuard::message(at("link.csv"), at("host.db")),
              u"The export file "_s + at("link.csv") + u" is the same file as "_s + at("host.db")
                  + u", which the export reads or the host keeps its data in; choose another file name."_s);
    EXPECT_EQ(expwiz::HostFileGuard::message(at("host.db"), at("host.db")),
              u"The export file "_s + at("host.db")
                  + u" is a file the export reads or the host keeps its data in; choose another file name."_s);
}
