#include "HostBackends.h"
#include "refhost/AddinRegistry.h"
#include "refhost/DemoData.h"
#include "refhost/HostDataFolder.h"
#include "refhost/RefConnection.h"
#include "refhost/ReferenceHost.h"
#include "refhost/Sqlite.h"

#include "pghost/PgSession.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <random>

using namespace orvo;
using orvo::refhost::ReferenceHost;

namespace {

using testhost::Backend;
using testhost::DemoHost;

std::shared_ptr<IOrvoDatabase> database(ReferenceHost& host, const char* name)
{
    auto entry = host.OpenDatabase(QString::fromUtf8(name));
    EXPECT_TRUE(entry) << name;
    return entry ? entry->Database() : nullptr;
}

int rowsOf(IOrvoConnection& connection, const QString& sql)
{
    auto cursor = connection.OpenCursor(sql, 100);
    auto rows = cursor->Rows();
    int n = 0;
    for (bool on = rows->MoveFirst(); on; on = rows->MoveNext())
        ++n;
    return n;
}

class RefHost : public testhost::BackendTest {};
EXPWIZ_ON_EVERY_BACKEND(RefHost);

} // namespace

TEST_P(RefHost, OpensAFolderAndAnswersAsEveryHostInterface)
{
    DemoHost demo(GetParam());
    auto host = ReferenceHost::open(demo.path);
    ObjectPtr manager = host;
    EXPECT_EQ(viewAs<IOrvoApplication>(manager)->Title(), "Orvo");
    EXPECT_EQ(viewAs<IOrvoApplication>(manager)->ProgramPath(), QDir(demo.path).absolutePath());
    EXPECT_EQ(viewAs<IOrvoEnvironment>(manager)->DatabaseName(), "Orvo Demo");
    EXPECT_FALSE(viewAs<IOrvoEnvironment>(manager)->AvailabilityText().isEmpty());
    EXPECT_THROW(viewAs<IOrvoGroup>(manager), HostError);

    auto business = viewAs<IOrvoBusinessApp>(manager);
    QStringList names;
    for (auto& entry : business->Databases())
        names << entry->Name();
    EXPECT_EQ(names, QStringList({"Orvo Demo", "Public Sector"}));
    EXPECT_FALSE(business->OpenDatabase("No Such Database"));

    // What the add-in tells the host is kept for the host to read.
    business->SetSystemDatabaseName("HALDENSYS");
    business->SetSystemDatabaseKind("DB");
    business->SetApplicationType(36);
    EXPECT_EQ(host->systemDatabaseName(), "HALDENSYS");
    EXPECT_EQ(host->applicationTypeSetByAddin(), 36);

    int shown = 0;
    host->setHelpHandler([&](int32_t context) { shown = context; });
    viewAs<IOrvoApplication>(manager)->ShowHelp(30620);
    EXPECT_EQ(shown, 30620);
}

TEST(RefHostFolder, MissingFolderOrDatabaseFileIsReportedClearly)
{
    QTemporaryDir dir;
    try {
        ReferenceHost::open(dir.filePath("nowhere"));
        FAIL() << "a missing folder must fail";
    } catch (const HostError& e) {
        EXPECT_TRUE(e.description().contains("does not exist")) << e.description().toStdString();
    }
    try {
        ReferenceHost::open(dir.path());
        FAIL() << "a folder without host files must fail";
    } catch (const HostError& e) {
        EXPECT_TRUE(e.description().contains("host.conf")) << e.description().toStdString();
    }

    DemoHost demo(Backend::Sqlite);
    ASSERT_TRUE(QFile::remove(demo.path + "/public-sector.sqlite"));
    auto host = ReferenceHost::open(demo.path);
    EXPECT_FALSE(host->OpenDatabase("Public Sector"));      // no object, as the host gives none
    EXPECT_TRUE(host->OpenDatabase("Orvo Demo"));
    auto entries = host->Databases();
    try {
        entries[1]->Database();
        FAIL();
    } catch (const HostError& e) {
        EXPECT_TRUE(e.description().contains("public-sector.sqlite")) << e.description().toStdString();
    }
}

