#include "destination/DestinationMessages.h"
#include "destination/FilePaths.h"
#include "destination/HostFileGuard.h"
#include "destination/WholeFileReplacer.h"
#include "host/HostError.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "FileBytes.h"
#include "HostErrors.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <unistd.h>

using expwiz::FilePaths;

TEST(Paths, TitleAndFolderOfAPath)
{
    struct Case {
        const char* path;
        const char* title;
        const char* folder;
    };
    for (const Case& c : {Case{"/maps/Assets.exp", "Assets", "/maps/"}, Case{"/maps/a.b.exp", "a.b", "/maps/"},
                          Case{"Assets.exp", "", ""}, Case{"/maps/Assets", "", "/maps/"}, Case{"/maps/", "", "/maps/"},
                          Case{"/x.y/file", "", "/x.y/"}, Case{"/out/.csv", "", "/out/"}, Case{"/top.csv", "top", "/"},
                          Case{"", "", ""}}) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(FilePaths::getFileTitle(QLatin1String(c.path)), QLatin1String(c.title));
        EXPECT_EQ(FilePaths::getFolderPart(QLatin1String(c.path)), QLatin1String(c.folder));
    }
}

TEST(Paths, FileAndFolderExistence)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("there.csv"));
    writeBytes(file, "x");
    struct Case {
        QString path;
        bool file, folder;
    };
    for (const Case& c : {Case{file, true, true},
                          Case{dir.filePath(QStringLiteral("absent.csv")), false, true},
                          Case{dir.filePath(QStringLiteral("no/absent.csv")), false, false},
                          Case{file + QStringLiteral("/under.csv"), false, false},
                          Case{dir.path(), false, true}}) {
        SCOPED_TRACE(c.path.toStdString());
        EXPECT_EQ(FilePaths::fileExists(c.path), c.file);
        EXPECT_EQ(FilePaths::folderExists(c.path), c.folder);
    }
}

TEST(Paths, CreatingFilesAndFolders)
{
    QTemporaryDir dir;
    {
        SCOPED_TRACE("an existing file is cut to length 0, a new one created");
        const QString file = dir.filePath(QStringLiteral("map.exp"));
        writeBytes(file, "12345678");
        FilePaths::createEmptyFile(file);
        EXPECT_EQ(QFileInfo(file).size(), 0);
        const QString fresh = dir.filePath(QStringLiteral("fresh.exp"));
        FilePaths::createEmptyFile(fresh);
        EXPECT_TRUE(QFileInfo::exists(fresh));
    }
    {
        SCOPED_TRACE("a missing folder is path not found, naming the file");
        const QString path = dir.filePath(QStringLiteral("none/map.exp"));
        QString description;
        EXPECT_EQ(hostErrorNumber([&] { FilePaths::createEmptyFile(path); }, &description), orvo::errnum::PathNotFound);
        EXPECT_TRUE(description.contains(path)) << description.toStdString();
    }
    {
        SCOPED_TRACE("one folder level, its parent must exist");
        EXPECT_TRUE(FilePaths::createFolder(dir.filePath(QStringLiteral("out/"))));
        EXPECT_TRUE(QFileInfo(dir.filePath(QStringLiteral("out"))).isDir());
        EXPECT_TRUE(FilePaths::createFolder(dir.filePath(QStringLiteral("out"))));
        EXPECT_FALSE(FilePaths::createFolder(dir.filePath(QStringLiteral("a/b/"))));
        EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("a"))));
    }
}

TEST(Paths, FileNameRules)
{
    for (const QString& ok : {QStringLiteral("Q1 export"), QString(), QStringLiteral("Müller"), QStringLiteral("a.b"),
                              QStringLiteral(" lead")}) {
        SCOPED_TRACE(ok.toStdString());
        EXPECT_TRUE(FilePaths::isValidFileName(ok));
    }
    for (const QString& bad : {QStringLiteral("a\\b"), QStringLiteral("a/b"), QStringLiteral("c:"), QStringLiteral("*"),
                               QStringLiteral("why?"), QStringLiteral("\"q\""), QStringLiteral("<a"), QStringLiteral("a>"),
                               QStringLiteral("a|b"), QStringLiteral("a") + QChar(0) + QStringLiteral("b")}) {
        SCOPED_TRACE(bad.toStdString());
        EXPECT_FALSE(FilePaths::isValidFileName(bad));
    }
}

TEST(Paths, DestinationAndMapPathsAreComposedAsTyped)
{
    EXPECT_EQ(FilePaths::composeExportPath(QStringLiteral("/out"), QStringLiteral("Q1")), QStringLiteral("/out/Q1.csv"));
    EXPECT_EQ(FilePaths::composeExportPath(QStringLiteral("/out/"), QStringLiteral("Q1")), QStringLiteral("/out/Q1.csv"));
    EXPECT_EQ(FilePaths::composeExportPath(QStringLiteral("/a"), QStringLiteral("Q1.csv")), QStringLiteral("/a/Q1.csv.csv"));
    EXPECT_EQ(FilePaths::composeExportPath(QStringLiteral("/a"), QStringLiteral(" Q1 ")), QStringLiteral("/a/ Q1 .csv"));
    EXPECT_EQ(FilePaths::composeFieldMapPath(QStringLiteral("/maps/"), QStringLiteral(" a")), QStringLiteral("/maps/ a.exp"));
    EXPECT_EQ(FilePaths::composeFieldMapPath(QStringLiteral("/maps"), QStringLiteral("a")), QStringLiteral("/maps/a.exp"));

    EXPECT_EQ(expwiz::DestinationMessages::replaceFileQuestion(QStringLiteral("/out/Q1.csv")),
              QStringLiteral("The file already exists. Do you want to replace \r\n</out/Q1.csv>?"));
    EXPECT_EQ(expwiz::DestinationMessages::createFolderQuestion(QStringLiteral("/out/")),
              QStringLiteral("The path does not exists. Do you want to create the path \r\n</out/>?"));
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
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("sub")));
    struct Case {
        const char* name;
        QString target;
        QStringList protectedFiles;
        QString clash;
    };
    const Case cases[] = {
        {"the file itself", at("host.db"), {QString(), at("other.db"), at("host.db")}, at("host.db")},
        {"a link to it", at("link.csv"), {at("host.db")}, at("host.db")},
        {"a second name of the same inode", at("hard.csv"), {at("host.db")}, at("host.db")},
        {"a new file spelled another way", at("sub/../new.db"), {at("new.db")}, at("new.db")},
        {"a dangling link to a missing host file", at("dangling.csv"), {at("gone.db")}, at("gone.db")},
        {"another file with the same content", at("other.db"), {at("host.db")}, QString()},
        {"a new file beside them", at("new.csv"), {at("host.db"), at("gone.db")}, QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(expwiz::HostFileGuard::clash(c.target, c.protectedFiles), c.clash);
    }
    SCOPED_TRACE("a whole-file write of any length lands byte for byte, through a link");
    for (const QByteArray& content : {QByteArray("x"), QByteArray(), QByteArray(70000, 'y')}) {
        expwiz::WholeFileReplacer::write(at("link.csv"), content, QStringLiteral("test file"));
        EXPECT_EQ(readBytes(at("host.db")), content);
    }
    const QString message = expwiz::HostFileGuard::message(at("link.csv"), at("host.db"));
    EXPECT_TRUE(message.contains(at("link.csv")) && message.contains(at("host.db"))) << message.toStdString();
}
