#include "CompanyHolder.h"
#include "HostBackends.h"
#include "refhost/ReferenceHost.h"

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

class RefHostLock : public testhost::BackendTest {};
EXPWIZ_ON_EVERY_BACKEND(RefHostLock);

} // namespace

TEST_P(RefHostLock, OpensNestTheLastCloseReleasesAndAnotherProcessHoldsTheCompanyUntilItDies)
{
    testhost::DemoHost demo(GetParam());
    auto mine = refhost::ReferenceHost::open(demo.path);
    auto other = refhost::ReferenceHost::open(demo.path);   // a second user in this process
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

    const pid_t holder = testhost::holdCompanyInChild(demo.path, QStringLiteral("Orvo Demo"), 0);
    ASSERT_GT(holder, 0);
    try {
        company->Open();
        ADD_FAILURE() << "the company is held by another process";
    } catch (const HostError& e) {
        EXPECT_EQ(e.number(), errnum::CompanyLocked);
        EXPECT_TRUE(e.description().startsWith("Company 'Harbor Logistics' is locked by another user ("))
            << e.description().toStdString();
        // Who holds it: the process here, the server's process and where
        // the holder connects from on a server.
        const QStringList words = GetParam() == testhost::Backend::Sqlite
                                      ? QStringList{"(process " + QString::number(holder) + ")."}
                                      : QStringList{"server process", "local connection"};
        for (const QString& word : words)
            EXPECT_TRUE(e.description().contains(word)) << e.description().toStdString();
    }
    // A crashed holder leaves no lock behind; the server notices the
    // dropped connection by itself, which may take it a moment.
    kill(holder, SIGKILL);
    waitpid(holder, nullptr, 0);
    bool reopened = false;
    for (int attempt = 0; attempt < 200 && !reopened; ++attempt) {
        try {
            reopened = company->Open();
        } catch (const HostError&) {
            usleep(50000);
        }
    }
    EXPECT_TRUE(reopened);
    company->Close();
}
