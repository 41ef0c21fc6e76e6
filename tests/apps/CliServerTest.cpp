// The command line on a host whose databases live on a PostgreSQL server.

#include "../refhost/HostBackends.h"
#include "ExportArgs.h"
#include "ProgramRun.h"
#include "QtPrinters.h"
#include "refhost/ReferenceHost.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using testhost::Backend;
using testhost::DemoHost;

// Every company, group and book gives from the server the bytes it gives from SQLite, with the
// companies of both databases on both backends exporting at once (a host holds each company in
// its own process).
TEST(CliServer, EveryCompanyGroupAndBookGivesTheSameFileAsFromSqliteAllCompaniesAtOnce)
{
    EXPWIZ_REQUIRE_BACKEND(Backend::Postgres);
    DemoHost sqlite(Backend::Sqlite), server(Backend::Postgres);
    auto host = orvo::refhost::ReferenceHost::open(sqlite.path);
    std::vector<std::tuple<QString, QString, QString>> companies;   // database, edition, name
    // The organization edition brings the allocation columns.
    for (const auto& [database, edition] : {std::pair{"Orvo Demo", "1"}, std::pair{"Public Sector", "36"}})
        for (const auto& company : host->OpenDatabase(database)->Database()->Companies())
            companies.emplace_back(database, edition, company->Name());
    int compared = 0;
    // Each company of the demo has these groups and books.
    for (const char* group : {"All Orvo Assets", "Sales Department", "Acquired before 2016"})
        for (const char* book : {"Old GAAP", "Internal", "Tax"})
            for (const char* locale : {"en_US", "de_DE"}) {
                std::vector<QStringList> args;
                for (const auto& [database, edition, company] : companies)
                    for (const DemoHost* demo : {&sqlite, &server})
                        args.push_back(exportArgs(demo->path, company, "-", group, book, database)
                                       << allFields() << "--header" << "--company-line"
                                       << "--edition" << edition << "--locale" << locale);
                std::vector<QProcess> running(args.size());
                for (size_t k = 0; k < args.size(); ++k)
                    startProgram(running[k], "expwiz", args[k]);
                for (size_t k = 0; k < args.size(); k += 2) {
                    SCOPED_TRACE(args[k].join(' ').toStdString());
                    const ProgramRun a = finishProgram(running[k], args[k]);
                    const ProgramRun b = finishProgram(running[k + 1], args[k + 1]);
                    EXPECT_EQ(a.exitCode, b.exitCode) << b.err.toStdString();
                    EXPECT_TRUE(a.err == b.err && a.outBytes == b.outBytes);
                    compared += a.exitCode == 0 && a.outBytes.count('\n') > 2;
                }
            }
    EXPECT_GE(compared, 40);   // most combinations hold records
}

TEST(CliServer, DemoRefusesADatabaseWithTablesAndNoMessageOrListShowsThePassword)
{
    EXPWIZ_REQUIRE_BACKEND(Backend::Postgres);
    QTemporaryDir dir;
    const orvo::pghost::PgDemoOptions server{testhost::postgresServer(), QStringLiteral("t%1_cli").arg(getpid()), false};
    const QString conninfo = server.conninfo + " password=sekrit", demo = dir.filePath("demo");
    const QString keep = dir.filePath("keep.csv");
    writeBytes(keep, "previous export\r\n");
    const QStringList brokenExport = exportArgs(demo, "Harbor Logistics", keep) << "--fields" << "1004";
    const struct { QStringList args; int exitCode; QStringList mentions; } cases[] = {
        {{"demo", "--out", demo, "--postgres", conninfo, "--db-prefix", server.prefix, "--assets", "5"}, 0,
         {server.prefix + "_orvo_demo, " + server.prefix + "_public_sector on "}},
        {{"list", "--data", demo}, 0, {"Database \"Public Sector\" on ", "dbname=" + server.prefix + "_public_sector"}},
        {{"demo", "--out", dir.filePath("again"), "--postgres", conninfo, "--db-prefix", server.prefix}, 1,
         {"'" + server.prefix + "_orvo_demo'", "already has tables", "--force"}},
        {{"demo", "--out", dir.filePath("forced"), "--postgres", conninfo, "--db-prefix", server.prefix, "--force",
          "--assets", "5"}, 0, {}},
        {{"demo", "--out", dir.filePath("down"), "--postgres", "host=/nonexistent/expwiz password=sekrit"}, 1,
         {"host=/nonexistent/expwiz"}},
        // The server goes away: the export says which server in one line and the previous file stays.
        {brokenExport, 1, {"host=/nonexistent/expwiz"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        if (c.args == brokenExport) {
            EXPECT_FALSE(readBytes(demo + "/databases.list").contains("sekrit"));
            writeBytes(demo + "/databases.list", "Orvo Demo\thost=/nonexistent/expwiz dbname=orvo password=sekrit\n");
        }
        const ProgramRun r = runCli(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err.toStdString();
        for (const QString& word : c.mentions)
            EXPECT_TRUE((r.out + r.err).contains(word)) << (r.out + r.err).toStdString();
        EXPECT_FALSE((r.out + r.err).contains("sekrit")) << (r.out + r.err).toStdString();
        EXPECT_EQ(r.err.count('\n'), c.exitCode ? 1 : 0) << r.err.toStdString();
    }
    EXPECT_EQ(readBytes(keep), "previous export\r\n");
    orvo::pghost::PgDemo::drop(server);
}