TEST_P(RefHost, CompaniesBooksAndGroupsInHostOrder)
{
    DemoHost demo(GetParam());
    auto host = ReferenceHost::open(demo.path);
    auto db = database(*host, "Orvo Demo");
    auto companies = db->Companies();
    ASSERT_EQ(companies.size(), 4u);
    EXPECT_EQ(companies[1]->Name(), QString::fromUtf8("Café Müller & Søn, \"Nord\""));
    EXPECT_FALSE(companies[2]->IsAvailable());
    EXPECT_TRUE(companies[0]->HasInventory());
    EXPECT_FALSE(companies[1]->HasInventory());
    // The same objects every time, so an open company stays open.
    EXPECT_EQ(db->Companies()[0], companies[0]);

    auto books = companies[0]->Books();
    ASSERT_EQ(books.size(), 3u);
    EXPECT_FALSE(books[0]->IsActive());
    EXPECT_EQ(books[1]->BookID(), 1);
    EXPECT_EQ(books[2]->Name(), "Tax");

    auto groups = viewAs<IOrvoWritableCompany>(companies[0])->GroupManager()->GroupList();
    ASSERT_EQ(groups->Count(), 3);
    EXPECT_EQ(groups->Item(0)->Name(), "All Orvo Assets");
    EXPECT_THROW(groups->Item(3), HostError);
}

TEST_P(RefHost, GroupQueryRestrictsCountAndDataAlike)
{
    DemoHost demo(GetParam());
    auto host = ReferenceHost::open(demo.path);
    for (const char* dbName : {"Orvo Demo", "Public Sector"}) {
        auto db = database(*host, dbName);
        auto connection = db->Connection();
        for (auto& c : db->Companies()) {
            auto manager = viewAs<IOrvoWritableCompany>(c)->GroupManager();
            auto list = manager->GroupList();
            for (int32_t g = 0; g < list->Count(); ++g) {
                for (auto& book : c->Books()) {
                    SCOPED_TRACE(QStringLiteral("%1 / %2 / %3").arg(c->Name(), list->Item(g)->Name(), book->Name()).toStdString());
                    const QString where = QStringLiteral(" WHERE Asset.companyid = %1 AND Bookparts.bookid = %2 "
                                                         "AND Bookparts.sequence >= 0 ")
                                              .arg(c->CompanyID())
                                              .arg(book->BookID());
                    const QString from = QStringLiteral(" FROM Asset, Partialsinfo, Bookparts ");
                    auto query = manager->GroupQuery();
                    query->Reset();
                    query->SetGroup(list->Item(g), 0, 0, 0, 0);
                    const QString count = query->ApplyGroup("SELECT count(*) " + from + where);
                    const QString data = query->ApplyGroup("SELECT ASSET.ASSETID, ASSET.DESCRIPTION , deprmethod " +
                                                           from + where + " ORDER BY ASSET.ASSETID");
                    // The conditions go before the ORDER BY, which stays.
                    const qsizetype orderBy = data.indexOf("ORDER BY ASSET.ASSETID");
                    EXPECT_GT(orderBy, data.indexOf("Bookparts.sequence = Partialsinfo.SEQUENCE")) << data.toStdString();
                    EXPECT_EQ(connection->CountRows(count), rowsOf(*connection, data));
                }
            }
        }
    }
    // The selective group really selects: fewer records than all assets.
    auto db = database(*host, "Orvo Demo");
    auto c = db->Companies()[0];
    auto manager = viewAs<IOrvoWritableCompany>(c)->GroupManager();
    auto query = manager->GroupQuery();
    const QString base = "SELECT count(*)  FROM Asset, Partialsinfo, Bookparts  WHERE Asset.companyid = 1 AND "
                         "Bookparts.bookid = 1 AND Bookparts.sequence >= 0 ";
    query->SetGroup(manager->GroupList()->Item(0), 0, 0, 0, 0);
    const int all = db->Connection()->CountRows(query->ApplyGroup(base));
    query->SetGroup(manager->GroupList()->Item(1), 0, 0, 0, 0);
    const int sales = db->Connection()->CountRows(query->ApplyGroup(base));
    EXPECT_EQ(all, 240 + 24);   // one record per asset, a second on every tenth
    EXPECT_GT(sales, 0);
    EXPECT_LT(sales, all);
}

