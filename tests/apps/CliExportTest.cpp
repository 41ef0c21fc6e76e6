#include "ExportArgs.h"
#include "../export/TestFiles.h"
#include "ProgramRun.h"
#include "QtPrinters.h"
#include "export/AtomicFile.h"
#include "fieldmap/ExpFile.h"
#include "refhost/DemoData.h"
#include "refhost/Sqlite.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/types.h>

namespace {

class CliExport : public ::testing::Test {
protected:
    void SetUp() override { orvo::refhost::DemoData::create(data, {24, 1}); }
    QStringList base(const QString& output, const QString& company = "Harbor Logistics",
                     const QString& group = "Sales Department", const QString& book = "Internal")
    {
        return exportArgs(data, company, output, group, book) << "--locale" << "en_US";
    }
    QTemporaryDir dir;
    const QString data = dir.filePath("host");
};

// Starts an export and freezes it while its temporary file holds rows, less
// than half of `completeSize`. False when it ended before it was caught there.
bool startAndFreezeMidRun(QProcess& p, const QStringList& args, const QString& temporary, qint64 completeSize)
{
    const auto midRun = [&](qint64 size) { return size > 0 && size < completeSize / 2; };
    startProgram(p, "expwiz", args);
    if (!p.waitForStarted())
        return false;
    for (;;) {
        if (midRun(QFileInfo(temporary).size())) {
            ::kill(static_cast<pid_t>(p.processId()), SIGSTOP);
            // Stopped: the state after the command's name reads T.
            while (!readBytes(QStringLiteral("/proc/%1/stat").arg(p.processId())).contains(") T "))
                if (p.waitForFinished(1))
                    return false;
            if (midRun(QFileInfo(temporary).size()))
                return true;
            ::kill(static_cast<pid_t>(p.processId()), SIGCONT);
        }
        if (p.waitForFinished(1))
            return false;
    }
}

} // namespace

