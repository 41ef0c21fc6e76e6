#include "DemoWizard.h"

#include <QDir>
#include <QFocusEvent>

using namespace testhost;

namespace {

using Destination = WizardTest;

const QString Invalid =
    QStringLiteral("Invalid file name. The file name is restricted to alphanumeric characters only.");

// Walks to File Destination with a two-field map left unsaved.
void toDestination(WizardDialog& w, expwiz::ScriptedUiServices& ui)
{
    nextUntil(w, 3);
    addFields(w, {"System No", "Description"});
    ui.queueAnswer(BoxAnswer::No);
    ASSERT_EQ(clickNav(w, WizardDialog::Next), 4);
    ui.clearRecords();
}

} // namespace

// The name and folder boxes, and what leaving the step forward or back checks.
TEST_F(Destination, BoxesAndLeavingMakeThePathAndAskBeforeReplacingOrCreating)
{
    writeBytes(configFile("DESKORVO.INI"), "[Defaults]\r\nExportPath=\r\n");
    DemoFolder demo;
    const QString out = demo.data + "/out/";
    expwiz::ScriptedUiServices ui;
    runWizard(ui, demo.host, [&](WizardDialog& w) {
        toDestination(w, ui);
        auto* name = child<QLineEdit>(w, "txtP3Filename");
        auto* location = child<QLineEdit>(w, "txtP3Location");
        EXPECT_EQ(location->text(), demo.data);   // an empty remembered folder is none
        // Leaving the box with a name no file may have leaves a good name behind; the focus-out
        // a Tab delivers is sent directly, so the check does not wait on the window's activation.
        location->setFocus();
        name->setText(QStringLiteral("   Q"));   // typed, but never left the box
        name->setText(QStringLiteral("a/b"));
        ui.queueAnswer(BoxAnswer::Ok);
        QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(name, &leave);
        EXPECT_EQ(boxTexts(ui), QStringList{Invalid});
        EXPECT_EQ(name->text(), "OrvoExport");   // the last name that passed
        EXPECT_EQ(w.focusWidget(), name);
        // Back before the Summary checks nothing; entering again fills an emptied folder box.
        name->setText("Q1");
        for (const QString& folder : {demo.data + "/missing", QString()}) {
            location->setText(folder);
            ui.clearRecords();
            ui.queueAnswer(BoxAnswer::No);   // leave the map unsaved on the way back
            EXPECT_EQ(clickNav(w, WizardDialog::Back), 3);
            EXPECT_TRUE(ui.boxes().empty());
            ASSERT_EQ(clickNav(w, WizardDialog::Next), 4);
            EXPECT_EQ(location->text(), demo.data);
            EXPECT_TRUE(navEnabled(w, WizardDialog::Next));
        }
        // Leaving forward; the Summary is left again at once, which checks nothing.
        const QString fresh = demo.data + "/fresh/", db = demo.data + "/orvo-demo.sqlite", ab = demo.data + "/a/b";
        const QString create = "Custom Export [Exclamation YesNo] The path does not exists. Do you want to create "
                               "the path \r\n<";
        const QString replace = "Custom Export [Exclamation YesNo] The file already exists. "
                                "Do you want to replace \r\n<" + out + "Q2.csv>?";
        const QString notCreated = "Custom Export [Exclamation Ok] The path that you input can not be created";
        QDir().mkpath(out);
        writeBytes(out + "Q2.csv", "old");
        ASSERT_TRUE(QFile::link(db, out + "db.csv"));
        const QByteArray database = readBytes(db);
        struct Leave { QString name, folder; std::vector<BoxAnswer> answers; int step; QString file;
                       QStringList boxes; };
        const Leave leaves[] = {
            {"Q1", demo.data + "/fresh", {BoxAnswer::No}, 4, "", {create + fresh + ">?"}},
            {"Q1", demo.data + "/fresh", {BoxAnswer::Yes}, 5, fresh + "Q1.csv", {create + fresh + ">?"}},
            {"Q1", fresh, {}, 5, fresh + "Q1.csv", {}},
            {"Q2", out, {BoxAnswer::No}, 4, "", {replace}},
            {"Q2", out, {BoxAnswer::Yes}, 5, out + "Q2.csv", {replace}},
            {"Q2", out, {}, 5, out + "Q2.csv", {}},   // the same name again asks nothing, the file untouched
            {"Q3.csv", out, {}, 5, out + "Q3.csv.csv", {}},   // names are used as typed
            {" Q4", demo.data + "/out", {}, 5, out + " Q4.csv", {}},
            {"db", out, {BoxAnswer::Ok}, 4, "",   // the host's own file, through a link
             {"Custom Export [Critical Ok] The export file " + out + "db.csv is the same file as " + db
              + ", which the export reads or the host keeps its data in; choose another file name."}},
            {"Q6", out, {}, 5, out + "Q6.csv", {}},
            {"../Q7", out, {BoxAnswer::Ok}, 4, out + "Q6.csv", {"Custom Export [Critical Ok] " + Invalid}},
            // A folder that cannot be created, asked about again.
            {"Q5", ab, {BoxAnswer::Yes, BoxAnswer::Ok}, 4, "", {create + ab + "/>?", notCreated}},
            {"Q5", ab, {BoxAnswer::Yes, BoxAnswer::Ok}, 4, "", {create + ab + "/>?", notCreated}},
        };
        ui.clearRecords();
        for (const Leave& c : leaves) {
            SCOPED_TRACE(c.name.toStdString());
            name->setText(c.name);
            location->setText(c.folder);
            queueAnswers(ui, c.answers);
            clickNav(w, WizardDialog::Next);
            EXPECT_EQ(w.state().CurrentStep, c.step);
            EXPECT_EQ(w.state().m_ExportFilename, c.file);
            if (w.state().CurrentStep == 5)
                clickNav(w, WizardDialog::Back);
            EXPECT_EQ(boxLines(ui), c.boxes);
            ui.clearRecords();
        }
        EXPECT_EQ(readBytes(out + "Q2.csv"), "old");
        EXPECT_EQ(readBytes(db), database);
        EXPECT_EQ(shown(w, "txtP3Filename txtP3Location"), "Q5|");   // the folder that cannot be created
        EXPECT_FALSE(QDir(demo.data + "/a").exists());
        // The emptied box leaves nothing to go on with; Next and Export follow the two boxes.
        EXPECT_EQ(enabled(w), "Help Cancel Back");
        QTest::keyClicks(location, out);
        EXPECT_EQ(enabled(w), "Help Cancel Back Next Export");
        struct Change { QLineEdit* box; QString text; bool on; };
        const Change changes[] = {
            {name, "   ", false}, {name, "   Q", true}, {location, "", false},
            {location, demo.data, true}, {location, "", false}, {name, "Q1", false},
            {location, demo.data, true}, {name, "  ", false}, {name, "Q6", true},
            {location, " ", false}, {name, "", false}, {location, out, false}, {name, "Q6", true}};
        for (const Change& c : changes) {
            c.box->setText(c.text);
            EXPECT_EQ(enabled(w), c.on ? "Help Cancel Back Next Export" : "Help Cancel Back")
                << c.box->objectName().toStdString() << "=" << c.text.toStdString();
        }
        // Choosing a company again resets the name and folder.
        ui.queueAnswer(BoxAnswer::No);   // leave the map unsaved
        for (int i = 0; i < 3; ++i)
            clickNav(w, WizardDialog::Back);
        ASSERT_EQ(w.state().CurrentStep, 1);
        chooseRow(*child<QListWidget>(w, "lstP2Company"), QStringLiteral("Empty Start-up"));
        EXPECT_EQ(shown(w, "txtP3Filename txtP3Location"), "OrvoExport|" + demo.data);
    });
}

