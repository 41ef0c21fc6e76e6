#include "DemoWizard.h"

#include "wizard/SaveMapDialog.h"

#include <QDir>

using namespace testhost;

using SaveMap = WizardTest;

TEST_F(SaveMap, TheDialogChecksTheNameBeforeItIsUsed)
{
    QTemporaryDir dir;
    const QString folder = dir.path() + "/";
    writeBytes(folder + "taken.exp", expBytes({1004, 1012}));
    struct Case {
        const char* name; QStringList typed; std::vector<BoxAnswer> answers;   // OK after each
        QString result; QStringList boxes;
    };
    const QString replace = "The file already exists. Do you want to replace \r\n<" + folder + "taken.exp>?";
    const QString invalid = "Invalid file name. The file name is restricted to alphanumeric characters only.";
    const std::vector<Case> cases{
        {"a new name, used as typed", {" a"}, {}, " a", {}},
        {"blank, then a name", {"   ", "q1"}, {BoxAnswer::Ok}, "q1", {"The file name can not be empty."}},
        {"a character no file name may hold", {"a/b", "a:b", "ab"}, {BoxAnswer::Ok, BoxAnswer::Ok}, "ab",
         {invalid, invalid}},
        {"replace: yes", {"taken"}, {BoxAnswer::Yes}, "taken", {replace}},
        {"replace: no, another name", {"taken", "free"}, {BoxAnswer::No}, "free", {replace}},
        {"replace: cancel abandons", {"taken"}, {BoxAnswer::Cancel}, "", {replace}},
        {"closing the window (Escape) abandons the save", {}, {}, "", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        expwiz::ScriptedUiServices ui;
        queueAnswers(ui, c.answers);
        expwiz::SaveMapDialog dialog(ui);
        const OnShown typing(QStringLiteral("frmSaveMap"), [&](QWidget&) {
            auto* box = child<QLineEdit>(dialog, "txtMapName");
            EXPECT_EQ(box->text(), "old");
            if (c.typed.isEmpty())
                QTest::keyClick(&dialog, Qt::Key_Escape);
            for (const QString& name : c.typed) {
                box->setText(name);
                press(dialog, "cmdOk");
            }
            EXPECT_FALSE(dialog.isVisible());
        });
        EXPECT_EQ(dialog.runForm(folder, QStringLiteral("old")), c.result);
        EXPECT_EQ(boxTexts(ui), c.boxes);
        EXPECT_TRUE(ui.allAnswersUsed());
        for (const auto& box : ui.boxes())
            EXPECT_EQ(box.title, "Custom Export");
    }
    // Replacing happens when the map is written, not when the name is confirmed.
    EXPECT_EQ(readBytes(folder + "taken.exp"), expBytes({1004, 1012}));
}

TEST_F(SaveMap, SavingFromTheFieldMapStep)
{
    DemoFolder demo;
    QDir().mkpath(demo.data + "/Nowhere.exp");   // a map file that cannot be written
    expwiz::ScriptedUiServices ui;
    // Answers the save dialog with these names in turn: typed and OK, or Cancel for none.
    QStringList names;
    const OnShown saveAs(QStringLiteral("frmSaveMap"), [&names](QWidget& dialog) {
        const QString name = names.isEmpty() ? QString() : names.takeFirst();
        if (!name.isEmpty())
            child<QLineEdit>(dialog, "txtMapName")->setText(name);
        press(dialog, name.isEmpty() ? "cmdCancel" : "cmdOk");
    });
    runWizard(ui, demo.host, [&](WizardDialog& w) {
        nextUntil(w, 3);
        addFields(w, {"System No", "G/L Accum Account No"});
        auto* map = child<QListWidget>(w, "lstP5ExportFieldMap");
        // The map's name, file, caption, kind and the Select Map entry.
        const auto identity = [&w] {
            const bool saved = child<QRadioButton>(w, "optP4UseSaved")->isChecked();
            return QStringList{w.state().m_FieldMapSpec, w.state().m_FieldMapFilename, w.windowTitle(),
                               saved ? "saved" : "new", shown(w, "cmbP4FieldMap")}.join('|');
        };
        // A failed save keeps the name and path the map had.
        names << QStringLiteral("Nowhere");
        ui.queueAnswer(BoxAnswer::Ok);
        press(w, "cmdP5SaveMap");
        EXPECT_EQ(identity(), "||Export Helper - Field Map (New Field Map)|new|");
        EXPECT_EQ(boxLines(ui).last(),
                  demo.host->Title() + " [ Ok] Error when save the field map file. Try a different file name.");
        // Save map writes the ids and makes the map a saved one.
        names << QStringLiteral("Fixed Assets");
        press(w, "cmdP5SaveMap");
        const QString path = demo.data + "/Fixed Assets.exp";
        // The available list is alphabetical, so G/L Accum... comes first.
        EXPECT_EQ(readBytes(path), QByteArray::fromHex("e9030000ec030000"));
        EXPECT_EQ(identity(), "Fixed Assets|" + path + "|Export Helper - Field Map (Fixed Assets)|saved|" + path);
        EXPECT_EQ(w.state().SystemNumberColumn, 1);
        EXPECT_EQ(texts(*map), (QStringList{"[A] G/L Accum Account No", "[B] System No"}));
        // Saved and unchanged: Next asks nothing.
        EXPECT_EQ(clickNav(w, WizardDialog::Next), 4);
        clickNav(w, WizardDialog::Back);
        // An edited saved map, Back answered No, discards the edits.
        addFields(w, {"Description"});
        ui.queueAnswer(BoxAnswer::No);
        EXPECT_EQ(clickNav(w, WizardDialog::Back), 2);
        EXPECT_EQ(boxLines(ui).last(),
                  "Custom Export [ YesNo] The export map is changed. Would you like to save the field map?");
        clickNav(w, WizardDialog::Next);
        EXPECT_EQ(w.state().fieldMap.ids(), (std::vector<int32_t>{1001, 1004}));
        // Yes, then a failed save or Cancel in the dialog, stays.
        addFields(w, {"Description"});
        queueAnswers(ui, {BoxAnswer::Yes, BoxAnswer::Ok, BoxAnswer::Yes});
        names << QStringLiteral("Nowhere") << QString();
        EXPECT_EQ(clickNav(w, WizardDialog::Next), 3);
        EXPECT_EQ(clickNav(w, WizardDialog::Next), 3);
        EXPECT_EQ(w.state().fieldMap.count(), 3);
        // Yes on an emptied map: nothing to save, stays.
        map->selectAll();
        press(w, "cmdP5Remove");
        queueAnswers(ui, {BoxAnswer::Yes, BoxAnswer::Ok});
        EXPECT_EQ(clickNav(w, WizardDialog::Back), 3);
        EXPECT_EQ(ui.boxes().back().text, "You need to select at least one field");
        // No System No: the question, No saves nothing, Yes goes on.
        addFields(w, {"Description"});
        ui.queueAnswer(BoxAnswer::No);
        press(w, "cmdP5SaveMap");
        EXPECT_EQ(ui.boxes().back().text, "The export map does not include System Number as the unique identifier "
                                          "\r\nfor each row. Are you sure you want to continue?");
        queueAnswers(ui, {BoxAnswer::Yes}, 2);   // go on without System No, save the changed map
        names << QStringLiteral("Description only");
        EXPECT_EQ(clickNav(w, WizardDialog::Next), 4);
        EXPECT_EQ(w.state().SystemNumberColumn, 1);   // the entry count
        EXPECT_EQ(readBytes(demo.data + "/Description only.exp"), expBytes({1012}));
        // The first map file was never touched by the later edits.
        EXPECT_EQ(readBytes(demo.data + "/Fixed Assets.exp"), expBytes({1001, 1004}));
        // A new map saved on leaving, System No moved to the front.
        clickNav(w, WizardDialog::Back);
        clickNav(w, WizardDialog::Back);
        child<QRadioButton>(w, "optP4CreateNew")->click();
        clickNav(w, WizardDialog::Next);
        ui.clearRecords();
        addFields(w, {"System No", "Description", "Acquisition Date", "Class"});
        selectItems(*map, {"[D] System No"});   // the selection moves with it
        for (int i = 0; i < 3; ++i)
            press(w, "cmdP5Up");
        ui.queueAnswer(BoxAnswer::Yes);
        names << QStringLiteral("Quarterly");
        EXPECT_EQ(clickNav(w, WizardDialog::Next), 4);
        EXPECT_EQ(boxTexts(ui),
                  QStringList{"The specified field map has not been saved. Would you like to save the field map?"});
        EXPECT_EQ(w.state().SystemNumberColumn, 0);
        EXPECT_EQ(readBytes(demo.data + "/Quarterly.exp"), expBytes({1004, 1002, 1006, 1012}));
    });
    EXPECT_TRUE(names.isEmpty());
}
