#include "refhost/Schema.h"

#include "refhost/Sqlite.h"

#include <QString>

namespace orvo::refhost {

namespace {

// Every column the field catalog exports, with the storage the host uses:
// dates as ISO text, money as REAL, flags as "T"/"F".
// Asset: 49 catalog columns
const char* const kAssetColumns =
    ", ACCUMULATEDGL TEXT, ACQUISITIONDATE TEXT, ASSETGL TEXT, CHECKEDOUTDATE TEXT, CLASSCD TEXT"
    ", CLASSESTIMATEDLIFE INTEGER, COMPASSTNO TEXT, CONDITION TEXT, CUSTODIAN TEXT, DEPARTMENT TEXT"
    ", DESCRIPTION TEXT, EXPECTEDDATE TEXT, EXPENSEGL TEXT, FLOOR TEXT, ZtUser1 TEXT, ZtUser2 TEXT"
    ", ZtUser3 TEXT, ZtUser4 TEXT, ZtUser5 TEXT, ZtUser6 TEXT, ZtUser7 TEXT, ZtUser8 TEXT"
    ", ZtUser9 TEXT, ZtUser10 TEXT, INSURANCECATEGORY TEXT, ITC TEXT, ITCPERCENT REAL, LOCATION TEXT"
    ", MFGSERIALNUM TEXT, PONUMBER TEXT, PROPTYPE REAL, REPLACEVAL REAL, REPLACEVALCAT TEXT"
    ", ROOM TEXT, USER1 TEXT, USER2 TEXT, USER3 TEXT, USER4 TEXT, USER5 TEXT, USER6 TEXT, USER7 TEXT"
    ", USER8 TEXT, USER9 TEXT, USER10 TEXT, USER20 REAL, VENDORMFG TEXT, WARRANTYDATE TEXT"
    ", ACTIVITYTYPE TEXT, EntityCode TEXT";
// Partialsinfo: 26 catalog columns
const char* const kPartialsinfoColumns =
    ", ACTIVITYCD TEXT, AMTTRANSOUT REAL, CASHPROCEEDS REAL, CREATIONCD TEXT, DATEOFTRANSIN TEXT"
    ", DATEOFTRANSOUT TEXT, DISPDESCRIPTION TEXT, DISPOSALDATE TEXT, DISPOSALMETHOD TEXT"
    ", EFFECTDATEOFTRANIN TEXT, EFFECTDATEOFTRANOUT TEXT, EXPENSEOFSALE REAL, ITCAMOUNT REAL"
    ", ITCREDUCE REAL, NONCASHPROCEEDS REAL, PCTTRANSIN REAL, PCTTRANSOUT REAL, RVCALC REAL"
    ", RVOVERRIDE REAL, RVOVERRIDEDATE TEXT, TRANSBYFIELDDATA TEXT, TRANSBYFIELDID TEXT"
    ", TRANSFERFROMDATA TEXT, TRANSSOURCEFROM TEXT, TRANSSOURCETO TEXT, ISEXCHANGE TEXT";
// Bookparts: 36 catalog columns
const char* const kBookpartsColumns =
    ", ACQVALUE REAL, BEGLIFETODATE REAL, BEGLSDEPRDATE TEXT, BEGPRLIFEDATE REAL, BEGYEARTODATE REAL"
    ", BEGADJAMOUNT REAL, CURRENTITCRECAP REAL, CURRENTLIFETODATE REAL, CURRENTLSDEPRDATE TEXT"
    ", CURRENTNOPRINTDEXP TEXT, CURRENTYEARTODATE REAL, CURRENTPRLIFEDATE REAL"
    ", CURRENTDEPRFLAGS TEXT, CURRENTPERIODDEPR TEXT, CURRENTNETVALUE REAL, CURRENTS179Recap REAL"
    ", CURRENTREMLIFE INTEGER, CURRENTBUSUSEPCT REAL, CURRENTREMACELIFE INTEGER"
    ", CURRENTREMACEBASIS REAL, DEFERREDCODE TEXT, DEFERREDDATE TEXT, DEPRMETHOD TEXT"
    ", DDBPERCENT REAL, DISPOSEDAMOUNT REAL, ESTIMATEDLIFE INTEGER, ISS179 TEXT, LASTCALCDATE TEXT"
    ", PLACESERV TEXT, SALVVALUE REAL, S179BONAMT REAL, S168KPCT REAL, ALLOWANCE30 REAL"
    ", S179OtherAmt REAL, S179OtherCode TEXT, ADDLCHAR2 TEXT";

} // namespace

QStringList schemaStatements(SqlDialect dialect)
{
    // SQLite's REAL is the server's double precision; every other type
    // name means the same to both.
    auto typed = [dialect](const char* columns) {
        QString text = QString::fromLatin1(columns);
        if (dialect == SqlDialect::Postgres)
            text.replace(QStringLiteral(" REAL"), QStringLiteral(" DOUBLE PRECISION"));
        return text;
    };
    return {
        QStringLiteral("CREATE TABLE Company (companyid INTEGER PRIMARY KEY, name TEXT NOT NULL, "
                       "available TEXT NOT NULL DEFAULT 'T', hasinventory TEXT NOT NULL DEFAULT 'F', "
                       "position INTEGER NOT NULL)"),
        QStringLiteral("CREATE TABLE Book (companyid INTEGER NOT NULL, bookid INTEGER NOT NULL, name TEXT NOT NULL, "
                       "active TEXT NOT NULL DEFAULT 'T', position INTEGER NOT NULL, PRIMARY KEY (companyid, bookid))"),
        // A group restricts the assets by a condition on the Asset table; the
        // group of all assets has none.
        QStringLiteral("CREATE TABLE AssetGroup (companyid INTEGER NOT NULL, groupid INTEGER NOT NULL, "
                       "name TEXT NOT NULL, condition TEXT NOT NULL DEFAULT '', position INTEGER NOT NULL, "
                       "PRIMARY KEY (companyid, groupid))"),
        QStringLiteral("CREATE TABLE Asset (companyid INTEGER NOT NULL, ASSETID INTEGER NOT NULL%1, "
                       "PRIMARY KEY (companyid, ASSETID))")
            .arg(typed(kAssetColumns)),
        QStringLiteral("CREATE TABLE Partialsinfo (companyid INTEGER NOT NULL, assetid INTEGER NOT NULL, "
                       "SEQUENCE INTEGER NOT NULL%1, PRIMARY KEY (companyid, assetid, SEQUENCE))")
            .arg(typed(kPartialsinfoColumns)),
        QStringLiteral("CREATE TABLE Bookparts (companyid INTEGER NOT NULL, assetid INTEGER NOT NULL, "
                       "bookid INTEGER NOT NULL, sequence INTEGER NOT NULL%1, "
                       "PRIMARY KEY (companyid, assetid, bookid, sequence))")
            .arg(typed(kBookpartsColumns)),
        QStringLiteral("CREATE TABLE CustomInfo (CompanyID INTEGER NOT NULL, FieldID INTEGER NOT NULL, "
                       "Prompt TEXT NOT NULL, ListType TEXT NOT NULL, PRIMARY KEY (CompanyID, FieldID))"),
        // The application id lives only here, so the allocation query's
        // unqualified APPID is unambiguous.
        QStringLiteral("CREATE TABLE AssetAlloc (CompanyID INTEGER NOT NULL, AssetID INTEGER NOT NULL, "
                       "FieldID INTEGER NOT NULL, allocid INTEGER NOT NULL, FieldValue TEXT, AllocPcnt NUMERIC, "
                       "APPID INTEGER NOT NULL, PRIMARY KEY (CompanyID, APPID, AssetID, FieldID, allocid))"),
    };
}

QStringList hostTableNames()
{
    return {QStringLiteral("Company"),   QStringLiteral("Book"),       QStringLiteral("AssetGroup"),
            QStringLiteral("Asset"),     QStringLiteral("Partialsinfo"), QStringLiteral("Bookparts"),
            QStringLiteral("CustomInfo"), QStringLiteral("AssetAlloc")};
}

QStringList indexStatements()
{
    // The primary keys already lead with company and asset id, which is the
    // order the export reads and joins by; groups filter by department.
    return {QStringLiteral("CREATE INDEX IF NOT EXISTS AssetByDepartment ON Asset (companyid, DEPARTMENT)"),
            QStringLiteral("ANALYZE")};
}

void createSchema(const SqliteDb& db)
{
    for (const QString& statement : schemaStatements(SqlDialect::Sqlite))
        db.exec(statement);
}

void createIndexes(const SqliteDb& db)
{
    for (const QString& statement : indexStatements())
        db.exec(statement);
}

} // namespace orvo::refhost
