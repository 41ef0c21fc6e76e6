#include "MemoryHost.h"
#include "TestFiles.h"

#include "export/ExportRun.h"
#include "export/ExportTexts.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <unistd.h>

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

int lineCount(const QByteArray& bytes)
{
    return int(bytes.count("\r\n"));
}

const char* kCount = "SELECT count(*)  FROM Asset, Partialsinfo, Bookparts  WHERE Asset.companyid = 7 AND "
                     "Bookparts.bookid = 1 AND Bookparts.sequence >= 0 ";
const char* kData = "SELECT ASSET.ASSETID, ASSET.DESCRIPTION , deprmethod  FROM Asset, Partialsinfo, Bookparts  "
                    "WHERE Asset.companyid = 7 AND Bookparts.bookid = 1 AND Bookparts.sequence >= 0  ORDER BY "
                    "ASSET.ASSETID";

} // namespace

TEST(ExportRun, HostAndCallbacksAreCalledInTheDescribedOrder)
{
    QTemporaryDir dir;
    memhost::Host host;
    host.connection->dataRows = numberedRows(2);
    expwiz::ExportCallbacks callbacks;
    callbacks.processEvents = [&] { host.log->add("events"); };
    callbacks.progress = [&](int32_t row, int32_t total) { host.log->add(QStringLiteral("progress %1/%2").arg(row).arg(total)); };
    callbacks.stopRequested = [&] {
        host.log->add("stop?");
        return false;
    };
    callbacks.busy = [&](bool on) { host.log->add(on ? "busy" : "idle"); };
    const ExportResult r = ExportRun(host.job({1004, 1012}, dir.filePath("out.csv")), callbacks).run();
    ASSERT_EQ(r.outcome, ExportOutcome::Completed) << r.message.toStdString();

    const QString count = QString::fromLatin1(kCount);
    const QString data = QString::fromLatin1(kData);
    const QString groupedCount = count + "AND GROUPCOND ";
    const QString groupedData = data.left(data.indexOf(" ORDER BY")) + "AND GROUPCOND ORDER BY ASSET.ASSETID";
    const QString row = "events | progress %1/2 | events | stop? | Item 0 | Item 1 | IsLastRow | MoveNext";
    EXPECT_EQ(host.log->joined(),
              "GroupQuery | Reset | SetGroup All Orvo Assets 0 0 0 0 | ApplyGroup " + count + " | ApplyGroup " + data
                  + " | Connection | busy | CountRows " + groupedCount + " | idle | OpenCursor " + groupedData
                  + " 100 | Rows | Fields | MoveFirst | " + row.arg(1) + " | " + row.arg(2));
    EXPECT_EQ(r.countQuery, groupedCount);
    EXPECT_EQ(r.dataQuery, groupedData);
    EXPECT_EQ(testfiles::read(dir.filePath("out.csv")), "\"1\",\"Asset 1\"\r\n\"2\",\"Asset 2\"\r\n");
}

