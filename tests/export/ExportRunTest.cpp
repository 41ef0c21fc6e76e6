#include "MemoryHost.h"
#include "TestFiles.h"

#include "export/ExportRun.h"
#include "export/ExportTexts.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <unistd.h>

using expwiz::ExportJob;
using expwiz::ExportOutcome;
using expwiz::ExportResult;
using expwiz::ExportRun;
using expwiz::ExportTexts;

namespace {

memhost::Table numberedRows(int n)
{
    memhost::Table rows;
    for (int i = 1; i <= n; ++i)
        rows.push_back({QString::number(i), QStringLiteral("Asset %1").arg(i), "SL"});
    return rows;
}

const QString kCount = "SELECT count(*)  FROM Asset, Partialsinfo, Bookparts  WHERE Asset.companyid = 7 AND "
                       "Bookparts.bookid = 1 AND Bookparts.sequence >= 0 AND GROUPCOND ";
const QString kData = "SELECT ASSET.ASSETID, ASSET.DESCRIPTION , deprmethod  FROM Asset, Partialsinfo, Bookparts  "
                      "WHERE Asset.companyid = 7 AND Bookparts.bookid = 1 AND Bookparts.sequence >= 0 AND GROUPCOND "
                      "ORDER BY ASSET.ASSETID";

class ExportRunTest : public ::testing::Test {
protected:
    ExportResult run(const ExportJob& job, expwiz::ExportCallbacks callbacks = {})
    {
        return ExportRun(job, std::move(callbacks)).run();
    }
    QTemporaryDir dir;
    const QString path = dir.filePath("out.csv");
    memhost::Host host;
};

} // namespace

TEST_F(ExportRunTest, HostAndCallbacksAreCalledInTheDescribedOrderAndTheRowsWrittenAreTold)
{
    host.connection->dataRows = numberedRows(2);
    expwiz::ExportCallbacks callbacks;
    callbacks.processEvents = [&] { host.log->add("events"); };
    callbacks.progress = [&](int32_t row, int32_t total) { host.log->add(QStringLiteral("progress %1/%2").arg(row).arg(total)); };
    callbacks.stopRequested = [&] { return host.log->add("stop?"), false; };
    callbacks.busy = [&](bool on) { host.log->add(on ? "busy" : "idle"); };
    QString plainCount = kCount, plainData = kData;
    plainCount.chop(QStringLiteral("AND GROUPCOND ").size());
    plainData.replace(QStringLiteral("AND GROUPCOND "), QStringLiteral(" "));
    for (const int counted : {5, 1}) {   // the rows changed after the count: every row is written and told
        SCOPED_TRACE(counted);
        host.connection->faults.countOverride = counted;
        host.log->calls.clear();
        const ExportResult r = run(host.job({1004, 1012}, path), callbacks);
        ASSERT_EQ(r.outcome, ExportOutcome::Completed) << r.message.toStdString();
        const QString row = QStringLiteral("progress %2/%1 | events | stop? | Item 0 | Item 1 | IsLastRow | MoveNext").arg(counted);
        EXPECT_EQ(host.log->joined(), "GroupQuery | Reset | SetGroup All Orvo Assets 0 0 0 0 | ApplyGroup " + plainCount
                                          + " | ApplyGroup " + plainData + " | Connection | busy | CountRows " + kCount
                                          + " | idle | OpenCursor " + kData + " 100 | Rows | Fields | MoveFirst | "
                                          + row.arg(1) + " | " + row.arg(2));
        EXPECT_EQ(r.countQuery, kCount);
        EXPECT_EQ(r.dataQuery, kData);
        EXPECT_EQ(r.progressText, QStringLiteral("2 asset(s) are exported (%1 were counted before the export).").arg(counted));
        EXPECT_EQ(readBytes(path), "\"1\",\"Asset 1\"\r\n\"2\",\"Asset 2\"\r\n");
    }
}

