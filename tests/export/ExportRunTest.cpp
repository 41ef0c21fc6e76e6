#include "MemoryHost.h"
#include "QtPrinters.h"
#include "TestFiles.h"

#include "export/ExportRun.h"
#include "export/ExportTexts.h"
#include "export/QueryBuilder.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <tuple>
#include <unistd.h>

using namespace expwiz;
using enum ExportOutcome;

namespace {

// Rows of System No, Description ("Asset N", or `width` x's) and depreciation method.
memhost::Table numberedRows(int n, int width = 0)
{
    memhost::Table rows;
    for (int i = 1; i <= n; ++i)
        rows.push_back({QString::number(i), width ? QString(width, 'x') : QStringLiteral("Asset %1").arg(i), "SL"});
    return rows;
}

QByteArray line(const QStringList& cells)
{
    return ("\"" + cells.join("\",\"") + "\"\r\n").toUtf8();
}

// The CSV lines of the rows' System No and Description, under their header when asked.
QByteArray csvOf(const memhost::Table& rows, bool header = false)
{
    QByteArray out = header ? line({"System No", "Description"}) : "";
    for (const QStringList& row : rows)
        out += line(row.mid(0, 2));
    return out;
}

const QString kCount = "SELECT count(*)  FROM Asset, Partialsinfo, Bookparts  WHERE Asset.companyid = 7 AND "
                       "Bookparts.bookid = 1 AND Bookparts.sequence >= 0 AND GROUPCOND ";
const QString kData = "SELECT ASSET.ASSETID, ASSET.DESCRIPTION , deprmethod  FROM Asset, Partialsinfo, Bookparts  "
                      "WHERE Asset.companyid = 7 AND Bookparts.bookid = 1 AND Bookparts.sequence >= 0 AND GROUPCOND "
                      "ORDER BY ASSET.ASSETID";

class ExportRunTest : public ::testing::Test {
protected:
    ExportResult run(const ExportJob& job, ExportCallbacks callbacks = {})
    {
        return ExportRun(job, std::move(callbacks)).run();
    }
    QTemporaryDir dir;
    const QString path = dir.filePath("out.csv");
    memhost::Host host;
    memhost::MemoryDatabase& db = *host.database;
};

// What a run tells its caller about its end, and that of a complete run of n rows.
auto told(const ExportResult& r)
{
    return std::tuple(r.outcome, r.rowsWritten, r.total, r.fileReplaced, r.message, r.progressText);
}
auto complete(int32_t n)
{
    return std::tuple(Completed, n, n, true, ExportTexts::completeMessage(),
                      QStringLiteral("%1 asset(s) are exported.").arg(n));
}

} // namespace