TEST(ExportRun, EveryTypeCodeIsWrittenByteForByteInTwoLocales)
{
    QTemporaryDir dir;
    memhost::Host host;
    host.connection->dataRows = {
        {"1", "0.5", "0.075", "1234.5", "T", "Desk, \"oak\"", "2024-03-07", "507", "Y", "SL"},
        {"2", "", "", "", "", "", "", "", "", "MF"},
        {"3", "1", "1", "-7", "F", "Caf\u00e9", "1925-12-31", "12345", "", "SL"},
    };
    const std::vector<int32_t> map{1004, 1064, 1028, 1075, 1084, 1012, 1002, 1007, 1113};
    const QByteArray top = "\"Acme Holdings\",\"All Orvo Assets\",\"Tax\"\r\n"
                           "\"System No\",\"Percent Transferred-In\",\"ITC Percent\",\"Acquisition Value\","
                           "\"Exclude on DER?\",\"Description\",\"Acquisition Date\",\"ADS Life\",\"GO Zone\"\r\n";
    struct Case {
        const char* locale;
        QByteArray rows;
    };
    const Case cases[] = {
        {"en_US", "\"1\",\"0.5\",\"7.50000\",\"1234.50\",\"Yes\",\"Desk, \"\"oak\"\"\",\"3/7/2024\",\"0507\",\"T\"\r\n"
                  "\"2\",\"\",\"\",\"\",\"No\",\"\",\"\",\"\",\"F\"\r\n"
                  "\"3\",\"1\",\"100.00000\",\"-7.00\",\"No\",\"Caf\xc3\xa9\",\"12/31/1925\",\"12345\",\"F\"\r\n"},
        {"de_DE", "\"1\",\"0.5\",\"7,50000\",\"1234,50\",\"Yes\",\"Desk, \"\"oak\"\"\",\"07.03.2024\",\"0507\",\"T\"\r\n"
                  "\"2\",\"\",\"\",\"\",\"No\",\"\",\"\",\"\",\"F\"\r\n"
                  "\"3\",\"1\",\"100,00000\",\"-7,00\",\"No\",\"Caf\xc3\xa9\",\"31.12.1925\",\"12345\",\"F\"\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.locale);
        expwiz::ExportJob job = host.job(map, dir.filePath("out.csv"));
        job.locale = QLocale(QString::fromLatin1(c.locale));
        job.companyLine = true;
        job.header = true;
        const ExportResult r = ExportRun(job).run();
        EXPECT_EQ(r.outcome, ExportOutcome::Completed);
        EXPECT_EQ(r.rowsWritten, 3);
        EXPECT_EQ(r.total, 3);
        EXPECT_TRUE(r.fileReplaced);
        EXPECT_EQ(r.message, "The Export process is complete.");
        EXPECT_EQ(r.progressText, "3 asset(s) are exported.");
        EXPECT_EQ(testfiles::read(dir.filePath("out.csv")), top + c.rows);
    }
    {
        SCOPED_TRACE("without the two options the first line is the first data line");
        const ExportResult r = ExportRun(host.job({1004}, dir.filePath("plain.csv"))).run();
        EXPECT_EQ(r.outcome, ExportOutcome::Completed);
        EXPECT_EQ(testfiles::read(dir.filePath("plain.csv")), "\"1\"\r\n\"2\"\r\n\"3\"\r\n");
    }
}

TEST(ExportRun, AnEmptyResultKeepsOnlyTheOptionalLines)
{
    QTemporaryDir dir;
    memhost::Host host;
    expwiz::ExportJob job = host.job({1004, 1012}, dir.filePath("out.csv"));
    job.header = true;
    const ExportResult r = ExportRun(job).run();
    EXPECT_EQ(r.outcome, ExportOutcome::Completed);
    EXPECT_EQ(r.total, 0);
    EXPECT_EQ(r.rowsWritten, 0);
    EXPECT_EQ(r.progressText, "0 asset(s) are exported.");
    EXPECT_EQ(testfiles::read(dir.filePath("out.csv")), "\"System No\",\"Description\"\r\n");
    EXPECT_TRUE(host.log->joined().endsWith("| Rows | Fields | MoveFirst"));

    job.header = false;
    EXPECT_EQ(ExportRun(job).run().outcome, ExportOutcome::Completed);
    EXPECT_EQ(testfiles::read(dir.filePath("out.csv")), "");
}

TEST(ExportRun, AStopKeepsTheCompleteRowsOrGoesOnWhenTheUserSaysNo)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("out.csv");
    memhost::Host host;
    host.connection->dataRows = numberedRows(10);
    int shown = 0;
    int asked = 0;
    bool answer = true;
    expwiz::ExportCallbacks callbacks;
    callbacks.progress = [&](int32_t row, int32_t) { shown = row; };
    callbacks.stopRequested = [&] { return shown == 5; };
    callbacks.confirmStop = [&] {
        ++asked;
        return answer;
    };
    {
        SCOPED_TRACE("stop pressed while row 5 of 10 is shown, answered yes: four data lines");
        expwiz::ExportJob job = host.job({1004, 1012}, path);
        job.header = true;
        const ExportResult r = ExportRun(job, callbacks).run();
        EXPECT_EQ(r.outcome, ExportOutcome::Stopped);
        EXPECT_EQ(r.rowsWritten, 4);
        EXPECT_TRUE(r.fileReplaced);
        EXPECT_EQ(r.progressText, "5  of  10");
        EXPECT_EQ(asked, 1);
        const QByteArray bytes = testfiles::read(path);
        EXPECT_EQ(lineCount(bytes), 5);
        EXPECT_TRUE(bytes.endsWith("\"4\",\"Asset 4\"\r\n"));
        EXPECT_EQ(testfiles::entries(dir.path()), QStringList{"out.csv"});
    }
    {
        SCOPED_TRACE("answered no: every row is written");
        answer = false;
        const ExportResult r = ExportRun(host.job({1004, 1012}, path), callbacks).run();
        EXPECT_EQ(r.outcome, ExportOutcome::Completed);
        EXPECT_EQ(r.rowsWritten, 10);
        EXPECT_EQ(asked, 2);
        EXPECT_EQ(lineCount(testfiles::read(path)), 10);
    }
    {
        SCOPED_TRACE("without a question (the command line) a request stops at once");
        callbacks.confirmStop = nullptr;
        callbacks.stopRequested = [&] { return shown == 1; };
        const ExportResult r = ExportRun(host.job({1004, 1012}, path), callbacks).run();
        EXPECT_EQ(r.outcome, ExportOutcome::Stopped);
        EXPECT_EQ(r.rowsWritten, 0);
        EXPECT_EQ(testfiles::read(path), "");
    }
}

