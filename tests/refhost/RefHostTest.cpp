#include "CompanyHolder.h"
#include "HostBackends.h"
#include "FileBytes.h"
#include "HostErrors.h"
#include "refhost/AddinRegistry.h"
#include "refhost/HostDataFolder.h"
#include "refhost/RefConnection.h"
#include "refhost/RefGroups.h"
#include "refhost/ReferenceHost.h"
#include "refhost/Sqlite.h"

#include "pghost/PgSession.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>

#include <bit>
#include <csignal>
#include <cmath>
#include <limits>
#include <random>
#include <sys/wait.h>
#include <tuple>

using namespace orvo;
using orvo::refhost::ReferenceHost;
using testhost::Backend;
using testhost::DemoHost;

namespace {

std::shared_ptr<IOrvoDatabase> database(ReferenceHost& host, const char* name)
{
    auto entry = host.OpenDatabase(QString::fromUtf8(name));
    EXPECT_TRUE(entry) << name;
    return entry ? entry->Database() : nullptr;
}

// The description of the HostError a call throws ("<none>" when it throws none).
QString failure(const std::function<void()>& call)
{
    QString description;
    return hostErrorNumber(call, &description) ? description : QStringLiteral("<none>");
}

class RefHost : public testhost::BackendTest {};
EXPWIZ_ON_EVERY_BACKEND(RefHost);

} // namespace

