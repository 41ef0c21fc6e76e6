#include "OnShown.h"
#include "ProgramRun.h"
#include "QtPrinters.h"

#include "HostWindow.h"
#include "host/OrvoClassServer.h"
#include "refhost/AddinRegistry.h"
#include "refhost/DemoData.h"
#include "refhost/ReferenceHost.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPluginLoader>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTemporaryDir>
#include <QTreeWidget>

namespace {

template <class T>
T& control(QWidget& window, const char* name)
{
    T* widget = window.findChild<T*>(QString::fromLatin1(name));
    if (!widget)
        throw std::runtime_error(std::string("no control ") + name);
    return *widget;
}

} // namespace

// The plugin registers through the host application (on a machine without any display too), loads
// as the host loads it, and what a user does in the host's window, with the real message boxes
// answered as they come, gives the file the command line gives; the window shows each company's
// asset register.
TEST(EndToEnd, ThePluginLoadsAndTheHostsMenuCommandExportsWhatTheCommandLineExports)
{
    QTemporaryDir dir;
    const QString data = dir.filePath("data"), plugin = EXPWIZ_BUILD_DIR "/lib/libexpwiz.so";
    orvo::refhost::DemoData::create(data, {300, 1});
    orvo::refhost::AddinRegistry registry(data + "/addins.list");
    QProcessEnvironment noDisplay = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        noDisplay.remove(name);
    // `says`: on stdout when it succeeds, else on stderr
    const struct { QStringList args; int exitCode; QString says; size_t entries; } cases[] = {
        {{"--data", data, "--edition", "abc", "--register", plugin}, 2, "abc", 0},
        {{"--help"}, 0, "--register", 0},
        {{"--data", data}, 1, "xvfb-run", 0},
        {{"--data", data, "--register", plugin}, 0, "expwiz.clsExpWizard", 1},
        {{"--data", data, "--register", plugin}, 0, "expwiz.clsExpWizard", 1},   // still one entry
        {{"--data", data, "--register", data + "/addins.list"}, 1, "is not an add-in library", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const ProgramRun r = runCli(c.args, {}, "orvo", noDisplay);
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err.toStdString();
        EXPECT_TRUE((c.exitCode ? r.err : r.out).contains(c.says)) << r.out.toStdString() << r.err.toStdString();
        ASSERT_EQ(registry.entries().size(), c.entries);
        EXPECT_TRUE(registry.entries().empty() || registry.entries()[0].libraryPath == plugin);
    }

    QPluginLoader loader(plugin);
    ASSERT_TRUE(loader.load()) << loader.errorString().toStdString();
    auto* server = qobject_cast<orvo::IOrvoClassServer*>(loader.instance());
    ASSERT_NE(server, nullptr);
    EXPECT_TRUE(server->progIds().contains("expwiz.clsAssetAllocInfo"));
    EXPECT_FALSE(server->createInstance("expwiz.noSuchClass"));
    // Every class by its ProgID in any case; none of them outlives its last reference.
    EXPECT_TRUE(orvo::viewAs<orvo::IOrvoMenuItem>(server->createInstance("EXPWIZ.CLSEXPWIZARDMENU")));
    EXPECT_TRUE(orvo::viewAs<orvo::IOrvoOperation>(server->createInstance("expwiz.clsexpwizardoperation")));
    EXPECT_TRUE(server->createInstance("Expwiz.ClsAssetAllocInfo"));
    EXPECT_EQ(orvo::viewAs<orvo::IOrvoAddin>(server->createInstance("expwiz.clsExpWizard"))->ProgID(), "expwiz.clsExpWizard");
    EXPECT_TRUE(server->canUnloadNow());

    QStringList boxes;
    const OnShown answer([](QWidget& w) { return qobject_cast<QMessageBox*>(&w) != nullptr; }, [&](QWidget& w) {
        auto& box = static_cast<QMessageBox&>(w);
        boxes << box.text();
        (box.text().contains("has not been saved") ? box.button(QMessageBox::No) : box.buttons().front())->click();
    });
    const OnShown user("frmWizard", [&](QWidget& wizard) {
        const auto press = [&](const char* name) { control<QPushButton>(wizard, name).click(); };
        const auto choose = [&](const char* name, const QString& text) {
            auto& list = control<QListWidget>(wizard, name);
            list.setCurrentItem(list.findItems(text, Qt::MatchExactly).value(0));
        };
        // The plugin's own string table.
        EXPECT_EQ(wizard.windowTitle(), "Export Helper - Introduction");
        EXPECT_EQ(control<QPushButton>(wizard, "cmdNav3").text(), "&Next >");
        press("cmdNav3");
        choose("lstP2Company", "Café Müller & Søn, \"Nord\"");
        choose("lstP2Group", "All Orvo Assets");
        press("cmdNav3");
        control<QComboBox>(wizard, "cmbP4Book").setCurrentIndex(1);   // Tax
        press("cmdNav3");
        auto& available = control<QListWidget>(wizard, "lstP5AvailableField");
        const QStringList fields{"System No", "Description", "Acquisition Date", "Acquisition Value", "Department",
                                 "Custodian", "Class", "Depreciation Method", "Disposal Date", "Current Accum Depr"};
        for (int row = 0; row < available.count(); ++row)
            available.item(row)->setSelected(fields.contains(available.item(row)->text()));
        press("cmdP5Add");
        press("cmdNav3");   // the unsaved-map question is answered No
        control<QLineEdit>(wizard, "txtP3Filename").setText("wizard");
        control<QLineEdit>(wizard, "txtP3Location").setText(dir.path());
        press("cmdNav3");
        press("cmdNav4");   // Export; the completion message is answered OK
        press("cmdNav1");   // Close
    });
    auto host = orvo::refhost::ReferenceHost::open(data);
    {
        orvo::app::HostWindow window(host);
        window.show();
        window.loadAddins();
        // Types cross the library boundary: the host views the objects it got.
        EXPECT_FALSE(server->canUnloadNow());
        EXPECT_EQ(host->operations().size(), 1u);
        EXPECT_EQ(host->menuItems().size(), 1u);
        auto* command = window.findChildren<QAction*>(QRegularExpression("^addinCommand")).value(0);
        ASSERT_NE(command, nullptr);
        EXPECT_EQ(command->text(), "Custom &Export...");
        ASSERT_TRUE(command->isEnabled());
        command->trigger();   // returns when the wizard has closed
        EXPECT_EQ(host->systemDatabaseName(), "NWHALDENSYS");
        EXPECT_EQ(host->applicationTypeSetByAddin(), host->ApplicationType());
        window.shutDownAddins();
        auto& tree = control<QTreeWidget>(window, "treDatabases");
        auto& table = control<QTableView>(window, "tblAssets");
        auto& count = control<QLabel>(window, "lblAssetCount");
        ASSERT_EQ(tree.topLevelItemCount(), 2);
        // The company of the database in use, read a page at a time and sorted by the database.
        QAbstractItemModel& model = *table.model();
        EXPECT_EQ(count.text(), "Harbor Logistics: 300 assets");
        EXPECT_LT(model.rowCount(), 300);
        while (model.canFetchMore({}))
            model.fetchMore({});
        EXPECT_EQ(model.rowCount(), 300);
        EXPECT_EQ(model.headerData(2, Qt::Horizontal).toString(), "Description");
        table.sortByColumn(0, Qt::DescendingOrder);
        EXPECT_EQ(model.index(0, 0).data().toString(), "300");   // by number, not as text
        EXPECT_FALSE(model.flags(model.index(0, 2)) & Qt::ItemIsEditable);
        const struct { int database, company; const char* count; int rows; } choices[] = {
            {1, 0, "City of Lakeside: 60 assets", 60}, {0, 3, "Empty Start-up: 0 assets", 0},
            {0, -1, "Choose a company to see its assets.", 0}};
        for (const auto& c : choices) {
            QTreeWidgetItem* item = tree.topLevelItem(c.database);
            tree.setCurrentItem(c.company < 0 ? item : item->child(c.company));
            EXPECT_EQ(count.text(), c.count);
            EXPECT_EQ(model.rowCount(), c.rows);
        }
    }
    EXPECT_TRUE(server->canUnloadNow());
    EXPECT_TRUE(loader.unload());
    EXPECT_EQ(user.shown, 1);
    EXPECT_EQ(boxes, QStringList({"The specified field map has not been saved. Would you like to save the field map?",
                                  "The Export process is complete."}));

    // The same choices on the command line.
    const ProgramRun cli = runCli({"export", "--data", data, "--database", "Orvo Demo", "--company",
                                   "Café Müller & Søn, \"Nord\"", "--group", "All Orvo Assets", "--book", "Tax",
                                   "--fields", "1002,1075,1006,1082,1010,1011,1097,1012,1056,1004", "--header",
                                   "--company-line", "--output", dir.filePath("cli.csv")});
    ASSERT_EQ(cli.exitCode, 0) << cli.err.toStdString();
    EXPECT_EQ(readBytes(dir.filePath("wizard.csv")), cli.file);
    // More than 20 records: the company line, the header and the rows.
    EXPECT_GT(cli.file.count("\"\r\n"), 22);
}