TEST(ExportRun, AWriteFailureIsNeverCompleteAndLeavesThePreviousFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("out.csv");
    memhost::Host host;
    const QString longText(1000, QLatin1Char('x'));
    for (int i = 1; i <= 2000; ++i)
        host.connection->dataRows.push_back({QString::number(i), longText, "SL"});
    for (const int err : {ENOSPC, EIO}) {
        SCOPED_TRACE(err);
        testfiles::write(path, "previous export\r\n");
        expwiz::ExportJob job = host.job({1004, 1012}, path);
        job.header = true;
        // The disk takes the first buffer, then fails: the message counts
        // the rows that reached the file, not those still buffered.
        QByteArray accepted;
        job.writeFunction = [err, &accepted](int, const void* data, size_t size) -> ssize_t {
            if (!accepted.isEmpty()) {
                errno = err;
                return -1;
            }
            accepted.append(static_cast<const char*>(data), static_cast<qsizetype>(size));
            return static_cast<ssize_t>(size);
        };
        const ExportResult r = ExportRun(job).run();
        EXPECT_EQ(r.outcome, ExportOutcome::Failed);
        EXPECT_FALSE(r.fileReplaced);
        EXPECT_EQ(r.errorNumber, err == ENOSPC ? orvo::errnum::DiskFull : orvo::errnum::PathFileAccess);
        EXPECT_GT(r.rowsWritten, 0);
        EXPECT_EQ(r.rowsWritten, accepted.count("\r\n") - 1);
        EXPECT_TRUE(r.message.contains(path)) << r.message.toStdString();
        EXPECT_TRUE(r.message.contains(QStringLiteral("after %1 of 2000").arg(r.rowsWritten)));
        EXPECT_FALSE(r.message.contains("complete."));
        EXPECT_EQ(testfiles::read(path), "previous export\r\n");
        EXPECT_EQ(testfiles::entries(dir.path()), QStringList{"out.csv"});
    }
    {
        SCOPED_TRACE("a failure in the last flush, after every row");
        host.connection->dataRows = numberedRows(3);
        expwiz::ExportJob job = host.job({1004, 1012}, path);
        job.writeFunction = [](int, const void*, size_t) -> ssize_t {
            errno = ENOSPC;
            return -1;
        };
        const ExportResult r = ExportRun(job).run();
        EXPECT_EQ(r.outcome, ExportOutcome::Failed);
        EXPECT_TRUE(r.message.contains("after 0 of 3"));
        EXPECT_EQ(testfiles::read(path), "previous export\r\n");
    }
}