// Commands that succeed answer as their patterns say. The exports give the same bytes whether the
// fields are listed or read from a map (a damaged one too, its skipped values summed up in one
// line), into a file or onto standard output; a workbook holds the cells of the CSV, typed.
TEST_F(CliExport, CommandsAnswerAndEveryWayOfNamingTheFieldsGivesTheSameBytes)
{
    const QString six = "1004,1012,1002,1084,1100,1075", map = dir.filePath("m.exp");
    const QString damaged = dir.filePath("d.exp"), a = dir.filePath("a.csv");
    const QString csv = dir.filePath("t.csv"), xlsx = dir.filePath("t.xlsx");
    expwiz::ExpFile::write(map, {1004, 1012, 1002, 1084, 1100, 1075});
    // Then 50 values of 2000, no field.
    writeBytes(damaged, readBytes(map) + QByteArray("\xd0\x07\x00\x00", 4).repeated(50) + "\x01");
    const QStringList lines = {"--header", "--company-line"};
    // One field of every type: System No, Description, Acquisition Date, Exclude on DER?, Estimated
    // Life, Acquisition Value, ITC Percent, Percent Transferred-In, GO Zone, Net Book Value.
    const auto typed = [&](const QString& output) {
        return base(output, "Harbor Logistics", "All Orvo Assets") << lines << "--encoding"
               << "UTF-8" << "--fields" << "1004,1012,1002,1084,1100,1075,1028,1064,1113,1089";
    };
    // Patterns, . matching line ends too; sameBytes: as the first file exported.
    const struct { QStringList args; QString out, err = {}; bool sameBytes = false; } cases[] = {
        {{"--version"}, "^expwiz 0\\."},
        {{"-V"}, "^expwiz 0\\."},
        {{"export", "--help"}, "^Usage: expwiz export \\[options\\]"},
        {{"list", "--help-all"}, "^Usage: expwiz list \\[options\\]"},
        {{"demo", "-h"}, "^Usage: expwiz demo \\[options\\]"},
        {{"fields", "--help"}, "^Usage: expwiz fields \\[options\\]"},
        // with a legend in columns
        {{"fields"}, "\n1002\tAcquisition Date\tdate\t.*\nTypes:\n  number    ids and plain numbers, "
                     "as stored\n  percent   a .*\n  fraction  a share .*0507: 5 years 7 months"},
        {{"fields", "--edition", "36"}, "\n1008\tTag No"},
        {{"list", "--data", data}, "edition 1, \"Orvo\", database in use \"Orvo Demo\"\n.*\"Harbor "
                                   "Logistics\", inventory, 24 assets\n.*\"Closed Books Ltd\" \\(not "
                                   "available\\), 0 assets\n.*\"Old GAAP\" \\(inactive\\)"},
        {base(a) << "--fields" << six << lines, "written to " + QRegularExpression::escape(a)},
        {base(dir.filePath("b.csv")) << "--map" << map << lines, "written to", {}, true},
        {base(dir.filePath("c.csv")) << "--map" << damaged << lines, "written to",
         "^[^\n]*" + QRegularExpression::escape(damaged)
             + "[^\n]* 50 value\\(s\\)[^\n]*2000 \\(byte 24\\)[^\n]*\n$", true},
        {base("-") << "--fields" << six << lines,
         "^\"Harbor Logistics\",\"Sales Department\",\"Internal\"\r\n\"System No\",\"Description\","
         "\"Acquisition Date\",\"Exclude on DER\\?\",\"Estimated Life\",\"Acquisition Value\"\r\n",
         "written to standard output", true},
        // The organization edition: System No, then 35 value/percent pairs for the allocated Fund.
        {exportArgs(data, "City of Lakeside", "-", "All Orvo Assets", "Internal", "Public Sector")
             << "--fields" << "1004,1026" << "--header" << "--edition" << "36",
         R"(^[^\n]*\n"1","F100","50","F200","30","F300","20"(,""){64}\r\n)",
         "written to standard output"},
        {typed(csv) << "--date-format" << "iso", "written"},
        {typed(xlsx) << "--format" << "xlsx", "written"},
    };
    QByteArray first;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const ProgramRun r = runCli(c.args, dir.path());
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        for (const auto& [text, pattern] : {std::pair{r.out, c.out}, std::pair{r.err, c.err}})
            EXPECT_TRUE(text.contains(QRegularExpression("(?s)" + pattern))) << text.toStdString();
        EXPECT_TRUE(!c.sameBytes || (c.args.contains("-") ? r.outBytes : r.file) == first);
        first = first.isEmpty() ? r.file : first;
    }
    // No file named "-" and no temporary anywhere.
    EXPECT_EQ(testfiles::entries(dir.path()),
              QStringList({"a.csv", "b.csv", "c.csv", "d.exp", "m.exp", "t.csv", "t.xlsx"}));
    // Every cell of the workbook against the CSV's; what kinds of cell each column holds.
    EXPECT_EQ(QJsonDocument(testfiles::python(R"(
import csv, datetime, json, sys, openpyxl
rows = list(csv.reader(open(sys.argv[1], newline='', encoding='utf-8')))
ws = openpyxl.load_workbook(sys.argv[2]).worksheets[0]
cells, kinds, bad = list(ws.iter_rows()), {}, []
for r, line in enumerate(rows):
    for c, text in enumerate(line):
        v, f = cells[r][c].value, cells[r][c].number_format
        if isinstance(v, datetime.datetime):
            kind, ok = 'date ' + f, v.strftime('%Y-%m-%d') == text
        elif isinstance(v, (int, float)):
            kind, ok = 'number ' + f, abs(v * (100 if '%' in f else 1) - float(text)) < 1e-9
        else:
            kind, ok = 'text', (v or '') == text
        if r >= 2 and text: kinds.setdefault(c, set()).add(kind)
        if not ok: bad.append(repr((r, c, text, v)))
columns = [','.join(sorted(kinds.get(c, ['empty']))) for c in range(len(rows[1]))]
print(json.dumps([len(rows), len(cells), ws.freeze_panes, bad[:3], '|'.join(columns)]))
)", {csv, xlsx})).toJson(QJsonDocument::Compact),
              R"([28,28,"A3",[],"text|text|date yyyy-mm-dd|text|text|number 0.00|number 0.00000%|)"
              R"(empty|text|number 0.00"])");

    const ProgramRun list = runCli({"list", "--data", data, "--json"});
    ASSERT_EQ(list.exitCode, 0) << list.err.toStdString();
    const QJsonObject host = QJsonDocument::fromJson(list.outBytes).object();
    QString seen;   // the host, then each database and its companies
    for (const QString key : {"edition", "title", "databaseInUse"})
        seen += host[key].toVariant().toString() + ' ';
    for (const QJsonValue& database : host["databases"].toArray()) {
        seen += '|' + database["name"].toString() + ' ' + database["available"].toVariant().toString() + ':';
        for (const QJsonValue& c : database["companies"].toArray())
            for (const QString key : {"id", "name", "assets", "available", "inventory"})
                seen += ' ' + c[key].toVariant().toString();
    }
    EXPECT_EQ(seen, QString::fromUtf8("1 Orvo Orvo Demo |Orvo Demo true: 1 Harbor Logistics 24 true true 2 Café "
                                      "Müller & Søn, \"Nord\" 25 true false 3 Closed Books Ltd 0 false false 4 Empty "
                                      "Start-up 0 true false|Public Sector true: 10 City of Lakeside 60 true true 11 "
                                      "County Roads 12 true false"));
    const QJsonValue harbor = host["databases"][0]["companies"][0];
    EXPECT_EQ(QJsonDocument(QJsonArray{harbor["groups"], harbor["books"]}).toJson(QJsonDocument::Compact),
              R"([["All Orvo Assets","Sales Department","Acquired before 2016"],)"
              R"([{"active":false,"id":3,"name":"Old GAAP"},{"active":true,"id":1,"name":"Internal"},)"
              R"({"active":true,"id":2,"name":"Tax"}]])");
}

