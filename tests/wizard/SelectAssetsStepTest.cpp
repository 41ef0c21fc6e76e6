#include "DemoWizard.h"
#include "RecordingHost.h"
#include "../refhost/CompanyHolder.h"

#include <csignal>
#include <sys/wait.h>

using namespace testhost;

using SelectAssets = WizardTest;

TEST_F(SelectAssets, ListsDatabasesCompaniesGroupsAndBooksInTheHostsOrderAndKeepsTheStepWhileACompanyCannotBeHad)
{
    DemoFolder demo;
    // Two organizations of one name: the first in the host's order is meant.
    demo.sql("public-sector.sqlite", "UPDATE Company SET name = 'City of Lakeside' WHERE companyid = 11");
    // A company without groups, one with a single group and no active book.
    demo.sql("orvo-demo.sqlite", "DELETE FROM AssetGroup WHERE companyid = 4; DELETE FROM AssetGroup "
                                 "WHERE companyid = 2 AND groupid > (SELECT MIN(groupid) FROM AssetGroup "
                                 "WHERE companyid = 2); UPDATE Book SET active = 'F' WHERE companyid = 2");
    expwiz::ScriptedUiServices ui;
    queueAnswers(ui, {BoxAnswer::Ok}, 4);
    runWizard(ui, demo.host, [&](WizardDialog& w) {
        auto* databases = child<QComboBox>(w, "cmbP2Database");
        auto* companies = child<QListWidget>(w, "lstP2Company");
        auto* groups = child<QListWidget>(w, "lstP2Group");
        auto* books = child<QComboBox>(w, "cmbP4Book");
        clickNav(w, WizardDialog::Next);
        // The host's database, shown with its companies at once.
        EXPECT_EQ(texts(*databases), (QStringList{"Orvo Demo", "Public Sector"}));
        EXPECT_EQ(databases->currentText(), "Orvo Demo");
        // The unavailable company is not offered.
        EXPECT_EQ(texts(*companies), (QStringList{"Harbor Logistics", Cafe, "Empty Start-up"}));
        EXPECT_EQ(companies->currentRow(), 0);
        EXPECT_EQ(texts(*groups), (QStringList{"All Orvo Assets", "Sales Department", "Acquired before 2016"}));
        EXPECT_EQ(groups->currentRow(), 0);
        EXPECT_EQ(w.state().hostCompany->Name(), "Harbor Logistics");
        // Only active books, in the host's order.
        EXPECT_EQ(texts(*books), (QStringList{"Internal", "Tax"}));
        EXPECT_TRUE(navEnabled(w, WizardDialog::Next));
        // The list was made while the company was free; now another process holds it.
        const pid_t holder = holdCompanyInChild(demo.data, QStringLiteral("Orvo Demo"), 0);
        ASSERT_GT(holder, 0);
        EXPECT_EQ(clickNav(w, WizardDialog::Next), 1);
        kill(holder, SIGKILL);
        waitpid(holder, nullptr, 0);
        EXPECT_EQ(boxLines(ui), QStringList{demo.host->Title() + " [Critical Ok] Company Harbor "
                                            "Logistics\r\n is currently locked by another user."});
        EXPECT_EQ(clickNav(w, WizardDialog::Next), 2);
        clickNav(w, WizardDialog::Back);
        // A company without groups cannot be left.
        chooseRow(*companies, QStringLiteral("Empty Start-up"));
        EXPECT_EQ(groups->count(), 0);
        EXPECT_FALSE(navEnabled(w, WizardDialog::Next));
        // One group is enough, but without an active book Next says why it stays.
        chooseRow(*companies, Cafe);
        EXPECT_EQ(groups->count(), 1);
        EXPECT_EQ(books->count(), 0);
        EXPECT_EQ(clickNav(w, WizardDialog::Next), 1);
        ASSERT_EQ(ui.boxes().size(), 2u);
        EXPECT_TRUE(ui.boxes()[1].text.contains("no active book")) << ui.boxes()[1].text.toStdString();
        chooseEntry(*databases, QStringLiteral("Public Sector"));
        EXPECT_EQ(texts(*companies), (QStringList{"City of Lakeside", "City of Lakeside"}));
        companies->setCurrentRow(1);
        EXPECT_EQ(w.state().hostCompany->CompanyID(), 10);
        EXPECT_EQ(clickNav(w, WizardDialog::Next), 2);
        EXPECT_EQ(w.state().hostCompany->CompanyID(), 10);
        EXPECT_EQ(w.state().hostGroup->Name(), "All Orvo Assets");
        EXPECT_EQ(w.state().hostBook->Name(), "Internal");
        clickNav(w, WizardDialog::Back);
        // The group table gone after the listing: told, and nothing to choose.
        demo.sql("public-sector.sqlite", "DROP TABLE AssetGroup");
        companies->setCurrentRow(0);
        EXPECT_EQ(groups->count(), 0);
        EXPECT_EQ(enabled(w), "Help Cancel Back");
        // A press that reaches the handler all the same stays here.
        w.cmdNav_Click(WizardDialog::Next);
        EXPECT_EQ(w.state().CurrentStep, 1);
        clickNav(w, WizardDialog::Cancel);
    });
    ASSERT_EQ(ui.boxes().size(), 4u);
    for (size_t i : {2, 3})   // the group table gone: when listed, and on Next
        EXPECT_TRUE(ui.boxes()[i].text.contains("AssetGroup")) << ui.boxes()[i].text.toStdString();

    SCOPED_TRACE("a company without a group manager; a database without a company that opens");
    demo.sql("public-sector.sqlite", "UPDATE Company SET available = 'F'");
    auto groupless = std::make_shared<GrouplessHost>();
    groupless->real = orvo::refhost::ReferenceHost::open(demo.data);
    groupless->programPath = demo.data;
    groupless->noGroupManager = QStringList{QStringLiteral("Empty Start-up")};
    expwiz::ScriptedUiServices none;
    queueAnswers(none, {BoxAnswer::Ok}, 2);
    runWizard(none, groupless, [&](WizardDialog& w) {
        clickNav(w, WizardDialog::Next);
        auto* companies = child<QListWidget>(w, "lstP2Company");
        auto* groups = child<QListWidget>(w, "lstP2Group");
        ASSERT_EQ(groups->count(), 3);   // Harbor Logistics' groups
        chooseRow(*companies, QStringLiteral("Empty Start-up"));
        EXPECT_EQ(groups->count(), 0);
        EXPECT_EQ(enabled(w), "Help Cancel Back");
        w.cmdNav_Click(WizardDialog::Next);
        EXPECT_EQ(w.state().CurrentStep, 1);
        chooseEntry(*child<QComboBox>(w, "cmbP2Database"), QStringLiteral("Public Sector"));
        EXPECT_EQ(texts(*companies), QStringList{"<No Companies found>"});
        EXPECT_EQ(companies->currentRow(), 0);
        EXPECT_EQ(groups->count(), 0);
        EXPECT_EQ(enabled(w), "Help Cancel Back");
    });
    EXPECT_EQ(boxLines(none),
              QStringList(2, "Custom Export [ Ok] The GroupManager is NULL, please select again"));
}
