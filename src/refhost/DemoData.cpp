#include "refhost/DemoData.h"

#include "host/HostError.h"
#include "refhost/HostDataFolder.h"
#include "refhost/DemoSink.h"
#include "refhost/Schema.h"
#include "refhost/Sqlite.h"

#include <QDate>
#include <QDir>
#include <QFile>

#include <array>
#include <cstdio>
#include <string>

namespace orvo::refhost {

namespace {

constexpr const char* kMarker = ".orvo-demo";

std::string isoDate(int dayOffset)
{
    const QDate d = QDate(2012, 1, 1).addDays(dayOffset);
    return d.toString(Qt::ISODate).toStdString();
}

std::string money(int64_t cents)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%s%lld.%02lld", cents < 0 ? "-" : "",
                  static_cast<long long>((cents < 0 ? -cents : cents) / 100),
                  static_cast<long long>((cents < 0 ? -cents : cents) % 100));
    return buffer;
}

const std::array<const char*, 10> kDescriptions = {
    "Forklift truck", "Desk, oak, 2 drawers", "Server \"Atlas\" rack", "Conveyor belt\nsection B",
    "Kühlschrank Größe L", "Café espresso machine", "Delivery van", "Office chair", "Laptop",
    "Pallet racking"};
const std::array<const char*, 4> kDepartments = {"Sales", "Finance", "R&D, Labs", "Warehouse"};
const std::array<const char*, 3> kMethods = {"SL", "MF200", "DB150"};

struct Company {
    int id;
    const char* name;
    bool available;
    bool inventory;
};

void insertCompanies(DemoSink& sink, std::initializer_list<Company> companies)
{
    const auto companyRows = sink.table("Company", {"companyid", "name", "available", "hasinventory", "position"});
    const auto bookRows = sink.table("Book", {"companyid", "bookid", "name", "active", "position"});
    const auto groupRows = sink.table("AssetGroup", {"companyid", "groupid", "name", "condition", "position"});
    DemoRows& c = *companyRows;
    DemoRows& b = *bookRows;
    DemoRows& g = *groupRows;
    int position = 0;
    for (const Company& company : companies) {
        c.reset();
        c.bind(1, int64_t{company.id});
        c.bindUtf8(2, company.name);
        c.bindUtf8(3, company.available ? "T" : "F");
        c.bindUtf8(4, company.inventory ? "T" : "F");
        c.bind(5, int64_t{position++});
        c.step();
        const std::array<std::pair<const char*, bool>, 3> books = {
            {{"Internal", true}, {"Tax", true}, {"Old GAAP", false}}};
        for (int i = 0; i < 3; ++i) {
            b.reset();
            b.bind(1, int64_t{company.id});
            b.bind(2, int64_t{i + 1});
            b.bindUtf8(3, books[static_cast<size_t>(i)].first);
            b.bindUtf8(4, books[static_cast<size_t>(i)].second ? "T" : "F");
            // The inactive book is listed first, so a list that skips it shows.
            b.bind(5, int64_t{i == 2 ? -1 : i});
            b.step();
        }
        const std::array<std::pair<const char*, const char*>, 3> groups = {
            {{"All Orvo Assets", ""},
             {"Sales Department", "Asset.DEPARTMENT = 'Sales'"},
             {"Acquired before 2016", "Asset.ACQUISITIONDATE < '2016-01-01'"}}};
        for (int i = 0; i < 3; ++i) {
            g.reset();
            g.bind(1, int64_t{company.id});
            g.bind(2, int64_t{i + 1});
            g.bindUtf8(3, groups[static_cast<size_t>(i)].first);
            g.bindUtf8(4, groups[static_cast<size_t>(i)].second);
            g.bind(5, int64_t{i});
            g.step();
        }
    }
    c.finish();
    b.finish();
    g.finish();
}