// Every refusal says what is wrong in one line naming the thing, with the
// usual exit code (2 for a wrong command line), and changes no file.
TEST_F(CliExport, RefusalsNameTheThingInOneLineAndChangeNoFile)
{
    const QString out = dir.filePath("keep.csv"), database = data + "/orvo-demo.sqlite", map = dir.filePath("m.exp");
    writeBytes(out, "previous export\r\n");
    expwiz::ExpFile::write(map, {1004});
    const QString emptyMap = dir.filePath("empty.exp"), hugeMap = dir.filePath("huge.exp");
    writeBytes(emptyMap, {});
    writeBytes(hugeMap, {});
    ASSERT_TRUE(QFile::resize(hugeMap, 64 << 20));   // sparse
    ASSERT_TRUE(QFile::link(database, dir.filePath("link.csv")));
    {
        // Records the host cannot use, and a database that is no database.
        orvo::refhost::SqliteDb db(database, false);
        db.exec("INSERT INTO Company VALUES (65537, 'Far Harbor', 'T', 'F', 9);"
                "INSERT INTO Book VALUES (1, 70000, 'Overflow', 'T', 9);"
                "INSERT INTO AssetGroup VALUES (1, 90, 'Sneaky', '1 = 1; DELETE FROM Asset', 9);");
        db.exec(QStringLiteral("INSERT INTO AssetGroup VALUES (1, 91, 'Huge', 'ASSETID IN (0%1) AND nosuch = 1', 10)")
                    .arg(QStringLiteral(",12345").repeated(20000)));
    }
    writeBytes(data + "/public-sector.sqlite", QByteArray(8192, 'x'));

    // target: the file that stays as it was, when not the previous export
    struct Case { QStringList args; int exitCode; QString mention, target = {}; };
    const QString f = "--fields";
    std::vector<Case> cases = {
        {base(out, "No Such Co") << f << "1004", 1, "No Such Co"},
        {base(out, "Harbor Logistics", "No Group") << f << "1004", 1, "Sales Department"},
        {base(out) << f << "1004,abc", 2, "abc"},
        {base(out) << f << "1114", 2, "1114"},
        {base(out) << "--map" << dir.filePath("missing.exp"), 1, "missing.exp"},
        {base(out) << "--map" << emptyMap, 1, "empty.exp"},
        {base(out), 2, "--map"},
        {base(dir.filePath("no/such/folder/x.csv")) << f << "1004", 1, "path"},
        {base(out) << f << "1004" << "--encoding" << "klingon", 2, "klingon"},
        {base(out) << "--map" << hugeMap, 1, "huge.exp is 67108864 bytes"},
        {base(out) << f << "1004" << f << "1012", 2, "--fields"},
        {base(out) << f << "1004" << "stray", 2, "unexpected argument 'stray'"},
        {{"frobnicate"}, 2, "unknown command 'frobnicate'"},
        {{"list"}, 2, "name the host data folder with --data DIR"},
        {{"list", "--data", data, "extra"}, 2, "unexpected argument 'extra'"},
        {{"list", "--dta", data}, 2, "expwiz list --help"},
        {{"list", "--data", dir.filePath("nowhere")}, 1, "nowhere does not exist"},
        {{"demo", "--out", dir.filePath("d"), "--edition", "x"}, 2, "--edition takes a whole number, not 'x'"},
        {{"demo", "--out", dir.filePath("d"), "--assets", "-1"}, 2, "of 0 or more, not '-1'"},
        {{"demo", "--out", dir.path(), "--force"}, 1, "is not empty. Choose a new or empty folder."},
        {{"demo", "--assets", "5"}, 2, "say where with --out DIR"},
        {base("") << f << "1004", 2, "--output needs a file name"},
        {base(out) << f << "1004" << "--print-sql", 2, "leave out --output"},
        {base(out) << f << "1004" << "--format" << "ods", 2, "'ods'"},
        {base(out) << f << "1004" << "--date-format" << "us", 2, "'us'"},
        {base("-") << f << "1004" << "--format" << "xlsx", 2, "workbook goes to a file"},
        {base(out, "Far Harbor") << f << "1004", 1, "\"Far Harbor\" has the id 65537"},
        {base(out, "Harbor Logistics", "Sales Department", "Overflow") << f << "1004", 1, "\"Overflow\" has the id 70000"},
        {base(out, "Harbor Logistics", "Sales Department", "Old GAAP") << f << "1004", 1, "GAAP\""},
        {base(out, "Harbor Logistics", "Sneaky") << f << "1004", 1, "group \"Sneaky\""},
        {base(out, "Harbor Logistics", "Huge") << f << "1004", 1, "--print-sql"},   // a query of 100 KB is cut
        {exportArgs(data, "City of Lakeside", out, "All Orvo Assets", "Internal", "Public Sector") << f << "1004", 1,
         "file is not a database"},
    };
    // The host's own files, through a link too, and the map being read are never a target.
    for (const QString& target : {data + "/host.conf", data + "/databases.list", data + "/addins.list", database,
                                  database + "-wal", database + "-journal", dir.filePath("link.csv"), map})
        cases.push_back({base(target) << "--map" << map, 2, QFileInfo(target).fileName(), target});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').left(300).toStdString());
        const QString target = c.target.isEmpty() ? out : c.target;
        const QByteArray before = readBytes(target);
        const ProgramRun r = runCli(c.args);
        // One line naming the thing, nothing on standard output.
        EXPECT_EQ(std::tuple(r.exitCode, r.err.count('\n'), r.err.contains(c.mention), r.err.size() < 3000, r.out),
                  std::tuple(c.exitCode, 1, true, true, QString())) << r.err.left(3000).toStdString();
        EXPECT_EQ(readBytes(target), before);
    }
    EXPECT_EQ(runCli(base(dir.filePath("after.csv")) << "--map" << map).exitCode, 0);   // the database still opens
}

