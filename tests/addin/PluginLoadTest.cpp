#include "OnShown.h"
#include "QtPrinters.h"

#include "host/OrvoClassServer.h"
#include "refhost/AddinRegistry.h"
#include "refhost/DemoData.h"
#include "refhost/ReferenceHost.h"

#include <gtest/gtest.h>

#include <QPluginLoader>
#include <QPushButton>
#include <QTemporaryDir>

TEST(AddinPlugin, LoadsLikeTheHostLoadsItAndRunsAgainstTheReferenceHost)
{
    QTemporaryDir dir;
    orvo::refhost::DemoData::create(dir.filePath("data"));
    auto host = orvo::refhost::ReferenceHost::open(dir.filePath("data"));
    const QString plugin = EXPWIZ_BUILD_DIR "/lib/libexpwiz.so";
    QPluginLoader loader(plugin);
    ASSERT_TRUE(loader.load()) << loader.errorString().toStdString();
    auto* server = qobject_cast<orvo::IOrvoClassServer*>(loader.instance());
    ASSERT_NE(server, nullptr);
    EXPECT_TRUE(server->canUnloadNow());
    EXPECT_TRUE(server->progIds().contains("expwiz.clsAssetAllocInfo"));
    EXPECT_FALSE(server->createInstance("expwiz.noSuchClass"));
    // Every class by its ProgID in any case; none of them outlives its last reference.
    EXPECT_TRUE(orvo::viewAs<orvo::IOrvoMenuItem>(server->createInstance("EXPWIZ.CLSEXPWIZARDMENU")));
    EXPECT_TRUE(orvo::viewAs<orvo::IOrvoOperation>(server->createInstance("expwiz.clsexpwizardoperation")));
    EXPECT_TRUE(server->createInstance("Expwiz.ClsAssetAllocInfo"));
    EXPECT_TRUE(server->canUnloadNow());
    {
        // Types cross the library boundary: the host views the object it got.
        auto addin = orvo::viewAs<orvo::IOrvoAddin>(server->createInstance("expwiz.clsExpWizard"));
        ASSERT_TRUE(addin);
        EXPECT_EQ(addin->ProgID(), "expwiz.clsExpWizard");
        EXPECT_FALSE(server->canUnloadNow());
        ASSERT_TRUE(addin->ApplicationTypeSupported(host->ApplicationType()));
        addin->Initialize(host);
        ASSERT_EQ(host->operations().size(), 1u);
        EXPECT_EQ(host->operations()[0].name, "ExportWizardDlg");
        ASSERT_EQ(host->menuItems().size(), 1u);
        EXPECT_EQ(host->menuItems()[0]->Title(), "Custom &Export...");
        EXPECT_TRUE(host->menuItems()[0]->Placement().contains("~Company &Utilities,"));

        // The operation shows the real wizard, with the plugin's own string table.
        auto operation = host->operations()[0].operation;
        operation->InstalledInto(host);
        QString caption, nextCaption;
        const OnShown wizard("frmWizard", [&](QWidget& window) {
            caption = window.windowTitle();
            nextCaption = window.findChild<QPushButton*>("cmdNav3")->text();
            window.findChild<QPushButton*>("cmdNav1")->click();
        });
        EXPECT_EQ(operation->PerformOperation(QString(), nullptr), -1000);
        EXPECT_EQ(caption, "Export Helper - Introduction");
        EXPECT_EQ(nextCaption, "&Next >");
        EXPECT_EQ(host->systemDatabaseName(), "NWHALDENSYS");
        EXPECT_EQ(host->applicationTypeSetByAddin(), host->ApplicationType());

        operation->Terminate();
        host->menuItems()[0]->Terminate();
        host->releaseAddins();
        EXPECT_FALSE(server->canUnloadNow());   // the add-in object itself still lives
    }
    EXPECT_TRUE(server->canUnloadNow());

    orvo::refhost::AddinRegistry registry(dir.filePath("addins.txt"));
    server->registerServer(registry, plugin);
    ASSERT_EQ(registry.entries().size(), 1u);
    EXPECT_EQ(registry.entries()[0].progId, "expwiz.clsExpWizard");
    EXPECT_EQ(registry.entries()[0].libraryPath, plugin);
    server->unregisterServer(registry);
    EXPECT_TRUE(registry.entries().empty());
    EXPECT_TRUE(loader.unload());
}
