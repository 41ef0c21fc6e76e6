#include "QtPrinters.h"

#include "HostWindow.h"
#include "refhost/AddinRegistry.h"
#include "refhost/DemoData.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QProcess>
#include <QTableView>
#include <QTemporaryDir>
#include <QTreeWidget>

namespace {

struct OrvoRun {
    int exitCode;
    QString out;
    QString err;
};

OrvoRun runOrvo(const QStringList& args)
{
    QProcess process;
    // Registering must work on a machine without any display.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(EXPWIZ_BUILD_DIR "/bin/orvo"), args);
    process.waitForFinished(30000);
    return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardOutput()),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

} // namespace

TEST(AddinHostApp, RegisterAndUnregisterEditTheAddinListThroughThePlugin)
{
    QTemporaryDir dir;
    const QString data = dir.filePath(QStringLiteral("data"));
    orvo::refhost::DemoData::create(data);
    const QString plugin = QStringLiteral(EXPWIZ_BUILD_DIR "/lib/libexpwiz.so");
    orvo::refhost::AddinRegistry registry(data + QStringLiteral("/addins.list"));

    SCOPED_TRACE("register");
    OrvoRun run = runOrvo({"--data", data, "--register", plugin});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains("expwiz.clsExpWizard")) << run.out.toStdString();
    ASSERT_EQ(registry.entries().size(), 1u);
    EXPECT_EQ(registry.entries()[0].libraryPath, plugin);

    SCOPED_TRACE("registering twice keeps one entry");
    run = runOrvo({"--data", data, "--register", plugin});
    EXPECT_EQ(registry.entries().size(), 1u);

    SCOPED_TRACE("a file that is no add-in");
    run = runOrvo({"--data", data, "--register", data + QStringLiteral("/addins.list")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("is not an add-in library")) << run.err.toStdString();
    EXPECT_EQ(registry.entries().size(), 1u);

    SCOPED_TRACE("unregister");
    run = runOrvo({"--data", data, "--unregister", plugin});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(registry.entries().empty());

    SCOPED_TRACE("a bad edition code");
    run = runOrvo({"--data", data, "--edition", "abc", "--register", plugin});
    EXPECT_EQ(run.exitCode, 2);

    SCOPED_TRACE("help without a display; a window without one says what to do");
    run = runOrvo({"--help"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.out.contains("--register")) << run.out.toStdString();
    run = runOrvo({"--data", data});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("xvfb-run")) << run.err.toStdString();
}

TEST(AddinHostApp, TheWindowShowsEachCompanysAssetRegister)
{
    QTemporaryDir dir;
    const QString data = dir.filePath(QStringLiteral("data"));
    orvo::refhost::DemoData::create(data, {300, 1});
    orvo::app::HostWindow window(orvo::refhost::ReferenceHost::open(data));
    auto* tree = window.findChild<QTreeWidget*>(QStringLiteral("treDatabases"));
    auto* table = window.findChild<QTableView*>(QStringLiteral("tblAssets"));
    auto* count = window.findChild<QLabel*>(QStringLiteral("lblAssetCount"));
    ASSERT_TRUE(tree && table && count);
    ASSERT_EQ(tree->topLevelItemCount(), 2);

    SCOPED_TRACE("the company of the database in use, read a page at a time and sorted by the database");
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

    struct Case {
        int database, company;
        const char* count;
        int rows;
    };
    for (const Case& c : {Case{1, 0, "City of Lakeside: 60 assets", 60}, Case{0, 3, "Empty Start-up: 0 assets", 0},
                          Case{0, -1, "Choose a company to see its assets.", 0}}) {
        SCOPED_TRACE(c.count);
        QTreeWidgetItem* item = tree->topLevelItem(c.database);
        tree->setCurrentItem(c.company < 0 ? item : item->child(c.company));
        EXPECT_EQ(count->text(), c.count);
        EXPECT_EQ(model.rowCount(), c.rows);
    }
}