TEST_P(RefHost, AnswersAsEveryHostInterfaceGroupsRestrictAlikeAndOpensNestAcrossUsersAndProcesses)
{
    DemoHost demo(GetParam());
    auto host = ReferenceHost::open(demo.path);
    const ObjectPtr manager = host;
    const auto app = viewAs<IOrvoApplication>(manager);
    const auto environment = viewAs<IOrvoEnvironment>(manager);
    EXPECT_EQ(std::tuple(app->Title(), app->ProgramPath(), environment->DatabaseName(),
                         environment->AvailabilityText().isEmpty()),
              std::tuple("Orvo", QDir(demo.path).absolutePath(), "Orvo Demo", false));
    EXPECT_THROW(viewAs<IOrvoGroup>(manager), HostError);
    auto business = viewAs<IOrvoBusinessApp>(manager);
    QStringList names;
    for (auto& entry : business->Databases())
        names << entry->Name();
    EXPECT_EQ(names, QStringList({"Orvo Demo", "Public Sector"}));
    EXPECT_FALSE(business->OpenDatabase("No Such Database"));
    // What the add-in tells the host is kept for the host to read.
    business->SetSystemDatabaseName("HALDENSYS");
    business->SetApplicationType(36);
    int shown = 0;
    host->setHelpHandler([&](int32_t context) { shown = context; });
    app->ShowHelp(30620);
    EXPECT_EQ(std::tuple(host->systemDatabaseName(), host->applicationTypeSetByAddin(), shown),
              std::tuple("HALDENSYS", 36, 30620));

    auto db = database(*host, "Orvo Demo");
    auto companies = db->Companies();
    ASSERT_EQ(companies.size(), 4u);
    EXPECT_EQ(std::tuple(companies[1]->Name(), companies[2]->IsAvailable(),
                         companies[0]->HasInventory(), companies[1]->HasInventory()),
              std::tuple(QString::fromUtf8("Café Müller & Søn, \"Nord\""), false, true, false));
    EXPECT_EQ(db->Companies()[0], companies[0]);   // the same objects, so an open company stays open
    auto books = companies[0]->Books();
    ASSERT_EQ(books.size(), 3u);
    EXPECT_EQ(std::tuple(books[0]->IsActive(), books[1]->BookID(), books[2]->Name()), std::tuple(false, 1, "Tax"));
    auto groups = viewAs<IOrvoWritableCompany>(companies[0])->GroupManager()->GroupList();
    ASSERT_EQ(groups->Count(), 3);
    EXPECT_EQ(groups->Item(0)->Name(), "All Orvo Assets");
    for (const int32_t outside : {3, -1})
        EXPECT_THROW(groups->Item(outside), HostError);

    for (const char* dbName : {"Orvo Demo", "Public Sector"}) {
        auto each = database(*host, dbName);
        auto connection = each->Connection();
        for (auto& c : each->Companies()) {
            auto manager = viewAs<IOrvoWritableCompany>(c)->GroupManager();
            for (int32_t g = 0; g < manager->GroupList()->Count(); ++g) {
                const auto group = manager->GroupList()->Item(g);
                const auto restricted = [&](const QString& sql) {
                    auto query = manager->GroupQuery();
                    query->Reset();
                    query->SetGroup(group, 0, 0, 0, 0);
                    return query->ApplyGroup(sql);
                };
                for (auto& book : c->Books()) {
                    SCOPED_TRACE(QStringList({c->Name(), group->Name(), book->Name()}).join(" / ").toStdString());
                    const QString from = QStringLiteral(" FROM Asset, Partialsinfo, Bookparts  WHERE Asset.companyid"
                                                        " = %1 AND Bookparts.bookid = %2 AND Bookparts.sequence >= 0 ")
                                             .arg(c->CompanyID()).arg(book->BookID());
                    const QString ids = "SELECT ASSET.ASSETID " + from + " ORDER BY ASSET.ASSETID";
                    auto rows = connection->OpenCursor(restricted(ids), 100)->Rows();
                    int n = 0;
                    for (bool on = rows->MoveFirst(); on; on = rows->MoveNext())
                        ++n;
                    EXPECT_EQ(connection->CountRows(restricted("SELECT count(*) " + from)), n);
                    // All records (one per asset, a second on every tenth), and fewer in the selective group.
                    if (c->Name() == "Harbor Logistics" && book->BookID() == 1 && g < 2) {
                        EXPECT_EQ(n, g ? 69 : 240 + 24);
                    }
                }
            }
        }
    }

    auto other = ReferenceHost::open(demo.path);   // a second user here
    const auto first = [](ReferenceHost& host) { return database(host, "Orvo Demo")->Companies().front(); };
    auto company = companies[0];
    company->Open();
    company->Open();
    company->Close();
    EXPECT_THROW(first(*other)->Open(), HostError);   // still open once
    company->Close();
    EXPECT_TRUE(first(*other)->Open());
    EXPECT_THROW(company->Open(), HostError);
    first(*other)->Close();
    company->Close();   // closing a closed company is harmless
    EXPECT_TRUE(first(*ReferenceHost::open(demo.path))->Open());   // a host gone while open holds nothing
    EXPECT_TRUE(company->Open());
    company->Close();

    const pid_t holder = testhost::holdCompanyInChild(demo.path, QStringLiteral("Orvo Demo"), 0);
    ASSERT_GT(holder, 0);
    QString description;
    EXPECT_EQ(hostErrorNumber([&] { company->Open(); }, &description), errnum::CompanyLocked);
    EXPECT_TRUE(description.startsWith("Company 'Harbor Logistics' is locked by another user (")) << description.toStdString();
    // Who holds it: the process here, the server's process and where the holder connects from on a server.
    for (const QString& word : GetParam() == Backend::Sqlite ? QStringList{"(process " + QString::number(holder) + ")."}
                                                             : QStringList{"server process", "local connection"})
        EXPECT_TRUE(description.contains(word)) << description.toStdString();
    // A crashed holder leaves no lock behind; the server notices the dropped connection by itself, in a moment.
    kill(holder, SIGKILL);
    waitpid(holder, nullptr, 0);
    bool reopened = false;
    for (int attempt = 0; attempt < 200 && !reopened; ++attempt)
        if (hostErrorNumber([&] { reopened = company->Open(); }) != 0)
            usleep(50000);
    EXPECT_TRUE(reopened);
    company->Close();
}