TEST_F(Destination, BrowseAndTheFolderRememberedAcrossRuns)
{
    DemoFolder demo(60);   // the short-word edition: its own names and file
    const QString exports = demo.data + "/exports/";
    QDir().mkpath(exports);
    writeBytes(exports + "taken.csv", "old");
    // Other programs of the host keep their settings in the same file.
    const QString settings = configFile("KIROORVO.INI");
    const QByteArray before = "[Window]\r\nLeft=10\r\n[Defaults]\r\nPrinter=Office\r\n"
                              "ExportPath=/somewhere/\r\n";
    writeBytes(settings, before);
    expwiz::ScriptedUiServices ui;
    runWizard(ui, demo.host, [&](WizardDialog& w) {
        toDestination(w, ui);
        ui.queueFile(std::nullopt);
        for (int i = 0; i < 3; ++i)
            ui.queueFile(exports + "taken.csv");
        ui.queueFile(exports + "fresh.txt");
        // Cancel on the replace question changes nothing; No opens the dialog again.
        queueAnswers(ui, {BoxAnswer::Cancel, BoxAnswer::No, BoxAnswer::Yes});
        press(w, "cmdP3Browse");
        press(w, "cmdP3Browse");
        EXPECT_EQ(shown(w, "txtP3Filename txtP3Location"), "OrvExport|/somewhere/");
        EXPECT_EQ(w.state().m_ExportFilename, "");
        EXPECT_EQ(readBytes(settings), before);   // nothing chosen, nothing remembered
        press(w, "cmdP3Browse");
        EXPECT_EQ(w.state().m_ExportFilename, exports + "taken.csv");
        EXPECT_EQ(shown(w, "txtP3Filename txtP3Location"), "taken|" + exports);
        press(w, "cmdP3Browse");
        EXPECT_EQ(shown(w, "txtP3Filename"), "fresh");
        // Typing a folder is not remembered.
        child<QLineEdit>(w, "txtP3Location")->setText(demo.data);
    });
    ASSERT_EQ(ui.fileDialogs().size(), 5u);
    for (int i : {0, 1, 2, 3})   // after a cancel or No the dialog opens as before
        EXPECT_EQ(dialogLine(ui.fileDialogs()[i]),
                  "save|Export File|Orv Export File (.csv) | *.csv|csv|/somewhere/|OrvExport");
    const QString replace = "Custom Export [Exclamation YesNoCancel] The file already exists. "
                            "Do you want to replace \r\n<" + exports + "taken.csv>?";
    EXPECT_EQ(boxLines(ui), QStringList(3, replace));
    EXPECT_EQ(readBytes(exports + "taken.csv"), "old");
    EXPECT_EQ(readBytes(settings), QByteArray(before).replace("/somewhere/", exports.toUtf8()));

    SCOPED_TRACE("the next run starts in the remembered folder");
    expwiz::ScriptedUiServices next;
    runWizard(next, demo.host, [&](WizardDialog& w) {
        toDestination(w, next);
        EXPECT_EQ(shown(w, "txtP3Filename txtP3Location"), "OrvExport|" + exports);
    });
}
