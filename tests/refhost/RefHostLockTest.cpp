#include "CompanyHolder.h"
#include "refhost/DemoData.h"
#include "refhost/ReferenceHost.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using namespace orvo;

namespace {

std::shared_ptr<IOrvoCompany> firstCompany(refhost::ReferenceHost& host)
{
    return host.OpenDatabase("Orvo Demo")->Database()->Companies().front();
}

} // namespace

TEST(RefHostLock, AnotherProcessHoldsTheCompanyUntilItDies)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath("host");
    refhost::DemoData::create(folder);
    auto host = refhost::ReferenceHost::open(folder);
    auto company = firstCompany(*host);

    const pid_t holder = testhost::holdCompanyInChild(folder, QStringLiteral("Orvo Demo"), 0);
    ASSERT_GT(holder, 0);
    try {
        company->Open();
        FAIL() << "the company is held by another process";
    } catch (const HostError& e) {
        EXPECT_TRUE(e.description().contains("locked")) << e.description().toStdString();
        EXPECT_TRUE(e.description().contains(QString::number(holder))) << e.description().toStdString();
    }
    // A crashed holder leaves no lock behind.
    kill(holder, SIGKILL);
    waitpid(holder, nullptr, 0);
    EXPECT_TRUE(company->Open());
    company->Close();
}

TEST(RefHostLock, OpensNestAndTheLastCloseReleases)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath("host");
    refhost::DemoData::create(folder);
    auto mine = refhost::ReferenceHost::open(folder);
    auto other = refhost::ReferenceHost::open(folder);   // a second user in this process
    auto company = firstCompany(*mine);

    company->Open();
    company->Open();
    company->Close();
    EXPECT_THROW(firstCompany(*other)->Open(), HostError);   // still open once
    company->Close();
    EXPECT_TRUE(firstCompany(*other)->Open());
    EXPECT_THROW(company->Open(), HostError);
    firstCompany(*other)->Close();
    company->Close();   // closing a closed company is harmless
}