TEST(RefHostFolder, DemoDataIsDeterministicAndAwkwardAndMissingFilesOrUnfitEntriesAreReportedClearly)
{
    QTemporaryDir dir;
    // A digest of every asset record of the organization database.
    const auto digest = [&](const char* folder) {
        auto rows = ReferenceHost::open(dir.filePath(folder))->OpenDatabase("Public Sector")->Database()->Connection()
                        ->OpenCursor("SELECT * FROM Asset, Partialsinfo, Bookparts WHERE Asset.companyid = Partialsinfo.companyid "
                                     "AND Asset.ASSETID = Partialsinfo.assetid AND Bookparts.companyid = Asset.companyid AND "
                                     "Bookparts.assetid = Asset.ASSETID ORDER BY Asset.ASSETID, Bookparts.bookid, "
                                     "Bookparts.sequence", 100)->Rows();
        QCryptographicHash hash(QCryptographicHash::Sha256);
        for (bool on = rows->MoveFirst(); on; on = rows->MoveNext())
            for (int32_t c = 0; c < rows->Fields()->Count(); ++c)
                hash.addData(rows->Fields()->Item(c).toUtf8() + '\x1f');
        return hash.result().toHex();
    };
    refhost::DemoData::create(dir.filePath("a"));
    refhost::DemoData::create(dir.filePath("b"));
    EXPECT_EQ(digest("a"), digest("b"));
    EXPECT_TRUE(refhost::DemoData::isDemoFolder(dir.filePath("a")));
    EXPECT_THROW(refhost::DemoData::create(dir.filePath("a")), HostError);   // never into a used folder

    auto host = ReferenceHost::open(dir.filePath("a"));
    auto demo = database(*host, "Orvo Demo")->Connection();
    for (const char* where : {"DESCRIPTION LIKE '%,%'", "DESCRIPTION LIKE '%\"%'", "instr(DESCRIPTION, char(10)) > 0",
                              "DESCRIPTION LIKE '%ü%'", "DEPARTMENT IS NULL", "DISPOSEDAMOUNT < 0"})
        EXPECT_GT(demo->CountRows(QStringLiteral("SELECT count(*) FROM Asset, Bookparts WHERE Asset.companyid = "
                                                 "Bookparts.companyid AND Asset.ASSETID = Bookparts.assetid AND %1")
                                      .arg(QString::fromUtf8(where))), 0) << where;
    auto organization = database(*host, "Public Sector")->Connection();
    for (const auto& [sql, n] : {std::pair{"CustomInfo WHERE CompanyID = 10 AND ListType = 'A'", 3},
                                 std::pair{"AssetAlloc WHERE CompanyID = 10 AND APPID = 4 AND AssetID = 2", 40},
                                 std::pair{"Asset WHERE companyid = 10 AND INSURANCECATEGORY = '<Allocated>'", 3}})
        EXPECT_EQ(organization->CountRows(QStringLiteral("SELECT count(*) FROM ") + QLatin1String(sql)), n) << sql;

    SCOPED_TRACE("missing files and unfit list entries are reported clearly, and only own lines edited");
    ASSERT_TRUE(QFile::remove(dir.filePath("b/public-sector.sqlite")));
    auto broken = ReferenceHost::open(dir.filePath("b"));
    EXPECT_FALSE(broken->OpenDatabase("Public Sector"));   // no object, as the host gives none
    EXPECT_TRUE(broken->OpenDatabase("Orvo Demo"));
    const std::pair<std::function<void()>, const char*> failures[] = {
        {[&] { ReferenceHost::open(dir.filePath("nowhere")); }, "does not exist"},
        {[&] { ReferenceHost::open(dir.path()); }, "host.conf"},
        {[&] { broken->Databases()[1]->Database(); }, "public-sector.sqlite"}};
    for (const auto& [call, says] : failures)
        EXPECT_TRUE(failure(call).contains(says)) << says;

    const refhost::HostDataFolder folder(dir.path());
    const QString colon = dir.path() + "/:colon.sqlite";
    folder.writeDatabases({{"Colon", colon}, {"Elsewhere", "/srv/other.sqlite"}});
    const auto read = folder.readDatabases();
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(read[0].file, colon);   // a file, not a compiled-in resource
    EXPECT_EQ(QDir::cleanPath(read[1].file), "/srv/other.sqlite");
    const QByteArray before = readBytes(folder.databaseListPath());
    for (const QString name : {"Blank end", "Two\nlines", "Tab\tname", " # note"}) {
        EXPECT_THROW(folder.writeDatabases({{name, name == "Blank end" ? dir.filePath("file ") : colon}}), HostError)
            << name.toStdString();
        EXPECT_EQ(readBytes(folder.databaseListPath()), before);
    }

    const QString list = dir.filePath("addins.list");
    // Another add-in's line keeps its bytes, though they are no UTF-8 and hold a carriage return.
    const QByteArray others = "# my add-ins\nother.Addin\t/opt/\xc6\r\xbb.so\n\n";
    writeBytes(list, others);
    refhost::AddinRegistry registry(list);
    registry.Register("expwiz.clsExpWizard", "/x/libexpwiz.so");
    registry.Register("expwiz.clsExpWizard", "/y/libexpwiz.so");   // replaces, never doubles
    ASSERT_EQ(registry.entries().size(), 2u);
    EXPECT_EQ(registry.entries()[1].libraryPath, "/y/libexpwiz.so");
    registry.Unregister("expwiz.clsExpWizard");
    EXPECT_EQ(readBytes(list), others);
}