TEST_F(ExportRunTest, EveryTypeCodeIsWrittenByteForByteInTheJobsLocaleAndAnEmptyResultKeepsTheTopLines)
{
    host.connection->dataRows = {
        {"1", "0.5", "0.075", "1234.5", "T", "Desk, \"oak\"", "2024-03-07", "507", "Y", "SL"},
        {"2", "", "", "", "", "", "", "", "", "MF"},
        {"3", "1", "1", "-7", "F", "Caf\u00e9", "1925-12-31", "12345", "", "SL"},
    };
    ExportJob job = host.job({1004, 1064, 1028, 1075, 1084, 1012, 1002, 1007, 1113}, path);
    job.locale = QLocale(QStringLiteral("de_DE"));
    job.companyLine = job.header = true;
    const ExportResult r = run(job);
    EXPECT_EQ(r.outcome, ExportOutcome::Completed);
    EXPECT_EQ(r.rowsWritten, 3);
    EXPECT_EQ(r.total, 3);
    EXPECT_TRUE(r.fileReplaced);
    EXPECT_EQ(r.message, "The Export process is complete.");
    EXPECT_EQ(r.progressText, "3 asset(s) are exported.");
    EXPECT_EQ(readBytes(path), "\"Acme Holdings\",\"All Orvo Assets\",\"Tax\"\r\n"
                               "\"System No\",\"Percent Transferred-In\",\"ITC Percent\",\"Acquisition Value\","
                               "\"Exclude on DER?\",\"Description\",\"Acquisition Date\",\"ADS Life\",\"GO Zone\"\r\n"
                               "\"1\",\"0.5\",\"7,50000\",\"1234,50\",\"Yes\",\"Desk, \"\"oak\"\"\",\"07.03.2024\",\"0507\",\"T\"\r\n"
                               "\"2\",\"\",\"\",\"\",\"No\",\"\",\"\",\"\",\"F\"\r\n"
                               "\"3\",\"1\",\"100,00000\",\"-7,00\",\"No\",\"Caf\xc3\xa9\",\"31.12.1925\",\"12345\",\"F\"\r\n");

    SCOPED_TRACE("no rows: only the optional lines");
    host.connection->dataRows.clear();
    host.log->calls.clear();
    for (const bool header : {true, false}) {
        ExportJob job = host.job({1004, 1012}, path);
        job.header = header;
        const ExportResult r = run(job);
        EXPECT_EQ(r.outcome, ExportOutcome::Completed);
        EXPECT_EQ(r.total, 0);
        EXPECT_EQ(r.rowsWritten, 0);
        EXPECT_EQ(r.progressText, "0 asset(s) are exported.");
        EXPECT_EQ(readBytes(path), header ? "\"System No\",\"Description\"\r\n" : "");
        EXPECT_TRUE(host.log->joined().endsWith("| Rows | Fields | MoveFirst"));
    }
}