TEST(ExportRun, FileProblemsGiveTheirMessagesAndChangeNothing)
{
    QTemporaryDir dir;
    memhost::Host host;
    host.connection->dataRows = numberedRows(2);
    {
        SCOPED_TRACE("a folder that does not exist");
        const ExportResult r = ExportRun(host.job({1004, 1012}, dir.filePath("missing/out.csv"))).run();
        EXPECT_EQ(r.outcome, ExportOutcome::Failed);
        EXPECT_EQ(r.message, "The path doesn't exist.");
        EXPECT_EQ(r.errorNumber, orvo::errnum::PathNotFound);
        EXPECT_TRUE(r.errorDescription.contains("missing/out.csv"));
        EXPECT_FALSE(host.log->joined().contains("Connection"));
    }
    {
        SCOPED_TRACE("a folder where the file should be");
        ASSERT_TRUE(QDir(dir.path()).mkdir("taken.csv"));
        const ExportResult r = ExportRun(host.job({1004, 1012}, dir.filePath("taken.csv"))).run();
        EXPECT_EQ(r.outcome, ExportOutcome::Failed);
        EXPECT_TRUE(r.message.startsWith("There was an error when creating the csv file. (75: "));
        EXPECT_TRUE(r.message.endsWith(") SQL: " + r.dataQuery));
    }
    {
        SCOPED_TRACE("a file that may not be changed");
        const QString path = dir.filePath("readonly.csv");
        testfiles::write(path, "keep me");
        ::chmod(QFile::encodeName(path).constData(), 0444);
        const bool immutable = QProcess::execute("chattr", {"+i", path}) == 0;
        if (::geteuid() != 0 || immutable) {
            const ExportResult r = ExportRun(host.job({1004, 1012}, path)).run();
            EXPECT_EQ(r.message, "The file is used right now and cannot be overwritten.");
            EXPECT_EQ(r.errorNumber, orvo::errnum::PermissionDenied);
            EXPECT_EQ(testfiles::read(path), "keep me");
        }
        if (immutable)
            QProcess::execute("chattr", {"-i", path});
    }
}

TEST(ExportRun, HostFailuresBeforeTheRowsShowTheDataQueryAndKeepTheOldFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("out.csv");
    {
        SCOPED_TRACE("the count query fails");
        memhost::Host host;
        host.connection->faults.countFails = true;
        testfiles::write(path, "old");
        const ExportResult r = ExportRun(host.job({1004, 1012}, path)).run();
        EXPECT_EQ(r.outcome, ExportOutcome::Failed);
        EXPECT_EQ(r.message, ExportTexts::creationError(1000, "no such table: Bookparts", r.dataQuery));
        EXPECT_EQ(r.progressText, "Searching...");
        EXPECT_TRUE(r.message.contains("SQL: SELECT ASSET.ASSETID, ASSET.DESCRIPTION , deprmethod "));
        EXPECT_EQ(testfiles::read(path), "old");
        EXPECT_EQ(testfiles::entries(dir.path()), QStringList{"out.csv"});
    }
    {
        SCOPED_TRACE("no cursor is a failure, not a complete export");
        memhost::Host host;
        host.connection->dataRows = numberedRows(2);
        host.connection->faults.noCursor = true;
        const ExportResult r = ExportRun(host.job({1004, 1012}, path)).run();
        EXPECT_EQ(r.outcome, ExportOutcome::Failed);
        EXPECT_TRUE(r.message.contains("cursor is null"));
        EXPECT_FALSE(r.message.contains("complete."));
        EXPECT_EQ(testfiles::read(path), "old");
    }
    {
        SCOPED_TRACE("the group restriction fails: its description is the message");
        memhost::Host host;
        host.groupQuery->fails = true;
        const ExportResult r = ExportRun(host.job({1004}, path)).run();
        EXPECT_EQ(r.outcome, ExportOutcome::Failed);
        EXPECT_EQ(r.message, "The group condition is damaged.");
        EXPECT_EQ(testfiles::read(path), "old");
    }
    {
        SCOPED_TRACE("an empty map, a missing book, a field outside the catalog");
        memhost::Host host;
        EXPECT_EQ(ExportRun(host.job({}, path)).run().message, ExportTexts::emptyFieldMap());
        expwiz::ExportJob job = host.job({1004}, path);
        job.book = nullptr;
        EXPECT_TRUE(ExportRun(job).run().message.contains("book"));
        const ExportResult r = ExportRun(host.job({1004, 2000}, path)).run();
        EXPECT_EQ(r.outcome, ExportOutcome::Failed);
        EXPECT_TRUE(r.message.contains("2000"));
        EXPECT_EQ(testfiles::read(path), "old");
        EXPECT_TRUE(host.log->calls.empty() || !host.log->joined().contains("Connection"));
    }
}