TEST(RefHostGroups, TheConditionGoesBeforeTheLastOrderByAndOneThatWouldEndTheQueryIsRefused)
{
    const QString join = refhost::RefGroupQuery::joinConditions();
    const struct { const char* sql; const char* condition; bool bySequence; QString expected; } cases[] = {
        {"SELECT x FROM Asset", "", false, "SELECT x FROM Asset WHERE " + join + " "},
        {"SELECT x FROM Asset where a = 1 ORDER BY b order by c", "d = ';'", false,
         "SELECT x FROM Asset where a = 1 ORDER BY b AND " + join + " AND (d = ';') order by c"},
        {"SELECT x FROM Asset WHERE a = 1 ORDER BY b", "[e;f] = \"g;h\" /* ; */ -- ;\n", true,
         "SELECT x FROM Asset WHERE a = 1 AND " + join + " AND ([e;f] = \"g;h\" /* ; */ -- ;\n) ORDER BY b, Partialsinfo.SEQUENCE"},
        {"SELECT x FROM Asset WHERE a = 1 ", "d = 'it''s'", true, "SELECT x FROM Asset WHERE a = 1 AND " + join + " AND (d = 'it''s') "},
        {"SELECT x FROM Asset", "d = 'open ;", false, "SELECT x FROM Asset WHERE " + join + " AND (d = 'open ;) "},
        {"SELECT x FROM Asset", "d = 1 /*/ open ;", false, "SELECT x FROM Asset WHERE " + join + " AND (d = 1 /*/ open ;) "},
        {"SELECT x FROM Asset", "d = 1 -- ;", false, "SELECT x FROM Asset WHERE " + join + " AND (d = 1 -- ;) "},
        {"", "d = 1; DROP TABLE Asset", false, ""}, {"", "d = 'a''b'; e", false, ""}, {"", "d = \"a\"/**/;", false, ""},
        {"", "d = 2 /* a comment ends before the star */* 3; e", false, ""},
        {"", "d = 1 - 1; e", false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.condition);
        refhost::RefGroupQuery query(c.bySequence);
        const auto group = std::make_shared<refhost::RefGroup>("G", c.condition);
        QString description;
        EXPECT_EQ(hostErrorNumber([&] { query.SetGroup(group, 0, 0, 0, 0); }, &description),
                  c.expected.isEmpty() ? errnum::HostFailure : 0);
        if (c.expected.isEmpty())
            EXPECT_TRUE(description.contains(c.condition)) << description.toStdString();
        else
            EXPECT_EQ(query.ApplyGroup(c.sql), c.expected);
    }
    struct Foreign : IOrvoGroup { QString Name() override { return {}; } };   // another host's
    refhost::RefGroupQuery query;
    EXPECT_EQ(hostErrorNumber([&] { query.SetGroup(std::make_shared<Foreign>(), 0, 0, 0, 0); }), errnum::ObjectRequired);
}

