#include "fieldmap/ExpFile.h"
#include "fieldmap/FieldMapIdentity.h"
#include "fieldmap/FieldMapMessages.h"
#include "host/HostError.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "FileBytes.h"
#include "HostErrors.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using expwiz::ExpFile;
using expwiz::ExpReadResult;
using expwiz::ExpSkippedValue;

namespace {

// Caps the size of any file this process writes, so a save runs into the
// same error a full disk gives, whoever runs the test.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
};

} // namespace

namespace expwiz {
inline void PrintTo(const FieldMapIdentity& id, std::ostream* os)
{
    *os << "{" << id.name.toStdString() << ", " << id.folder.toStdString() << ", " << id.filename.toStdString() << "}";
}
} // namespace expwiz

TEST(ExpFile, WritesLittleEndianIdsAndReadsThemBack)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Assets.exp"));
    {
        SCOPED_TRACE("System No then id 1001");
        ExpFile::write(path, {1004, 1001});
        EXPECT_EQ(readBytes(path), QByteArray::fromHex("EC030000E9030000"));
    }
    {
        SCOPED_TRACE("n entries make 4 n bytes and read back in order");
        std::vector<int32_t> ids;
        for (int32_t id = 1113; id >= 1001; id -= 4)
            ids.push_back(id);
        ExpFile::write(path, ids);
        EXPECT_EQ(QFileInfo(path).size(), qint64(4 * ids.size()));
        const ExpReadResult r = ExpFile::read(path);
        EXPECT_EQ(r.ids, ids);
        EXPECT_TRUE(r.isClean());
    }
    {
        SCOPED_TRACE("a shorter map replaces a longer file completely");
        ExpFile::write(path, {1012});
        EXPECT_EQ(readBytes(path), QByteArray::fromHex("F4030000"));
        EXPECT_EQ(ExpFile::read(path).ids, (std::vector<int32_t>{1012}));
    }
    {
        SCOPED_TRACE("an empty map is an empty file; nothing else is left in the folder");
        ExpFile::write(path, {});
        EXPECT_EQ(QFileInfo(path).size(), 0);
        EXPECT_TRUE(ExpFile::read(path).ids.empty());
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("Assets.exp")});
    }
}

TEST(ExpFile, ValuesOutsideTheCatalogAreSkippedAndReported)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("damaged.exp"));
    {
        SCOPED_TRACE("1004, 0, 2000, 1001");
        writeBytes(path, ExpFile::encode({1004, 0, 2000, 1001}));
        const ExpReadResult r = ExpFile::read(path);
        EXPECT_EQ(r.ids, (std::vector<int32_t>{1004, 1001}));
        EXPECT_EQ(r.skippedValues, (std::vector<ExpSkippedValue>{{0, 4}, {2000, 8}}));
        EXPECT_EQ(r.trailingBytes, 0);
        const QString notice = expwiz::FieldMapMessages::damagedFileNotice(path, r);
        EXPECT_TRUE(notice.contains(path));
        EXPECT_TRUE(notice.contains(QStringLiteral("0 (byte 4), 2000 (byte 8)"))) << notice.toStdString();
    }
    {
        SCOPED_TRACE("bounds and negative values; an odd length leaves a fragment");
        writeBytes(path, ExpFile::encode({1000, 1001, 1113, 1114, -1004}) + QByteArray::fromHex("EC0300"));
        const ExpReadResult r = ExpFile::read(path);
        EXPECT_EQ(r.ids, (std::vector<int32_t>{1001, 1113}));
        EXPECT_EQ(r.skippedValues, (std::vector<ExpSkippedValue>{{1000, 0}, {1114, 12}, {-1004, 16}}));
        EXPECT_EQ(r.trailingBytes, 3);
        EXPECT_TRUE(expwiz::FieldMapMessages::damagedFileNotice(path, r).contains(QStringLiteral("last 3 byte(s)")));
    }
    {
        SCOPED_TRACE("only values outside the catalog load as an empty map");
        writeBytes(path, ExpFile::encode({7, 8}));
        EXPECT_TRUE(ExpFile::read(path).ids.empty());
    }
    {
        SCOPED_TRACE("an empty file is a clean empty map");
        writeBytes(path, QByteArray());
        const ExpReadResult r = ExpFile::read(path);
        EXPECT_TRUE(r.ids.empty());
        EXPECT_TRUE(r.isClean());
        EXPECT_TRUE(expwiz::FieldMapMessages::damagedFileNotice(path, r).isEmpty());
    }
}

TEST(ExpFile, ReadFailuresCarryTheRuntimeNumberAndTheFile)
{
    QTemporaryDir dir;
    QString description;
    {
        SCOPED_TRACE("missing file");
        const QString path = dir.filePath(QStringLiteral("missing.exp"));
        EXPECT_EQ(hostErrorNumber([&] { ExpFile::read(path); }, &description), orvo::errnum::FileNotFound);
        EXPECT_TRUE(description.contains(path)) << description.toStdString();
    }
    {
        SCOPED_TRACE("missing folder");
        const QString path = dir.filePath(QStringLiteral("nowhere/map.exp"));
        EXPECT_EQ(hostErrorNumber([&] { ExpFile::read(path); }, &description), orvo::errnum::PathNotFound);
        EXPECT_TRUE(description.contains(path));
    }
    {
        SCOPED_TRACE("a folder is no map file");
        EXPECT_EQ(hostErrorNumber([&] { ExpFile::read(dir.path()); }), orvo::errnum::PathFileAccess);
    }
    if (::geteuid() != 0) {
        SCOPED_TRACE("unreadable file");
        const QString path = dir.filePath(QStringLiteral("locked.exp"));
        ExpFile::write(path, {1004});
        ::chmod(QFile::encodeName(path).constData(), 0);
        EXPECT_EQ(hostErrorNumber([&] { ExpFile::read(path); }), orvo::errnum::PermissionDenied);
    }
}

