#include "DemoWizard.h"

using namespace testhost;

using SelectMap = WizardTest;

TEST_F(SelectMap, SavedMapsChosenByBrowsingAndFromTheListAndThoseMissingDamagedOrEmpty)
{
    DemoFolder demo(60);   // the short-word edition has its own filter
    const QString insurance = demo.data + "/Insurance.exp", upper = demo.data + "/INSURANCE.exp";
    const QString damaged = demo.data + "/damaged.exp", empty = demo.data + "/empty.exp";
    const QString missing = demo.data + "/missing.exp", huge = demo.data + "/huge.exp";
    writeBytes(insurance, expBytes({1004, 1012}));
    writeBytes(upper, expBytes({1012}));
    writeBytes(damaged, expBytes({1004, 0, 2000, 1001}) + QByteArray("\x01\x02", 2));
    writeBytes(empty, QByteArray());
    writeBytes(huge, QByteArray());
    ASSERT_TRUE(QFile::resize(huge, 64 << 20));   // 64 MiB, sparse
    expwiz::ScriptedUiServices ui;
    ui.queueFile(std::nullopt);
    for (const QString& file : {insurance, upper, insurance, missing, huge, damaged, empty})
        ui.queueFile(file);
    runWizard(ui, demo.host, [&](WizardDialog& w) {
        nextUntil(w, 2);
        auto* maps = child<QComboBox>(w, "cmbP4FieldMap");
        auto* fields = child<QListWidget>(w, "lstP5ExportFieldMap");
        EXPECT_EQ(enabled(w, "cmbP4FieldMap cmdP4Browse"), "Help Cancel Back Next");
        child<QRadioButton>(w, "optP4UseSaved")->click();
        // Nothing chosen yet.
        EXPECT_EQ(enabled(w, "cmbP4FieldMap cmdP4Browse"), "Help Cancel Back cmbP4FieldMap cmdP4Browse");
        // Browsing (no entry; the first dialog is cancelled) or an entry of the list: the
        // entries, the chosen one and its map, read at once. Another letter case is another
        // file; the same file again is chosen, not listed twice.
        const std::vector<std::tuple<QString, QStringList, int, std::vector<int32_t>>> picks{
            {{}, {}, -1, {}},
            {{}, {insurance}, 0, {1004, 1012}},
            {{}, {insurance, upper}, 1, {1012}},
            {{}, {insurance, upper}, 0, {1004, 1012}},
            {upper, {insurance, upper}, 1, {1012}},
            {insurance, {insurance, upper}, 0, {1004, 1012}}};
        for (const auto& [entry, entries, current, ids] : picks) {
            SCOPED_TRACE(entries.join(' ').toStdString() + " @" + std::to_string(current));
            entry.isEmpty() ? press(w, "cmdP4Browse") : chooseEntry(*maps, entry);
            EXPECT_EQ(texts(*maps), entries);
            EXPECT_EQ(maps->currentIndex(), current);
            EXPECT_EQ(w.state().fieldMap.ids(), ids);
            EXPECT_EQ(navEnabled(w, WizardDialog::Next), !ids.empty());
        }
        EXPECT_EQ(clickNav(w, WizardDialog::Next), 3);
        EXPECT_EQ(w.windowTitle(), "Export Helper - Field Map (Insurance)");
        EXPECT_EQ(texts(*fields), (QStringList{"[A] System No", "[B] Description"}));
        EXPECT_EQ(w.state().m_FieldMapFilename, insurance);
        EXPECT_EQ(w.state().m_FieldMapPath, demo.data + "/");
        // Back empties the map; a saved one left unchanged is read again.
        clickNav(w, WizardDialog::Back);
        EXPECT_EQ(w.state().fieldMap.ids(), (std::vector<int32_t>{1004, 1012}));
        // Create New empties the map at once.
        child<QRadioButton>(w, "optP4CreateNew")->click();
        EXPECT_TRUE(w.state().fieldMap.isEmpty());
        EXPECT_EQ(enabled(w, "cmbP4FieldMap cmdP4Browse"), "Help Cancel Back Next");
        queueAnswers(ui, {BoxAnswer::Ok}, 4);
        child<QRadioButton>(w, "optP4UseSaved")->click();
        press(w, "cmdP4Browse");
        ASSERT_EQ(ui.boxes().size(), 1u);
        EXPECT_EQ(clickNav(w, WizardDialog::Next), 2);
        EXPECT_EQ(boxLines(ui), QStringList(2, "Custom Export [ Ok] The Field Map file does not "
                                               "exist. Please choose another one."));
        // Far too large to be a map: refused unread, in one message.
        press(w, "cmdP4Browse");
        ASSERT_EQ(ui.boxes().size(), 3u);
        EXPECT_TRUE(ui.boxes().back().text.contains(huge + " is 67108864 bytes"))
            << ui.boxes().back().text.toStdString();
        EXPECT_TRUE(w.state().fieldMap.isEmpty());
        // Values that are no field and a broken last entry.
        press(w, "cmdP4Browse");
        ASSERT_EQ(ui.boxes().size(), 4u);
        EXPECT_TRUE(ui.boxes().back().text.contains(damaged)) << ui.boxes().back().text.toStdString();
        ASSERT_EQ(clickNav(w, WizardDialog::Next), 3);
        EXPECT_EQ(texts(*fields), (QStringList{"[A] System No", "[B] G/L Accum Account No"}));
        EXPECT_EQ(w.state().SavedFieldMap, (std::vector<int32_t>{1004, 1001}));
        // What was read is the saved map: leaving asks nothing.
        EXPECT_EQ(clickNav(w, WizardDialog::Next), 4);
        clickNav(w, WizardDialog::Back);
        clickNav(w, WizardDialog::Back);
        press(w, "cmdP4Browse");
        ASSERT_EQ(clickNav(w, WizardDialog::Next), 3);
        EXPECT_TRUE(w.state().fieldMap.isEmpty());
        EXPECT_FALSE(navEnabled(w, WizardDialog::Next));
    });
    ASSERT_EQ(ui.fileDialogs().size(), 8u);
    const QString dialog = "open|Field Map File|Orv Field Map File (.exp) | *.exp|exp|";
    EXPECT_EQ(dialogLine(ui.fileDialogs()[0]), dialog + "|");
    EXPECT_EQ(dialogLine(ui.fileDialogs()[3]), dialog + demo.data + "/|INSURANCE");   // where the chosen map is
}
