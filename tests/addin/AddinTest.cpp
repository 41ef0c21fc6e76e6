#include "ModalDriver.h"
#include "QtPrinters.h"
#include "RecordingHost.h"

#include "addin/ExpWizardAddin.h"
#include "addin/ExpWizardMenu.h"
#include "addin/ExpWizardOperation.h"
#include "platform/ScriptedUiServices.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>

using expwiz::AddinContext;
using expwiz::BoxAnswer;
using expwiz::BoxButtons;
using expwiz::BoxIcon;
using testhost::RecordingGuiObject;
using testhost::RecordingHost;

namespace {

struct Fixture {
    std::shared_ptr<expwiz::ScriptedUiServices> ui = std::make_shared<expwiz::ScriptedUiServices>();
    AddinContext context{ui, {}};
};

const QString CompanyPlacement =
    QStringLiteral("&File,ADD,BEFORE=&Edit,,~Company &Utilities,ADD,AFTER=1135,,~item,ADD,BEFORE=2301,,");
const QString OrganizationPlacement =
    QStringLiteral("&File,ADD,BEFORE=&Edit,,~Organization &Utilities,ADD,AFTER=1135,,~item,ADD,BEFORE=2301,,");

// Closes the wizard once it shows, with its Cancel button.
void cancelWizardWhenShown(QObject& owner, bool& shown)
{
    testhost::whenModalShown(owner, QStringLiteral("frmWizard"), [&shown](QWidget& window) {
        shown = true;
        window.findChild<QPushButton*>(QStringLiteral("cmdNav1"))->click();
    });
}

} // namespace

TEST(Addin, InitializeRegistersTheOperationThenTheMenuCommand)
{
    Fixture f;
    auto addin = std::make_shared<expwiz::ExpWizardAddin>(f.context);
    auto host = std::make_shared<RecordingHost>();
    host->appType = 48;
    addin->Initialize(host);
    EXPECT_EQ(host->calls, (QStringList{"AddOperation(ExportWizardDlg,Export)", "ApplicationType", "AddMenuItem"}));
    ASSERT_EQ(host->operations.size(), 1u);
    ASSERT_EQ(host->menuItems.size(), 1u);
    // The host holds the only references.
    EXPECT_EQ(host->operations[0].operation.use_count(), 1);
    EXPECT_EQ(host->menuItems[0].use_count(), 1);
    EXPECT_EQ(host->menuItems[0]->Title(), "Custom &Export...");
    EXPECT_EQ(host->menuItems[0]->Placement(), CompanyPlacement);
    for (int32_t code : {-1, 0, 1, 52, 64, 100000}) {
        SCOPED_TRACE(code);
        EXPECT_TRUE(addin->ApplicationTypeSupported(code));
    }
    EXPECT_TRUE(f.ui->boxes().empty());
    // As the host does on closing: the command lets go of the host that holds it.
    host->menuItems[0]->Terminate();
    host->operations[0].operation->Terminate();
}

TEST(Addin, InitializeFailureStopsAtTheFailingStepWithOneMessage)
{
    struct Case {
        const char* name;
        QString failOn;
        size_t operations;
        size_t menuItems;
    };
    for (const Case& c : {Case{"operation refused", "AddOperation", 0, 0}, Case{"menu refused", "AddMenuItem", 1, 0},
                          Case{"edition unreadable", "ApplicationType", 1, 0}}) {
        SCOPED_TRACE(c.name);
        Fixture f;
        f.ui->queueAnswer(BoxAnswer::Ok);
        auto addin = std::make_shared<expwiz::ExpWizardAddin>(f.context);
        auto host = std::make_shared<RecordingHost>();
        host->failOn << c.failOn;
        host->failDescription = QStringLiteral("Refused by the host.");
        addin->Initialize(host);
        EXPECT_EQ(host->operations.size(), c.operations);
        EXPECT_EQ(host->menuItems.size(), c.menuItems);
        ASSERT_EQ(f.ui->boxes().size(), 1u);
        const auto& box = f.ui->boxes().front();
        EXPECT_EQ(box.text, "an error occurred\r\nRefused by the host.");
        EXPECT_EQ(box.title, f.ui->applicationTitle());
        EXPECT_EQ(box.icon, BoxIcon::None);
        EXPECT_EQ(box.buttons, BoxButtons::Ok);
    }
}

