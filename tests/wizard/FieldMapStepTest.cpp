#include "DemoWizard.h"
#include "ProgramRun.h"

#include "report/PdfPrinterSource.h"

#include <algorithm>

using namespace testhost;

namespace {

using FieldMapStep = WizardTest;

QString buttons(WizardDialog& w)
{
    return enabled(w, "cmdP5Add cmdP5Remove cmdP5Up cmdP5Down cmdP5SaveMap cmdP5PrintMap");
}
const QString MapOnly = QStringLiteral("Help Cancel Back Next cmdP5SaveMap cmdP5PrintMap");
const QString EntryChosen =
    QStringLiteral("Help Cancel Back Next cmdP5Remove cmdP5Up cmdP5Down cmdP5SaveMap cmdP5PrintMap");

std::vector<int> selectedRows(QListWidget& map)
{
    std::vector<int> rows;
    for (int row = 0; row < map.count(); ++row)
        if (map.item(row)->isSelected())
            rows.push_back(row);
    return rows;
}

} // namespace

// What the edition and the company's inventory data change on the way to the Field Map.
TEST_F(FieldMapStep, WordingInventoryCategoriesAndFieldsPerEditionAndCompany)
{
    const QStringList standard{"All Fields",          "General Info Fields",      "Critical Fields",
                               "Book Related Fields", "Depreciation Fields",      "Disposal Fields",
                               "Transfer Fields (Parent)", "Transfer Fields (Child)"};
    const QString all = "all assets within a company by selecting the All Orvo Assets";
    struct Case {
        int32_t edition; QString company, database; bool org; QString introPart; bool inventory;
        QStringList categories; int fewest, most; QStringList offered{}, notOffered{};
    };
    const std::vector<Case> cases{
        {1, Cafe, {}, false, all, false, standard, 95, 95},
        {1, "Harbor Logistics", {}, false, all, true,
         standard + QStringList{"Orvo Inventory Fields"}, 96, 113},
        {34, "Harbor Logistics", {}, false, all, false, standard.mid(0, 6), 1, 95},
        {36, "County Roads", "Public Sector", true,
         "all assets within an organization by selecting the All Orvo Assets", false, standard, 1, 95,
         {"Tag No", "Quantity", "Fund"}, {"Company Asset No", "User Numeric", "Insurance Category"}},
        {52, Cafe, {}, true, "within an organization", false, standard, 76, 95},
        {60, Cafe, {}, false, "all assets within a company by selecting the All Assets group",
         false, standard, 95, 95},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.company.toStdString() + " in edition " + std::to_string(c.edition));
        DemoFolder demo(c.edition);
        expwiz::ScriptedUiServices ui;
        runWizard(ui, demo.host, [&](WizardDialog& w) {
            EXPECT_EQ(shown(w, "lblP2Company chkIncCompanyData"),
                      c.org ? "Organi&zations:|Include organization data?"
                            : "Co&mpanies:|&Include company data?");
            const QString intro = shown(w, "lblP2Intro");
            EXPECT_TRUE(intro.startsWith("Step 1: The first step in completing a custom export is to choose the "
                                         "assets to be exported. You can export") && intro.contains(c.introPart)
                        && intro.endsWith("Or, you can export a subset of assets by selecting a different group."))
                << intro.toStdString();
            toStep(w, 2, c.company, c.database);
            auto* inventory = child<QCheckBox>(w, "chkP4IncludeOrvi");
            EXPECT_EQ(std::pair(inventory->isVisible(), inventory->isChecked()), std::pair(c.inventory, c.inventory));
            if (c.inventory) {
                // The user's choice is not kept across a return from Select Assets.
                inventory->setChecked(false);
                clickNav(w, WizardDialog::Back);
                clickNav(w, WizardDialog::Next);
                EXPECT_TRUE(inventory->isChecked());
            }
            EXPECT_EQ(w.state().includeInventory, c.inventory);
            nextUntil(w, 3);
            EXPECT_EQ(texts(*child<QComboBox>(w, "cmbP5FieldCategory")), c.categories);
            EXPECT_EQ(shown(w, "cmbP5FieldCategory"), "All Fields");
            const QStringList available = texts(*child<QListWidget>(w, "lstP5AvailableField"));
            EXPECT_TRUE(available.size() >= c.fewest && available.size() <= c.most);
            EXPECT_TRUE(std::ranges::is_sorted(available, [](const QString& a, const QString& b) {
                return a.compare(b, Qt::CaseInsensitive) < 0;
            }));
            for (const QString& f : c.offered + c.notOffered)
                EXPECT_EQ(available.contains(f), c.offered.contains(f)) << qPrintable(f);
            EXPECT_EQ(buttons(w), "Help Cancel Back");
            EXPECT_TRUE(child<QCheckBox>(w, "chkIncColumnHeader")->isChecked()
                        && child<QCheckBox>(w, "chkIncCompanyData")->isChecked());
        });
    }
}