TEST_P(RefHost, CursorStreamsValuesKnowsTheLastRowAndRaisesTheDatabaseMessage)
{
    DemoHost demo(GetParam(), {2001, 1});
    auto host = ReferenceHost::open(demo.path);
    auto connection = database(*host, "Orvo Demo")->Connection();
    // IsLastRow is exact around the fetch sizes (the server's batches are at least 1000 rows).
    for (int n : {0, 1, 99, 100, 101, 999, 1000, 1001, 2000}) {
        SCOPED_TRACE(n);
        auto rows = connection->OpenCursor(QStringLiteral("SELECT ASSETID FROM Asset WHERE companyid = 1 AND "
                                                          "ASSETID <= %1 ORDER BY ASSETID").arg(n), 100)->Rows();
        auto fields = rows->Fields();
        int seen = 0;
        for (bool on = rows->MoveFirst(); on; on = rows->MoveNext()) {
            EXPECT_EQ(fields->Item(0), QString::number(++seen));
            EXPECT_EQ(rows->IsLastRow(), seen == n);
        }
        EXPECT_EQ((std::tuple{seen, rows->MoveNext(), rows->MoveFirst(), rows->IsLastRow()}),
                  std::tuple(n, false, false, false));   // forward only
    }
    // NULL is empty text; non-ASCII, quotes, tabs, backslashes and line breaks come back unchanged; numbers read
    // alike on every backend: a REAL as SQLite shows it.
    auto rows = connection->OpenCursor("SELECT NULL, 'Zoë Ångström', 'a \"b\"\nc\t\\N\\', 1234.5, -7, CAST(12 AS REAL), "
                                       "S168KPCT, ACQVALUE FROM Bookparts WHERE companyid = 1 AND assetid = 8 "
                                       "AND bookid = 1", 100)->Rows();
    auto fields = rows->Fields();
    EXPECT_THROW(fields->Item(0), HostError);   // not on a row yet
    ASSERT_TRUE(rows->MoveFirst());
    EXPECT_EQ(fields->Count(), 8);
    QStringList values;
    for (int32_t c = 0; c < 7; ++c)
        values << fields->Item(c);
    EXPECT_EQ(values, QStringList({"", QString::fromUtf8("Zoë Ångström"), "a \"b\"\nc\t\\N\\", "1234.5", "-7", "12.0", "50.0"}));
    EXPECT_TRUE(fields->Item(7).contains('.')) << fields->Item(7).toStdString();
    QString buffer = "old";
    fields->ReadItem(2, buffer);
    EXPECT_EQ(buffer, "a \"b\"\nc\t\\N\\");
    for (const int32_t outside : {8, -1})
        EXPECT_THROW(fields->Item(outside), HostError);

    for (const char* sql : {"SELECT nosuchcolumn FROM Asset", "SELEKT 1", "SELECT FieldID FROM AssetAlloc WHERE"}) {
        SCOPED_TRACE(sql);
        EXPECT_TRUE(failure([&] { connection->OpenCursor(QString::fromLatin1(sql), 100); }).contains(QString::fromLatin1(sql)));
        EXPECT_THROW(connection->CountRows(QString::fromLatin1(sql)), HostError);
    }
    // A failed count leaves the session usable.
    EXPECT_EQ(connection->CountRows("SELECT count(*) FROM Book WHERE companyid = 1 AND bookid = 1"), 1);
}