// Assets of one company, with one asset record (sequence 0) each, an
// extension (sequence 1) on every tenth, and book values in books 1 and 2.
void insertAssets(DemoSink& sink, int companyId, int count, bool inventory, DemoRandom& random,
                  const char* allocatedField = nullptr)
{
    const auto assetRows = sink.table(
        "Asset", {"companyid", "ASSETID", "DESCRIPTION", "ACQUISITIONDATE", "DEPARTMENT", "COMPASSTNO", "CLASSCD",
                  "LOCATION", "ASSETGL", "ACCUMULATEDGL", "EXPENSEGL", "CUSTODIAN", "MFGSERIALNUM", "USER1", "USER20",
                  "ITCPERCENT", "CLASSESTIMATEDLIFE", "VENDORMFG", "WARRANTYDATE", "INSURANCECATEGORY", "ZtUser1",
                  "ROOM", "REPLACEVAL", "CHECKEDOUTDATE", "EntityCode", "ACTIVITYTYPE"});
    const auto partialRows = sink.table(
        "Partialsinfo", {"companyid", "assetid", "SEQUENCE", "ACTIVITYCD", "CREATIONCD", "DISPOSALDATE",
                         "CASHPROCEEDS", "DISPOSALMETHOD", "ISEXCHANGE", "DISPDESCRIPTION", "PCTTRANSOUT"});
    const auto bookRows = sink.table(
        "Bookparts", {"companyid", "assetid", "bookid", "sequence", "ACQVALUE", "BEGLIFETODATE", "CURRENTLIFETODATE",
                      "CURRENTYEARTODATE", "CURRENTNETVALUE", "DEPRMETHOD", "ESTIMATEDLIFE", "PLACESERV", "SALVVALUE",
                      "CURRENTNOPRINTDEXP", "ISS179", "ADDLCHAR2", "S168KPCT", "CURRENTBUSUSEPCT", "DDBPERCENT",
                      "CURRENTREMLIFE", "DISPOSEDAMOUNT", "CURRENTDEPRFLAGS"});
    DemoRows& a = *assetRows;
    DemoRows& p = *partialRows;
    DemoRows& b = *bookRows;
    char text[64];
    for (int i = 1; i <= count; ++i) {
        const int day = (i * 37) % 3600;
        const bool nulls = i % 17 == 0;   // a record with empty fields
        a.reset();
        a.bind(1, int64_t{companyId});
        a.bind(2, int64_t{i});
        a.bindUtf8(3, kDescriptions[static_cast<size_t>(random.pick(10))]);
        a.bindUtf8(4, isoDate(day));
        if (nulls)
            a.bindNull(5);
        else
            a.bindUtf8(5, kDepartments[static_cast<size_t>(i % 4)]);
        std::snprintf(text, sizeof text, "HL-%06d", i);
        a.bindUtf8(6, text);
        std::snprintf(text, sizeof text, "C%d", 100 + i % 7);
        a.bindUtf8(7, text);
        a.bindUtf8(8, i % 3 ? "Main yard" : "Gebäude Süd");
        a.bindUtf8(9, "1500-00");
        a.bindUtf8(10, "1510-00");
        a.bindUtf8(11, "6100-00");
        if (nulls)
            a.bindNull(12);
        else
            a.bindUtf8(12, i % 2 ? "J. O'Brien" : "Zoë Ångström");
        std::snprintf(text, sizeof text, "SN%08u", random.next() % 100000000u);
        a.bindUtf8(13, text);
        a.bindUtf8(14, i % 5 ? "" : "note, with comma");
        a.bind(15, static_cast<double>(1 + i % 12));
        if (i % 4 == 0)
            a.bind(16, 0.075);
        else
            a.bindNull(16);
        a.bind(17, int64_t{i % 3 ? 507 : 1000});
        a.bindUtf8(18, "ACME \"Tools\" Ltd.");
        a.bindUtf8(19, isoDate(day + 730));
        if (allocatedField && std::string(allocatedField) == "INSURANCECATEGORY")
            a.bindUtf8(20, i <= 3 ? "<Allocated>" : (i == 4 ? "D100" : (i % 2 ? "F200" : "")));
        else
            a.bindUtf8(20, i % 2 ? "General" : "Vehicles");
        if (inventory) {
            std::snprintf(text, sizeof text, "Inv-%d", i);
            a.bindUtf8(21, text);
            std::snprintf(text, sizeof text, "R%03d", i % 250);
            a.bindUtf8(22, text);
            a.bind(23, static_cast<double>(random.pick(900000)) / 100.0);
            a.bindUtf8(24, isoDate(day + 100));
        } else {
            for (int k = 21; k <= 24; ++k)
                a.bindNull(k);
        }
        a.bindUtf8(25, i % 2 ? "E1" : "E2");
        a.bindUtf8(26, "Capital");
        a.step();

        const int sequences = i % 10 == 0 ? 2 : 1;
        for (int seq = 0; seq < sequences; ++seq) {
            const bool disposed = i % 23 == 0;
            p.reset();
            p.bind(1, int64_t{companyId});
            p.bind(2, int64_t{i});
            p.bind(3, int64_t{seq});
            p.bindUtf8(4, disposed ? "D" : "A");
            p.bindUtf8(5, seq ? "T" : "P");
            if (disposed) {
                p.bindUtf8(6, isoDate(day + 1500));
                p.bind(7, static_cast<double>(random.pick(500000)) / 100.0);
                p.bindUtf8(8, "Sale");
                p.bindUtf8(10, "Sold to \"Second-hand\", Ltd.");
            } else {
                p.bindNull(6);
                p.bindNull(7);
                p.bindNull(8);
                p.bindNull(10);
            }
            p.bindUtf8(9, i % 2 ? "T" : "F");
            p.bind(11, seq ? 25.0 : 0.0);
            p.step();
            for (int book = 1; book <= 2; ++book) {
                const int64_t cost = 10000 + static_cast<int64_t>(random.pick(5000000));
                const int64_t accum = cost * (book == 1 ? 3 : 4) / 10;
                b.reset();
                b.bind(1, int64_t{companyId});
                b.bind(2, int64_t{i});
                b.bind(3, int64_t{book});
                b.bind(4, int64_t{seq});
                b.bindUtf8(5, money(cost));
                b.bindUtf8(6, money(accum / 2));
                b.bindUtf8(7, money(accum));
                b.bindUtf8(8, money(accum / 5));
                b.bindUtf8(9, money(cost - accum));
                b.bindUtf8(10, kMethods[static_cast<size_t>((i + book) % 3)]);
                b.bind(11, int64_t{i % 3 ? 507 : 1000});
                b.bindUtf8(12, isoDate(day + 15));
                b.bindUtf8(13, money(cost / 20));
                b.bindUtf8(14, i % 7 ? "F" : "T");
                b.bindUtf8(15, i % 5 ? "F" : "T");
                if (i % 6)
                    b.bindNull(16);
                else
                    b.bindUtf8(16, "Y");
                b.bind(17, i % 8 ? 0.0 : 50.0);
                b.bind(18, 100.0);
                b.bind(19, 200.0);
                b.bind(20, int64_t{12 + i % 300});
                if (disposed)
                    b.bindUtf8(21, money(-(cost / 7)));   // a loss on disposal
                else
                    b.bindNull(21);
                b.bindUtf8(22, "");
                b.step();
            }
        }
    }
    a.finish();
    p.finish();
    b.finish();
}

