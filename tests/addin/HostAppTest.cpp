#include "ProgramRun.h"
#include "QtPrinters.h"

#include "HostWindow.h"
#include "refhost/AddinRegistry.h"
#include "refhost/DemoData.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QTableView>
#include <QTemporaryDir>
#include <QTreeWidget>

// Registering works on a machine without any display; a window without one says what to do.
TEST(AddinHostApp, RegisterAndUnregisterEditTheAddinListThroughThePlugin)
{
    QTemporaryDir dir;
    const QString data = dir.filePath("data"), plugin = EXPWIZ_BUILD_DIR "/lib/libexpwiz.so";
    orvo::refhost::DemoData::create(data);
    orvo::refhost::AddinRegistry registry(data + "/addins.list");
    QProcessEnvironment noDisplay = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        noDisplay.remove(name);
    const struct {
        QStringList args;
        int exitCode;
        QString says;   // on stdout when it succeeds, else on stderr
        size_t entries;
    } cases[] = {
        {{"--data", data, "--register", plugin}, 0, "expwiz.clsExpWizard", 1},
        {{"--data", data, "--register", plugin}, 0, "expwiz.clsExpWizard", 1},   // twice: still one entry
        {{"--data", data, "--register", data + "/addins.list"}, 1, "is not an add-in library", 1},
        {{"--data", data, "--unregister", plugin}, 0, "", 0},
        {{"--data", data, "--edition", "abc", "--register", plugin}, 2, "abc", 0},
        {{"--help"}, 0, "--register", 0},
        {{"--data", data}, 1, "xvfb-run", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const ProgramRun r = runCli(c.args, {}, "orvo", noDisplay);
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err.toStdString();
        EXPECT_TRUE((c.exitCode ? r.err : r.out).contains(c.says)) << r.out.toStdString() << r.err.toStdString();
        ASSERT_EQ(registry.entries().size(), c.entries);
        EXPECT_TRUE(registry.entries().empty() || registry.entries()[0].libraryPath == plugin);
    }
}

TEST(AddinHostApp, TheWindowShowsEachCompanysAssetRegister)
{
    QTemporaryDir dir;
    orvo::refhost::DemoData::create(dir.filePath("data"), {300, 1});
    orvo::app::HostWindow window(orvo::refhost::ReferenceHost::open(dir.filePath("data")));
    auto* tree = window.findChild<QTreeWidget*>("treDatabases");
    auto* table = window.findChild<QTableView*>("tblAssets");
    auto* count = window.findChild<QLabel*>("lblAssetCount");
    ASSERT_TRUE(tree && table && count);
    ASSERT_EQ(tree->topLevelItemCount(), 2);

    // The company of the database in use, read a page at a time and sorted by the database.
    QAbstractItemModel& model = *table->model();
    EXPECT_EQ(count->text(), "Harbor Logistics: 300 assets");
    EXPECT_LT(model.rowCount(), 300);
    while (model.canFetchMore({}))
        model.fetchMore({});
    EXPECT_EQ(model.rowCount(), 300);
    EXPECT_EQ(model.headerData(2, Qt::Horizontal).toString(), "Description");
    table->sortByColumn(0, Qt::DescendingOrder);
    EXPECT_EQ(model.index(0, 0).data().toString(), "300");   // by number, not as text
    EXPECT_FALSE(model.flags(model.index(0, 2)) & Qt::ItemIsEditable);

    const struct {
        int database, company;
        const char* count;
        int rows;
    } cases[] = {{1, 0, "City of Lakeside: 60 assets", 60}, {0, 3, "Empty Start-up: 0 assets", 0},
                 {0, -1, "Choose a company to see its assets.", 0}};
    for (const auto& c : cases) {
        QTreeWidgetItem* item = tree->topLevelItem(c.database);
        tree->setCurrentItem(c.company < 0 ? item : item->child(c.company));
        EXPECT_EQ(count->text(), c.count);
        EXPECT_EQ(model.rowCount(), c.rows);
    }
}
