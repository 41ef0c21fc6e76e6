#include "refhost/DemoData.h"
#include "refhost/ReferenceHost.h"

#include <QCryptographicHash>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace orvo;

namespace {

QByteArray dump(const QString& folder)
{
    auto host = refhost::ReferenceHost::open(folder);
    auto connection = host->OpenDatabase("Public Sector")->Database()->Connection();
    auto rows = connection->OpenCursor("SELECT * FROM Asset, Partialsinfo, Bookparts WHERE Asset.companyid = "
                                       "Partialsinfo.companyid AND Asset.ASSETID = Partialsinfo.assetid AND "
                                       "Bookparts.companyid = Asset.companyid AND Bookparts.assetid = Asset.ASSETID "
                                       "ORDER BY Asset.ASSETID, Bookparts.bookid, Bookparts.sequence", 100)->Rows();
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
    EXPECT_EQ(dump(dir.filePath("a")), dump(dir.filePath("b")));
    EXPECT_TRUE(refhost::DemoData::isDemoFolder(dir.filePath("a")));
    EXPECT_THROW(refhost::DemoData::create(dir.filePath("a")), HostError);   // never into a used folder

    auto host = refhost::ReferenceHost::open(dir.filePath("a"));
    auto c = host->OpenDatabase("Orvo Demo")->Database()->Connection();
    auto count = [&](const char* where) {
        return c->CountRows(QStringLiteral("SELECT count(*) FROM Asset, Bookparts WHERE Asset.companyid = "
                                           "Bookparts.companyid AND Asset.ASSETID = Bookparts.assetid AND %1")
                                .arg(QString::fromUtf8(where)));
    };
    EXPECT_GT(count("DESCRIPTION LIKE '%,%'"), 0);
    EXPECT_GT(count("DESCRIPTION LIKE '%\"%'"), 0);
    EXPECT_GT(count("instr(DESCRIPTION, char(10)) > 0"), 0);
    EXPECT_GT(count("DESCRIPTION LIKE '%ü%'"), 0);
    EXPECT_GT(count("DEPARTMENT IS NULL"), 0);
    EXPECT_GT(count("DISPOSEDAMOUNT < 0"), 0);

    auto p = host->OpenDatabase("Public Sector")->Database()->Connection();
    EXPECT_EQ(p->CountRows("SELECT count(*) FROM CustomInfo WHERE CompanyID = 10 AND ListType = 'A'"), 3);
    EXPECT_EQ(p->CountRows("SELECT count(*) FROM AssetAlloc WHERE CompanyID = 10 AND APPID = 4 AND AssetID = 2"), 40);
    EXPECT_EQ(p->CountRows("SELECT count(*) FROM Asset WHERE companyid = 10 AND INSURANCECATEGORY = '<Allocated>'"), 3);
}