TEST_P(RefHost, CursorStreamsValuesAndKnowsTheLastRow)
{
    DemoHost demo(GetParam(), {2001, 1});
    auto host = ReferenceHost::open(demo.path);
    auto connection = database(*host, "Orvo Demo")->Connection();

    // IsLastRow is exact around the fetch sizes (the server's batches are
    // at least 1000 rows).
    for (int n : {1, 99, 100, 101, 999, 1000, 1001, 2000}) {
        SCOPED_TRACE(n);
        auto rows = connection->OpenCursor(QStringLiteral("SELECT ASSETID FROM Asset WHERE companyid = 1 AND "
                                                          "ASSETID <= %1 ORDER BY ASSETID").arg(n), 100)->Rows();
        auto fields = rows->Fields();
        int seen = 0;
        bool last = false;
        for (bool on = rows->MoveFirst(); on; on = rows->MoveNext()) {
            ++seen;
            EXPECT_EQ(fields->Item(0), QString::number(seen));
            last = rows->IsLastRow();
            EXPECT_EQ(last, seen == n);
        }
        EXPECT_EQ(seen, n);
        EXPECT_TRUE(last);
        EXPECT_FALSE(rows->MoveNext());
    }
    auto none = connection->OpenCursor("SELECT ASSETID FROM Asset WHERE 1 = 0", 100)->Rows();
    EXPECT_FALSE(none->MoveFirst());
    EXPECT_FALSE(none->IsLastRow());

    // NULL is empty text; non-ASCII, quotes, tabs, backslashes and line breaks
    // come back unchanged.
    // Numbers read alike on every backend: a REAL as SQLite shows it.
    auto rows = connection->OpenCursor("SELECT NULL, 'Zoë Ångström', 'a \"b\"\nc\t\\N\\', 1234.5, -7, CAST(12 AS REAL), "
                                       "S168KPCT, ACQVALUE FROM Bookparts WHERE companyid = 1 AND assetid = 8 "
                                       "AND bookid = 1", 100)->Rows();
    ASSERT_TRUE(rows->MoveFirst());
    auto fields = rows->Fields();
    EXPECT_EQ(fields->Count(), 8);
    EXPECT_EQ(fields->Item(5), "12.0");
    EXPECT_EQ(fields->Item(6), "50.0");
    EXPECT_TRUE(fields->Item(7).contains('.')) << fields->Item(7).toStdString();
    EXPECT_EQ(fields->Item(0), "");
    EXPECT_EQ(fields->Item(1), QString::fromUtf8("Zoë Ångström"));
    QString buffer = "old";
    fields->ReadItem(2, buffer);
    EXPECT_EQ(buffer, "a \"b\"\nc\t\\N\\");
    EXPECT_EQ(fields->Item(3), "1234.5");
    EXPECT_EQ(fields->Item(4), "-7");
    EXPECT_THROW(fields->Item(8), HostError);
}