TEST(RefHostReal, ARealReadsAsSqlitesOwnText)
{
    QTemporaryDir dir;
    auto db = std::make_shared<refhost::SqliteDb>(dir.filePath("real.sqlite"), true);
    db->exec("CREATE TABLE t (v REAL); BEGIN");
    std::vector<double> values = {0.0, -0.0, 1.0, -1.5, 0.1 + 0.2, 1e15, 1e15 - 1, 999999999999999.4, 1e16, 1e-4,
                                  1e-5, 0.00012345, 123456789012345.6, 1e300, -1.7976931348623157e308,
                                  2.2250738585072014e-308, 4.9e-324, 100.0, 1e100, 5e-5, 0.5, 2.675,
                                  9.9999999999999995e14, 644533312592058.5, 14639007563246.25, 9620.761602014245, 9.9e99, 0.075, 7.5e-05, 1e-6, 9999999999999.99, 999999999.999999,
                                  std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()};
    std::mt19937_64 random(20240307);
    for (int i = 0; i < 40000; ++i) {
        if (const double bits = std::bit_cast<double>(random()); std::isfinite(bits))
            values.push_back(bits);
        values.push_back(static_cast<double>(static_cast<int64_t>(random() % 2000000000000) - 1000000000000) / 100);
        values.push_back(static_cast<double>(static_cast<int64_t>(random() % 2000000000000000) - 1000000000000000) / 1e6);
        values.push_back(static_cast<double>(random() % 100000));   // a whole number stored as REAL
        values.push_back(std::ldexp(static_cast<double>(random() >> 11), static_cast<int>(random() % 120) - 100));
    }
    refhost::SqliteStatement insert(*db, QStringLiteral("INSERT INTO t VALUES (?)"));
    for (const double v : values) {
        insert.bind(1, v);
        insert.step();
        insert.reset();
    }
    db->exec("COMMIT");
    auto rows = refhost::RefConnection(db).OpenCursor(QStringLiteral("SELECT v, CAST(v AS TEXT) FROM t"), 100)->Rows();
    auto fields = rows->Fields();
    std::string ours, sqlites;
    size_t seen = 0;
    for (bool on = rows->MoveFirst(); on; on = rows->MoveNext(), ++seen)
        ASSERT_EQ(fields->ReadItemUtf8(0, ours), fields->ReadItemUtf8(1, sqlites)) << values[seen];
    EXPECT_EQ(seen, values.size());
}

TEST(RefHostServer, AServerDownALoginRefusedAndALostConnectionNameTheServerNeverThePassword)
{
    EXPWIZ_REQUIRE_BACKEND(Backend::Postgres);
    DemoHost demo(Backend::Postgres);
    refhost::HostDataFolder folder(demo.path);
    auto list = folder.readDatabases();
    list.push_back({"Down", "host=/nonexistent/expwiz dbname=orvo password=sekrit"});
    list.push_back({"Refused", testhost::postgresServer() + " user=nosuchuser password=sekrit"});
    folder.writeDatabases(list);
    auto host = ReferenceHost::open(demo.path);
    const std::tuple<size_t, QString, QStringList> cases[] = {   // listed after the demo's two
        {2, "Down", {"Cannot connect", "'Down'", "host=/nonexistent/expwiz"}},
        {3, "Refused", {"Cannot connect", "'Refused'", "user=nosuchuser", "nosuchuser"}}};
    for (const auto& [at, name, words] : cases) {
        EXPECT_FALSE(host->OpenDatabase(name));
        auto entry = host->Databases()[at];
        ASSERT_EQ(entry->Name(), name);
        const QString description = failure([&] { entry->Database(); });
        for (const QString& word : words)
            EXPECT_TRUE(description.contains(word)) << description.toStdString();
        EXPECT_FALSE(description.contains("sekrit")) << description.toStdString();
    }
    // The server ends every other session of the database mid-run: the cursor fails, names the database, and
    // stays failed.
    auto connection = database(*host, "Orvo Demo")->Connection();
    auto rows = connection->OpenCursor("SELECT g FROM generate_series(1, 10000000) g", 100)->Rows();
    ASSERT_TRUE(rows->MoveFirst());
    pghost::PgSession admin(testhost::postgresServer(), "admin");
    admin.exec(QStringLiteral("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE datname = '%1'")
                   .arg(demo.server.prefix + "_orvo_demo"));
    const QString message = failure([&] { while (rows->MoveNext()) {} });
    EXPECT_TRUE(message.contains("connection") && message.contains("lost") && message.contains("'Orvo Demo'"))
        << message.toStdString();
    EXPECT_THROW(rows->MoveNext(), HostError);
    EXPECT_THROW(connection->CountRows("SELECT count(*) FROM Asset"), HostError);
}