TEST(ExpFile, AFailedSaveKeepsThePreviousFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("keep.exp"));
    ExpFile::write(path, {1004, 1012});
    const QByteArray before = readBytes(path);
    QString description;
    {
        SCOPED_TRACE("the disk fills up during the save");
        std::vector<int32_t> many(2000, 1075);
        int number = 0;
        {
            FileSizeLimit limit(1024);
            number = hostErrorNumber([&] { ExpFile::write(path, many); }, &description);
        }
        EXPECT_EQ(number, orvo::errnum::DiskFull);
        EXPECT_TRUE(description.contains(path)) << description.toStdString();
        EXPECT_EQ(readBytes(path), before);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("keep.exp")});
    }
    {
        SCOPED_TRACE("folder missing, or a file where a folder should be");
        EXPECT_EQ(hostErrorNumber([&] { ExpFile::write(dir.filePath(QStringLiteral("no/x.exp")), {1004}); }),
                  orvo::errnum::PathNotFound);
        EXPECT_EQ(hostErrorNumber([&] { ExpFile::write(path + QStringLiteral("/x.exp"), {1004}); }),
                  orvo::errnum::PathNotFound);
        EXPECT_EQ(readBytes(path), before);
    }
    {
        SCOPED_TRACE("the name is taken by a folder");
        QDir(dir.path()).mkdir(QStringLiteral("taken.exp"));
        EXPECT_NE(hostErrorNumber([&] { ExpFile::write(dir.filePath(QStringLiteral("taken.exp")), {1004}); }), 0);
        EXPECT_TRUE(QFileInfo(dir.filePath(QStringLiteral("taken.exp"))).isDir());
    }
    if (::geteuid() != 0) {
        SCOPED_TRACE("read-only folder");
        ::chmod(QFile::encodeName(dir.path()).constData(), 0555);
        EXPECT_EQ(hostErrorNumber([&] { ExpFile::write(path, {1001}); }), orvo::errnum::PermissionDenied);
        ::chmod(QFile::encodeName(dir.path()).constData(), 0755);
        EXPECT_EQ(readBytes(path), before);
    }
}

TEST(ExpFile, SaveKeepsPermissionsAndFollowsALink)
{
    QTemporaryDir dir;
    const QString real = dir.filePath(QStringLiteral("real.exp"));
    const QString link = dir.filePath(QStringLiteral("link.exp"));
    ExpFile::write(real, {1001});
    ::chmod(QFile::encodeName(real).constData(), 0640);
    ASSERT_TRUE(QFile::link(real, link));

    ExpFile::write(link, {1004, 1002});
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(readBytes(real), ExpFile::encode({1004, 1002}));
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(real).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST(ExpFile, SavingUnderANameMovesTheIdentityOnlyWhenWritten)
{
    QTemporaryDir dir;
    using expwiz::FieldMapIdentity;
    {
        SCOPED_TRACE("a new map lives in the program folder; an opened one in its own");
        EXPECT_EQ(FieldMapIdentity::forNewMap(QStringLiteral("/opt/orvo")),
                  (FieldMapIdentity{QString(), QStringLiteral("/opt/orvo/"), QString()}));
        EXPECT_EQ(FieldMapIdentity::forNewMap(QStringLiteral("/opt/orvo/")).folder, QStringLiteral("/opt/orvo/"));
        EXPECT_EQ(FieldMapIdentity::forFile(QStringLiteral("/maps/a.b.exp")),
                  (FieldMapIdentity{QStringLiteral("a.b"), QStringLiteral("/maps/"), QStringLiteral("/maps/a.b.exp")}));
        EXPECT_TRUE(FieldMapIdentity::forNewMap(QStringLiteral("/p")).isNew());
    }
    FieldMapIdentity identity = FieldMapIdentity::forNewMap(dir.path());
    {
        SCOPED_TRACE("saved under a name typed with a leading blank");
        identity.saveAs(QStringLiteral(" Q1"), {1004, 1012});
        EXPECT_EQ(identity.name, QStringLiteral(" Q1"));
        EXPECT_EQ(identity.filename, dir.filePath(QStringLiteral(" Q1.exp")));
        EXPECT_EQ(ExpFile::read(identity.filename).ids, (std::vector<int32_t>{1004, 1012}));
        EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("Q1.exp"))));
    }
    {
        SCOPED_TRACE("a failed save keeps the previous name and path");
        const FieldMapIdentity before = identity;
        QDir(dir.path()).mkdir(QStringLiteral("busy.exp"));
        EXPECT_THROW(identity.saveAs(QStringLiteral("busy"), {1001}), orvo::HostError);
        EXPECT_EQ(identity, before);
        EXPECT_EQ(ExpFile::read(identity.filename).ids, (std::vector<int32_t>{1004, 1012}));
    }
}