TEST(ExportRun, AnUnreadableValueIsAnEmptyCellAndNavigationFailuresEndTheRun)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("out.csv");
    {
        SCOPED_TRACE("a value that cannot be read never repeats the cell before it");
        memhost::Host host;
        host.connection->dataRows = numberedRows(3);
        host.connection->faults.unreadable = {{1, 1}, {2, 0}};
        const ExportResult r = ExportRun(host.job({1004, 1012}, path)).run();
        EXPECT_EQ(r.outcome, ExportOutcome::Completed);
        EXPECT_EQ(r.unreadableValues, 2);
        EXPECT_EQ(testfiles::read(path), "\"1\",\"Asset 1\"\r\n\"2\",\"\"\r\n\"\",\"Asset 3\"\r\n");
    }
    {
        SCOPED_TRACE("MoveNext failing twice, then working: every row once");
        memhost::Host host;
        host.connection->dataRows = numberedRows(4);
        host.connection->faults.moveNextFailsAtRow = 1;
        host.connection->faults.moveNextFailures = 2;
        host.connection->faults.isLastRowFails = true;
        const ExportResult r = ExportRun(host.job({1004}, path)).run();
        EXPECT_EQ(r.outcome, ExportOutcome::Completed);
        EXPECT_EQ(testfiles::read(path), "\"1\"\r\n\"2\"\r\n\"3\"\r\n\"4\"\r\n");
    }
    {
        SCOPED_TRACE("MoveNext failing for good: the run ends, the previous file stays");
        memhost::Host host;
        host.connection->dataRows = numberedRows(5);
        host.connection->faults.moveNextFailsAtRow = 2;
        host.connection->faults.moveNextFailures = 1000000;
        const ExportResult r = ExportRun(host.job({1004}, path)).run();
        EXPECT_EQ(r.outcome, ExportOutcome::Failed);
        EXPECT_FALSE(r.fileReplaced);
        EXPECT_EQ(r.rowsWritten, 3);
        EXPECT_TRUE(r.message.contains("3 of 5")) << r.message.toStdString();
        EXPECT_EQ(r.progressText, "3  of  5");
        EXPECT_EQ(testfiles::read(path), "\"1\"\r\n\"2\"\r\n\"3\"\r\n\"4\"\r\n");
    }
}

TEST(ExportRun, TheCompletionTextShowsTheRowsWrittenAndTheCountWhenTheyDiffer)
{
    QTemporaryDir dir;
    memhost::Host host;
    host.connection->dataRows = numberedRows(3);
    host.connection->faults.countOverride = 5;
    std::vector<QString> shown;
    expwiz::ExportCallbacks callbacks;
    callbacks.progress = [&](int32_t row, int32_t total) { shown.push_back(ExportTexts::rowProgress(row, total)); };
    ExportResult r = ExportRun(host.job({1004}, dir.filePath("out.csv")), callbacks).run();
    EXPECT_EQ(r.outcome, ExportOutcome::Completed);
    EXPECT_EQ(r.progressText, "3 asset(s) are exported (5 were counted before the export).");
    EXPECT_EQ(shown, (std::vector<QString>{"1  of  5", "2  of  5", "3  of  5"}));

    host.connection->faults.countOverride = 1;
    shown.clear();
    r = ExportRun(host.job({1004}, dir.filePath("out.csv")), callbacks).run();
    EXPECT_EQ(shown.back(), "3  of  1");
    EXPECT_EQ(r.rowsWritten, 3);
    EXPECT_EQ(ExportTexts::idleProgress(), " 0  of  0 ");
}

