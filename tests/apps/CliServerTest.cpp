// The command line on a host whose databases live on a PostgreSQL server.

#include "../refhost/HostBackends.h"
#include "ExportArgs.h"
#include "ProgramRun.h"
#include "QtPrinters.h"
#include "pghost/PgSession.h"
#include "refhost/ReferenceHost.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using testhost::Backend;
using testhost::DemoHost;

TEST(CliServer, EveryCompanyGroupAndBookGivesTheSameFileAsFromSqlite)
{
    EXPWIZ_REQUIRE_BACKEND(Backend::Postgres);
    DemoHost sqlite(Backend::Sqlite), server(Backend::Postgres);
    auto host = orvo::refhost::ReferenceHost::open(sqlite.path);
    int compared = 0;
    // The organization edition brings the allocation columns.
    for (const auto& [database, edition] : {std::pair{"Orvo Demo", "1"}, std::pair{"Public Sector", "36"}}) {
        for (const auto& company : host->OpenDatabase(database)->Database()->Companies()) {
            auto groups = orvo::viewAs<orvo::IOrvoWritableCompany>(company)->GroupManager()->GroupList();
            for (int32_t g = 0; g < groups->Count(); ++g) {
                for (const auto& book : company->Books()) {
                    SCOPED_TRACE(QStringList({database, company->Name(), groups->Item(g)->Name(), book->Name()})
                                     .join(" / ").toStdString());
                    for (const char* locale : {"en_US", "de_DE"}) {
                        // Both at once (each host holds its own company), onto standard output.
                        QProcess running[2];
                        QStringList args[2];
                        for (int b = 0; b < 2; ++b) {
                            args[b] = exportArgs((b ? server : sqlite).path, company->Name(),
                                                 "-", groups->Item(g)->Name(), book->Name(), database)
                                      << "--fields" << allFieldIds() << "--header" << "--company-line"
                                      << "--edition" << edition << "--locale" << locale;
                            startProgram(running[b], "expwiz", args[b]);
                        }
                        ProgramRun runs[2] = {finishProgram(running[0], args[0]), finishProgram(running[1], args[1])};
                        EXPECT_EQ(runs[0].exitCode, runs[1].exitCode) << runs[1].err.toStdString();
                        EXPECT_TRUE(runs[0].err == runs[1].err && runs[0].outBytes == runs[1].outBytes);
                        compared += runs[0].exitCode == 0 && runs[0].outBytes.count('\n') > 2;
                    }
                }
            }
        }
    }
    EXPECT_GE(compared, 40);   // most combinations hold records
}

TEST(CliServer, EightCompaniesExportAtOnce)
{
    EXPWIZ_REQUIRE_BACKEND(Backend::Postgres);
    DemoHost demo(Backend::Postgres);
    // Eight more companies, copies of the first with fewer assets each.
    const QString name = demo.server.prefix + "_orvo_demo";
    orvo::pghost::PgSession db(testhost::postgresServer(), name, name);
    for (int k = 1; k <= 8; ++k) {
        db.exec(QStringLiteral("INSERT INTO Company VALUES (%1, 'Copy %2', 'T', 'F', %1)").arg(100 + k).arg(k));
        for (const QString table : {"Book", "AssetGroup", "Asset", "Partialsinfo", "Bookparts"})
            db.exec(QStringLiteral("CREATE TEMP TABLE c AS SELECT * FROM %1 WHERE companyid = 1; "
                                   "UPDATE c SET companyid = %2; %3 INSERT INTO %1 SELECT * FROM c; DROP TABLE c")
                        .arg(table)
                        .arg(100 + k)
                        .arg(table.startsWith("B") || table == "AssetGroup"
                                 ? QString()
                                 : QStringLiteral("DELETE FROM c WHERE assetid > %1;").arg(240 - 20 * k)));
    }
    QProcess running[8];
    QStringList args[8];
    for (int k = 0; k < 8; ++k) {
        args[k] = exportArgs(demo.path, QStringLiteral("Copy %1").arg(k + 1), "-")
                  << "--fields" << "1004,1012,1075";
        startProgram(running[k], "expwiz", args[k]);
    }
    for (int k = 0; k < 8; ++k) {
        const ProgramRun r = finishProgram(running[k], args[k]);
        // One record per asset and a second on every tenth.
        const int assets = 240 - 20 * (k + 1), records = assets + assets / 10;
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("%1 of %1 asset record(s) written").arg(records)))
            << k << ": " << r.err.toStdString();
    }
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
    const struct {
        QStringList args;
        int exitCode;
        QStringList mentions;
    } cases[] = {
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
