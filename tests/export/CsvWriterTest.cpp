#include "HostErrors.h"
#include "TestFiles.h"

#include "export/AtomicFile.h"
#include "export/CsvWriter.h"

#include <QFileInfo>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using expwiz::CsvWriter;

TEST(Csv, CellsAreQuotedInAnyEncodingAndTheTargetChangesOnlyAtCommitThroughALinkKeepingItsPermissions)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("out.csv"), link = dir.filePath("link.csv");
    writeBytes(path, "old content\r\n");
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0640), 0);
    ASSERT_TRUE(QFile::link(path, link));
    // What a crashed export left behind goes with the next one.
    writeBytes(expwiz::AtomicFile::temporaryPathFor(dir.filePath("crashed.csv")), "partial");
    for (const bool commit : {false, true}) {
        SCOPED_TRACE(commit ? "committed through a symbolic link" : "dropped without commit");
        {
            CsvWriter w(link, {});
            for (const char16_t* cell : {u"plain", u"say \"hi\"", u"a,b", u""})
                w.cell(cell);
            w.endLine();
            w.raw(u"\"x\",A No1, A Pct1");
            w.endLine();
            w.cell(u"two\nlines\r\n");
            w.cell(u"\"");
            EXPECT_EQ(testfiles::entries(dir.path()).size(), 3);   // and the temporary
            EXPECT_EQ(readBytes(path), "old content\r\n");
            if (commit)
                w.commit();   // ends the open line
        }
        EXPECT_EQ(readBytes(path), commit ? "\"plain\",\"say \"\"hi\"\"\",\"a,b\",\"\"\r\n\"x\",A No1, A Pct1\r\n"
                                            "\"two\nlines\r\n\",\"\"\"\"\r\n"
                                          : "old content\r\n");
        EXPECT_EQ(testfiles::entries(dir.path()), QStringList({"link.csv", "out.csv"}));
        EXPECT_TRUE(QFileInfo(link).isSymLink());
        struct stat st {};
        ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0640u);
    }
    EXPECT_EQ(CsvWriter::quoted(u"\"\"a\""), "\"\"\"\"\"a\"\"\"");

    SCOPED_TRACE("every encoding writes the bytes of encoding the whole text across many buffers");
    const QString bad = QString(QChar(0xD800));   // a lone surrogate half
    const QString huge(300000, QLatin1Char('x'));   // longer than the buffer
    const int lines = 12000;   // several buffers whatever the encoding
    const auto writeAll = [&](CsvWriter& w) {
        for (int i = 0; i < lines; ++i) {
            w.cell(std::string_view("M\xc3\xbcller \xe2\x82\xac \xe4\xb8\xad"));
            w.cell(std::string_view("a\"b"));
            w.cell(std::string_view("\xffx\xe2\x82"));   // malformed bytes
            w.cell(std::string_view());
            w.cell(bad);
            w.endLine();
            w.raw(u"raw");
            w.cell(u"\u00e9");
            w.cell(i == lines / 2 ? huge : QString::number(i));
            w.endLine();
        }
        w.commit();
    };
    QString expected;
    for (int i = 0; i < lines; ++i)
        expected += QStringLiteral("\"M\u00fcller \u20ac \u4e2d\",\"a\"\"b\",\"") + QString::fromUtf8("\xffx\xe2\x82")
            + QStringLiteral("\",\"\",\"") + bad + QStringLiteral("\"\r\nraw,\"\u00e9\",\"")
            + (i == lines / 2 ? huge : QString::number(i)) + QStringLiteral("\"\r\n");
    for (const char* encoding : {"System", "UTF-8", "utf8", "ISO-8859-1", "UTF-16LE"}) {
        for (const bool bom : {false, true}) {
            SCOPED_TRACE(std::string(encoding) + (bom ? " with a byte-order mark" : ""));
            QStringEncoder oracle(QString::fromLatin1(encoding) == "System" ? "UTF-8" : encoding,
                                  bom ? QStringConverter::Flag::WriteBom : QStringConverter::Flag::Default);
            const QByteArray bytes = oracle.encode(expected);
            CsvWriter w(path, {QString::fromLatin1(encoding), bom, {}});
            writeAll(w);
            EXPECT_TRUE(readBytes(path) == bytes);
            // What the encoding cannot hold is replaced and counted (UTF-16 keeps a lone surrogate half).
            const QByteArray name(encoding);
            EXPECT_EQ(w.replacedCharacters(), std::count_if(expected.begin(), expected.end(), [&](QChar c) {
                          return (c.isSurrogate() && name != "UTF-16LE") || (name == "ISO-8859-1" && c.unicode() > 0xff);
                      }));
            EXPECT_EQ(w.linesInFile(), 2 * lines);
            SCOPED_TRACE("to an open descriptor");
            QFile stream(dir.filePath("stream.csv"));
            ASSERT_TRUE(stream.open(QIODevice::WriteOnly | QIODevice::Truncate));
            CsvWriter s(QString(), {QString::fromLatin1(encoding), bom, {}, stream.handle()});
            writeAll(s);
            stream.close();
            EXPECT_TRUE(readBytes(stream.fileName()) == bytes);
        }
    }
    SCOPED_TRACE("an unknown encoding fails before anything is created");
    writeBytes(path, "keep");
    QString description;
    EXPECT_EQ(hostErrorNumber([&] { CsvWriter w(path, {QStringLiteral("no-such-codec"), false, {}}); }, &description),
              orvo::errnum::InvalidProcedureCall);
    EXPECT_TRUE(description.contains("no-such-codec"));
    EXPECT_EQ(readBytes(path), "keep");
    EXPECT_EQ(testfiles::entries(dir.path()), QStringList({"link.csv", "out.csv", "stream.csv"}));
    EXPECT_FALSE(CsvWriter::isKnownEncoding("no-such-codec"));
    EXPECT_TRUE(CsvWriter::isKnownEncoding("System") && CsvWriter::isKnownEncoding("utf-8"));
}