TEST_F(ExportRunTest, AStopKeepsTheCompleteRowsGoesOnWhenTheUserSaysNoOrAbortsWhenAsked)
{
    host.connection->dataRows = numberedRows(10);
    int shown = 0, asked = 0, stopAt = 5;
    bool answer = true;
    expwiz::ExportCallbacks callbacks;
    callbacks.progress = [&](int32_t row, int32_t) { shown = row; };
    callbacks.stopRequested = [&] { return shown == stopAt; };
    callbacks.confirmStop = [&] { return ++asked, answer; };
    const QByteArray four = "\"System No\",\"Description\"\r\n\"1\",\"Asset 1\"\r\n\"2\",\"Asset 2\"\r\n"
                            "\"3\",\"Asset 3\"\r\n\"4\",\"Asset 4\"\r\n";
    ExportJob job = host.job({1004, 1012}, path);
    job.header = true;
    {
        SCOPED_TRACE("stop pressed while row 5 of 10 is shown, answered yes: four data lines");
        const ExportResult r = run(job, callbacks);
        EXPECT_EQ(r.outcome, ExportOutcome::Stopped);
        EXPECT_EQ(r.rowsWritten, 4);
        EXPECT_TRUE(r.fileReplaced);
        EXPECT_EQ(r.progressText, "5  of  10");
        EXPECT_EQ(r.message, ExportTexts::stopped(path, 4, 10));
        EXPECT_EQ(asked, 1);
        EXPECT_EQ(readBytes(path), four);
        EXPECT_EQ(testfiles::entries(dir.path()), QStringList{"out.csv"});
    }
    {
        SCOPED_TRACE("a stop that keeps nothing (the command line without --keep-partial): the file stays");
        job.keepRowsOnStop = false;
        const ExportResult r = run(job, callbacks);
        EXPECT_EQ(r.outcome, ExportOutcome::Stopped);
        EXPECT_FALSE(r.fileReplaced);
        EXPECT_EQ(r.message, ExportTexts::aborted(path, 4, 10));
        EXPECT_EQ(readBytes(path), four);
        EXPECT_EQ(testfiles::entries(dir.path()), QStringList{"out.csv"});
    }
    {
        SCOPED_TRACE("answered no: every row is written");
        answer = false;
        const ExportResult r = run(host.job({1004, 1012}, path), callbacks);
        EXPECT_EQ(r.outcome, ExportOutcome::Completed);
        EXPECT_EQ(r.rowsWritten, 10);
        EXPECT_EQ(asked, 3);
        EXPECT_EQ(readBytes(path).count("\r\n"), 10);
    }
    {
        SCOPED_TRACE("without a question (the command line) a request stops at once");
        callbacks.confirmStop = nullptr;
        stopAt = 1;
        const ExportResult r = run(host.job({1004, 1012}, path), callbacks);
        EXPECT_EQ(r.outcome, ExportOutcome::Stopped);
        EXPECT_EQ(r.rowsWritten, 0);
        EXPECT_EQ(readBytes(path), "");
    }
}

TEST_F(ExportRunTest, AWriteFailureIsNeverCompleteAndLeavesThePreviousFile)
{
    const QString longText(1000, QLatin1Char('x'));
    for (int i = 1; i <= 2000; ++i)
        host.connection->dataRows.push_back({QString::number(i), longText, "SL"});
    // The disk takes the first buffer (or nothing), then fails: the message
    // counts the rows that reached the file, not those still buffered.
    for (const auto& [e, n] : {std::pair{ENOSPC, 2000}, std::pair{EIO, 2000}, std::pair{ENOSPC, 3}}) {
        const int err = e, rows = n;
        SCOPED_TRACE(QStringLiteral("errno %1, %2 rows").arg(err).arg(rows).toStdString());
        host.connection->dataRows.resize(size_t(rows));
        writeBytes(path, "previous export\r\n");
        ExportJob job = host.job({1004, 1012}, path);
        job.header = true;
        QByteArray accepted;
        job.writeFunction = [err, rows, &accepted](int, const void* data, size_t size) -> ssize_t {
            if (!accepted.isEmpty() || rows < 2000)
                return errno = err, -1;
            accepted.append(static_cast<const char*>(data), static_cast<qsizetype>(size));
            return static_cast<ssize_t>(size);
        };
        const ExportResult r = run(job);
        EXPECT_EQ(r.outcome, ExportOutcome::Failed);
        EXPECT_FALSE(r.fileReplaced);
        EXPECT_EQ(r.errorNumber, err == ENOSPC ? orvo::errnum::DiskFull : orvo::errnum::PathFileAccess);
        EXPECT_EQ(r.rowsWritten, std::max<qsizetype>(accepted.count("\r\n") - 1, 0));
        EXPECT_EQ(r.rowsWritten > 0, rows == 2000);
        EXPECT_EQ(r.message, ExportTexts::writeFailure(path, r.rowsWritten, rows, r.errorNumber, r.errorDescription));
        EXPECT_TRUE(r.errorDescription.contains(path)) << r.errorDescription.toStdString();
        EXPECT_EQ(readBytes(path), "previous export\r\n");
        EXPECT_EQ(testfiles::entries(dir.path()), QStringList{"out.csv"});
    }
}

