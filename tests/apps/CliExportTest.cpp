#include "export/AtomicFile.h"
#include "fieldmap/ExpFile.h"
#include "refhost/DemoData.h"
#include "refhost/Sqlite.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/types.h>

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
    for (int i = 0; i < 50; ++i)
        f.write(QByteArray("\xd0\x07\x00\x00", 4));   // 2000, no field
    f.write("\x01");                                     // and a stray byte
    f.close();
    const CliRun c = runCli(base(dir.filePath("c.csv")) << "--map" << map << "--header");
    EXPECT_EQ(c.exitCode, 0);
    EXPECT_EQ(c.err.count('\n'), 1) << c.err.toStdString();   // summarised, not a line each
    EXPECT_TRUE(c.err.contains("50 value(s)") && c.err.contains("2000 (byte 12)") && c.err.contains(map))
        << c.err.toStdString();
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
    const QString hugeMap = dir.filePath("huge.exp");   // 64 MiB, sparse
    QFile huge(hugeMap);
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.resize(64 << 20));
    huge.close();
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
        {base(out) << "--map" << hugeMap, 1, "huge.exp is 67108864 bytes"},
        {base(out) << "--fields" << "1004" << "--fields" << "1012", 2, "--fields"},
        {base(out) << "--map" << emptyMap << "--map" << hugeMap, 2, "--map"},
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

TEST_F(CliExport, TheHostsOwnFilesAreNeverATarget)
{
    const QString map = dir.filePath("m.exp");
    expwiz::ExpFile::write(map, {1004});
    const QString database = data + "/orvo-demo.sqlite";
    const QString link = dir.filePath("link.csv");
    ASSERT_TRUE(QFile::link(database, link));
    const QString targets[] = {data + "/host.conf", data + "/databases.list", data + "/addins.list", database,
                               database + "-wal", database + "-journal", link, map};
    for (const QString& target : targets) {
        SCOPED_TRACE(target.toStdString());
        const QByteArray before = readFile(target);
        const CliRun r = runCli(base(target) << "--map" << map);
        EXPECT_EQ(r.exitCode, 2) << r.err.toStdString();
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QFileInfo(target).fileName())) << r.err.toStdString();
        EXPECT_EQ(readFile(target), before);
    }
    // The database still opens.
    EXPECT_EQ(runCli(base(dir.filePath("after.csv")) << "--map" << map).exitCode, 0);
}

TEST_F(CliExport, RecordsTheHostCannotUseAreRefusedNamingThem)
{
    {
        orvo::refhost::SqliteDb db(data + "/orvo-demo.sqlite", false);
        QString longCondition = "ASSETID IN (0";
        for (int id = 1; id <= 20000; ++id)
            longCondition += QLatin1Char(',') + QString::number(id);
        db.exec("INSERT INTO Company VALUES (65537, 'Far Harbor', 'T', 'F', 9);"
                "INSERT INTO Book VALUES (1, 70000, 'Overflow', 'T', 9);"
                "INSERT INTO AssetGroup VALUES (1, 90, 'Sneaky', '1 = 1; DELETE FROM Asset', 9);");
        db.exec(QStringLiteral("INSERT INTO AssetGroup VALUES (1, 91, 'Huge', '%1) AND nosuch = 1', 10)")
                    .arg(longCondition));
    }
    QFile garbage(data + "/public-sector.sqlite");
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write(QByteArray(8192, 'x'));
    garbage.close();

    const QString out = dir.filePath("keep.csv");
    QFile f(out);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("previous export\r\n");
    f.close();
    QStringList otherBook = base(out) << "--fields" << "1004";
    otherBook[otherBook.indexOf("Internal")] = "Overflow";
    struct Case {
        QStringList args;
        const char* mention;
    };
    const Case cases[] = {
        {base(out, "Far Harbor") << "--fields" << "1004", "\"Far Harbor\" has the id 65537"},
        {otherBook, "\"Overflow\" has the id 70000"},
        {base(out, "Harbor Logistics", "Sneaky") << "--fields" << "1004", "group \"Sneaky\""},
        {base(out, "Harbor Logistics", "Huge") << "--fields" << "1004", "--print-sql"},
        {{"export", "--data", data, "--database", "Public Sector", "--company", "City of Lakeside", "--group",
          "All Orvo Assets", "--book", "Internal", "--fields", "1004", "--output", out},
         "file is not a database"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mention);
        const CliRun r = runCli(c.args);
        EXPECT_EQ(r.exitCode, 1) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.mention))) << r.err.left(3000).toStdString();
        EXPECT_LT(r.err.size(), 3000);   // a query of 100 KB is cut for the terminal
        EXPECT_EQ(readFile(out), QByteArray("previous export\r\n"));
    }
}

