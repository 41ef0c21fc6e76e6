#include "DemoWizard.h"

#include "wizard/SaveMapDialog.h"

using expwiz::BoxButtons;
using namespace testhost;

namespace {

using SaveMap = WizardTest;

const QString NotSaved =
    QStringLiteral("The specified field map has not been saved. Would you like to save the field map?");
const QString Changed = QStringLiteral("The export map is changed. Would you like to save the field map?");
const QString NoSystemNo = QStringLiteral("The export map does not include System Number as the unique identifier "
                                          "\r\nfor each row. Are you sure you want to continue?");

// Answers the save dialog with the queued names in turn: typed and OK, or
// Cancel for an empty one.
class SaveDialogAnswers : public OnShown {
public:
    QStringList names;
    SaveDialogAnswers()
        : OnShown(QStringLiteral("frmSaveMap"), [this](QWidget& dialog) {
              const QString name = names.isEmpty() ? QString() : names.takeFirst();
              if (!name.isEmpty())
                  child<QLineEdit>(dialog, "txtMapName")->setText(name);
              press(dialog, name.isEmpty() ? "cmdCancel" : "cmdOk");
          })
    {
    }
};

} // namespace

TEST_F(SaveMap, TheDialogChecksTheNameBeforeItIsUsed)
{
    QTemporaryDir dir;
    const QString folder = dir.path() + "/";
    writeBytes(folder + "taken.exp", expBytes({1004, 1012}));
    struct Case {
        const char* name;
        QStringList typed;   // OK pressed after each; none: Escape
        std::vector<BoxAnswer> answers;
        QString result;
        QStringList boxes;
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
        {"closing the window abandons the save", {}, {}, "", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        expwiz::ScriptedUiServices ui;
        for (BoxAnswer a : c.answers)
            ui.queueAnswer(a);
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
    // Replacing happens when the map is written, not when the name is
    // confirmed: the old map is still whole.
    EXPECT_EQ(readBytes(folder + "taken.exp"), expBytes({1004, 1012}));
}

TEST_F(SaveMap, SavingFromTheFieldMapStep)
{
    DemoFolder demo;
    expwiz::ScriptedUiServices ui;
    SaveDialogAnswers saveAs;
    runWizard(ui, demo.host, [&](WizardDialog& w) {
        nextUntil(w, 3);
        addFields(w, {"System No", "G/L Accum Account No"});
        auto* map = child<QListWidget>(w, "lstP5ExportFieldMap");
        // Save map writes the ids and makes the map a saved one.
        saveAs.names << QStringLiteral("Fixed Assets");
        press(w, "cmdP5SaveMap");
        const QString path = demo.data + "/Fixed Assets.exp";
        // The available list is alphabetical, so G/L Accum... comes first.
        EXPECT_EQ(readBytes(path), QByteArray::fromHex("e9030000ec030000"));
        EXPECT_EQ(w.state().m_FieldMapSpec, "Fixed Assets");
        EXPECT_EQ(w.state().m_FieldMapFilename, path);
        EXPECT_EQ(w.state().SystemNumberColumn, 1);
        EXPECT_EQ(w.windowTitle(), "Export Helper - Field Map (Fixed Assets)");
        EXPECT_TRUE(child<QRadioButton>(w, "optP4UseSaved")->isChecked());
        EXPECT_EQ(child<QComboBox>(w, "cmbP4FieldMap")->currentText(), path);
        EXPECT_EQ(texts(*map), (QStringList{"[A] G/L Accum Account No", "[B] System No"}));
        // Saved and unchanged: Next asks nothing.
        clickNav(w, WizardDialog::Next);
        EXPECT_EQ(w.state().CurrentStep, 4);
        clickNav(w, WizardDialog::Back);
        // An edited saved map, Back answered No, discards the edits.
        addFields(w, {"Description"});
        ui.queueAnswer(BoxAnswer::No);
        clickNav(w, WizardDialog::Back);
        EXPECT_EQ(w.state().CurrentStep, 2);
        EXPECT_EQ(ui.boxes().back().text, Changed);
        EXPECT_EQ(ui.boxes().back().buttons, BoxButtons::YesNo);
        clickNav(w, WizardDialog::Next);
        EXPECT_EQ(w.state().fieldMap.ids(), (std::vector<int32_t>{1001, 1004}));
        // Yes, then Cancel in the dialog, stays.
        addFields(w, {"Description"});
        ui.queueAnswer(BoxAnswer::Yes);
        saveAs.names << QString();
        clickNav(w, WizardDialog::Next);
        EXPECT_EQ(w.state().CurrentStep, 3);
        EXPECT_EQ(w.state().fieldMap.count(), 3);
        // Yes on an emptied map: nothing to save, stays.
        map->selectAll();
        press(w, "cmdP5Remove");
        ui.queueAnswer(BoxAnswer::Yes);
        ui.queueAnswer(BoxAnswer::Ok);
        clickNav(w, WizardDialog::Back);
        EXPECT_EQ(w.state().CurrentStep, 3);
        EXPECT_EQ(ui.boxes().back().text, "You need to select at least one field");
        // No System No: the question, No saves nothing, Yes goes on.
        addFields(w, {"Description"});
        ui.queueAnswer(BoxAnswer::No);
        press(w, "cmdP5SaveMap");
        EXPECT_EQ(ui.boxes().back().text, NoSystemNo);
        ui.queueAnswer(BoxAnswer::Yes);   // go on without System No
        ui.queueAnswer(BoxAnswer::Yes);   // save the changed map
        saveAs.names << QStringLiteral("Description only");
        clickNav(w, WizardDialog::Next);
        EXPECT_EQ(w.state().CurrentStep, 4);
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
        for (int i = 0; i < 3; ++i) {
            selectItems(*map, {}, {map->row(map->findItems("System No", Qt::MatchEndsWith).front())});
            press(w, "cmdP5Up");
        }
        ui.queueAnswer(BoxAnswer::Yes);
        saveAs.names << QStringLiteral("Quarterly");
        clickNav(w, WizardDialog::Next);
        EXPECT_EQ(w.state().CurrentStep, 4);
        EXPECT_EQ(boxTexts(ui), QStringList{NotSaved});
        EXPECT_EQ(w.state().SystemNumberColumn, 0);
        EXPECT_EQ(readBytes(demo.data + "/Quarterly.exp"), expBytes({1004, 1002, 1006, 1012}));
    });
    EXPECT_TRUE(saveAs.names.isEmpty());
    EXPECT_TRUE(ui.allAnswersUsed());
    EXPECT_TRUE(ui.unexpected().isEmpty()) << ui.unexpected().join('|').toStdString();
}

TEST_F(SaveMap, AFailedSaveKeepsTheNameAndPathTheMapHad)
{
    DemoFolder demo;
    demo.host->settings().programPath = demo.dir.filePath(QStringLiteral("no such folder"));
    expwiz::ScriptedUiServices ui;
    ui.queueAnswer(BoxAnswer::Ok);   // the write failed
    ui.queueAnswer(BoxAnswer::No);   // leave the new map unsaved
    SaveDialogAnswers saveAs;
    saveAs.names << QStringLiteral("Nowhere");
    runWizard(ui, demo.host, [&](WizardDialog& w) {
        nextUntil(w, 3);
        addFields(w, {"System No"});
        press(w, "cmdP5SaveMap");
        EXPECT_EQ(w.state().m_FieldMapSpec, "");
        EXPECT_EQ(w.state().m_FieldMapFilename, "");
        EXPECT_EQ(w.windowTitle(), "Export Helper - Field Map (New Field Map)");
        EXPECT_FALSE(child<QRadioButton>(w, "optP4UseSaved")->isChecked());
        // Still a new, unsaved map.
        clickNav(w, WizardDialog::Next);
        EXPECT_EQ(w.state().CurrentStep, 4);
    });
    EXPECT_TRUE(saveAs.names.isEmpty());
    ASSERT_EQ(ui.boxes().size(), 2u);
    EXPECT_EQ(ui.boxes()[0].text, "Error when save the field map file. Try a different file name.");
    EXPECT_EQ(ui.boxes()[0].title, demo.host->Title());
    EXPECT_EQ(ui.boxes()[1].text, NotSaved);
}