TEST_F(FieldMapStep, EditingAndPrintingTheMap)
{
    DemoFolder demo;
    const QString pdf = demo.dir.filePath(QStringLiteral("map.pdf"));
    expwiz::PdfPrinterSource printers(pdf);
    expwiz::ScriptedUiServices ui;
    ui.queueAnswer(BoxAnswer::Ok);
    WizardDialog wizard(ui);
    wizard.setPrinterSource(printers);
    runWizard(wizard, demo.host, [&](WizardDialog& w) {
        toStep(w, 3, Cafe);
        auto* available = child<QListWidget>(w, "lstP5AvailableField");
        auto* map = child<QListWidget>(w, "lstP5ExportFieldMap");
        auto* categories = child<QComboBox>(w, "cmbP5FieldCategory");
        const auto offered = [&] { return texts(*available).contains("System No"); };
        // Add arrives in the list's order at the end.
        selectItems(*available, {"System No", "Acquisition Date"});
        EXPECT_TRUE(buttons(w).contains("cmdP5Add"));
        press(w, "cmdP5Add");
        EXPECT_EQ(texts(*map), (QStringList{"[A] Acquisition Date", "[B] System No"}));
        EXPECT_EQ(w.state().fieldMap.ids(), (std::vector<int32_t>{1002, 1004}));
        EXPECT_EQ(map->item(1)->data(Qt::UserRole).toInt(), 1004);
        EXPECT_EQ(buttons(w), MapOnly);
        // Print Map prints the map being edited (read back below).
        child<QCheckBox>(w, "chkIncColumnHeader")->setChecked(false);
        press(w, "cmdP5PrintMap");
        EXPECT_EQ(ui.busyDepth(), 0);
        // A field in the map is offered under no category, so it cannot be added twice.
        for (int i = categories->count() - 1; i >= 0; --i) {
            categories->setCurrentIndex(i);
            EXPECT_FALSE(offered()) << i;
        }
        // Remove renumbers and offers the field again.
        addFields(w, {"Description"});
        selectItems(*map, {}, {1});
        EXPECT_EQ(buttons(w), EntryChosen);
        press(w, "cmdP5Remove");
        EXPECT_EQ(texts(*map), (QStringList{"[A] Acquisition Date", "[B] Description"}));
        EXPECT_TRUE(offered());
        EXPECT_EQ(buttons(w), MapOnly);
        // How runs move is the map's own rule; the list shows it with the selection carried.
        addFields(w, {"Class", "Custodian", "Department"});
        selectItems(*map, {}, {1, 2, 4});   // Description, Class, Department
        press(w, "cmdP5Up");
        EXPECT_EQ(w.state().fieldMap.ids(), (std::vector<int32_t>{1012, 1006, 1002, 1011, 1010}));
        EXPECT_EQ(selectedRows(*map), (std::vector<int>{0, 1, 3}));
        EXPECT_EQ(map->item(0)->text(), "[A] Description");
        EXPECT_FALSE(buttons(w).contains("cmdP5Up"));   // the first entry is selected
        selectItems(*map, {}, {2, 3});
        press(w, "cmdP5Down");
        EXPECT_EQ(selectedRows(*map), (std::vector<int>{3, 4}));
        EXPECT_FALSE(buttons(w).contains("cmdP5Down"));   // the last entry is selected
        // A category chosen switches the editing buttons off; a click on a selected entry: on.
        selectItems(*map, {}, {1});
        categories->setCurrentIndex(2);
        EXPECT_EQ(buttons(w), MapOnly);
        clickItem(*map, 1);
        EXPECT_EQ(buttons(w), EntryChosen);
        categories->setCurrentIndex(0);
        map->clearSelection();
        child<QPushButton>(w, "cmdP5Up")->setEnabled(true);
        press(w, "cmdP5Up");
        EXPECT_EQ(boxLines(ui),
                  QStringList{"Custom Export [ Ok] You need to select at least one field."});
        // The moved entry stays current, so the arrow keys go on from it.
        map->setCurrentRow(3);
        press(w, "cmdP5Up");
        EXPECT_EQ(std::pair(map->currentRow(), selectedRows(*map)), std::pair(2, std::vector<int>{2}));
        QTest::keyClick(map, Qt::Key_Up);
        EXPECT_EQ(selectedRows(*map), std::vector<int>{1});
        press(w, "cmdP5Down");
        EXPECT_EQ(map->currentRow(), 2);
        // A double click adds an available field and removes a map entry.
        clickItem(*available, 0, true);
        EXPECT_EQ(texts(*map).last(), "[F] 168(k) Allowance");
        clickItem(*map, 0, true);
        EXPECT_EQ(texts(*map), (QStringList{"[A] Acquisition Date", "[B] Class", "[C] Custodian",
                                            "[D] Department", "[E] 168(k) Allowance"}));
        // The filter narrows the chosen category as one types.
        auto* filter = child<QLineEdit>(w, "txtP5Filter");
        QTest::keyClicks(filter, "DATE");
        const QStringList dates = texts(*available);
        EXPECT_TRUE(dates.size() > 2 && dates.contains("Disposal Date")) << dates.size();
        EXPECT_EQ(dates.filter("date", Qt::CaseInsensitive), dates);
        categories->setCurrentIndex(5);   // Disposal Fields
        EXPECT_EQ(texts(*available), (QStringList{"Deferral Date", "Disposal Date"}));
        categories->setCurrentIndex(0);
        filter->clear();
        EXPECT_EQ(available->count(), 95 - 5);
        // All fields in, all fields out.
        available->selectAll();
        press(w, "cmdP5Add");
        EXPECT_EQ(std::pair(map->count(), available->count()), std::pair(95, 0));
        map->selectAll();
        press(w, "cmdP5Remove");
        EXPECT_EQ(std::pair(map->count(), available->count()), std::pair(0, 95));
        EXPECT_EQ(buttons(w), "Help Cancel Back");
    });
    EXPECT_EQ(std::pair(ui.allAnswersUsed(), ui.unexpected()), std::pair(true, QStringList()));
    const ProgramRun text = runCli({"-layout", pdf, "-"}, {}, QStringLiteral("/usr/bin/pdftotext"));
    ASSERT_EQ(text.exitCode, 0) << text.err.toStdString();
    const QString page = text.out.simplified();
    EXPECT_TRUE(page.contains(Cafe)) << qPrintable(page);
    for (const char* expected : {"Export Map File", "File Name: N/A", "A Acquisition Date",
                                 "B System No", "2 Total Number of Fields Exported per Asset",
                                 "Retrieve Book Fields from: Internal", "Include a Header Row? No"})
        EXPECT_TRUE(page.contains(QLatin1String(expected))) << expected << "\n" << qPrintable(page);
}

TEST_F(FieldMapStep, FieldsThatEnterTheMapAreLinkedToTheCompanysAllocationLists)
{
    DemoFolder demo(36);
    const QString saved = demo.data + "/gl.exp";
    writeBytes(saved, expBytes({1004, 1003}));
    expwiz::ScriptedUiServices ui;
    ui.queueFile(saved);
    runWizard(ui, demo.host, [&](WizardDialog& w) {
        toStep(w, 3, QStringLiteral("City of Lakeside"), QStringLiteral("Public Sector"));
        // A map read from its file is linked to the lists (a field added is, too).
        clickNav(w, WizardDialog::Back);
        child<QRadioButton>(w, "optP4UseSaved")->click();
        press(w, "cmdP4Browse");
        const auto* account = w.state().allocationLinks.find(1003);
        ASSERT_NE(account, nullptr);
        EXPECT_EQ(account->listId, 7);
        // Another organization has its own lists.
        clickNav(w, WizardDialog::Back);
        chooseRow(*child<QListWidget>(w, "lstP2Company"), QStringLiteral("County Roads"));
        EXPECT_EQ(w.state().allocationLinks.find(1003), nullptr);
        EXPECT_EQ(w.state().allocationLists.usedSlots(), 0);
    });
}
