#include "fieldmap/ExpFile.h"
#include "refhost/DemoData.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
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

TEST_F(CliExport, CommandLineConventions)
{
    const QString out = dir.filePath("x.csv");
    struct Case {
        QStringList args;
        int exitCode;
        const char* stdoutStart;   // or, when it fails, what stderr names
    };
    const Case cases[] = {
        {{"--version"}, 0, "expwiz 0."},
        {{"-V"}, 0, "expwiz 0."},
        {{"export", "--help"}, 0, "Usage: expwiz export [options]"},
        {{"list", "--help-all"}, 0, "Usage: expwiz list [options]"},
        {{"demo", "-h"}, 0, "Usage: expwiz demo [options]"},
        {{"fields", "--help"}, 0, "Usage: expwiz fields [options]"},
        {base(out) << "--fields" << "1004" << "stray", 2, "unexpected argument 'stray'"},
        {{"list", "--data", data, "extra"}, 2, "unexpected argument 'extra'"},
        {{"list", "--dta", data}, 2, "expwiz list --help"},
        {base("") << "--fields" << "1004", 2, "--output needs a file name"},
        {base(out) << "--fields" << "1004" << "--print-sql", 2, "leave out --output"},
        {base(out) << "--fields" << "1004" << "--format" << "ods", 2, "'ods'"},
        {base(out) << "--fields" << "1004" << "--date-format" << "us", 2, "'us'"},
        {base("-") << "--fields" << "1004" << "--format" << "xlsx", 2, "workbook goes to a file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const CliRun r = runCli(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err.toStdString();
        if (c.exitCode == 0)
            EXPECT_TRUE(r.out.startsWith(QString::fromUtf8(c.stdoutStart))) << r.out.left(200).toStdString();
        else
            EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.stdoutStart))) << r.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(out));

    SCOPED_TRACE("fields: type names and their legend");
    const CliRun fields = runCli({"fields"});
    EXPECT_TRUE(fields.out.contains("1002\tAcquisition Date\tdate\t")) << fields.out.left(300).toStdString();
    EXPECT_TRUE(fields.out.contains("\nTypes:\n") && fields.out.contains("0507: 5 years 7 months"));
}

TEST_F(CliExport, StandardOutputGetsTheFileAndNothingElse)
{
    const QStringList fields = {"--fields", "1004,1012,1002,1075", "--header", "--company-line"};
    const CliRun file = runCli(base(dir.filePath("file.csv")) << fields);
    ASSERT_EQ(file.exitCode, 0) << file.err.toStdString();

    QProcess p;
    p.setWorkingDirectory(dir.path());
    p.start(QStringLiteral(EXPWIZ_BUILD_DIR "/bin/expwiz"), base("-") << fields);
    p.waitForFinished(60000);
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_EQ(p.readAllStandardOutput(), readFile(dir.filePath("file.csv")));
    EXPECT_TRUE(p.readAllStandardError().contains("written to standard output"));
    // No temporary beside a file named "-" or anywhere else.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"file.csv"});
}

TEST_F(CliExport, ListAsJsonNamesEverythingExactly)
{
    const CliRun r = runCli({"list", "--data", data, "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QJsonObject host = QJsonDocument::fromJson(r.out.toUtf8()).object();
    const QJsonArray databases = host["databases"].toArray();
    ASSERT_EQ(databases.size(), 2);
    EXPECT_EQ(host["databaseInUse"].toString(), "Orvo Demo");
    const QJsonArray companies = databases[0].toObject()["companies"].toArray();
    ASSERT_EQ(companies.size(), 4);
    const QJsonObject harbor = companies[0].toObject();
    EXPECT_EQ(harbor["name"].toString(), "Harbor Logistics");
    EXPECT_EQ(harbor["assets"].toInt(), 24);
    EXPECT_TRUE(harbor["groups"].toArray().contains(QJsonValue("Sales Department")));
    const QJsonObject internal{{"id", 1}, {"name", "Internal"}, {"active", true}};
    EXPECT_TRUE(harbor["books"].toArray().contains(internal));
    EXPECT_EQ(companies[1].toObject()["name"].toString(), QString::fromUtf8("Café Müller & Søn, \"Nord\""));
    EXPECT_FALSE(companies[2].toObject()["available"].toBool());
}

TEST_F(CliExport, WorkbookCellsMatchTheCsvTyped)
{
    // System No, Description, Acquisition Date, Exclude on DER?, Estimated
    // Life, Acquisition Value, ITC Percent, Percent Transferred-In, GO Zone,
    // Net Book Value: one field of every type.
    const QStringList fields = {"--fields", "1004,1012,1002,1084,1100,1075,1028,1064,1113,1089",
                                "--header", "--company-line", "--encoding", "UTF-8"};
    const QString csv = dir.filePath("a.csv"), xlsx = dir.filePath("a.xlsx");
    ASSERT_EQ(runCli(base(csv, "Harbor Logistics", "All Orvo Assets") << fields << "--date-format" << "iso").exitCode, 0);
    const CliRun r = runCli(base(xlsx, "Harbor Logistics", "All Orvo Assets") << fields << "--format" << "xlsx");
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();

    // Every cell against the CSV's; what kinds of cell each column holds.
    QProcess py;
    py.start("/usr/bin/python3", {"-c", R"(
import csv, datetime, sys, openpyxl
rows = list(csv.reader(open(sys.argv[1], newline='', encoding='utf-8')))
ws = openpyxl.load_workbook(sys.argv[2]).worksheets[0]
cells = list(ws.iter_rows())
kinds, bad = {}, []
for r, line in enumerate(rows):
    for c, text in enumerate(line):
        cell = cells[r][c]
        v = cell.value
        if isinstance(v, datetime.datetime):
            kind, ok = 'date ' + cell.number_format, v.strftime('%Y-%m-%d') == text
        elif isinstance(v, (int, float)):
            kind = 'number ' + cell.number_format
            ok = abs(v * (100 if '%' in cell.number_format else 1) - float(text)) < 1e-9
        else:
            kind, ok = 'text', (v or '') == text
        if r >= 2 and text:
            kinds.setdefault(c, set()).add(kind)
        if not ok:
            bad.append((r, c, text, v))
print(len(rows), len(cells), ws.freeze_panes, bad[:3])
print('|'.join(','.join(sorted(kinds.get(c, ['empty']))) for c in range(len(rows[1]))))
)", csv, xlsx});
    py.waitForFinished(60000);
    const QStringList report = QString::fromUtf8(py.readAllStandardOutput()).split('\n');
    ASSERT_GE(report.size(), 2) << py.readAllStandardError().toStdString();
    EXPECT_EQ(report[0], "28 28 A3 []");
    EXPECT_EQ(report[1], "text|text|date yyyy-mm-dd|text|text|number 0.00|number 0.00000%|empty|text|number 0.00");
}