void insertAllocations(DemoSink& sink, int companyId)
{
    const auto listRows = sink.table("CustomInfo", {"CompanyID", "FieldID", "Prompt", "ListType"});
    DemoRows& c = *listRows;
    const std::array<std::tuple<int, const char*, const char*>, 4> lists = {
        {{3, "Funding source", "A"}, {5, "Department Code", "A"}, {7, "G/L Asset Account No", "A"},
         {9, "Colour", "L"}}};
    for (const auto& [field, prompt, type] : lists) {
        c.reset();
        c.bind(1, int64_t{companyId});
        c.bind(2, int64_t{field});
        c.bindUtf8(3, prompt);
        c.bindUtf8(4, type);
        c.step();
    }
    c.finish();
    const auto allocRows =
        sink.table("AssetAlloc", {"CompanyID", "AssetID", "FieldID", "allocid", "FieldValue", "AllocPcnt", "APPID"});
    DemoRows& a = *allocRows;
    auto add = [&](int asset, int field, int allocId, const char* value, double pct) {
        // Each edition family reads its own application id.
        for (int appId : {3, 4, 6}) {
            a.reset();
            a.bind(1, int64_t{companyId});
            a.bind(2, int64_t{asset});
            a.bind(3, int64_t{field});
            a.bind(4, int64_t{allocId});
            a.bindUtf8(5, value);
            a.bind(6, pct);
            a.bind(7, int64_t{appId});
            a.step();
        }
    };
    // Asset 1: a 50/30/20 split; asset 2: 40 entries (only 35 fit); asset 3:
    // marked allocated but without entries.
    add(1, 3, 1, "F100", 50);
    add(1, 3, 2, "F200", 30);
    add(1, 3, 3, "F300", 20);
    char value[16];
    for (int k = 1; k <= 40; ++k) {
        std::snprintf(value, sizeof value, "F%03d", k);
        add(2, 3, k, value, 2.5);
    }
    a.finish();
}

