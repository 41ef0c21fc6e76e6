// The command line on a host whose databases live on a PostgreSQL server.

#include "../refhost/CompanyHolder.h"
#include "../refhost/HostBackends.h"
#include "pghost/PgSession.h"
#include "refhost/ReferenceHost.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>

using testhost::Backend;
using testhost::DemoHost;

namespace {

struct CliRun {
    int exitCode = -1;
    QString out, err;
};

QProcess* startCli(const QStringList& args)
{
    auto* p = new QProcess;
    p->start(QStringLiteral(EXPWIZ_BUILD_DIR "/bin/expwiz"), args);
    return p;
}

CliRun finish(QProcess* p)
{
    p->waitForFinished(120000);
    CliRun r{p->exitCode(), QString::fromUtf8(p->readAllStandardOutput()), QString::fromUtf8(p->readAllStandardError())};
    delete p;
    return r;
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(no file)");
}

QStringList exportArgs(const QString& data, const QString& database, const QString& company, const QString& group,
                       const QString& book, const QString& output)
{
    return {"export", "--data", data, "--database", database, "--company", company, "--group", group,
            "--book", book, "--output", output};
}

} // namespace

TEST(CliServer, EveryCompanyGroupAndBookGivesTheSameFileAsFromSqlite)
{
    EXPWIZ_REQUIRE_BACKEND(Backend::Postgres);
    DemoHost sqlite(Backend::Sqlite);
    DemoHost server(Backend::Postgres);
    QStringList all;
    for (int id = 1001; id <= 1113; ++id)
        all << QString::number(id);

    auto host = orvo::refhost::ReferenceHost::open(sqlite.path);
    int compared = 0;
    // The organization edition brings the allocation columns.
    for (const auto& [database, edition] : {std::pair{"Orvo Demo", "1"}, std::pair{"Public Sector", "36"}}) {
        for (const auto& company : host->OpenDatabase(database)->Database()->Companies()) {
            auto groups = orvo::viewAs<orvo::IOrvoWritableCompany>(company)->GroupManager()->GroupList();
            for (int32_t g = 0; g < groups->Count(); ++g) {
                for (const auto& book : company->Books()) {
                    const QString what = QStringList{database, company->Name(), groups->Item(g)->Name(),
                                                     book->Name()}.join(" / ");
                    SCOPED_TRACE(what.toStdString());
                    for (const char* locale : {"en_US", "de_DE"}) {
                        // Both backends at once: each holds the company in its own host.
                        std::vector<QProcess*> running;
                        std::vector<QString> outputs;
                        for (const DemoHost* demo : {&sqlite, &server}) {
                            outputs.push_back(demo->dir.filePath(QStringLiteral("%1.csv").arg(locale)));
                            QFile::remove(outputs.back());
                            running.push_back(startCli(exportArgs(demo->path, database, company->Name(),
                                                                  groups->Item(g)->Name(), book->Name(), outputs.back())
                                                       << "--fields" << all.join(',') << "--header" << "--company-line"
                                                       << "--edition" << edition << "--locale" << locale));
                        }
                        CliRun runs[2] = {finish(running[0]), finish(running[1])};
                        const QByteArray files[2] = {readFile(outputs[0]), readFile(outputs[1])};
                        runs[0].out.replace(outputs[0], "OUT");
                        runs[1].out.replace(outputs[1], "OUT");
                        EXPECT_EQ(runs[0].exitCode, runs[1].exitCode) << runs[1].err.toStdString();
                        EXPECT_EQ(runs[0].out.toStdString(), runs[1].out.toStdString());
                        EXPECT_TRUE(files[0] == files[1]) << locale;
                        compared += runs[0].exitCode == 0 && files[0].count('\n') > 2;
                    }
                }
            }
        }
    }
    EXPECT_GE(compared, 40);   // most combinations hold records
}