TEST(ExportRun, AllocationFieldsExpandToSeventyCellsInTheOrganizationEditions)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("out.csv");
    memhost::Host host;
    host.connection->allocationRows = {{"10", "3", "Fund", "GEN", "50"}, {"10", "3", "Fund", "ROAD", "30"},
                                       {"10", "3", "Fund", "PARK", "20"}};
    for (int i = 1; i <= 40; ++i)
        host.connection->allocationRows.push_back({"100000", "3", "Fund", QStringLiteral("F%1").arg(i), "2.5"});
    // System No, Fund (Insurance Category), Description, then the asset id
    // and depreciation method columns.
    host.connection->dataRows = {{"10", "<Allocated>", "Desk", "10", "SL"},
                                 {"11", "D100", "Chair", "11", "SL"},
                                 {"12", "", "Lamp", "12", "SL"},
                                 {"13", "<Allocated>", "Shelf", "13", "SL"},
                                 {"100000", "<Allocated>", "Van", "100000", "SL"}};
    const std::vector<int32_t> map{1004, 1026, 1012};

    for (const int code : {36, 52}) {
        SCOPED_TRACE(code);
        expwiz::ExportJob job = host.job(map, path);
        job.edition = expwiz::Edition::fromCode(code);
        ASSERT_FALSE(job.allocationLists.assign({{3, "Funding source"}, {5, "Department Code"}}).has_value());
        job.allocationLinks.linkAll(map, true, job.allocationLists);
        job.header = true;
        host.connection->queries.clear();
        const ExportResult r = ExportRun(job).run();
        ASSERT_EQ(r.outcome, ExportOutcome::Completed) << r.message.toStdString();
        EXPECT_TRUE(r.dataQuery.startsWith("SELECT ASSET.ASSETID, ASSET.INSURANCECATEGORY, ASSET.DESCRIPTION , "
                                           "Asset.AssetID , deprmethod "));
        ASSERT_EQ(host.connection->queries.size(), 2u);
        EXPECT_TRUE(host.connection->queries[0].contains(code == 52 ? "APPID =  6 AND" : "APPID =  4 AND"));
        EXPECT_TRUE(host.connection->queries[0].contains("FieldID IN (3)"));

        const std::vector<QStringList> rows = testfiles::pythonCsv(path);
        ASSERT_EQ(rows.size(), 6u);
        for (const QStringList& row : rows)
            EXPECT_EQ(row.size(), 72);
        EXPECT_EQ(rows[0][0], "System No");
        EXPECT_EQ(rows[0][1], "Funding sourceNo1");
        EXPECT_EQ(rows[0][2], " Funding sourcePct1");
        EXPECT_EQ(rows[0][70], " Funding sourcePct35");
        EXPECT_EQ(rows[0][71], "Description");
        EXPECT_EQ(rows[1].mid(1, 7), QStringList({"GEN", "50", "ROAD", "30", "PARK", "20", ""}));
        EXPECT_EQ(rows[1][71], "Desk");
        EXPECT_EQ(rows[2].mid(1, 3), QStringList({"D100", "100", ""}));
        EXPECT_EQ(rows[3].mid(1, 70).join(""), "");
        EXPECT_EQ(rows[4].mid(1, 70).join(""), "");
        EXPECT_EQ(rows[5][69], "F35");
        EXPECT_EQ(rows[5][70], "2.5");
    }
    {
        SCOPED_TRACE("no System No in the map: the asset id column after the map is read");
        host.connection->dataRows = {{"<Allocated>", "10", "SL"}};
        expwiz::ExportJob job = host.job({1026}, path);
        job.edition = expwiz::Edition::fromCode(36);
        ASSERT_FALSE(job.allocationLists.assign({{3, "Fund"}}).has_value());
        job.allocationLinks.linkAll(job.fieldIds, true, job.allocationLists);
        ASSERT_EQ(ExportRun(job).run().outcome, ExportOutcome::Completed);
        EXPECT_TRUE(testfiles::read(path).startsWith("\"GEN\",\"50\",\"ROAD\",\"30\",\"PARK\",\"20\",\"\""));
    }
    {
        SCOPED_TRACE("a linked field no longer in the map: asset id column, but no allocation query");
        host.connection->dataRows = {{"Desk", "10", "SL"}};
        expwiz::ExportJob job = host.job({1012}, path);
        job.edition = expwiz::Edition::fromCode(36);
        ASSERT_FALSE(job.allocationLists.assign({{3, "Fund"}}).has_value());
        job.allocationLinks.linkAll({1026}, true, job.allocationLists);
        host.connection->queries.clear();
        const ExportResult r = ExportRun(job).run();
        ASSERT_EQ(r.outcome, ExportOutcome::Completed) << r.message.toStdString();
        EXPECT_TRUE(r.dataQuery.contains(", Asset.AssetID "));
        EXPECT_EQ(host.connection->queries.size(), 1u);
        EXPECT_EQ(testfiles::read(path), "\"Desk\"\r\n");
    }
    {
        SCOPED_TRACE("outside the organization editions a linked field stays one cell under one label");
        host.connection->dataRows = {{"10", "<Allocated>", "SL"}};
        expwiz::ExportJob job = host.job({1004, 1011}, path);
        ASSERT_FALSE(job.allocationLists.assign({{5, "Department Code"}}).has_value());
        job.allocationLinks.linkAll(job.fieldIds, false, job.allocationLists);
        ASSERT_TRUE(job.allocationLinks.hasAllocationFields());
        job.header = true;
        host.connection->queries.clear();
        const ExportResult r = ExportRun(job).run();
        ASSERT_EQ(r.outcome, ExportOutcome::Completed);
        EXPECT_FALSE(r.dataQuery.contains("Asset.AssetID"));
        EXPECT_EQ(host.connection->queries.size(), 1u);
        EXPECT_EQ(testfiles::read(path), "\"System No\",\"Department\"\r\n\"10\",\"<Allocated>\"\r\n");
    }
}

