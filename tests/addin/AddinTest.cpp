#include "OnShown.h"
#include "QtPrinters.h"
#include "RecordingHost.h"

#include "addin/ExpWizardAddin.h"
#include "addin/ExpWizardMenu.h"
#include "addin/ExpWizardOperation.h"
#include "platform/ScriptedUiServices.h"

#include <gtest/gtest.h>

#include <QPushButton>

namespace {

struct Fixture {
    std::shared_ptr<expwiz::ScriptedUiServices> ui = std::make_shared<expwiz::ScriptedUiServices>();
    expwiz::AddinContext context{ui, {}};
    std::shared_ptr<testhost::RecordingHost> host = std::make_shared<testhost::RecordingHost>();

    // The boxes since `from`: none for an empty `text`, else one error box, OK only, no icon,
    // under the application's title unless another is given.
    void expectBoxes(size_t from, const QString& text, const QString& title = {})
    {
        ASSERT_EQ(ui->boxes().size(), from + (text.isEmpty() ? 0 : 1));
        if (text.isEmpty())
            return;
        const auto& box = ui->boxes().back();
        EXPECT_EQ(std::tuple(box.text, box.title, box.icon, box.buttons),
                  std::tuple(text, title.isEmpty() ? ui->applicationTitle() : title, expwiz::BoxIcon::None,
                             expwiz::BoxButtons::Ok));
    }
};

const QString CompanyPlacement = "&File,ADD,BEFORE=&Edit,,~Company &Utilities,ADD,AFTER=1135,,~item,ADD,BEFORE=2301,,";

} // namespace

// Initialize registers the operation, then the menu command placed for the edition; a failing
// step stops the sequence with one message and what is done stays done.
TEST(Addin, InitializeRegistersTheOperationThenTheMenuCommandOrStopsAtTheFailingStep)
{
    const struct { const char* failOn; size_t operations, menuItems; QString box;
                   int32_t appType = 48; QString placement = CompanyPlacement; } cases[] = {
        {"", 1, 1, {}},
        {"", 1, 1, {}, 36, QString(CompanyPlacement).replace("~Company", "~Organization")},
        {"AddOperation", 0, 0, "an error occurred\r\nThe host failed."},
        {"ApplicationType", 1, 0, "an error occurred\r\nThe host failed."},
        {"AddMenuItem", 1, 0, "an error occurred\r\nThe host failed."},
        {"no host", 0, 0, "an error occurred\r\nObject required"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.failOn << " " << c.appType);
        Fixture f;
        f.ui->queueAnswer(expwiz::BoxAnswer::Ok);
        auto addin = std::make_shared<expwiz::ExpWizardAddin>(f.context);
        f.host->appType = c.appType;
        f.host->failOn << c.failOn;
        addin->Initialize(c.failOn == QLatin1String("no host") ? nullptr : f.host);
        EXPECT_EQ(f.host->operations.size(), c.operations);
        EXPECT_EQ(f.host->menuItems.size(), c.menuItems);
        f.expectBoxes(0, c.box);
        if (!c.box.isEmpty())
            continue;
        EXPECT_EQ(f.host->calls, QStringList({"AddOperation(ExportWizardDlg,Export)", "ApplicationType", "AddMenuItem"}));
        // The host holds the only references.
        EXPECT_EQ(f.host->operations[0].operation.use_count(), 1);
        EXPECT_EQ(f.host->menuItems[0].use_count(), 1);
        EXPECT_TRUE(addin->ApplicationTypeSupported(-1) && addin->ApplicationTypeSupported(100000));
        // As the host does on closing: the command lets go of the host that holds it.
        f.host->menuItems[0]->Terminate();
        EXPECT_EQ(f.host->menuItems[0]->Placement(), c.placement) << "after Terminate, from the last edition";
        f.host->operations[0].operation->Terminate();
    }
}

// The availability text enables the menu command; the operation and the command each open a fresh
// wizard bound to the host and give its result; without a host they say so and show nothing.
TEST(AddinOperation, TheOperationAndTheMenuCommandRunTheWizardBoundToTheHost)
{
    Fixture f;
    expwiz::ExpWizardOperation operation(f.context);
    operation.InstalledInto(f.host);
    expwiz::ExpWizardMenu menu(f.context), loose(f.context);
    menu.InstalledInto(f.host);
    loose.InstalledInto(nullptr);   // no host object: the company placement
    EXPECT_EQ(loose.Placement(), CompanyPlacement);
    f.host->calls.clear();
    menu.UpdateMenuItem();   // before the host gives a GUI object
    EXPECT_TRUE(f.host->calls.isEmpty());
    auto gui = std::make_shared<testhost::RecordingGuiObject>();
    menu.SetGUIObject(gui);
    EXPECT_EQ(menu.GUIObject(), gui);
    for (const auto& [text, enabled] : {std::pair{"", false}, std::pair{"x", true}, std::pair{"", false},
                                        std::pair{"Company open", true}}) {
        f.host->availability = text;
        menu.UpdateMenuItem();
        EXPECT_EQ(gui->enabled, enabled) << text;
    }
    const auto perform = [&] { return operation.PerformOperation(QString(), nullptr); };
    const struct { const char* name; std::function<int32_t()> run; int32_t result; QString box; }
        cases[] = {
        {"the operation", perform, -1000, {}},
        {"the operation again", perform, -1000, {}},
        {"the menu command", [&] { return menu.OnClick(QString()); }, 1, {}},
        {"a command the host never installed", [&] { return loose.OnClick(QString()); }, 0,
         "An error occurred in IOrvoMenuItem_OnClick.\r\nThe menu command is not installed in a host."},
        {"the operation without the add-in manager", [&] { operation.Terminate(); return perform(); }, -1000,
         "An error occurred in the New Company wizard.\r\nObject required"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        f.host->calls.clear();
        f.ui->queueAnswer(expwiz::BoxAnswer::Ok);
        const OnShown wizard("frmWizard", [](QWidget& window) {
            window.findChild<QPushButton*>(QStringLiteral("cmdNav1"))->click();   // Cancel
        });
        const size_t boxes = f.ui->boxes().size();
        EXPECT_EQ(c.run(), c.result);
        EXPECT_EQ(wizard.shown, c.box.isEmpty() ? 1 : 0);
        f.expectBoxes(boxes, c.box, c.result < 0 ? "Custom Export" : "");   // the wizard's own message
        EXPECT_TRUE(!c.box.isEmpty() || (f.host->calls.value(0) == "ApplicationType"
                                         && f.host->calls.contains("SetApplicationType(1)")));
    }
    menu.Terminate();   // after Terminate nothing can run the wizard
    menu.UpdateMenuItem();
    EXPECT_FALSE(gui->enabled);
    EXPECT_EQ(f.host.use_count(), 1);
}