TEST_F(ExportRunTest, EveryTypeCodeIsWrittenByteForByteAndHostAndCallbacksAreCalledInTheDescribedOrder)
{
    db.dataRows = {
        {"1", "0.5", "0.075", "1234.5", "T", "Desk, \"oak\"", "2024-03-07", "507", "Y", "SL"},
        {"2", "", "", "", "", "", "", "", "", "MF"},
        {"3", "1", "1", "-7", "F", "Caf\u00e9", "1925-12-31", "12345", "", "SL"},
    };
    ExportJob job = host.job({1004, 1064, 1028, 1075, 1084, 1012, 1002, 1007, 1113}, path);
    job.locale = QLocale(QStringLiteral("de_DE"));
    job.companyLine = job.header = true;
    EXPECT_EQ(told(run(job)), complete(3));
    EXPECT_EQ(readBytes(path), "\"Acme Holdings\",\"All Orvo Assets\",\"Tax\"\r\n"
                               "\"System No\",\"Percent Transferred-In\",\"ITC Percent\",\"Acquisition Value\","
                               "\"Exclude on DER?\",\"Description\",\"Acquisition Date\",\"ADS Life\",\"GO Zone\"\r\n"
                               "\"1\",\"0.5\",\"7,50000\",\"1234,50\",\"Yes\",\"Desk, \"\"oak\"\"\",\"07.03.2024\",\"0507\",\"T\"\r\n"
                               "\"2\",\"\",\"\",\"\",\"No\",\"\",\"\",\"\",\"F\"\r\n"
                               "\"3\",\"1\",\"100,00000\",\"-7,00\",\"No\",\"Caf\xc3\xa9\",\"31.12.1925\",\"12345\",\"F\"\r\n");

    SCOPED_TRACE("no rows: only the optional lines");
    db.dataRows.clear();
    for (const bool header : {true, false}) {
        host.log->clear();
        job = host.job({1004, 1012}, path);
        job.header = header;
        EXPECT_EQ(told(run(job)), complete(0));
        EXPECT_EQ(readBytes(path), header ? "\"System No\",\"Description\"\r\n" : "");
        EXPECT_TRUE(host.log->join(" | ").endsWith("| Rows | Fields | MoveFirst"));
    }

    SCOPED_TRACE("host and callbacks are called in the described order and the rows written are told");
    db.dataRows = numberedRows(2);
    ExportCallbacks callbacks;
    callbacks.processEvents = [&] { *host.log << "events"; };
    callbacks.progress = [&](int32_t row, int32_t total) { *host.log << QStringLiteral("progress %1/%2").arg(row).arg(total); };
    callbacks.stopRequested = [&] { return *host.log << "stop?", false; };
    callbacks.busy = [&](bool on) { *host.log << (on ? "busy" : "idle"); };
    const QString plainCount = kCount.left(kCount.indexOf("AND GROUPCOND ")),
                  plainData = QString(kData).replace("AND GROUPCOND ", " ");
    for (const int counted : {5, 1}) {   // the rows changed after the count: every row is written and told
        SCOPED_TRACE(counted);
        db.faults.countOverride = counted;
        host.log->clear();
        const ExportResult r = run(host.job({1004, 1012}, path), callbacks);
        ASSERT_EQ(r.outcome, Completed) << r.message.toStdString();
        const QString row = QStringLiteral("progress %2/%1 | events | stop? | Item 0 | Item 1 | IsLastRow | MoveNext").arg(counted);
        EXPECT_EQ(host.log->join(" | "), "GroupQuery | Reset | SetGroup All Orvo Assets 0 0 0 0 | ApplyGroup " + plainCount
                                          + " | ApplyGroup " + plainData + " | Connection | busy | CountRows " + kCount
                                          + " | idle | OpenCursor " + kData + " 100 | Rows | Fields | MoveFirst | "
                                          + row.arg(1) + " | " + row.arg(2));
        EXPECT_EQ(r.countQuery, kCount);
        EXPECT_EQ(r.dataQuery, kData);
        EXPECT_EQ(r.progressText, QStringLiteral("2 asset(s) are exported (%1 were counted before the export).").arg(counted));
        EXPECT_EQ(readBytes(path), csvOf(db.dataRows));
    }
}