TEST(ExportRun, PythonsCsvReaderSeesExactlyTheCellsOfTheHost)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("out.csv");
    memhost::Host host;
    host.company = std::make_shared<memhost::MemoryCompany>(7, "Smith \"Big\", Co");
    const QStringList values = {"He said \"no\", twice", "line1\nline2\r\nline3", "M\u00fcller & S\u00f8n \u2014 Caf\u00e9",
                                "", "\"", ",", "trailing blank "};
    for (int i = 0; i < values.size(); ++i)
        host.connection->dataRows.push_back({QString::number(i + 1), values[i], "SL"});
    expwiz::ExportJob job = host.job({1004, 1012}, path);
    job.companyLine = true;
    job.header = true;
    ASSERT_EQ(ExportRun(job).run().outcome, ExportOutcome::Completed);

    std::vector<QStringList> expected = {{"Smith \"Big\", Co", "All Orvo Assets", "Tax"}, {"System No", "Description"}};
    for (int i = 0; i < values.size(); ++i)
        expected.push_back({QString::number(i + 1), values[i]});
    EXPECT_EQ(testfiles::pythonCsv(path), expected);

    {
        SCOPED_TRACE("an 8-bit encoding: readable in that encoding, the dash replaced and counted");
        job.encoding = "ISO-8859-1";
        const ExportResult r = ExportRun(job).run();
        ASSERT_EQ(r.outcome, ExportOutcome::Completed);
        EXPECT_EQ(r.replacedCharacters, 1);
        EXPECT_TRUE(r.message.contains("1 character(s)"));
        expected[4][1] = "M\u00fcller & S\u00f8n ? Caf\u00e9";
        EXPECT_EQ(testfiles::pythonCsv(path, "latin-1"), expected);
    }
}
