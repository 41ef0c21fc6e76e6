#include "DemoWizard.h"

using namespace testhost;

namespace {

using SelectMap = WizardTest;

void useSaved(WizardDialog& wizard)
{
    child<QRadioButton>(wizard, "optP4UseSaved")->click();
}

} // namespace

TEST_F(SelectMap, SavedMapsChosenByBrowsingAndFromTheListAndThoseMissingDamagedOrEmpty)
{
    DemoFolder demo(60);   // the short-word edition has its own filter
    const QString insurance = demo.data + "/Insurance.exp";
    writeBytes(insurance, expBytes({1004, 1012}));
    const QString upper = demo.data + "/INSURANCE.exp";
    writeBytes(upper, expBytes({1012}));
    const QString damaged = demo.data + "/damaged.exp";
    writeBytes(damaged, expBytes({1004, 0, 2000, 1001}) + QByteArray("\x01\x02", 2));
    const QString empty = demo.data + "/empty.exp";
    writeBytes(empty, QByteArray());
    const QString missing = demo.data + "/missing.exp";
    const QString huge = demo.data + "/huge.exp";   // 64 MiB, sparse
    QFile hugeFile(huge);
    ASSERT_TRUE(hugeFile.open(QIODevice::WriteOnly) && hugeFile.resize(64 << 20));
    hugeFile.close();
    expwiz::ScriptedUiServices ui;
    for (const auto& file : {std::optional<QString>(), std::optional(insurance), std::optional(upper),
                             std::optional(insurance), std::optional(missing), std::optional(huge),
                             std::optional(damaged), std::optional(empty)})
        ui.queueFile(file);
    runWizard(ui, demo.host, [&](WizardDialog& w) {
        nextUntil(w, 2);
        auto* maps = child<QComboBox>(w, "cmbP4FieldMap");
        EXPECT_EQ(enabled(w, "cmbP4FieldMap cmdP4Browse"), "Help Cancel Back Next");
        useSaved(w);
        // Nothing chosen yet.
        EXPECT_EQ(enabled(w, "cmbP4FieldMap cmdP4Browse"), "Help Cancel Back cmbP4FieldMap cmdP4Browse");
        press(w, "cmdP4Browse");                           // cancelled
        EXPECT_EQ(maps->count(), 0);
        EXPECT_FALSE(navEnabled(w, WizardDialog::Next));
        press(w, "cmdP4Browse");
        EXPECT_EQ(texts(*maps), QStringList{insurance});
        EXPECT_TRUE(navEnabled(w, WizardDialog::Next));
        // The map is read as soon as it is chosen.
        EXPECT_EQ(w.state().fieldMap.ids(), (std::vector<int32_t>{1004, 1012}));
        press(w, "cmdP4Browse");   // another letter case is another file
        EXPECT_EQ(texts(*maps), (QStringList{insurance, upper}));
        EXPECT_EQ(w.state().fieldMap.ids(), std::vector<int32_t>{1012});
        press(w, "cmdP4Browse");   // the same file again: chosen, no second entry
        EXPECT_EQ(maps->count(), 2);
        EXPECT_EQ(maps->currentIndex(), 0);
        EXPECT_EQ(w.state().fieldMap.ids(), (std::vector<int32_t>{1004, 1012}));
        chooseEntry(*maps, upper);
        EXPECT_EQ(w.state().fieldMap.ids(), std::vector<int32_t>{1012});
        chooseEntry(*maps, insurance);
        EXPECT_EQ(w.state().fieldMap.ids(), (std::vector<int32_t>{1004, 1012}));
        clickNav(w, WizardDialog::Next);
        EXPECT_EQ(w.state().CurrentStep, 3);
        EXPECT_EQ(w.windowTitle(), "Export Helper - Field Map (Insurance)");
        EXPECT_EQ(texts(*child<QListWidget>(w, "lstP5ExportFieldMap")),
                  (QStringList{"[A] System No", "[B] Description"}));
        EXPECT_EQ(w.state().m_FieldMapFilename, insurance);
        EXPECT_EQ(w.state().m_FieldMapPath, demo.data + "/");
        // Back empties the map; a saved one left unchanged is read again.
        clickNav(w, WizardDialog::Back);
        EXPECT_EQ(w.state().fieldMap.ids(), (std::vector<int32_t>{1004, 1012}));
        // Create New empties the map at once.
        child<QRadioButton>(w, "optP4CreateNew")->click();
        EXPECT_TRUE(w.state().fieldMap.isEmpty());
        EXPECT_TRUE(navEnabled(w, WizardDialog::Next));
        EXPECT_FALSE(maps->isEnabled());
        EXPECT_TRUE(ui.boxes().empty());
        for (int i = 0; i < 4; ++i)
            ui.queueAnswer(BoxAnswer::Ok);
        useSaved(w);
        // Missing.
        press(w, "cmdP4Browse");
        ASSERT_EQ(ui.boxes().size(), 1u);
        clickNav(w, WizardDialog::Next);
        EXPECT_EQ(w.state().CurrentStep, 2);
        ASSERT_EQ(ui.boxes().size(), 2u);
        for (const auto& box : ui.boxes())
            EXPECT_EQ(boxLine(box),
                      "Custom Export [ Ok] The Field Map file does not exist. Please choose another one.");
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
        clickNav(w, WizardDialog::Next);
        ASSERT_EQ(w.state().CurrentStep, 3);
        EXPECT_EQ(texts(*child<QListWidget>(w, "lstP5ExportFieldMap")),
                  (QStringList{"[A] System No", "[B] G/L Accum Account No"}));
        EXPECT_EQ(w.state().SavedFieldMap, (std::vector<int32_t>{1004, 1001}));
        // What was read is the saved map: leaving asks nothing.
        clickNav(w, WizardDialog::Next);
        EXPECT_EQ(w.state().CurrentStep, 4);
        clickNav(w, WizardDialog::Back);
        clickNav(w, WizardDialog::Back);
        // Empty.
        press(w, "cmdP4Browse");
        clickNav(w, WizardDialog::Next);
        ASSERT_EQ(w.state().CurrentStep, 3);
        EXPECT_TRUE(w.state().fieldMap.isEmpty());
        EXPECT_FALSE(navEnabled(w, WizardDialog::Next));
    });
    ASSERT_EQ(ui.fileDialogs().size(), 8u);
    const QString dialog = "open|Field Map File|Orv Field Map File (.exp) | *.exp|exp|";
    EXPECT_EQ(dialogLine(ui.fileDialogs()[0]), dialog + "|");
    EXPECT_EQ(dialogLine(ui.fileDialogs()[3]), dialog + demo.data + "/|INSURANCE");   // where the chosen map is
    EXPECT_EQ(ui.boxes().size(), 4u);
}