TEST_F(ExportRunTest, StopsUnreadableValuesAndReadOrWriteFailuresKeepCompleteRowsOrThePreviousFile)
{
    // Short writes are continued. The disk takes so many bytes, then fails (in a buffer flush or at
    // commit); the message counts the rows of the buffers that reached the file whole. A budget of
    // -1 takes seven bytes a call and never fails.
    using namespace orvo::errnum;
    const struct { int err; int32_t number; qsizetype budget; int rows; } disks[] = {
        {ENOSPC, DiskFull, 300000, 2000}, {EIO, PathFileAccess, 100000, 2000}, {ENOSPC, DiskFull, 5000, 10},
        {ENOSPC, DiskFull, 0, 3}, {EDQUOT, DiskFull, 0, 1}, {0, 0, -1, 3}};
    for (const auto& c : disks) {
        SCOPED_TRACE(QStringLiteral("errno %1 after %2 bytes, %3 rows").arg(c.err).arg(c.budget).arg(c.rows).toStdString());
        db.dataRows = numberedRows(c.rows, 1000);
        writeBytes(path, "previous export\r\n");
        ExportJob job = host.job({1004, 1012}, path);
        job.header = true;
        QByteArray accepted;
        qsizetype flushed = 0;   // where the last call that took all it was given ended
        job.writeFunction = [&](int fd, const void* data, size_t size) -> ssize_t {
            const qsizetype n = std::min(qsizetype(size), c.budget < 0 ? 7 : c.budget - accepted.size());
            if (n == 0)
                return errno = c.err, -1;
            accepted.append(static_cast<const char*>(data), n);
            flushed = n == qsizetype(size) ? accepted.size() : flushed;
            return ::write(fd, data, size_t(n));
        };
        const ExportResult r = run(job);
        EXPECT_EQ(std::tuple(r.errorNumber, r.rowsWritten),
                  std::tuple(c.number, std::max<qsizetype>(accepted.left(flushed).count("\r\n") - 1, 0)));
        if (!c.err) {
            EXPECT_EQ(told(r), complete(3));
            EXPECT_TRUE(readBytes(path) == csvOf(db.dataRows, true));
            continue;
        }
        EXPECT_EQ(std::tuple(r.outcome, r.fileReplaced, r.rowsWritten > 0, r.message),
                  std::tuple(Failed, false, c.budget > 256 * 1024,
                             ExportTexts::writeFailure(path, r.rowsWritten, c.rows, r.errorNumber, r.errorDescription)));
        EXPECT_TRUE(r.errorDescription.contains(path)) << r.errorDescription.toStdString();
        EXPECT_EQ(readBytes(path), "previous export\r\n");
        EXPECT_EQ(testfiles::entries(dir.path()), QStringList{"out.csv"});
    }

    // answer: to the question, 1 yes, 0 no, -1 none asked (the command line); MoveNext fails `failures` times at
    // row `failsAt` (IsLastRow too when twice); two values cannot be read when `unreadable`.
    const struct { const char* name; int rows, stopAt, answer; bool keep; int failsAt, failures; ExportOutcome outcome;
                   int written; QString message, progress; QByteArray bytes; int unreadable; } cases[] = {
        {"stop pressed while row 5 of 10 is shown, answered yes: four data lines", 10, 5, 1, true, -1, 0, Stopped, 4,
         ExportTexts::stopped(path, 4, 10), "5  of  10", csvOf(numberedRows(4), true), 0},
        {"a stop that keeps nothing (the command line without --keep-partial): the file stays", 10, 5, 1, false, -1, 0,
         Stopped, 4, ExportTexts::aborted(path, 4, 10), "5  of  10", "previous", 0},
        {"answered no: every row is written", 10, 5, 0, true, -1, 0, Completed, 10, ExportTexts::completeMessage(),
         "10 asset(s) are exported.", csvOf(numberedRows(10), true), 0},
        {"without a question a request stops at once", 10, 1, -1, true, -1, 0, Stopped, 0, ExportTexts::stopped(path, 0, 10),
         "1  of  10", csvOf({}, true), 0},
        {"a value that cannot be read never repeats the cell before it", 3, -1, -1, true, -1, 0,
         Completed, 3, ExportTexts::completeMessage(), "3 asset(s) are exported.",
         csvOf({{"System No", "Description"}, {"1", "Asset 1"}, {"2", ""}, {"", "Asset 3"}}), 2},
        {"MoveNext failing twice, then working, IsLastRow failing: every row once", 4, -1, -1, true, 1, 2,
         Completed, 4, ExportTexts::completeMessage(),
         "4 asset(s) are exported.", csvOf(numberedRows(4), true), 0},
        {"MoveNext failing for good: the run ends, the previous file stays", 5, -1, -1, true, 2, 1000000,
         Failed, 3, ExportTexts::readFailure(path, 3, 5, 1000, "connection lost"), "3  of  5", "previous", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeBytes(path, "previous");
        db.dataRows = numberedRows(c.rows);
        db.faults.unreadable = c.unreadable ? std::set<std::pair<int, int>>{{1, 1}, {2, 0}} : std::set<std::pair<int, int>>{};
        db.faults.moveNextFailsAtRow = c.failsAt;
        db.faults.moveNextFailures = c.failures;
        db.faults.isLastRowFails = c.failures == 2;
        int shown = 0, asked = 0;
        ExportCallbacks callbacks;
        callbacks.progress = [&](int32_t row, int32_t) { shown = row; };
        callbacks.stopRequested = [&] { return shown == c.stopAt; };
        if (c.answer >= 0)
            callbacks.confirmStop = [&] { return ++asked, c.answer == 1; };
        ExportJob job = host.job({1004, 1012}, path);
        job.header = true;
        job.keepRowsOnStop = c.keep;
        const ExportResult r = run(job, callbacks);
        EXPECT_EQ(told(r), std::tuple(c.outcome, c.written, c.rows, c.bytes != "previous", c.message, c.progress));
        EXPECT_EQ(std::tuple(asked, r.unreadableValues), std::tuple(c.answer >= 0 ? 1 : 0, c.unreadable));
        EXPECT_EQ(readBytes(path), c.bytes);
        EXPECT_EQ(testfiles::entries(dir.path()), QStringList{"out.csv"});
    }
}

TEST_F(ExportRunTest, FailuresBeforeTheFirstRowGiveTheirMessageAndChangeNothing)
{
    const QString taken = dir.filePath("taken.csv");
    ASSERT_TRUE(QDir(dir.path()).mkdir("taken.csv"));
    bool writable = false;   // root writes any file the system does not make immutable
    const auto none = [](const char* thing) { return QStringLiteral("No %1 is selected for the export.").arg(thing); };
    const struct { const char* name; std::function<void(memhost::MemoryDatabase&, ExportJob&)> arrange; QString message;
                   int32_t number; bool reachesHost = false; QString progress = ExportTexts::searching(); } cases[] = {
        {"an empty map", [](auto&, auto& j) { j.fieldIds.clear(); }, ExportTexts::emptyFieldMap(), 5, false,
         ExportTexts::idleProgress()},
        {"no database", [](auto&, auto& j) { j.database = nullptr; }, none("database"), 424},
        {"no company", [](auto&, auto& j) { j.company = nullptr; }, none("company"), 424},
        {"no group manager", [](auto&, auto& j) { j.groupManager = nullptr; }, none("group manager"), 424},
        {"no group", [](auto&, auto& j) { j.group = nullptr; }, none("group"), 424},
        {"no book", [](auto&, auto& j) { j.book = nullptr; }, none("book"), 424},
        {"a field outside the catalog", [](auto&, auto& j) { j.fieldIds.push_back(2000); },
         "Field id 2000 is not in the field catalog (1001 to 1113).", 9},
        {"the group restriction fails", [](auto& d, auto&) { d.fails = true; }, "The group condition is damaged.", 1000},
        {"a missing folder", [&](auto&, auto& j) { j.outputPath = dir.filePath("missing/out.csv"); },
         "The path doesn't exist.", 76},
        {"a missing folder for a workbook", [&](auto&, auto& j) {
             j.outputPath = dir.filePath("missing/out.xlsx");
             j.format = ExportJob::Format::Workbook;
         }, "The path doesn't exist.", 76},
        {"a folder where the file should be", [&](auto&, auto& j) { j.outputPath = taken; },
         ExportTexts::creationError(75, "Cannot write " + taken + ": it is a folder, not a file.", kData), 75},
        {"a file that may not be changed", [&](auto&, auto&) {
             QFile::setPermissions(path, QFile::ReadOwner);
             writable = ::geteuid() == 0 && QProcess::execute("chattr", {"+i", path}) != 0;
         }, ExportTexts::fileInUse(), 70},
        {"the count fails", [](auto& d, auto&) { d.faults.countFails = true; },
         ExportTexts::creationError(1000, "no such table: Bookparts", kData), 1000, true},
        {"no cursor", [](auto& d, auto&) { d.faults.noCursor = true; }, ExportTexts::noCursor(kData), 424, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        memhost::Host fresh;
        fresh.database->dataRows = numberedRows(2);
        writeBytes(path, "old");
        ExportJob job = fresh.job({1004, 1012}, path);
        c.arrange(*fresh.database, job);
        const ExportResult r = run(job);
        if (c.number == 70 && ::geteuid() == 0)
            QProcess::execute("chattr", {"-i", path});
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        if (std::exchange(writable, false))
            continue;
        EXPECT_EQ(std::tuple(r.outcome, r.fileReplaced, r.errorNumber, r.message, r.progressText),
                  std::tuple(Failed, false, c.number, c.message, c.progress));
        EXPECT_TRUE(c.number != 76 || r.errorDescription.contains(job.outputPath)) << r.errorDescription.toStdString();
        EXPECT_EQ(fresh.log->join(" | ").contains("Connection"), c.reachesHost);
        EXPECT_EQ(readBytes(path), "old");
        EXPECT_EQ(testfiles::entries(dir.path()), QStringList{"out.csv"});
    }
}

TEST_F(ExportRunTest, AllocationFieldsExpandToSeventyCellsInTheOrganizationEditions)
{
    db.allocationRows = {{"10", "3", "Fund", "GEN", "50"}, {"10", "3", "Fund", "ROAD", "30"}, {"10", "3", "Fund", "PARK", "20"}};
    QStringList first35;   // of 40 entries, the first 35 pairs make the cells
    for (int i = 1; i <= 40; ++i) {
        db.allocationRows.push_back({"100000", "3", "Fund", QStringLiteral("F%1").arg(i), "2.5"});
        first35 << (i <= 35 ? QStringList{db.allocationRows.back()[3], "2.5"} : QStringList{});
    }
    // System No, Fund (Insurance Category), Description, then the asset id and depreciation method columns.
    db.dataRows = {{"10", "<Allocated>", "Desk", "10", "SL"}, {"11", "D100", "Chair", "11", "SL"},
                   {"12", "", "Lamp", "12", "SL"}, {"13", "<Allocated>", "Shelf", "13", "SL"},
                   {"100000", "<Allocated>", "Van", "100000", "SL"}};
    const auto allocationJob = [&](std::vector<int32_t> map, std::vector<int32_t> linked, int edition) {
        ExportJob job = host.job(std::move(map), path);
        job.edition = Edition::fromCode(edition);
        job.header = true;
        EXPECT_FALSE(job.allocationLists.assign({{3, "Funding source"}, {5, "Department Code"}}).has_value());
        job.allocationLinks.linkAll(linked, job.edition.isGASB, job.allocationLists);
        db.queries.clear();
        return job;
    };
    // A plain value is its whole amount in one entry; no value, or no entries for the asset, leave every cell empty.
    const auto cells = [](QStringList pairs) { return pairs + QStringList(70 - pairs.size()); };
    const auto row = [&](QString id, QStringList pairs, QString text) { return line(QStringList{id} + cells(pairs) << text); };
    QByteArray header = "\"System No\"";
    for (int k = 1; k <= 35; ++k)
        header += QStringLiteral("%1Funding sourceNo%2, Funding sourcePct%2").arg(k > 1 ? ", " : ",").arg(k).toUtf8();
    header += ",\"Description\"\r\n";
    for (const int code : {36, 52}) {
        SCOPED_TRACE(code);
        ExportJob job = allocationJob({1004, 1026, 1012}, {1004, 1026, 1012}, code);
        db.faults.unreadable = {{2, 1}};   // the Fund of "Lamp": empty cells all the same
        const ExportResult r = run(job);
        ASSERT_EQ(std::tuple(r.outcome, r.unreadableValues), std::tuple(Completed, 1)) << r.message.toStdString();
        EXPECT_TRUE(r.dataQuery.startsWith("SELECT ASSET.ASSETID, ASSET.INSURANCECATEGORY, ASSET.DESCRIPTION , "
                                           "Asset.AssetID , deprmethod "));
        ASSERT_EQ(db.queries.size(), 2u);
        EXPECT_TRUE(db.queries[0].contains(code == 52 ? "APPID =  6 AND" : "APPID =  4 AND")
                    && db.queries[0].contains("FieldID IN (3)")) << db.queries[0].toStdString();
        EXPECT_EQ(readBytes(path), header + row("10", {"GEN", "50", "ROAD", "30", "PARK", "20"}, "Desk")
                                       + row("11", {"D100", "100"}, "Chair") + row("12", {}, "Lamp") + row("13", {}, "Shelf")
                                       + row("100000", first35, "Van"));
    }
    db.faults = {};
    const struct { const char* name; std::vector<int32_t> map, linked; int edition; memhost::Table rows; QByteArray bytes;
                   size_t queries; const char* select; } cases[] = {
        {"no System No in the map: the asset id column after the map is read", {1026}, {1026}, 36,
         {{"<Allocated>", "10", "SL"}}, line(cells({"GEN", "50", "ROAD", "30", "PARK", "20"})), 2,
         "SELECT ASSET.INSURANCECATEGORY , Asset.AssetID , deprmethod "},
        {"a linked field no longer in the map: asset id column, but no allocation query", {1012}, {1026}, 36,
         {{"Desk", "10", "SL"}}, line({"Desk"}), 1, "SELECT ASSET.DESCRIPTION , Asset.AssetID , deprmethod "},
        {"outside the organization editions a linked field stays one cell under one label", {1004, 1011}, {1004, 1011},
         1, {{"10", "<Allocated>", "SL"}}, line({"System No", "Department"}) + line({"10", "<Allocated>"}), 1,
         "SELECT ASSET.ASSETID, ASSET.DEPARTMENT , deprmethod "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        db.dataRows = c.rows;
        ExportJob job = allocationJob(c.map, c.linked, c.edition);
        ASSERT_TRUE(job.allocationLinks.hasAllocationFields());
        job.header = c.edition == 1;
        const ExportResult r = run(job);
        ASSERT_EQ(r.outcome, Completed) << r.message.toStdString();
        EXPECT_TRUE(r.dataQuery.startsWith(c.select)) << r.dataQuery.toStdString();
        EXPECT_EQ(db.queries.size(), c.queries);
        EXPECT_EQ(readBytes(path), c.bytes);
    }
    SCOPED_TRACE("in a workbook a full sheet ends before a row that starts with an allocation field");
    db.dataRows = {{"<Allocated>", "10", "SL"}, {"D100", "11", "SL"}};
    ExportJob job = allocationJob({1026}, {1026}, 36);
    job.format = ExportJob::Format::Workbook;
    job.sheetRows = 2;
    job.outputPath = dir.filePath("org.xlsx");
    ASSERT_EQ(run(job).outcome, Completed);
    const auto sheets = testfiles::pythonCells(job.outputPath);
    ASSERT_EQ(sheets.size(), 2u);
    EXPECT_EQ(sheets[0][1], QStringList({"GEN", "50", "ROAD", "30", "PARK", "20"}));
    EXPECT_EQ(sheets[1], (std::vector<QStringList>{sheets[0][0], {"D100", "100"}}));
    EXPECT_EQ(sheets[1][0].size(), 70);
}

TEST_F(ExportRunTest, PythonsReadersSeeExactlyTheCellsOfTheHost)
{
    host.company->name = "Smith \"Big\", Co";
    const QStringList values = {"He said \"no\", twice", "line1\nline2\r\nline3", "M\u00fcller & S\u00f8n \u2014 Caf\u00e9",
                                "", "\"", ",", "trailing blank _x000D_"};
    std::vector<QStringList> expected = {{"Smith \"Big\", Co", "All Orvo Assets", "Tax"}, {"System No", "Description"}};
    for (int i = 0; i < values.size(); ++i) {
        db.dataRows.push_back({QString::number(i + 1), values[i], "SL"});
        expected.push_back({QString::number(i + 1), values[i]});
    }
    ExportJob job = host.job({1004, 1012}, path);
    job.companyLine = job.header = true;
    ASSERT_EQ(run(job).outcome, Completed);
    EXPECT_EQ(testfiles::pythonCells(path), testfiles::Sheets{expected});

    SCOPED_TRACE("an 8-bit encoding (its bytes in CsvWriterTest): the dash replaced and counted");
    job.encoding = "ISO-8859-1";
    ExportResult r = run(job);
    EXPECT_EQ(std::tuple(r.outcome, r.replacedCharacters, r.message),
              std::tuple(Completed, 1, "The Export process is complete. 1 character(s) could not be written in the "
                                       "encoding ISO-8859-1 and were replaced."));

    SCOPED_TRACE("a workbook of sheets of 6 rows: the same cells, the two lines heading each sheet");
    job.format = ExportJob::Format::Workbook;
    job.sheetRows = 6;
    job.outputPath = dir.filePath("out.xlsx");
    r = run(job);
    EXPECT_EQ(std::tuple(r.outcome, r.rowsWritten), std::tuple(Completed, 7)) << r.message.toStdString();
    expected[5].removeLast();   // an empty last cell ends the row
    std::vector<QStringList> second(expected.begin(), expected.begin() + 2);
    second.insert(second.end(), expected.begin() + 6, expected.end());
    EXPECT_EQ(testfiles::pythonCells(job.outputPath),
              (testfiles::Sheets{{expected.begin(), expected.begin() + 6}, second}));
    EXPECT_EQ(testfiles::entries(dir.path()), QStringList({"out.csv", "out.xlsx"}));
    // Each sheet keeps its top lines in view and every column as wide as its longest text and two (8 to 60).
    EXPECT_EQ(QJsonDocument(testfiles::python("import json,sys,openpyxl\n"
                                              "print(json.dumps([[s.freeze_panes] + [int(s.column_dimensions[c].width)\n"
                                              "    for c in 'ABC'] for s in openpyxl.load_workbook(sys.argv[1]).worksheets]))\n",
                                              {job.outputPath})).toJson(QJsonDocument::Compact),
              R"([["A3",17,30,8],["A3",17,30,8]])");

    SCOPED_TRACE("a workbook holds numbers and dates as such, the numbers rounded as a file shows");
    db.dataRows = {{"1", "0.075", "1234.567", "2024-03-07", "SL"},
                   {"2", "-0.00125", "-7", "1899-12-31", "SL"}};   // before 1900: text as in a file
    job = host.job({1004, 1028, 1075, 1002}, dir.filePath("numbers.xlsx"));
    job.format = ExportJob::Format::Workbook;
    ASSERT_EQ(run(job).outcome, Completed);
    EXPECT_EQ(testfiles::pythonCells(job.outputPath),
              (testfiles::Sheets{{{"1", "0.075", "1234.57", "2024-03-07 00:00:00"},
                                  {"2", "-0.00125", "-7", "31 Dec 1899"}}}));
}

namespace {

// Everything a run leaves behind that a user or a caller sees.
struct Outcome {
    ExportResult result;
    QByteArray file;
    QStringList folder;
};

struct Scenario {
    const char* name;
    int rows = 2000;
    int stopAtRow = 0;               // a confirmed stop while this row is shown
    bool keepRowsOnStop = true;
    int readFailsAtRow = -1;         // MoveNext from this 0-based row fails for good
    qsizetype diskTakes = -1;        // bytes written before the disk is full
    ExportJob::Format format = ExportJob::Format::Csv;
    const char* encoding = "UTF-8";
    bool byteOrderMark = false;
};

Outcome runScenario(const Scenario& s, bool pipelined, const QTemporaryDir& dir)
{
    const QString path = dir.filePath(s.format == ExportJob::Format::Csv ? "out.csv" : "out.xlsx");
    writeBytes(path, "previous export\r\n");
    memhost::Host host;
    // Rows long enough for many batches and several write buffers, with quotes, commas, non-ASCII text and
    // characters Latin-1 cannot hold.
    for (int i = 1; i <= s.rows; ++i)
        host.database->dataRows.push_back(
            {QString::number(i), QStringLiteral("Desk \"%1\", caf\u00e9 \u20ac ").arg(i) + QString(300, QChar(u'x' + i % 3)),
             QStringLiteral("%1.125").arg(i), QStringLiteral("2024-03-%1").arg(1 + i % 28, 2, 10, QChar(u'0')), "SL"});
    host.database->faults = {.unreadable = {}, .moveNextFailsAtRow = s.readFailsAtRow, .moveNextFailures = 1000000};

    ExportJob job = host.job({1004, 1012, 1075, 1002}, path);
    job.pipelined = pipelined;
    job.format = s.format;
    job.companyLine = job.header = true;
    job.locale = QLocale(QStringLiteral("de_DE"));
    job.encoding = QString::fromLatin1(s.encoding);
    job.byteOrderMark = s.byteOrderMark;
    job.keepRowsOnStop = s.keepRowsOnStop;
    qsizetype taken = 0;
    if (s.diskTakes >= 0)
        job.writeFunction = [&taken, &s](int fd, const void* data, size_t size) -> ssize_t {
            if (taken + qsizetype(size) > s.diskTakes)
                return errno = ENOSPC, -1;
            return taken += qsizetype(size), ::write(fd, data, size);
        };
    int shown = 0;
    ExportCallbacks callbacks;
    callbacks.progress = [&](int32_t row, int32_t) { shown = row; };
    callbacks.stopRequested = [&] { return shown == s.stopAtRow; };
    callbacks.confirmStop = [] { return true; };

    Outcome out{ExportRun(job, callbacks).run(), readBytes(path), testfiles::entries(dir.path())};
    out.folder.removeAll(QStringLiteral("one.xlsx"));
    if (s.format == ExportJob::Format::Workbook && out.result.fileReplaced)
        QFile::rename(path, dir.filePath(pipelined ? "two.xlsx" : "one.xlsx"));
    return out;
}

} // namespace

TEST(Pipeline, EveryRunEndsExactlyAsOnOneThread)
{
    const Scenario scenarios[] = {
        {"complete"},
        {.name = "complete in Latin-1, with replaced characters", .encoding = "ISO-8859-1"},
        {.name = "complete in UTF-8 with a byte-order mark", .rows = 300, .byteOrderMark = true},
        {.name = "no rows", .rows = 0},
        {.name = "stop confirmed at row 1", .stopAtRow = 1},
        {.name = "stop confirmed at row 1234, rows kept", .stopAtRow = 1234},
        {.name = "stop confirmed at row 1234, an abort", .stopAtRow = 1234, .keepRowsOnStop = false},
        {.name = "read failure at row 1500", .readFailsAtRow = 1500},
        {.name = "disk full after the first buffer", .diskTakes = 256 * 1024},
        {.name = "disk full after two buffers", .rows = 4000, .diskTakes = 2 * 256 * 1024 + 17},
        {.name = "disk full in the last flush, at commit", .diskTakes = 600 * 1024},
        {.name = "disk full before a stop", .stopAtRow = 1900, .keepRowsOnStop = false, .diskTakes = 256 * 1024},
        {.name = "disk full before a read failure", .readFailsAtRow = 1900, .diskTakes = 256 * 1024},
        // The one workbook comes last: a helper program reading it between the runs would blind the thread checker.
        {.name = "workbook stop at row 100", .rows = 300, .stopAtRow = 100, .format = ExportJob::Format::Workbook},
    };
    const auto seen = [](const Outcome& o) {
        const ExportResult& r = o.result;
        return std::tuple(r.outcome, r.message, r.progressText, r.rowsWritten, r.total, r.fileReplaced, r.errorNumber,
                          r.replacedCharacters, o.folder);
    };
    for (const Scenario& s : scenarios) {
        SCOPED_TRACE(s.name);
        const QTemporaryDir dir;   // the messages name the file
        Outcome one = runScenario(s, false, dir);
        Outcome two = runScenario(s, true, dir);
        if (s.format == ExportJob::Format::Workbook) {   // it carries its creation time: its cells are compared
            const auto cells = testfiles::pythonCells(dir.filePath("one.xlsx"));
            ASSERT_FALSE(cells.empty());
            EXPECT_EQ(testfiles::pythonCells(dir.filePath("two.xlsx")), cells);
            one.file = two.file = "cells compared";
        }
        EXPECT_EQ(seen(two), seen(one));
        EXPECT_TRUE(two.file == one.file) << "files differ: " << two.file.size() << " and " << one.file.size()
                                          << " bytes";
        // The scenario did what its name says.
        EXPECT_EQ(one.file == "previous export\r\n", !one.result.fileReplaced) << one.result.message.toStdString();
        EXPECT_EQ(one.result.errorNumber, s.diskTakes >= 0 ? orvo::errnum::DiskFull : one.result.errorNumber);
    }
}

TEST(Query, MapColumnsThenExtraColumnsSignedIdsAndTheCountLosesOnlyItsLastUpperCaseOrderBy)
{
    const struct { std::vector<int32_t> ids; bool gasb, alloc; const char* expected; } cases[] = {
        {{1016, 1090, 1110}, false, false,
         "SELECT ASSET.ZtUser1, BOOKPARTS.CURRENTS179Recap, ASSET.EntityCode , deprmethod "},
        {{1012, 1026}, true, true,
         "SELECT ASSET.DESCRIPTION, ASSET.INSURANCECATEGORY , Asset.AssetID , deprmethod "},
        {{1012}, true, false, "SELECT ASSET.DESCRIPTION , deprmethod "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(QueryBuilder(c.ids, 7, 1, c.gasb, c.alloc).selectClause(), QString::fromLatin1(c.expected));
    const QueryBuilder big({1075}, 32767, -2, false, false);
    EXPECT_EQ(big.whereClause(),
              " WHERE Asset.companyid = 32767 AND Bookparts.bookid = -2 AND Bookparts.sequence >= 0 ");
    EXPECT_FALSE(big.countQuery().contains("ORDER BY"));
    // A field outside the catalog fails instead of reading past it.
    EXPECT_THROW(QueryBuilder::columnExpression(1000), orvo::HostError);
    EXPECT_THROW(QueryBuilder({1004, 1114}, 7, 1, false, false).dataQuery(), orvo::HostError);

    memhost::Host host;
    host.database->rewrite = [](const QString& sql) { return sql + " ORDER BY a ORDER BY b order by c"; };
    QString count = "COUNT ", data = "DATA ";
    QueryBuilder::applyGroup(*host.database, host.group, count, data);
    EXPECT_EQ(count, "COUNT  ORDER BY a ");
    EXPECT_EQ(data, "DATA  ORDER BY a ORDER BY b order by c");
    EXPECT_EQ(QueryBuilder::cutBeforeLastOrderBy("SELECT count(*) x order by y "), "SELECT count(*) x order by y ");
    struct NoQuery : orvo::IOrvoGroupManager {
        std::shared_ptr<orvo::IOrvoGroupList> GroupList() override { return {}; }
        std::shared_ptr<orvo::IOrvoGroupQuery> GroupQuery() override { return {}; }
    } none;
    EXPECT_THROW(QueryBuilder::applyGroup(none, host.group, count, data), orvo::HostError);
}
