#include "MemoryHost.h"
#include "QtPrinters.h"
#include "TestFiles.h"

#include "export/ExportRun.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <tuple>

using namespace expwiz;

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

Outcome run(const Scenario& s, bool pipelined, const QTemporaryDir& dir)
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
        Outcome one = run(s, false, dir);
        Outcome two = run(s, true, dir);
        if (s.format == ExportJob::Format::Workbook) {   // it carries its creation time: its cells are compared
            const auto cells = testfiles::pythonWorkbook(dir.filePath("one.xlsx"));
            ASSERT_FALSE(cells.empty());
            EXPECT_EQ(testfiles::pythonWorkbook(dir.filePath("two.xlsx")), cells);
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