TEST_F(ExportRunTest, FailuresBeforeTheFirstRowGiveTheirMessageAndChangeNothing)
{
    using Arrange = std::function<void(memhost::Host&, ExportJob&)>;
    const QString taken = dir.filePath("taken.csv");
    ASSERT_TRUE(QDir(dir.path()).mkdir("taken.csv"));
    bool writable = false;   // root writes any file the system does not make immutable
    const struct {
        const char* name;
        Arrange arrange;
        QString message;
        int32_t number;
        bool reachesHost;
        QString progress = ExportTexts::searching();
    } cases[] = {
        {"an empty map", [](auto&, auto& j) { j.fieldIds.clear(); }, ExportTexts::emptyFieldMap(), 5, false,
         ExportTexts::idleProgress()},
        {"no database", [](auto&, auto& j) { j.database = nullptr; }, "No database is selected for the export.", 424, false},
        {"no company", [](auto&, auto& j) { j.company = nullptr; }, "No company is selected for the export.", 424, false},
        {"no group manager", [](auto&, auto& j) { j.groupManager = nullptr; },
         "No group manager is selected for the export.", 424, false},
        {"no group", [](auto&, auto& j) { j.group = nullptr; }, "No group is selected for the export.", 424, false},
        {"no book", [](auto&, auto& j) { j.book = nullptr; }, "No book is selected for the export.", 424, false},
        {"a field outside the catalog", [](auto&, auto& j) { j.fieldIds.push_back(2000); },
         "Field id 2000 is not in the field catalog (1001 to 1113).", 9, false},
        {"the group restriction fails", [](auto& h, auto&) { h.groupQuery->fails = true; },
         "The group condition is damaged.", 1000, false},
        {"a missing folder", [&](auto&, auto& j) { j.outputPath = dir.filePath("missing/out.csv"); },
         "The path doesn't exist.", 76, false},
        {"a missing folder for a workbook", [&](auto&, auto& j) {
             j.outputPath = dir.filePath("missing/out.xlsx");
             j.format = ExportJob::Format::Workbook;
         }, "The path doesn't exist.", 76, false},
        {"a folder where the file should be", [&](auto&, auto& j) { j.outputPath = taken; },
         ExportTexts::creationError(75, "Cannot write " + taken + ": it is a folder, not a file.", kData), 75, false},
        {"a file that may not be changed", [&](auto&, auto&) {
             QFile::setPermissions(path, QFile::ReadOwner);
             writable = ::geteuid() == 0 && QProcess::execute("chattr", {"+i", path}) != 0;
         }, ExportTexts::fileInUse(), 70, false},
        {"the count fails", [](auto& h, auto&) { h.connection->faults.countFails = true; },
         ExportTexts::creationError(1000, "no such table: Bookparts", kData), 1000, true},
        {"no cursor", [](auto& h, auto&) { h.connection->faults.noCursor = true; }, ExportTexts::noCursor(kData),
         424, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        memhost::Host fresh;
        fresh.connection->dataRows = numberedRows(2);
        writeBytes(path, "old");
        ExportJob job = fresh.job({1004, 1012}, path);
        c.arrange(fresh, job);
        const ExportResult r = run(job);
        if (c.number == 70 && ::geteuid() == 0)
            QProcess::execute("chattr", {"-i", path});
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        if (std::exchange(writable, false))
            continue;
        EXPECT_EQ(r.outcome, ExportOutcome::Failed);
        EXPECT_FALSE(r.fileReplaced);
        EXPECT_EQ(r.message, c.message);
        EXPECT_EQ(r.errorNumber, c.number);
        EXPECT_TRUE(c.number != 76 || r.errorDescription.contains(job.outputPath)) << r.errorDescription.toStdString();
        EXPECT_EQ(r.progressText, c.progress);
        EXPECT_EQ(fresh.log->joined().contains("Connection"), c.reachesHost);
        EXPECT_EQ(readBytes(path), "old");
        EXPECT_EQ(testfiles::entries(dir.path()), QStringList{"out.csv"});
    }
}

TEST_F(ExportRunTest, AnUnreadableValueIsAnEmptyCellAndNavigationFailuresEndTheRun)
{
    const struct {
        const char* name;
        int rows, failsAt, failures;
        ExportOutcome outcome;
        QByteArray bytes;
        int unreadable = 0;
    } cases[] = {
        {"a value that cannot be read never repeats the cell before it", 3, -1, 0, ExportOutcome::Completed,
         "\"1\",\"Asset 1\"\r\n\"2\",\"\"\r\n\"\",\"Asset 3\"\r\n", 2},
        {"MoveNext failing twice, then working, IsLastRow failing: every row once", 4, 1, 2, ExportOutcome::Completed,
         "\"1\",\"Asset 1\"\r\n\"2\",\"Asset 2\"\r\n\"3\",\"Asset 3\"\r\n\"4\",\"Asset 4\"\r\n"},
        {"MoveNext failing for good: the run ends, the previous file stays", 5, 2, 1000000, ExportOutcome::Failed,
         "previous"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeBytes(path, "previous");
        host.connection->dataRows = numberedRows(c.rows);
        memhost::Faults& faults = host.connection->faults;
        faults.unreadable = c.unreadable ? std::set<std::pair<int, int>>{{1, 1}, {2, 0}} : std::set<std::pair<int, int>>{};
        faults.moveNextFailsAtRow = c.failsAt;
        faults.moveNextFailures = c.failures;
        faults.isLastRowFails = c.failures == 2;
        const ExportResult r = run(host.job({1004, 1012}, path));
        EXPECT_EQ(r.outcome, c.outcome);
        EXPECT_EQ(r.unreadableValues, c.unreadable);
        EXPECT_EQ(readBytes(path), c.bytes);
        EXPECT_EQ(r.fileReplaced, c.outcome == ExportOutcome::Completed);
        if (c.outcome == ExportOutcome::Failed) {
            EXPECT_EQ(r.rowsWritten, 3);
            EXPECT_EQ(r.message, ExportTexts::readFailure(path, 3, 5, 1000, "connection lost"));
            EXPECT_EQ(r.progressText, "3  of  5");
        }
    }
}

TEST_F(ExportRunTest, AllocationFieldsExpandToSeventyCellsInTheOrganizationEditions)
{
    host.connection->allocationRows = {{"10", "3", "Fund", "GEN", "50"}, {"10", "3", "Fund", "ROAD", "30"},
                                       {"10", "3", "Fund", "PARK", "20"}};
    for (int i = 1; i <= 40; ++i)
        host.connection->allocationRows.push_back({"100000", "3", "Fund", QStringLiteral("F%1").arg(i), "2.5"});
    // System No, Fund (Insurance Category), Description, then the asset id
    // and depreciation method columns.
    host.connection->dataRows = {{"10", "<Allocated>", "Desk", "10", "SL"}, {"11", "D100", "Chair", "11", "SL"},
                                 {"12", "", "Lamp", "12", "SL"}, {"13", "<Allocated>", "Shelf", "13", "SL"},
                                 {"100000", "<Allocated>", "Van", "100000", "SL"}};
    const auto allocationJob = [&](std::vector<int32_t> map, std::vector<int32_t> linked, int edition) {
        ExportJob job = host.job(std::move(map), path);
        job.edition = expwiz::Edition::fromCode(edition);
        EXPECT_FALSE(job.allocationLists.assign({{3, "Funding source"}, {5, "Department Code"}}).has_value());
        job.allocationLinks.linkAll(linked, job.edition.isGASB, job.allocationLists);
        host.connection->queries.clear();
        return job;
    };
    for (const int code : {36, 52}) {
        SCOPED_TRACE(code);
        ExportJob job = allocationJob({1004, 1026, 1012}, {1004, 1026, 1012}, code);
        job.header = true;
        host.connection->faults.unreadable = {{2, 1}};   // the Fund of "Lamp": empty cells all the same
        const ExportResult r = run(job);
        ASSERT_EQ(r.outcome, ExportOutcome::Completed) << r.message.toStdString();
        EXPECT_EQ(r.unreadableValues, 1);
        EXPECT_TRUE(r.dataQuery.startsWith("SELECT ASSET.ASSETID, ASSET.INSURANCECATEGORY, ASSET.DESCRIPTION , "
                                           "Asset.AssetID , deprmethod "));
        ASSERT_EQ(host.connection->queries.size(), 2u);
        EXPECT_TRUE(host.connection->queries[0].contains(code == 52 ? "APPID =  6 AND" : "APPID =  4 AND"));
        EXPECT_TRUE(host.connection->queries[0].contains("FieldID IN (3)"));

        const std::vector<QStringList> rows = testfiles::pythonCsv(path);
        ASSERT_EQ(rows.size(), 6u);
        for (const QStringList& row : rows)
            EXPECT_EQ(row.size(), 72);
        EXPECT_EQ(rows[0].mid(0, 3), QStringList({"System No", "Funding sourceNo1", " Funding sourcePct1"}));
        EXPECT_EQ(rows[0].mid(70), QStringList({" Funding sourcePct35", "Description"}));
        EXPECT_EQ(rows[1].mid(1, 7), QStringList({"GEN", "50", "ROAD", "30", "PARK", "20", ""}));
        EXPECT_EQ(rows[1][71], "Desk");
        EXPECT_EQ(rows[2].mid(1, 3), QStringList({"D100", "100", ""}));
        EXPECT_EQ(rows[3].mid(1, 70).join(""), "");
        EXPECT_EQ(rows[4].mid(1, 70).join(""), "");
        EXPECT_EQ(rows[5].mid(69, 2), QStringList({"F35", "2.5"}));
    }
    host.connection->faults = {};
    {
        SCOPED_TRACE("no System No in the map: the asset id column after the map is read");
        host.connection->dataRows = {{"<Allocated>", "10", "SL"}};
        ASSERT_EQ(run(allocationJob({1026}, {1026}, 36)).outcome, ExportOutcome::Completed);
        EXPECT_TRUE(readBytes(path).startsWith("\"GEN\",\"50\",\"ROAD\",\"30\",\"PARK\",\"20\",\"\""));
    }
    {
        SCOPED_TRACE("in a workbook a full sheet ends before a row that starts with an allocation field");
        host.connection->dataRows = {{"<Allocated>", "10", "SL"}, {"D100", "11", "SL"}};
        ExportJob job = allocationJob({1026}, {1026}, 36);
        job.header = true;
        job.format = ExportJob::Format::Workbook;
        job.sheetRows = 2;
        job.outputPath = dir.filePath("org.xlsx");
        ASSERT_EQ(run(job).outcome, ExportOutcome::Completed);
        const auto sheets = testfiles::pythonWorkbook(job.outputPath);
        ASSERT_EQ(sheets.size(), 2u);
        EXPECT_EQ(sheets[0][1], QStringList({"GEN", "50", "ROAD", "30", "PARK", "20"}));
        EXPECT_EQ(sheets[1], (std::vector<QStringList>{sheets[0][0], {"D100", "100"}}));
        EXPECT_EQ(sheets[1][0].size(), 70);
    }
    {
        SCOPED_TRACE("a linked field no longer in the map: asset id column, but no allocation query");
        host.connection->dataRows = {{"Desk", "10", "SL"}};
        const ExportResult r = run(allocationJob({1012}, {1026}, 36));
        ASSERT_EQ(r.outcome, ExportOutcome::Completed) << r.message.toStdString();
        EXPECT_TRUE(r.dataQuery.contains(", Asset.AssetID "));
        EXPECT_EQ(host.connection->queries.size(), 1u);
        EXPECT_EQ(readBytes(path), "\"Desk\"\r\n");
    }
    {
        SCOPED_TRACE("outside the organization editions a linked field stays one cell under one label");
        host.connection->dataRows = {{"10", "<Allocated>", "SL"}};
        ExportJob job = allocationJob({1004, 1011}, {1004, 1011}, 1);
        ASSERT_TRUE(job.allocationLinks.hasAllocationFields());
        job.header = true;
        const ExportResult r = run(job);
        ASSERT_EQ(r.outcome, ExportOutcome::Completed);
        EXPECT_FALSE(r.dataQuery.contains("Asset.AssetID"));
        EXPECT_EQ(host.connection->queries.size(), 1u);
        EXPECT_EQ(readBytes(path), "\"System No\",\"Department\"\r\n\"10\",\"<Allocated>\"\r\n");
    }
}

TEST_F(ExportRunTest, PythonsReadersSeeExactlyTheCellsOfTheHost)
{
    host.company->name = "Smith \"Big\", Co";
    const QStringList values = {"He said \"no\", twice", "line1\nline2\r\nline3", "M\u00fcller & S\u00f8n \u2014 Caf\u00e9",
                                "", "\"", ",", "trailing blank _x000D_"};
    std::vector<QStringList> expected = {{"Smith \"Big\", Co", "All Orvo Assets", "Tax"}, {"System No", "Description"}};
    for (int i = 0; i < values.size(); ++i) {
        host.connection->dataRows.push_back({QString::number(i + 1), values[i], "SL"});
        expected.push_back({QString::number(i + 1), values[i]});
    }
    ExportJob job = host.job({1004, 1012}, path);
    job.companyLine = job.header = true;
    ASSERT_EQ(run(job).outcome, ExportOutcome::Completed);
    EXPECT_EQ(testfiles::pythonCsv(path), expected);
    {
        SCOPED_TRACE("an 8-bit encoding: readable in that encoding, the dash replaced and counted");
        job.encoding = "ISO-8859-1";
        const ExportResult r = run(job);
        ASSERT_EQ(r.outcome, ExportOutcome::Completed);
        EXPECT_EQ(r.replacedCharacters, 1);
        EXPECT_EQ(r.message, "The Export process is complete. 1 character(s) could not be written in the encoding "
                             "ISO-8859-1 and were replaced.");
        std::vector<QStringList> latin = expected;
        latin[4][1] = "M\u00fcller & S\u00f8n ? Caf\u00e9";
        EXPECT_EQ(testfiles::pythonCsv(path, "latin-1"), latin);
    }
    {
        SCOPED_TRACE("a workbook of sheets of 6 rows: the same cells, the two lines heading each sheet");
        job.format = ExportJob::Format::Workbook;
        job.sheetRows = 6;
        job.outputPath = dir.filePath("out.xlsx");
        const ExportResult r = run(job);
        ASSERT_EQ(r.outcome, ExportOutcome::Completed) << r.message.toStdString();
        EXPECT_EQ(r.rowsWritten, 7);
        expected[5].removeLast();   // an empty last cell ends the row
        std::vector<QStringList> second(expected.begin(), expected.begin() + 2);
        second.insert(second.end(), expected.begin() + 6, expected.end());
        EXPECT_EQ(testfiles::pythonWorkbook(job.outputPath),
                  (std::vector<std::vector<QStringList>>{{expected.begin(), expected.begin() + 6}, second}));
        EXPECT_EQ(testfiles::entries(dir.path()), QStringList({"out.csv", "out.xlsx"}));
    }
}