// An export frozen in the first quarter of its rows meets a signal or a damaged database: the
// previous file stays (only --keep-partial keeps the complete rows), no temporary is left behind,
// and the message says so in one line; while it runs, a second export to the same file is refused.
TEST(CliFaults, SignalsCrashesAndADamagedDatabaseLeaveThePreviousFileAndNoTemporary)
{
    QTemporaryDir dir, demo;   // the demo has enough rows that an export takes a while
    orvo::refhost::DemoData::create(demo.filePath("host"), {10000, 1});
    const QString data = dir.filePath("host"), file = data + "/orvo-demo.sqlite", folder = dir.path();
    const QString out = folder + "/assets.csv", temporary = expwiz::AtomicFile::temporaryPathFor(out);
    const QByteArray complete =
        runCli(exportArgs(demo.filePath("host"), "Harbor Logistics", out) << allFields()).file;
    ASSERT_GT(complete.size(), 100000);
    int64_t offset = 0, pageSize = 0;   // of a leaf page of Asset in the middle: its rows are still to be read
    {
        orvo::refhost::SqliteDb db(demo.filePath("host/orvo-demo.sqlite"), false);
        orvo::refhost::SqliteStatement middle(
            db, "SELECT (pageno - 1) * page_size, page_size, n FROM pragma_page_size, (SELECT pageno, count(*) OVER () "
                "AS n, row_number() OVER (ORDER BY pageno) AS k FROM dbstat WHERE name = 'Asset' AND pagetype = 'leaf') "
                "WHERE k = n / 2 + 1");
        ASSERT_TRUE(middle.step() && middle.int64(2) > 10);
        offset = middle.int64(0);
        pageSize = middle.int64(1);
    }
    enum { Overwrite = -1, CutShort = -2 };   // what happens to the database instead of a signal
    const struct { int signal; bool keepPartial; int exitCode; const char* says; } cases[] = {
        {SIGINT, false, 130, "nothing was changed"},
        {SIGTERM, false, 143, "nothing was changed"},
        {SIGHUP, false, 129, "nothing was changed"},
        {SIGQUIT, false, 131, "nothing was changed"},
        {SIGTERM, true, 143, "complete row\\(s\\) written so far are in "},
        {SIGKILL, false, -1, ""},   // killed
        // Before, a failed read restarted the query: this ran forever.
        {Overwrite, false, 1, "Reading the assets from the host failed after .*malformed"},
        {CutShort, false, 1, "Reading the assets from the host failed after "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "signal " << c.signal << (c.keepPartial ? " --keep-partial" : ""));
        QDir(data).removeRecursively();
        ASSERT_EQ(runCli({"-r", demo.filePath("host"), data}, {}, "/bin/cp").exitCode, 0);
        writeBytes(out, complete);
        QProcess p;
        const QStringList a = exportArgs(data, "Harbor Logistics", out) << allFields()
                              << (c.keepPartial ? QStringList{"--keep-partial"} : QStringList());
        bool frozen = false;
        for (int attempt = 0; attempt < 5 && !frozen; ++attempt)
            frozen = startAndFreezeMidRun(p, a, temporary, complete.size() / 2);
        ASSERT_TRUE(frozen);

        // Another company, as this one is held.
        const ProgramRun second = runCli(exportArgs(data, "City of Lakeside", out, "All Orvo Assets", "Internal", "Public Sector")
                                         << "--fields" << "1004");
        EXPECT_EQ(second.exitCode, 1);
        EXPECT_TRUE(second.err.contains("Another export is writing")) << second.err.toStdString();

        QFile database(file);
        if (c.signal == CutShort)
            ASSERT_TRUE(database.resize(offset));
        else if (c.signal == Overwrite)
            ASSERT_TRUE(database.open(QIODevice::ReadWrite) && database.seek(offset)
                        && database.write(QByteArray(pageSize, '\xA5')) == pageSize && database.flush());
        else
            ::kill(static_cast<pid_t>(p.processId()), c.signal);
        ::kill(static_cast<pid_t>(p.processId()), SIGCONT);
        const ProgramRun r = finishProgram(p, {});
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err.toStdString();
        if (c.exitCode < 0) {
            // A crash leaves its temporary; the next export into the folder removes it.
            EXPECT_TRUE(QFileInfo::exists(temporary));
            const QStringList next = exportArgs(data, "Harbor Logistics", folder + "/next.csv");
            EXPECT_EQ(runCli(next + allFields()).exitCode, 0);
            EXPECT_TRUE(QFile::remove(folder + "/next.csv"));
        } else {
            EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
            EXPECT_TRUE(r.err.contains(QRegularExpression(c.says))) << r.err.toStdString();
        }
        EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{"assets.csv"});
        const QByteArray now = readBytes(out);
        if (c.keepPartial)
            EXPECT_TRUE(now.size() < complete.size() && now.endsWith("\r\n") && complete.startsWith(now));
        else
            EXPECT_EQ(now, complete);
    }
}