TEST(CliServer, EightCompaniesExportAtOnceAndAHeldCompanyIsRefusedUntilItsHolderDies)
{
    EXPWIZ_REQUIRE_BACKEND(Backend::Postgres);
    DemoHost demo(Backend::Postgres);
    // Eight more companies, copies of the first with fewer assets each.
    const QString name = demo.server.prefix + "_orvo_demo";
    orvo::pghost::PgSession db(testhost::postgresServer(), name, name);
    for (int k = 1; k <= 8; ++k) {
        const int id = 100 + k;
        db.exec(QStringLiteral("INSERT INTO Company VALUES (%1, 'Copy %2', 'T', 'F', %1)").arg(id).arg(k));
        for (const char* table : {"Book", "AssetGroup", "Asset", "Partialsinfo", "Bookparts"})
            db.exec(QStringLiteral("CREATE TEMP TABLE c AS SELECT * FROM %1 WHERE companyid = 1; "
                                   "UPDATE c SET companyid = %2; %3"
                                   "INSERT INTO %1 SELECT * FROM c; DROP TABLE c")
                        .arg(table)
                        .arg(id)
                        .arg(QString(table).startsWith("B") || QString(table) == "AssetGroup"
                                 ? QString()
                                 : QStringLiteral("DELETE FROM c WHERE assetid > %1; ").arg(240 - 20 * k)));
    }

    std::vector<QProcess*> running;
    for (int k = 1; k <= 8; ++k)
        running.push_back(startCli(exportArgs(demo.path, "Orvo Demo", QStringLiteral("Copy %1").arg(k),
                                              "All Orvo Assets", "Internal",
                                              demo.dir.filePath(QStringLiteral("copy%1.csv").arg(k)))
                                   << "--fields" << "1004,1012,1075"));
    for (int k = 1; k <= 8; ++k) {
        const CliRun r = finish(running[static_cast<size_t>(k - 1)]);
        // One record per asset and a second on every tenth.
        const int assets = 240 - 20 * k;
        const int records = assets + assets / 10;
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_TRUE(r.out.contains(QStringLiteral("%1 of %1 asset record(s) written").arg(records)))
            << k << ": " << r.out.toStdString();
    }

    // Another user has the company open: refused with who holds it, and
    // free again once the holder is killed.
    const pid_t holder = testhost::holdCompanyInChild(demo.path, "Orvo Demo", 0);
    ASSERT_GT(holder, 0);
    const QString out = demo.dir.filePath("held.csv");
    const QStringList args = exportArgs(demo.path, "Orvo Demo", "Harbor Logistics", "All Orvo Assets", "Internal", out)
                             << "--fields" << "1004";
    const CliRun refused = finish(startCli(args));
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.err.contains("Company 'Harbor Logistics' is locked by another user (")
                && refused.err.contains("server process"))
        << refused.err.toStdString();
    EXPECT_FALSE(QFile::exists(out));
    kill(holder, SIGKILL);
    waitpid(holder, nullptr, 0);
    CliRun freed;
    for (int attempt = 0; attempt < 50 && freed.exitCode != 0; ++attempt)
        freed = finish(startCli(args));
    EXPECT_EQ(freed.exitCode, 0) << freed.err.toStdString();
}

TEST(CliServer, DemoRefusesADatabaseWithTablesAndNoMessageOrListShowsThePassword)
{
    EXPWIZ_REQUIRE_BACKEND(Backend::Postgres);
    QTemporaryDir dir;
    const orvo::pghost::PgDemoOptions server{testhost::postgresServer(), QStringLiteral("t%1_cli").arg(getpid()), false};
    const QString conninfo = server.conninfo + " password=sekrit";
    struct Case {
        QStringList args;
        int exitCode;
        QStringList mentions;
    };
    const QString demo = dir.filePath("demo");
    const QString down = dir.filePath("down");
    const QString keep = dir.filePath("keep.csv");
    {
        QFile f(keep);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("previous export\r\n");
    }
    const Case cases[] = {
        {{"demo", "--out", demo, "--postgres", conninfo, "--db-prefix", server.prefix, "--assets", "5"}, 0,
         {server.prefix + "_orvo_demo, " + server.prefix + "_public_sector on "}},
        {{"list", "--data", demo}, 0, {"Database \"Public Sector\" on ", "dbname=" + server.prefix + "_public_sector"}},
        {{"demo", "--out", dir.filePath("again"), "--postgres", conninfo, "--db-prefix", server.prefix}, 1,
         {"'" + server.prefix + "_orvo_demo'", "already has tables", "--force"}},
        {{"demo", "--out", dir.filePath("forced"), "--postgres", conninfo, "--db-prefix", server.prefix, "--force",
          "--assets", "5"}, 0, {}},
        {{"demo", "--out", down, "--postgres", "host=/nonexistent/expwiz password=sekrit"}, 1,
         {"host=/nonexistent/expwiz"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const CliRun r = finish(startCli(c.args));
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err.toStdString();
        for (const QString& word : c.mentions)
            EXPECT_TRUE((r.out + r.err).contains(word)) << (r.out + r.err).toStdString();
        EXPECT_FALSE((r.out + r.err).contains("sekrit")) << (r.out + r.err).toStdString();
        EXPECT_LE(r.err.count('\n'), 1) << r.err.toStdString();
    }
    EXPECT_FALSE(readFile(demo + "/databases.list").contains("sekrit"));

    // The server goes away: the export says which server in one line and
    // the previous file stays.
    QFile list(demo + "/databases.list");
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write("Orvo Demo\thost=/nonexistent/expwiz dbname=orvo password=sekrit\n");
    list.close();
    const CliRun r = finish(startCli(exportArgs(demo, "Orvo Demo", "Harbor Logistics", "All Orvo Assets", "Internal",
                                                keep) << "--fields" << "1004"));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("host=/nonexistent/expwiz") && !r.err.contains("sekrit")) << r.err.toStdString();
    EXPECT_EQ(readFile(keep), "previous export\r\n");
    orvo::pghost::PgDemo::drop(server);
}
