#include "TestFiles.h"

#include "export/CsvWriter.h"
#include "host/HostError.h"

#include <QFileInfo>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

using expwiz::CsvWriter;

namespace {

// A write call that lets `budget` bytes through, then fails with `err`.
expwiz::AtomicFile::WriteFunction failingAfter(size_t budget, int err)
{
    auto left = std::make_shared<size_t>(budget);
    return [left, err](int fd, const void* data, size_t size) -> ssize_t {
        if (*left == 0) {
            errno = err;
            return -1;
        }
        const size_t n = std::min(size, *left);
        *left -= n;
        return ::write(fd, data, n);
    };
}

orvo::HostError errorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const orvo::HostError& e) {
        return e;
    }
    return orvo::HostError(0, QStringLiteral("no error"));
}

} // namespace

TEST(Csv, CellsAreQuotedWithDoubledQuotesAndEveryLineEndsWithCrLf)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("out.csv");
    CsvWriter w(path, {});
    w.cell(u"plain");
    w.cell(u"say \"hi\"");
    w.cell(u"a,b");
    w.cell(u"");
    w.endLine();
    w.raw(u"\"x\",A No1, A Pct1");
    w.endLine();
    w.cell(u"two\nlines\r\n");
    w.cell(u"\"");
    w.endLine();
    w.commit();
    EXPECT_EQ(testfiles::read(path), QByteArray("\"plain\",\"say \"\"hi\"\"\",\"a,b\",\"\"\r\n"
                                                "\"x\",A No1, A Pct1\r\n"
                                                "\"two\nlines\r\n\",\"\"\"\"\r\n"));
    EXPECT_EQ(CsvWriter::quoted(u"\"\"a\""), "\"\"\"\"\"a\"\"\"");
}

TEST(Csv, TheTargetChangesOnlyAtCommitAndKeepsItsPermissions)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("out.csv");
    testfiles::write(path, "old content\r\n");
    ::chmod(QFile::encodeName(path).constData(), 0640);
    {
        SCOPED_TRACE("a writer dropped without commit leaves the old file and no temporary");
        CsvWriter w(path, {});
        w.cell(u"new");
        w.endLine();
        EXPECT_EQ(testfiles::entries(dir.path()).size(), 2);
    }
    EXPECT_EQ(testfiles::read(path), "old content\r\n");
    EXPECT_EQ(testfiles::entries(dir.path()), QStringList{"out.csv"});

    CsvWriter w(path, {});
    w.cell(u"new");
    w.endLine();
    EXPECT_EQ(testfiles::read(path), "old content\r\n");
    w.commit();
    EXPECT_EQ(testfiles::read(path), "\"new\"\r\n");
    EXPECT_EQ(testfiles::entries(dir.path()), QStringList{"out.csv"});
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);

    {
        SCOPED_TRACE("a symbolic link stays a link; the file it points to is replaced");
        const QString link = dir.filePath("link.csv");
        ASSERT_TRUE(QFile::link(path, link));
        CsvWriter l(link, {});
        l.cell(u"through the link");
        l.endLine();
        l.commit();
        EXPECT_TRUE(QFileInfo(link).isSymLink());
        EXPECT_EQ(testfiles::read(path), "\"through the link\"\r\n");
    }
}

