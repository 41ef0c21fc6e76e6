#include "DemoWizard.h"
#include "QtPrinters.h"
#include "RecordingHost.h"
#include "../refhost/CompanyHolder.h"

#include "refhost/Sqlite.h"
#include "wizard/WizardState.h"

#include <QCheckBox>
#include <QLabel>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using expwiz::BoxIcon;
using expwiz::WizardDialog;
using namespace testhost;

namespace {

void sql(const DemoFolder& demo, const char* file, const char* statement)
{
    orvo::refhost::SqliteDb db(demo.data + QLatin1Char('/') + QLatin1String(file), false);
    db.exec(statement);
}

bool nextEnabled(WizardDialog& wizard)
{
    return wizard.navButton(WizardDialog::Next)->isEnabled();
}

} // namespace

TEST(SelectAssets, ListsDatabasesCompaniesAndGroupsInTheHostsOrder)
{
    DemoFolder demo;
    // Two organizations of one name: the first in the host's order is meant.
    sql(demo, "public-sector.sqlite", "UPDATE Company SET name = 'City of Lakeside' WHERE companyid = 11");
    // A company without groups.
    sql(demo, "orvo-demo.sqlite", "DELETE FROM AssetGroup WHERE companyid = 4");
    expwiz::ScriptedUiServices ui;
    WizardDialog wizard(ui);
    runWizard(wizard, demo.host, [&](WizardDialog& w) {
        auto* databases = child<QComboBox>(w, "cmbP2Database");
        auto* companies = child<QListWidget>(w, "lstP2Company");
        auto* groups = child<QListWidget>(w, "lstP2Group");
        clickNav(w, WizardDialog::Next);
        {
            SCOPED_TRACE("the host's database, shown with its companies at once");
            EXPECT_EQ(texts(*databases), (QStringList{"Orvo Demo", "Public Sector"}));
            EXPECT_EQ(databases->currentText(), "Orvo Demo");
            // The unavailable company is not offered.
            EXPECT_EQ(texts(*companies),
                      (QStringList{"Harbor Logistics", "Café Müller & Søn, \"Nord\"", "Empty Start-up"}));
            EXPECT_EQ(companies->currentRow(), 0);
            EXPECT_EQ(texts(*groups), (QStringList{"All Orvo Assets", "Sales Department", "Acquired before 2016"}));
            EXPECT_EQ(groups->currentRow(), 0);
            EXPECT_EQ(w.state().hostCompany->Name(), "Harbor Logistics");
            // Only active books, in the host's order.
            EXPECT_EQ(texts(*child<QComboBox>(w, "cmbP4Book")), (QStringList{"Internal", "Tax"}));
            EXPECT_TRUE(nextEnabled(w));
        }
        {
            SCOPED_TRACE("a company without groups cannot be left");
            chooseRow(*companies, QStringLiteral("Empty Start-up"));
            EXPECT_EQ(groups->count(), 0);
            EXPECT_FALSE(nextEnabled(w));
            chooseRow(*companies, QStringLiteral("Harbor Logistics"));
            EXPECT_TRUE(nextEnabled(w));
        }
        {
            SCOPED_TRACE("another database");
            chooseEntry(*databases, QStringLiteral("Public Sector"));
            EXPECT_EQ(texts(*companies), (QStringList{"City of Lakeside", "City of Lakeside"}));
            companies->setCurrentRow(1);
            EXPECT_EQ(w.state().hostCompany->CompanyID(), 10);
            clickNav(w, WizardDialog::Next);
            EXPECT_EQ(w.state().CurrentStep, 2);
            EXPECT_EQ(w.state().hostCompany->CompanyID(), 10);
            EXPECT_EQ(w.state().hostGroup->Name(), "All Orvo Assets");
            EXPECT_EQ(w.state().hostBook->Name(), "Internal");
            clickNav(w, WizardDialog::Back);
        }
        clickNav(w, WizardDialog::Cancel);
    });
    EXPECT_TRUE(ui.boxes().empty());
}

TEST(SelectAssets, ADatabaseWithoutACompanyThatOpensOffersNone)
{
    DemoFolder demo;
    sql(demo, "public-sector.sqlite", "UPDATE Company SET available = 'F'");
    expwiz::ScriptedUiServices ui;
    WizardDialog wizard(ui);
    runWizard(wizard, demo.host, [&](WizardDialog& w) {
        clickNav(w, WizardDialog::Next);
        auto* companies = child<QListWidget>(w, "lstP2Company");
        chooseEntry(*child<QComboBox>(w, "cmbP2Database"), QStringLiteral("Public Sector"));
        EXPECT_EQ(texts(*companies), QStringList{"<No Companies found>"});
        EXPECT_EQ(companies->currentRow(), 0);
        EXPECT_EQ(child<QListWidget>(w, "lstP2Group")->count(), 0);
        EXPECT_FALSE(nextEnabled(w));
        EXPECT_FALSE(w.navButton(WizardDialog::Export)->isEnabled());
    });
    EXPECT_TRUE(ui.boxes().empty());
}

