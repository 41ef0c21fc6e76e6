#include "fieldmap/ExpFile.h"
#include "refhost/DemoData.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct CliRun {
    int exitCode = -1;
    QString out;
    QString err;
};

CliRun runCli(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(EXPWIZ_BUILD_DIR "/bin/expwiz"), args);
    p.waitForFinished(60000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class CliExport : public ::testing::Test {
protected:
    void SetUp() override
    {
        data = dir.filePath("host");
        orvo::refhost::DemoData::create(data, {24, 1});
    }
    QStringList base(const QString& output, const char* company = "Harbor Logistics", const char* group = "Sales Department")
    {
        return {"export", "--data", data, "--database", "Orvo Demo", "--company", QString::fromUtf8(company),
                "--group", QString::fromUtf8(group), "--book", "Internal", "--output", output, "--locale", "en_US"};
    }
    QTemporaryDir dir;
    QString data;
};

} // namespace

TEST_F(CliExport, WritesTheExpectedBytesAndPythonReadsTheCells)
{
    const QString out = dir.filePath("sales.csv");
    const CliRun r = runCli(base(out) << "--fields" << "1004,1012,1002,1084,1100" << "--header" << "--company-line");
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("written to " + out)) << r.out.toStdString();
    const QByteArray bytes = readFile(out);
    EXPECT_TRUE(bytes.startsWith("\"Harbor Logistics\",\"Sales Department\",\"Internal\"\r\n"
                                 "\"System No\",\"Description\",\"Acquisition Date\",\"Exclude on DER?\",\"Estimated Life\"\r\n"))
        << bytes.left(300).toStdString();
    EXPECT_EQ(bytes.count("\"\n"), 0);   // every line ends CR LF
    EXPECT_TRUE(bytes.endsWith("\r\n"));

    // Python's csv module sees 5 cells in every record, quotes and line
    // breaks inside values included.
    QProcess py;
    py.start("python3", {"-c", "import csv,sys\n"
                               "rows=list(csv.reader(open(sys.argv[1],newline='',encoding='utf-8')))\n"
                               "print(len(rows), sorted(set(len(r) for r in rows[1:])))\n"
                               "print(any('\"' in c for r in rows for c in r), any('\\n' in c for r in rows for c in r))",
                         out});
    py.waitForFinished();
    const QString report = QString::fromUtf8(py.readAllStandardOutput());
    EXPECT_TRUE(report.startsWith(QString::number(bytes.count("\"\r\n")) + " [5]")) << report.toStdString();
}

TEST_F(CliExport, MapFileAndFieldListGiveTheSameFile)
{
    const QString map = dir.filePath("m.exp");
    expwiz::ExpFile::write(map, {1004, 1012, 1075});
    const CliRun a = runCli(base(dir.filePath("a.csv")) << "--map" << map << "--header");
    const CliRun b = runCli(base(dir.filePath("b.csv")) << "--fields" << "1004,1012,1075" << "--header");
    ASSERT_EQ(a.exitCode, 0) << a.err.toStdString();
    ASSERT_EQ(b.exitCode, 0) << b.err.toStdString();
    EXPECT_EQ(readFile(dir.filePath("a.csv")), readFile(dir.filePath("b.csv")));

    // A damaged map: the skipped value is named, the rest is exported.
    QFile f(map);
    ASSERT_TRUE(f.open(QIODevice::Append));
    f.write(QByteArray("\xd0\x07\x00\x00\x01", 5));   // 2000 and a stray byte
    f.close();
    const CliRun c = runCli(base(dir.filePath("c.csv")) << "--map" << map << "--header");
    EXPECT_EQ(c.exitCode, 0);
    EXPECT_TRUE(c.err.contains("2000") && c.err.contains(map)) << c.err.toStdString();
    EXPECT_EQ(readFile(dir.filePath("c.csv")), readFile(dir.filePath("a.csv")));
}

TEST_F(CliExport, BadInputNamesTheThingAndKeepsTheOldFile)
{
    const QString out = dir.filePath("keep.csv");
    QFile f(out);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("previous export\r\n");
    f.close();

    struct Case {
        QStringList args;
        int exitCode;
        const char* mention;
    };
    const QString emptyMap = dir.filePath("empty.exp");
    QFile(emptyMap).open(QIODevice::WriteOnly);
    const Case cases[] = {
        {base(out, "No Such Co") << "--fields" << "1004", 1, "No Such Co"},
        {base(out, "Harbor Logistics", "No Group") << "--fields" << "1004", 1, "Sales Department"},
        {base(out) << "--fields" << "1004,abc", 2, "abc"},
        {base(out) << "--fields" << "1114", 2, "1114"},
        {base(out) << "--map" << dir.filePath("missing.exp"), 1, "missing.exp"},
        {base(out) << "--map" << emptyMap, 1, "empty.exp"},
        {base(out), 2, "--map"},
        {base(dir.filePath("no/such/folder/x.csv")) << "--fields" << "1004", 1, "path"},
        {base(out) << "--fields" << "1004" << "--encoding" << "klingon", 2, "klingon"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const CliRun r = runCli(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err.toStdString();
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.mention))) << r.err.toStdString();
        EXPECT_EQ(readFile(out), QByteArray("previous export\r\n"));
    }
}

TEST_F(CliExport, OrganizationEditionWritesAllocationColumns)
{
    const QString out = dir.filePath("org.csv");
    const CliRun r = runCli({"export", "--data", data, "--database", "Public Sector", "--company", "City of Lakeside",
                          "--group", "All Orvo Assets", "--book", "Internal", "--fields", "1004,1026",
                          "--header", "--edition", "36", "--output", out});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QList<QByteArray> lines = readFile(out).split('\n');
    ASSERT_GT(lines.size(), 3);
    // System No, then 35 value/percent pairs for the allocated Fund field.
    EXPECT_EQ(lines[1].count("\",\"") + 1, 71) << lines[1].left(200).toStdString();
    EXPECT_TRUE(lines[1].startsWith("\"1\",\"F100\",\"50\",\"F200\",\"30\",\"F300\",\"20\",\"\"")) << lines[1].left(80).toStdString();

    const CliRun fields = runCli({"fields", "--edition", "36"});
    EXPECT_TRUE(fields.out.contains("1008\tTag No")) << fields.out.left(200).toStdString();
}