TEST(Csv, EncodingsByteOrderMarkAndReplacedCharacters)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("out.csv");
    const QString text = QStringLiteral("Müller € 中");
    {
        SCOPED_TRACE("the system codec (UTF-8 here) with and without a byte-order mark");
        CsvWriter w(path, {});
        w.cell(text);
        w.endLine();
        w.commit();
        EXPECT_EQ(testfiles::read(path), QByteArray("\"M\xc3\xbcller \xe2\x82\xac \xe4\xb8\xad\"\r\n"));
        EXPECT_EQ(w.replacedCharacters(), 0);
        CsvWriter b(path, {QStringLiteral("UTF-8"), true, {}});
        b.cell(u"x");
        b.endLine();
        b.cell(u"y");
        b.endLine();
        b.commit();
        EXPECT_EQ(testfiles::read(path), QByteArray("\xef\xbb\xbf\"x\"\r\n\"y\"\r\n"));
    }
    {
        SCOPED_TRACE("an 8-bit encoding replaces and counts what it cannot hold, over several lines");
        CsvWriter w(path, {QStringLiteral("ISO-8859-1"), true, {}});
        w.cell(text);
        w.endLine();
        w.cell(u"€");
        w.endLine();
        w.commit();
        EXPECT_EQ(testfiles::read(path), QByteArray("\"M\xfcller ? ?\"\r\n\"?\"\r\n"));
        EXPECT_EQ(w.replacedCharacters(), 3);
    }
    {
        SCOPED_TRACE("cells from UTF-8 bytes and from text give the bytes and counts of encoding the whole text");
        const QString bad = QString(QChar(0xD800));   // a lone surrogate half
        const QString expected = QStringLiteral("\"M\u00fcller \u20ac \u4e2d\",\"a\"\"b\",\"")
            + QString::fromUtf8("\xffx\xe2\x82") + QStringLiteral("\",\"\",\"") + bad
            + QStringLiteral("\"\r\nraw,\"\u00e9\"\r\n");
        for (const char* encoding : {"System", "UTF-8", "utf8", "ISO-8859-1", "UTF-16LE"}) {
            for (const bool bom : {false, true}) {
                SCOPED_TRACE(std::string(encoding) + (bom ? " with a byte-order mark" : ""));
                CsvWriter w(path, {QString::fromLatin1(encoding), bom, {}});
                w.cell(std::string_view("M\xc3\xbcller \xe2\x82\xac \xe4\xb8\xad"));
                w.cell(std::string_view("a\"b"));
                w.cell(std::string_view("\xffx\xe2\x82"));   // malformed bytes
                w.cell(std::string_view());
                w.cell(bad);
                w.endLine();
                w.raw(u"raw");
                w.cell(u"\u00e9");
                w.endLine();
                w.commit();
                QStringEncoder oracle(QString::fromLatin1(encoding) == "System" ? "UTF-8" : encoding,
                                      bom ? QStringConverter::Flag::WriteBom : QStringConverter::Flag::Default);
                const QByteArray bytes = oracle.encode(expected);
                EXPECT_EQ(testfiles::read(path).toHex(' '), bytes.toHex(' '));
                EXPECT_EQ(w.replacedCharacters() > 0, oracle.hasError());
            }
        }
    }
    {
        SCOPED_TRACE("an unknown encoding fails before anything is created");
        testfiles::write(path, "keep");
        const orvo::HostError e = errorOf([&] { CsvWriter w(path, {QStringLiteral("no-such-codec"), false, {}}); });
        EXPECT_EQ(e.number(), orvo::errnum::InvalidProcedureCall);
        EXPECT_TRUE(e.description().contains("no-such-codec"));
        EXPECT_EQ(testfiles::read(path), "keep");
        EXPECT_EQ(testfiles::entries(dir.path()), QStringList{"out.csv"});
        EXPECT_FALSE(CsvWriter::isKnownEncoding("no-such-codec"));
        EXPECT_TRUE(CsvWriter::isKnownEncoding("System"));
        EXPECT_TRUE(CsvWriter::isKnownEncoding("utf-8"));
    }
}

TEST(Csv, WriteFailuresAreRaisedAndLeaveThePreviousFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("out.csv");
    testfiles::write(path, "previous\r\n");
    const QString line = QString(1000, QLatin1Char('x'));
    struct Case {
        int err;
        int32_t number;
        size_t budget;
        int lines;
    };
    // Early and late failures: in a buffer flush during the rows, and in the
    // final flush at commit.
    for (const Case c : {Case{ENOSPC, orvo::errnum::DiskFull, 100000, 2000}, Case{EIO, orvo::errnum::PathFileAccess, 0, 10},
                         Case{ENOSPC, orvo::errnum::DiskFull, 5000, 10}, Case{EDQUOT, orvo::errnum::DiskFull, 0, 1}}) {
        SCOPED_TRACE(QStringLiteral("errno %1 after %2 bytes").arg(c.err).arg(c.budget).toStdString());
        const orvo::HostError e = errorOf([&] {
            CsvWriter w(path, {QString(), false, failingAfter(c.budget, c.err)});
            for (int i = 0; i < c.lines; ++i) {
                w.cell(line);
                w.endLine();
            }
            w.commit();
        });
        EXPECT_EQ(e.number(), c.number);
        EXPECT_TRUE(e.description().contains(path)) << e.description().toStdString();
        EXPECT_EQ(testfiles::read(path), "previous\r\n");
        EXPECT_EQ(testfiles::entries(dir.path()), QStringList{"out.csv"});
    }
    {
        SCOPED_TRACE("short writes are continued, not taken for success or failure");
        auto shortWrites = [](int fd, const void* data, size_t size) { return ::write(fd, data, std::min<size_t>(size, 7)); };
        CsvWriter w(path, {QString(), false, shortWrites});
        w.cell(line);
        w.endLine();
        w.commit();
        EXPECT_EQ(testfiles::read(path).size(), 1004);
    }
}
