#include "refhost/DemoData.h"
#include "refhost/ReferenceHost.h"

#include <QCryptographicHash>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace orvo;

namespace {

// A digest of every asset record of the organization database.
QByteArray digest(const QString& folder)
{
    auto rows = refhost::ReferenceHost::open(folder)->OpenDatabase("Public Sector")->Database()->Connection()->OpenCursor(
        "SELECT * FROM Asset, Partialsinfo, Bookparts WHERE Asset.companyid = Partialsinfo.companyid AND "
        "Asset.ASSETID = Partialsinfo.assetid AND Bookparts.companyid = Asset.companyid AND Bookparts.assetid = "
        "Asset.ASSETID ORDER BY Asset.ASSETID, Bookparts.bookid, Bookparts.sequence", 100)->Rows();
    auto fields = rows->Fields();
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (bool on = rows->MoveFirst(); on; on = rows->MoveNext())
        for (int32_t c = 0; c < fields->Count(); ++c)
            hash.addData(fields->Item(c).toUtf8() + '\x1f');
    return hash.result().toHex();
}

} // namespace

TEST(DemoData, IsDeterministicAndHoldsTheAwkwardValues)
{
    QTemporaryDir dir;
    refhost::DemoData::create(dir.filePath("a"));
    refhost::DemoData::create(dir.filePath("b"));
    EXPECT_EQ(digest(dir.filePath("a")), digest(dir.filePath("b")));
    EXPECT_TRUE(refhost::DemoData::isDemoFolder(dir.filePath("a")));
    EXPECT_THROW(refhost::DemoData::create(dir.filePath("a")), HostError);   // never into a used folder

    auto host = refhost::ReferenceHost::open(dir.filePath("a"));
    auto demo = host->OpenDatabase("Orvo Demo")->Database()->Connection();
    for (const char* where : {"DESCRIPTION LIKE '%,%'", "DESCRIPTION LIKE '%\"%'", "instr(DESCRIPTION, char(10)) > 0",
                              "DESCRIPTION LIKE '%ü%'", "DEPARTMENT IS NULL", "DISPOSEDAMOUNT < 0"})
        EXPECT_GT(demo->CountRows(QStringLiteral("SELECT count(*) FROM Asset, Bookparts WHERE Asset.companyid = "
                                                 "Bookparts.companyid AND Asset.ASSETID = Bookparts.assetid AND %1")
                                      .arg(QString::fromUtf8(where))), 0) << where;
    auto organization = host->OpenDatabase("Public Sector")->Database()->Connection();
    for (const auto& [sql, n] : {std::pair{"CustomInfo WHERE CompanyID = 10 AND ListType = 'A'", 3},
                                 std::pair{"AssetAlloc WHERE CompanyID = 10 AND APPID = 4 AND AssetID = 2", 40},
                                 std::pair{"Asset WHERE companyid = 10 AND INSURANCECATEGORY = '<Allocated>'", 3}})
        EXPECT_EQ(organization->CountRows(QStringLiteral("SELECT count(*) FROM ") + QLatin1String(sql)), n) << sql;
}