namespace {

// A host with enough rows that an export takes a while, made once.
class CliFaults : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        demo = new QTemporaryDir;
        orvo::refhost::DemoData::create(demo->filePath("host"), {10000, 1});
    }
    static void TearDownTestSuite()
    {
        delete demo;
        demo = nullptr;
    }
    QStringList args(const QString& data, const QString& output)
    {
        QStringList fields;
        for (int id = 1001; id <= 1113; ++id)
            fields << QString::number(id);
        return {"export", "--data", data, "--database", "Orvo Demo", "--company", "Harbor Logistics", "--group",
                "All Orvo Assets", "--book", "Internal", "--fields", fields.join(','), "--output", output};
    }
    static inline QTemporaryDir* demo = nullptr;
    QTemporaryDir dir;
};

bool isStopped(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray text = stat.readAll();
    return text.mid(text.lastIndexOf(')') + 2, 1) == "T";
}

// Starts an export and freezes it while it is in the first half of its
// rows (its temporary file holds rows, less than half the complete file).
// False when it ended before it could be caught there.
bool startAndFreezeMidRun(QProcess& p, const QStringList& args, const QString& temporary, qint64 completeSize)
{
    p.start(QStringLiteral(EXPWIZ_BUILD_DIR "/bin/expwiz"), args);
    if (!p.waitForStarted())
        return false;
    for (;;) {
        const qint64 size = QFileInfo(temporary).size();
        if (size > 0 && size < completeSize / 2) {
            ::kill(static_cast<pid_t>(p.processId()), SIGSTOP);
            while (!isStopped(p.processId()))
                if (p.waitForFinished(1))
                    return false;
            const qint64 frozen = QFileInfo(temporary).size();
            if (frozen > 0 && frozen < completeSize / 2)
                return true;
            ::kill(static_cast<pid_t>(p.processId()), SIGCONT);
        }
        if (p.waitForFinished(1))
            return false;
    }
}

} // namespace

TEST_F(CliFaults, ADamagedOrTruncatedDatabaseEndsTheRunWithAReadFailureAndKeepsTheOldFile)
{
    const QString data = dir.filePath("host");
    const QString file = data + "/orvo-demo.sqlite";
    const QString out = dir.filePath("out/assets.csv");
    QDir().mkpath(dir.filePath("out"));
    for (const bool midRun : {false, true}) {
        SCOPED_TRACE(midRun ? "the file cut short while the rows are read" : "a leaf page of Asset overwritten");
        QDir(data).removeRecursively();
        QDir().mkpath(data);
        for (const QString& name : QDir(demo->filePath("host")).entryList(QDir::Files | QDir::Hidden))
            ASSERT_TRUE(QFile::copy(demo->filePath("host/" + name), data + "/" + name));
        int64_t page = 0, pageSize = 0;
        {
            orvo::refhost::SqliteDb db(file, false);
            orvo::refhost::SqliteStatement leaves(
                db, "SELECT pageno, (SELECT page_size FROM pragma_page_size) FROM dbstat "
                    "WHERE name = 'Asset' AND pagetype = 'leaf' ORDER BY pageno");
            std::vector<int64_t> pages;
            while (leaves.step()) {
                pages.push_back(leaves.int64(0));
                pageSize = leaves.int64(1);
            }
            ASSERT_GT(pages.size(), 10u);
            page = pages[pages.size() / 2];
        }
        QFile previous(out);
        ASSERT_TRUE(previous.open(QIODevice::WriteOnly));
        previous.write("previous export\r\n");
        previous.close();
        QFile f(file);
        if (midRun) {
            // Frozen within its first quarter, the run has the rows of the
            // later Asset pages still to read when the file is cut there.
            ASSERT_EQ(runCli(args(data, dir.filePath("complete.csv"))).exitCode, 0);
            const qint64 complete = QFileInfo(dir.filePath("complete.csv")).size();
            QProcess p;
            ASSERT_TRUE(startAndFreezeMidRun(p, args(data, out), expwiz::AtomicFile::temporaryPathFor(out), complete / 2));
            ASSERT_TRUE(f.resize((page - 1) * pageSize));
            ::kill(static_cast<pid_t>(p.processId()), SIGCONT);
            ASSERT_TRUE(p.waitForFinished(60000));
            EXPECT_EQ(p.exitCode(), 1);
            EXPECT_TRUE(p.readAllStandardError().contains("Reading the assets"));
        } else {
            ASSERT_TRUE(f.open(QIODevice::ReadWrite) && f.seek((page - 1) * pageSize));
            f.write(QByteArray(static_cast<qsizetype>(pageSize), '\xA5'));
            f.close();
            // Before, a failed read restarted the query: this ran forever.
            const CliRun r = runCli(args(data, out));
            EXPECT_EQ(r.exitCode, 1) << r.err.toStdString();
            EXPECT_TRUE(r.err.contains("Reading the assets") && r.err.contains("malformed")) << r.err.toStdString();
        }
        EXPECT_EQ(readFile(out), QByteArray("previous export\r\n"));
        EXPECT_EQ(QDir(dir.filePath("out")).entryList(QDir::Files | QDir::Hidden), QStringList{"assets.csv"});
    }
}