TEST(AddinMenu, PlacementFollowsTheEdition)
{
    struct Case {
        const char* name;
        std::optional<int32_t> code;
        QString placement;
    };
    for (const Case& c : {Case{"organization edition", 52, OrganizationPlacement},
                          Case{"public sector", 36, OrganizationPlacement},
                          Case{"entry-level company", 48, CompanyPlacement},
                          Case{"regional OEM is no organization", 63, CompanyPlacement},
                          Case{"no host object", std::nullopt, CompanyPlacement}}) {
        SCOPED_TRACE(c.name);
        Fixture f;
        expwiz::ExpWizardMenu menu(f.context);
        if (c.code) {
            auto host = std::make_shared<RecordingHost>();
            host->appType = *c.code;
            menu.InstalledInto(host);
        } else {
            menu.InstalledInto(nullptr);
        }
        EXPECT_EQ(menu.Placement(), c.placement);
        // After Terminate the placement still answers from the last edition.
        menu.Terminate();
        EXPECT_EQ(menu.Placement(), c.placement);
    }
}

TEST(AddinMenu, AvailabilityTextEnablesTheCommand)
{
    Fixture f;
    auto host = std::make_shared<RecordingHost>();
    expwiz::ExpWizardMenu menu(f.context);
    menu.InstalledInto(host);
    host->calls.clear();

    SCOPED_TRACE("before the host gives a GUI object");
    menu.UpdateMenuItem();
    EXPECT_TRUE(host->calls.isEmpty());

    auto gui = std::make_shared<RecordingGuiObject>();
    menu.SetGUIObject(gui);
    EXPECT_EQ(menu.GUIObject(), gui);
    struct Case {
        QString text;
        bool enabled;
    };
    for (const Case& c : {Case{"", false}, Case{"x", true}, Case{"", false}, Case{"Company open", true}}) {
        SCOPED_TRACE(c.text.toStdString());
        host->availability = c.text;
        menu.UpdateMenuItem();
        EXPECT_EQ(gui->enabled, c.enabled);
    }
    SCOPED_TRACE("after Terminate nothing can run the wizard");
    menu.Terminate();
    menu.UpdateMenuItem();
    EXPECT_FALSE(gui->enabled);
    EXPECT_EQ(host.use_count(), 1);
}

TEST(AddinOperation, EveryRunOpensAFreshWizardAndReturnsItsResult)
{
    Fixture f;
    auto host = std::make_shared<RecordingHost>();
    expwiz::ExpWizardOperation operation(f.context);
    operation.InstalledInto(host);
    QObject owner;
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        bool shown = false;
        host->calls.clear();
        cancelWizardWhenShown(owner, shown);
        EXPECT_EQ(operation.PerformOperation(QString(), nullptr), -1000);
        EXPECT_TRUE(shown);
        EXPECT_EQ(host->calls.first(), "ApplicationType");
    }
    EXPECT_TRUE(f.ui->boxes().empty());

    SCOPED_TRACE("without the add-in manager the wizard reports it and does not show");
    operation.Terminate();
    f.ui->queueAnswer(BoxAnswer::Ok);
    EXPECT_EQ(operation.PerformOperation(QString(), nullptr), -1000);
    ASSERT_EQ(f.ui->boxes().size(), 1u);
    EXPECT_EQ(f.ui->boxes()[0].text, "An error occurred in the New Company wizard.\r\nObject required");
}

TEST(AddinMenu, OnClickRunsTheWizardBoundToTheHost)
{
    Fixture f;
    auto host = std::make_shared<RecordingHost>();
    expwiz::ExpWizardMenu menu(f.context);
    menu.InstalledInto(host);
    QObject owner;
    bool shown = false;
    cancelWizardWhenShown(owner, shown);
    host->calls.clear();
    EXPECT_EQ(menu.OnClick(QString()), 1);
    EXPECT_TRUE(shown);
    EXPECT_TRUE(host->calls.contains("SetApplicationType(1)"));
    EXPECT_TRUE(f.ui->boxes().empty());

    SCOPED_TRACE("a command the host never installed");
    expwiz::ExpWizardMenu loose(f.context);
    f.ui->queueAnswer(BoxAnswer::Ok);
    EXPECT_EQ(loose.OnClick(QString()), 0);
    ASSERT_EQ(f.ui->boxes().size(), 1u);
    EXPECT_EQ(f.ui->boxes()[0].text,
              "An error occurred in IOrvoMenuItem_OnClick.\r\nThe menu command is not installed in a host.");
    EXPECT_EQ(f.ui->boxes()[0].icon, BoxIcon::None);
    EXPECT_EQ(f.ui->boxes()[0].buttons, BoxButtons::Ok);
}