// Rows into a SQLite file through prepared INSERTs.
class SqliteRows : public DemoRows {
public:
    SqliteRows(const SqliteDb& db, const char* table, const std::vector<const char*>& columns)
        : DemoRows(columns.size())
    {
        QString names, marks;
        for (size_t i = 0; i < columns.size(); ++i) {
            names += (i ? QStringLiteral(", ") : QString()) + QString::fromLatin1(columns[i]);
            marks += (i ? QStringLiteral(",?") : QStringLiteral("?")) + QString::number(i + 1);
        }
        statement_ = SqliteStatement(
            db, QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(QString::fromLatin1(table), names, marks));
    }

protected:
    void write(const std::vector<Value>& row) override
    {
        statement_.reset();
        for (size_t i = 0; i < row.size(); ++i) {
            const int index = static_cast<int>(i + 1);
            switch (row[i].kind) {
            case Value::Null: statement_.bindNull(index); break;
            case Value::Integer: statement_.bind(index, row[i].integer); break;
            case Value::Real: statement_.bind(index, row[i].real); break;
            case Value::Text: statement_.bindUtf8(index, row[i].text); break;
            }
        }
        statement_.step();
    }

private:
    SqliteStatement statement_;
};

class SqliteSink : public DemoSink {
public:
    explicit SqliteSink(const SqliteDb& db) : db_(db) {}
    std::unique_ptr<DemoRows> table(const char* name, const std::vector<const char*>& columns) override
    {
        return std::make_unique<SqliteRows>(db_, name, columns);
    }

private:
    const SqliteDb& db_;
};

} // namespace

bool DemoData::isDemoFolder(const QString& folder)
{
    return QFile::exists(QDir(folder).filePath(QString::fromLatin1(kMarker)));
}

const std::vector<std::pair<QString, QString>>& DemoContent::databases()
{
    static const std::vector<std::pair<QString, QString>> names = {
        {QStringLiteral("Orvo Demo"), QStringLiteral("orvo-demo")},
        {QStringLiteral("Public Sector"), QStringLiteral("public-sector")}};
    return names;
}

void DemoContent::write(size_t database, DemoSink& sink)
{
    if (database == 0) {
        insertCompanies(sink, {{1, "Harbor Logistics", true, true},
                               {2, "Café Müller & Søn, \"Nord\"", true, false},
                               {3, "Closed Books Ltd", false, false},
                               {4, "Empty Start-up", true, false}});
        insertAssets(sink, 1, options_.assets, true, random_);
        insertAssets(sink, 2, 25, false, random_);
    } else {
        insertCompanies(sink, {{10, "City of Lakeside", true, true}, {11, "County Roads", true, false}});
        insertAssets(sink, 10, 60, true, random_, "INSURANCECATEGORY");
        insertAllocations(sink, 10);
        insertAssets(sink, 11, 12, false, random_);
    }
}

QDir DemoData::prepareFolder(const QString& folder)
{
    QDir dir(folder);
    if (dir.exists() && !dir.isEmpty())
        throw HostError(errnum::PathFileAccess,
                        QStringLiteral("The folder %1 is not empty; demo data goes into a new or empty folder.")
                            .arg(dir.absolutePath()));
    if (!QDir().mkpath(dir.absolutePath()))
        throw HostError(errnum::PathNotFound, QStringLiteral("Cannot create the folder %1.").arg(dir.absolutePath()));
    return dir;
}

void DemoData::create(const QString& folder, const DemoOptions& options)
{
    const QDir dir = prepareFolder(folder);
    std::vector<DatabaseRecord> databases;
    for (const auto& [name, stem] : DemoContent::databases())
        databases.push_back({name, dir.absoluteFilePath(stem + QStringLiteral(".sqlite"))});

    DemoContent content(options);
    for (size_t n = 0; n < databases.size(); ++n) {
        SqliteDb db(databases[n].file, true);
        // Nothing to protect while the file is being made: write it fast.
        db.exec("PRAGMA journal_mode = OFF");
        db.exec("PRAGMA synchronous = OFF");
        db.exec("BEGIN");
        createSchema(db);
        SqliteSink sink(db);
        content.write(n, sink);
        db.exec("COMMIT");
        createIndexes(db);
        db.exec("PRAGMA journal_mode = WAL");
    }
    writeHostFiles(dir.absolutePath(), databases, options);
}

void DemoData::writeHostFiles(const QString& folder, const std::vector<DatabaseRecord>& databases,
                              const DemoOptions& options)
{
    const QDir dir(folder);
    const HostDataFolder data(dir.absolutePath());
    data.writeDatabases(databases);

    HostSettings settings;
    settings.applicationType = options.applicationType;
    settings.programPath = dir.absolutePath();
    settings.databaseName = databases.front().name;
    data.writeSettings(settings);
    writeTextAtomically(data.addinListPath(), QStringLiteral("# Add-ins of this host: ProgID<TAB>library\n"));
    writeTextAtomically(dir.absoluteFilePath(QString::fromLatin1(kMarker)),
                        QStringLiteral("Made by 'expwiz demo'; safe to replace.\n"));
}

} // namespace orvo::refhost