TEST_F(CliFaults, SignalsAndCrashesLeaveThePreviousFileAndNoTemporary)
{
    const QString data = demo->filePath("host");
    const QString folder = dir.filePath("out");
    QDir().mkpath(folder);
    const QString out = folder + "/assets.csv";
    const QString temporary = expwiz::AtomicFile::temporaryPathFor(out);
    ASSERT_EQ(runCli(args(data, out)).exitCode, 0);
    const QByteArray complete = readFile(out);

    struct Case {
        int signal;
        bool keepPartial;
        int exitCode;   // -1: killed
        const char* says;
    };
    const Case cases[] = {
        {SIGINT, false, 130, "nothing was changed"},  {SIGTERM, false, 143, "nothing was changed"},
        {SIGHUP, false, 129, "nothing was changed"},  {SIGQUIT, false, 131, "nothing was changed"},
        {SIGTERM, true, 143, "complete row(s)"},      {SIGKILL, false, -1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "signal " << c.signal << (c.keepPartial ? " --keep-partial" : ""));
        QFile previous(out);
        ASSERT_TRUE(previous.open(QIODevice::WriteOnly));
        previous.write(complete);
        previous.close();
        QProcess p;
        QStringList a = args(data, out);
        if (c.keepPartial)
            a << "--keep-partial";
        bool frozen = false;
        for (int attempt = 0; attempt < 5 && !frozen; ++attempt)
            frozen = startAndFreezeMidRun(p, a, temporary, complete.size());
        ASSERT_TRUE(frozen);

        // A second export to the same file meanwhile (another company, as
        // this one is held) is refused.
        const CliRun second = runCli({"export", "--data", data, "--database", "Public Sector", "--company",
                                      "City of Lakeside", "--group", "All Orvo Assets", "--book", "Internal",
                                      "--fields", "1004", "--output", out});
        EXPECT_EQ(second.exitCode, 1);
        EXPECT_TRUE(second.err.contains("Another export is writing")) << second.err.toStdString();

        ::kill(static_cast<pid_t>(p.processId()), c.signal);
        ::kill(static_cast<pid_t>(p.processId()), SIGCONT);
        ASSERT_TRUE(p.waitForFinished(60000));
        const QString err = QString::fromUtf8(p.readAllStandardError());
        if (c.exitCode < 0) {
            // A crash leaves its temporary; the next export into the folder
            // removes it and leaves only its own file.
            EXPECT_EQ(p.exitStatus(), QProcess::CrashExit);
            EXPECT_TRUE(QFileInfo::exists(temporary));
            EXPECT_EQ(runCli(args(data, folder + "/other.csv")).exitCode, 0);
            EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList({"assets.csv", "other.csv"}));
            EXPECT_EQ(readFile(out), complete);
            continue;
        }
        EXPECT_EQ(p.exitCode(), c.exitCode) << err.toStdString();
        EXPECT_EQ(err.count('\n'), 1) << err.toStdString();
        EXPECT_TRUE(err.contains(QString::fromUtf8(c.says))) << err.toStdString();
        EXPECT_FALSE(QFileInfo::exists(temporary));
        const QByteArray now = readFile(out);
        if (c.keepPartial) {
            EXPECT_LT(now.size(), complete.size());
            EXPECT_TRUE(now.endsWith("\r\n") && complete.startsWith(now));
        } else {
            EXPECT_EQ(now, complete);
        }
    }
}