TEST(SelectAssets, WordingFollowsTheEdition)
{
    struct Case {
        int32_t code;
        QString companies;
        QString includeData;
        QString introPart;
    };
    const std::vector<Case> cases{
        {1, "Co&mpanies:", "&Include company data?", "all assets within a company by selecting the All Orvo Assets"},
        {36, "Organi&zations:", "Include organization data?",
         "all assets within an organization by selecting the All Orvo Assets"},
        {52, "Organi&zations:", "Include organization data?", "within an organization"},
        {60, "Co&mpanies:", "&Include company data?", "all assets within a company by selecting the All Assets group"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        DemoFolder demo(c.code);
        expwiz::ScriptedUiServices ui;
        WizardDialog wizard(ui);
        runWizard(wizard, demo.host, [&](WizardDialog& w) {
            EXPECT_EQ(child<QLabel>(w, "lblP2Company")->text(), c.companies);
            EXPECT_EQ(child<QCheckBox>(w, "chkIncCompanyData")->text(), c.includeData);
            const QString intro = child<QLabel>(w, "lblP2Intro")->text();
            EXPECT_TRUE(intro.startsWith("Step 1: The first step in completing a custom export is to choose the "
                                         "assets to be exported. You can export"))
                << intro.toStdString();
            EXPECT_TRUE(intro.contains(c.introPart)) << intro.toStdString();
            EXPECT_TRUE(intro.endsWith("Or, you can export a subset of assets by selecting a different group."));
        });
    }
}

TEST(SelectAssets, ACompanyLockedByAnotherProcessKeepsTheWizardOnTheStep)
{
    DemoFolder demo;
    expwiz::ScriptedUiServices ui;
    ui.queueAnswer(expwiz::BoxAnswer::Ok);
    WizardDialog wizard(ui);
    pid_t holder = -1;
    int stepWhileLocked = -1;
    int stepAfterRelease = -1;
    runWizard(wizard, demo.host, [&](WizardDialog& w) {
        clickNav(w, WizardDialog::Next);
        // The list was made while the company was free; now another
        // process holds it.
        holder = holdCompanyInChild(demo.data, QStringLiteral("Orvo Demo"), 0);
        ASSERT_GT(holder, 0);
        clickNav(w, WizardDialog::Next);
        stepWhileLocked = w.state().CurrentStep;
        kill(holder, SIGKILL);
        waitpid(holder, nullptr, 0);
        holder = -1;
        clickNav(w, WizardDialog::Next);
        stepAfterRelease = w.state().CurrentStep;
    });
    if (holder > 0) {
        kill(holder, SIGKILL);
        waitpid(holder, nullptr, 0);
    }
    EXPECT_EQ(stepWhileLocked, 1);
    EXPECT_EQ(stepAfterRelease, 2);
    ASSERT_EQ(ui.boxes().size(), 1u);
    const auto& box = ui.boxes().front();
    EXPECT_EQ(box.text, "Company Harbor Logistics\r\n is currently locked by another user.");
    EXPECT_EQ(box.title, demo.host->Title());
    EXPECT_EQ(box.icon, BoxIcon::Critical);
}

TEST(SelectAssets, ACompanyWithoutAnActiveBookSaysWhyItCannotGoOn)
{
    DemoFolder demo;
    sql(demo, "orvo-demo.sqlite", "UPDATE Book SET active = 'F' WHERE companyid = 2");
    expwiz::ScriptedUiServices ui;
    ui.queueAnswer(expwiz::BoxAnswer::Ok);
    WizardDialog wizard(ui);
    int step = -1;
    int bookEntries = -1;
    runWizard(wizard, demo.host, [&](WizardDialog& w) {
        clickNav(w, WizardDialog::Next);
        chooseRow(*child<QListWidget>(w, "lstP2Company"), QStringLiteral("Café Müller & Søn, \"Nord\""));
        bookEntries = child<QComboBox>(w, "cmbP4Book")->count();
        clickNav(w, WizardDialog::Next);
        step = w.state().CurrentStep;
    });
    EXPECT_EQ(bookEntries, 0);
    EXPECT_EQ(step, 1);
    ASSERT_EQ(ui.boxes().size(), 1u);
    EXPECT_TRUE(ui.boxes().front().text.contains("no active book")) << ui.boxes().front().text.toStdString();
}

TEST(SelectAssets, ACompanyWhoseGroupsCannotBeHadKeepsTheWizardOnTheStep)
{
    struct Case {
        const char* name;
        bool noGroupManager;   // else the group table goes after the first listing
        const char* message;
    };
    for (const Case& c : {Case{"no group manager", true, "The GroupManager is NULL, please select again"},
                          Case{"the groups cannot be read", false, "AssetGroup"}}) {
        SCOPED_TRACE(c.name);
        DemoFolder demo;
        auto groupless = std::make_shared<GrouplessHost>();
        groupless->real = demo.host;
        groupless->programPath = demo.data;
        groupless->noGroupManager = QStringList{QStringLiteral("Empty Start-up")};
        expwiz::ScriptedUiServices ui;
        ui.queueAnswer(expwiz::BoxAnswer::Ok);
        ui.queueAnswer(expwiz::BoxAnswer::Ok);
        WizardDialog wizard(ui);
        const orvo::ObjectPtr host = c.noGroupManager ? orvo::ObjectPtr(groupless) : orvo::ObjectPtr(demo.host);
        runWizard(wizard, host, [&](WizardDialog& w) {
            clickNav(w, WizardDialog::Next);
            auto* groups = child<QListWidget>(w, "lstP2Group");
            ASSERT_EQ(groups->count(), 3);   // Harbor Logistics' groups
            if (!c.noGroupManager)
                sql(demo, "orvo-demo.sqlite", "DROP TABLE AssetGroup");
            chooseRow(*child<QListWidget>(w, "lstP2Company"), QStringLiteral("Empty Start-up"));
            EXPECT_EQ(groups->count(), 0);
            EXPECT_FALSE(nextEnabled(w));
            EXPECT_FALSE(w.navButton(WizardDialog::Export)->isEnabled());
            // A press that reaches the handler all the same stays here.
            w.cmdNav_Click(WizardDialog::Next);
            EXPECT_EQ(w.state().CurrentStep, 1);
        });
        ASSERT_EQ(ui.boxes().size(), 2u);
        EXPECT_TRUE(ui.boxes()[0].text.contains(QLatin1String(c.message))) << ui.boxes()[0].text.toStdString();
    }
}
