#include "fieldmap/ExpFile.h"
#include "fieldmap/FieldMapMessages.h"

#include <QDir>
#include <QTemporaryDir>

#include "FileBytes.h"
#include "HostErrors.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using expwiz::ExpFile;
using expwiz::ExpReadResult;
using Ids = std::vector<int32_t>;

namespace {

// Caps the size of any file this process writes, so a save meets the error a full disk gives.
struct FileSizeLimit {
    explicit FileSizeLimit(rlim_t bytes) : handler(std::signal(SIGXFSZ, SIG_IGN))
    {
        ::getrlimit(RLIMIT_FSIZE, &old);
        const rlimit limit{bytes, old.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &old), std::signal(SIGXFSZ, handler); }
    void (*handler)(int);
    rlimit old{};
};

QStringList filesIn(const QTemporaryDir& dir) { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); }

void chmodPath(const QString& path, mode_t mode) { ::chmod(QFile::encodeName(path).constData(), mode); }

} // namespace

TEST(ExpFile, ValuesOutsideTheCatalogAreSkippedAndReportedAndReadFailuresNameTheFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"damaged.exp"_s);
    const QString left = u" value(s) that are not field ids were left out: "_s;
    const QString firstTen = u"0 (byte 0), 1 (byte 4), 2 (byte 8), 3 (byte 12), 4 (byte 16), 5 (byte 20), "
                             u"6 (byte 24), 7 (byte 28), 8 (byte 32), 9 (byte 36)"_s;
    const QString fragment = u"The last %1 byte(s) do not make a whole entry and were ignored."_s;
    // The notice follows "The field map file <path> is damaged. "; empty for a clean file.
    struct Case { QByteArray bytes; Ids ids; QString notice; };
    const Case cases[] = {
        {ExpFile::encode({1004, 0, 2000, 1001}), {1004, 1001}, u"2"_s + left + u"0 (byte 4), 2000 (byte 8)."_s},
        {ExpFile::encode({1000, 1001, 1113, 1114, -1004, 0x01020304}) + QByteArray::fromHex("EC0300"), {1001, 1113},
         u"4"_s + left + u"1000 (byte 0), 1114 (byte 12), -1004 (byte 16), 16909060 (byte 20). "_s + fragment.arg(3)},
        {ExpFile::encode({0, 1, 2, 3, 4, 5, 6, 7, 8, 9}) + "x", {}, u"10"_s + left + firstTen + u". "_s + fragment.arg(1)},
        {ExpFile::encode({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}), {}, u"11"_s + left + firstTen + u", and 1 more."_s},
        {QByteArray::fromHex("E903"), {}, fragment.arg(2)},
        {QByteArray(), {}, QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.notice.toStdString());
        writeBytes(path, c.bytes);
        const ExpReadResult r = ExpFile::read(path);
        EXPECT_EQ(r.ids, c.ids);
        EXPECT_EQ(r.isClean(), c.notice.isEmpty());
        EXPECT_EQ(expwiz::FieldMapMessages::damagedFileNotice(path, r),
                  c.notice.isEmpty() ? QString() : u"The field map file "_s + path + u" is damaged. "_s + c.notice);
    }

    // Files that cannot be read carry the runtime number and the file.
    writeBytes(dir.filePath(u"largest.exp"_s), QByteArray(ExpFile::kMaxFileSize, '\0'));
    writeBytes(dir.filePath(u"too-large.exp"_s), QByteArray(100000, '\0'));
    ExpFile::write(dir.filePath(u"locked.exp"_s), {1004});
    chmodPath(dir.filePath(u"locked.exp"_s), 0);
    struct Failure { QString path; int number; const char* detail = ""; };
    const Failure failures[] = {
        {dir.filePath(u"missing.exp"_s), orvo::errnum::FileNotFound},
        {dir.filePath(u"nowhere/map.exp"_s), orvo::errnum::PathNotFound},
        {dir.path(), orvo::errnum::PathFileAccess},
        {dir.filePath(u"locked.exp"_s), ::geteuid() != 0 ? orvo::errnum::PermissionDenied : 0},
        {dir.filePath(u"largest.exp"_s), 0},
        {dir.filePath(u"too-large.exp"_s), orvo::errnum::Overflow, " is 100000 bytes; "},   // refused unread
        {u"/dev/zero"_s, orvo::errnum::Overflow},   // never ends: cut off while read
    };
    for (const Failure& c : failures) {
        SCOPED_TRACE(c.path.toStdString());
        QString description;
        EXPECT_EQ(hostErrorNumber([&] { ExpFile::read(c.path); }, &description), c.number);
        EXPECT_TRUE(c.number == 0 || (description.contains(c.path) && description.contains(QLatin1String(c.detail))))
            << description.toStdString();
    }
}

TEST(ExpFile, ASaveReplacesTheWholeFileOrNothing)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"keep.exp"_s), link = dir.filePath(u"link.exp"_s);
    // Little-endian ids in map order; a shorter map replaces a longer one completely; an empty map is an empty file.
    for (const auto& [ids, hex] : {std::pair{Ids{1004, 1001, 1113}, "EC030000E903000059040000"}, std::pair{Ids{}, ""},
                                   std::pair{Ids{1004, 1012}, "EC030000F4030000"}}) {
        ExpFile::write(path, ids);
        EXPECT_EQ(readBytes(path), QByteArray::fromHex(hex));
        EXPECT_EQ(ExpFile::read(path).ids, ids);
    }
    chmodPath(path, 0640);
    ASSERT_TRUE(QFile::link(path, link));
    QDir(dir.path()).mkdir(u"taken.exp"_s);
    struct Case { QString target; rlim_t sizeLimit; mode_t folderMode; int number; };
    for (const Case& c : {Case{path, 1024, 0755, orvo::errnum::DiskFull},   // the disk fills up during the save
                          Case{link, 1024, 0755, orvo::errnum::DiskFull},
                          Case{dir.filePath(u"no/x.exp"_s), RLIM_INFINITY, 0755, orvo::errnum::PathNotFound},
                          Case{path + u"/x.exp"_s, RLIM_INFINITY, 0755, orvo::errnum::PathNotFound},
                          Case{dir.filePath(u"taken.exp"_s), RLIM_INFINITY, 0755, orvo::errnum::PathFileAccess},
                          Case{path, RLIM_INFINITY, 0555, orvo::errnum::PermissionDenied}}) {
        SCOPED_TRACE(c.target.toStdString());
        if (c.folderMode != 0755 && ::geteuid() == 0)
            continue;
        QString description;
        chmodPath(dir.path(), c.folderMode);
        {
            FileSizeLimit limit(c.sizeLimit);
            EXPECT_EQ(hostErrorNumber([&] { ExpFile::write(c.target, Ids(2000, 1075)); }, &description), c.number);
        }
        chmodPath(dir.path(), 0755);
        EXPECT_TRUE(description.contains(c.target)) << description.toStdString();
        EXPECT_EQ(readBytes(path), QByteArray::fromHex("EC030000F4030000"));
        EXPECT_EQ(filesIn(dir), (QStringList{u"keep.exp"_s, u"link.exp"_s}));
    }
    // through a link, keeping the permissions
    ExpFile::write(link, {1004, 1002});
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(readBytes(path), QByteArray::fromHex("EC030000EA030000"));
    EXPECT_EQ(QFileInfo(path).permissions() & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);

}