TEST(RefHostReal, ARealReadsAsSqlitesOwnText)
{
    QTemporaryDir dir;
    auto db = std::make_shared<refhost::SqliteDb>(dir.filePath("real.sqlite"), true);
    db->exec("CREATE TABLE t (v REAL); BEGIN");
    std::vector<double> values = {0.0, -0.0, 1.0, -1.5, 0.1 + 0.2, 1e15, 1e15 - 1, 999999999999999.4, 1e16, 1e-4,
                                  1e-5, 0.00012345, 123456789012345.6, 1e300, -1.7976931348623157e308,
                                  2.2250738585072014e-308, 4.9e-324, 100.0, 1e100, 5e-5, 0.5, 2.675, 9.9999999999999995e14, 644533312592058.5, 14639007563246.25, 9620.761602014245, 9.9e99,
                                  std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()};
    std::mt19937_64 random(20240307);
    for (int i = 0; i < 40000; ++i) {
        const double bits = std::bit_cast<double>(random());
        if (std::isfinite(bits))
            values.push_back(bits);
        values.push_back(static_cast<double>(static_cast<int64_t>(random() % 2000000000000) - 1000000000000) / 100);
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

    refhost::RefConnection connection(db);
    auto rows = connection.OpenCursor(QStringLiteral("SELECT v, CAST(v AS TEXT) FROM t"), 100)->Rows();
    auto fields = rows->Fields();
    std::string ours, sqlites;
    size_t seen = 0;
    for (bool on = rows->MoveFirst(); on; on = rows->MoveNext(), ++seen)
        ASSERT_EQ(fields->ReadItemUtf8(0, ours), fields->ReadItemUtf8(1, sqlites)) << values[seen];
    EXPECT_EQ(seen, values.size());
}

TEST_P(RefHost, BadSqlRaisesTheDatabaseMessage)
{
    DemoHost demo(GetParam());
    auto host = ReferenceHost::open(demo.path);
    auto connection = database(*host, "Orvo Demo")->Connection();
    for (const char* sql : {"SELECT nosuchcolumn FROM Asset", "SELEKT 1", "SELECT FieldID FROM AssetAlloc WHERE"}) {
        SCOPED_TRACE(sql);
        try {
            connection->OpenCursor(QString::fromLatin1(sql), 100);
            FAIL() << "bad SQL must fail";
        } catch (const HostError& e) {
            EXPECT_TRUE(e.description().contains(QString::fromLatin1(sql))) << e.description().toStdString();
        }
        EXPECT_THROW(connection->CountRows(QString::fromLatin1(sql)), HostError);
    }
    EXPECT_EQ(connection->CountRows("SELECT count(*) FROM Book WHERE companyid = 1 AND bookid = 1"), 1);
}

TEST(RefHostFolder, AddinRegistryEditsOnlyItsOwnLine)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("addins.list");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("# my add-ins\nother.Addin\t/opt/other.so\n\n");
    file.close();

    refhost::AddinRegistry registry(path);
    registry.Register("expwiz.clsExpWizard", "/x/libexpwiz.so");
    registry.Register("expwiz.clsExpWizard", "/y/libexpwiz.so");   // replaces, never doubles
    auto entries = registry.entries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1].libraryPath, "/y/libexpwiz.so");
    registry.Unregister("expwiz.clsExpWizard");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("# my add-ins\nother.Addin\t/opt/other.so\n\n"));
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
    for (const auto& [name, words] : std::vector<std::pair<QString, QStringList>>{
             {"Down", {"Cannot connect", "'Down'", "host=/nonexistent/expwiz"}},
             {"Refused", {"Cannot connect", "'Refused'", "user=nosuchuser", "nosuchuser"}}}) {
        EXPECT_FALSE(host->OpenDatabase(name));
        for (auto& entry : host->Databases()) {
            if (entry->Name() != name)
                continue;
            try {
                entry->Database();
                FAIL() << name.toStdString();
            } catch (const HostError& e) {
                for (const QString& word : words)
                    EXPECT_TRUE(e.description().contains(word)) << e.description().toStdString();
                EXPECT_FALSE(e.description().contains("sekrit")) << e.description().toStdString();
            }
        }
    }

    // The server ends every other session of the database mid-run: the
    // cursor fails, names the database, and stays failed.
    auto db = database(*host, "Orvo Demo");
    auto connection = db->Connection();
    auto rows = connection->OpenCursor("SELECT g FROM generate_series(1, 10000000) g", 100)->Rows();
    ASSERT_TRUE(rows->MoveFirst());
    pghost::PgSession admin(testhost::postgresServer(), "admin");
    admin.exec(QStringLiteral("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE datname = '%1'")
                   .arg(demo.server.prefix + "_orvo_demo"));
    QString message;
    try {
        while (rows->MoveNext()) {
        }
    } catch (const HostError& e) {
        message = e.description();
    }
    EXPECT_TRUE(message.contains("connection") && message.contains("lost") && message.contains("'Orvo Demo'"))
        << message.toStdString();
    EXPECT_THROW(rows->MoveNext(), HostError);
    EXPECT_THROW(connection->CountRows("SELECT count(*) FROM Asset"), HostError);
}

TEST(RefHost, DatabaseListNamesExactlyItsFiles)
{
    QTemporaryDir dir;
    const refhost::HostDataFolder folder(dir.path());
    const QString colon = dir.path() + "/:colon.sqlite";
    folder.writeDatabases({{"Colon", colon}, {"Elsewhere", "/srv/other.sqlite"}});
    const auto read = folder.readDatabases();
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(read[0].file, colon);   // a file, not a compiled-in resource
    EXPECT_EQ(QDir::cleanPath(read[1].file), "/srv/other.sqlite");

    const auto listBytes = [&] {
        QFile f(folder.databaseListPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const QByteArray before = listBytes();
    const std::vector<refhost::DatabaseRecord> unfit[] = {
        {{"Blank end", dir.filePath("file ")}}, {{"Two\nlines", colon}}, {{"Tab\tname", colon}}, {{" # note", colon}}};
    for (const auto& records : unfit) {
        EXPECT_THROW(folder.writeDatabases(records), HostError) << records[0].name.toStdString();
        EXPECT_EQ(listBytes(), before);
    }
}
