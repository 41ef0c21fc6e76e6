#include "DemoWizard.h"

#include <QDir>
#include <QFocusEvent>

using expwiz::BoxButtons;
using expwiz::BoxIcon;
using namespace testhost;

namespace {

using Destination = WizardTest;

const QString Invalid = QStringLiteral("Invalid file name. The file name is restricted to alphanumeric characters only.");

QString replaceQuestion(const QString& path)
{
    return "The file already exists. Do you want to replace \r\n<" + path + ">?";
}

// Walks to File Destination with a two-field map left unsaved.
void toDestination(WizardDialog& w, expwiz::ScriptedUiServices& ui)
{
    nextUntil(w, 3);
    addFields(w, {"System No", "Description"});
    ui.queueAnswer(BoxAnswer::No);
    clickNav(w, WizardDialog::Next);
    ASSERT_EQ(w.state().CurrentStep, 4);
    ui.clearRecords();
}

void type(WizardDialog& w, const QString& name, const QString& location)
{
    child<QLineEdit>(w, "txtP3Filename")->setText(name);
    child<QLineEdit>(w, "txtP3Location")->setText(location);
}

} // namespace

// The name and folder boxes, and what leaving the step forward or back checks.
TEST_F(Destination, BoxesBrowseAndLeavingMakeThePathAndAskBeforeReplacingOrCreating)
{
    const QByteArray settings = "[Defaults]\r\nExportPath=\r\n";
    writeBytes(configFile("DESKORVO.INI"), settings);
    DemoFolder demo;
    writeBytes(demo.data + "/taken.csv", "old");
    const QString out = demo.data + "/out/";
    expwiz::ScriptedUiServices ui;
    runWizard(ui, demo.host, [&](WizardDialog& w) {
        toDestination(w, ui);
        auto* name = child<QLineEdit>(w, "txtP3Filename");
        auto* location = child<QLineEdit>(w, "txtP3Location");
        EXPECT_EQ(location->text(), demo.data);   // an empty remembered folder is none
        // Browse cancelled, or Cancel on the replace question, changes nothing.
        ui.queueFile(std::nullopt);
        press(w, "cmdP3Browse");
        ui.queueFile(demo.data + "/taken.csv");
        ui.queueAnswer(BoxAnswer::Cancel);
        press(w, "cmdP3Browse");
        EXPECT_EQ(name->text(), "OrvoExport");
        EXPECT_EQ(location->text(), demo.data);
        EXPECT_EQ(w.state().m_ExportFilename, "");
        EXPECT_EQ(ui.fileDialogs().size(), 2u);
        EXPECT_EQ(readBytes(demo.data + "/taken.csv"), "old");
        // Nothing chosen, nothing remembered.
        EXPECT_EQ(readBytes(configFile("DESKORVO.INI")), settings);
        ui.clearRecords();
        // Leaving the box with a name no file may have.
        // Any focus change here leaves a good name behind; the focus-out
        // a Tab delivers is then sent directly, so the check does not
        // wait on the window manager activating the window.
        location->setFocus();
        name->setText(QStringLiteral("   Q"));   // typed, but never left the box
        name->setText(QStringLiteral("a/b"));
        ui.queueAnswer(BoxAnswer::Ok);
        QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(name, &leave);
        EXPECT_EQ(boxTexts(ui), QStringList{Invalid});
        EXPECT_EQ(name->text(), "OrvoExport");   // the last name that passed
        EXPECT_EQ(w.focusWidget(), name);
        // Back before the Summary checks nothing.
        type(w, "Q1", demo.data + "/missing");
        ui.queueAnswer(BoxAnswer::No);   // leave the map unsaved on the way back
        clickNav(w, WizardDialog::Back);
        EXPECT_EQ(w.state().CurrentStep, 3);
        EXPECT_EQ(ui.boxes().size(), 1u);
        clickNav(w, WizardDialog::Next);
        ASSERT_EQ(w.state().CurrentStep, 4);
        struct Change {
            QLineEdit* box;
            QString text;
            bool next;
        };
        const Change changes[] = {{name, "   ", false},     {name, "   Q", true},   {location, "", false},
                                  {location, demo.data, true}, {location, "", false}, {name, "Q1", false},
                                  {location, demo.data, true}, {name, "  ", false},   {name, "Q2", true},
                                  {location, " ", false},      {name, "", false},    {location, demo.data, false},
                                  {name, "Q2", true}};
        for (const Change& c : changes) {
            c.box->setText(c.text);
            EXPECT_EQ(navEnabled(w, WizardDialog::Next), c.next) << c.box->objectName().toStdString() << "="
                                                                  << c.text.toStdString();
        }
        // Entering the step again with an empty box left behind.
        location->setText("");
        clickNav(w, WizardDialog::Back);
        ui.queueAnswer(BoxAnswer::No);
        clickNav(w, WizardDialog::Next);
        ASSERT_EQ(w.state().CurrentStep, 4);
        EXPECT_EQ(location->text(), demo.data);
        EXPECT_TRUE(navEnabled(w, WizardDialog::Next));
        ui.clearRecords();
        const auto next = [&](std::vector<BoxAnswer> answers, int step) {
            for (BoxAnswer answer : answers)
                ui.queueAnswer(answer);
            clickNav(w, WizardDialog::Next);
            EXPECT_EQ(w.state().CurrentStep, step);
        };
        // A missing folder: No keeps the step and asks again next time, Yes creates it.
        type(w, "Q1", demo.data + "/out");
        next({BoxAnswer::No}, 4);
        EXPECT_EQ(w.state().m_ExportFilename, "");
        next({BoxAnswer::Yes}, 5);
        EXPECT_EQ(w.state().m_ExportFilename, out + "Q1.csv");
        EXPECT_TRUE(QDir(out).exists());
        const QString create = "The path does not exists. Do you want to create the path \r\n<" + out + ">?";
        EXPECT_EQ(boxTexts(ui), (QStringList{create, create}));
        EXPECT_EQ(ui.boxes()[0].icon, BoxIcon::Exclamation);
        EXPECT_EQ(ui.boxes()[0].buttons, BoxButtons::YesNo);
        EXPECT_EQ(ui.boxes()[0].title, "Custom Export");
        // Back from the Summary checks again; the same path asks nothing.
        clickNav(w, WizardDialog::Back);
        EXPECT_EQ(w.state().CurrentStep, 4);
        EXPECT_EQ(ui.boxes().size(), 2u);
        ui.clearRecords();
        // An existing file: replace question, the file untouched.
        writeBytes(out + "Q2.csv", "old");
        type(w, "Q2", out);
        next({BoxAnswer::No}, 4);
        EXPECT_EQ(w.state().m_ExportFilename, "");
        next({BoxAnswer::Yes}, 5);
        EXPECT_EQ(boxTexts(ui), (QStringList{replaceQuestion(out + "Q2.csv"), replaceQuestion(out + "Q2.csv")}));
        EXPECT_EQ(readBytes(out + "Q2.csv"), "old");
        // The same name again asks nothing, even though the file exists.
        clickNav(w, WizardDialog::Back);
        next({}, 5);
        EXPECT_EQ(ui.boxes().size(), 2u);
        clickNav(w, WizardDialog::Back);
        ui.clearRecords();
        // Names are used as typed.
        for (const auto& [typed, folder, file] : {std::tuple{"Q3.csv", out, "Q3.csv.csv"},
                                                  std::tuple{" Q4", QString(demo.data + "/out"), " Q4.csv"}}) {
            type(w, typed, folder);
            next({}, 5);
            EXPECT_EQ(w.state().m_ExportFilename, out + file);
            clickNav(w, WizardDialog::Back);
        }
        // A file that is the host's database (through a link) is refused, the step stays.
        const QString database = demo.data + "/orvo-demo.sqlite";
        const QByteArray before = readBytes(database);
        ASSERT_TRUE(QFile::link(database, out + "db.csv"));
        type(w, "db", out);
        next({BoxAnswer::Ok}, 4);
        EXPECT_EQ(w.state().m_ExportFilename, "");
        ASSERT_EQ(ui.boxes().size(), 1u);
        EXPECT_TRUE(ui.boxes()[0].text.contains(database)) << ui.boxes()[0].text.toStdString();
        EXPECT_EQ(readBytes(database), before);
        ui.clearRecords();
        // A folder that cannot be created.
        type(w, "Q5", demo.data + "/a/b");
        next({BoxAnswer::Yes, BoxAnswer::Ok}, 4);
        EXPECT_EQ(boxTexts(ui).last(), "The path that you input can not be created");
        EXPECT_EQ(location->text(), "");
        EXPECT_FALSE(QDir(demo.data + "/a").exists());
        // The emptied box leaves nothing to go on with.
        EXPECT_FALSE(navEnabled(w, WizardDialog::Next));
        EXPECT_FALSE(navEnabled(w, WizardDialog::Export));
        QTest::keyClicks(location, out);
        EXPECT_TRUE(navEnabled(w, WizardDialog::Next));
        ui.clearRecords();
        // A name no file may have is refused and the last good one comes back.
        type(w, "Q6", out);
        next({}, 5);   // Q6 becomes the last valid name
        clickNav(w, WizardDialog::Back);
        name->setText("../Q7");
        next({BoxAnswer::Ok}, 4);
        EXPECT_EQ(name->text(), "Q6");
        ASSERT_EQ(ui.boxes().size(), 1u);
        EXPECT_EQ(ui.boxes()[0].text, Invalid);
        EXPECT_EQ(ui.boxes()[0].icon, BoxIcon::Critical);
        // The Export rule follows the two boxes.
        EXPECT_TRUE(navEnabled(w, WizardDialog::Export));
        for (const auto& [typed, folder, on] : {std::tuple{"  ", out, false}, std::tuple{"Q6", QString(), false},
                                                std::tuple{"Q6", out, true}}) {
            type(w, typed, folder);
            EXPECT_EQ(navEnabled(w, WizardDialog::Export), on) << typed << folder.toStdString();
        }
        // Choosing a company again resets the name and folder.
        ui.queueAnswer(BoxAnswer::No);   // leave the map unsaved
        for (int i = 0; i < 3; ++i)
            clickNav(w, WizardDialog::Back);
        ASSERT_EQ(w.state().CurrentStep, 1);
        chooseRow(*child<QListWidget>(w, "lstP2Company"), QStringLiteral("Empty Start-up"));
        EXPECT_EQ(name->text(), "OrvoExport");
        EXPECT_EQ(location->text(), demo.data);
    });
    EXPECT_TRUE(ui.allAnswersUsed());
    EXPECT_TRUE(ui.unexpected().isEmpty()) << ui.unexpected().join('|').toStdString();
}

TEST_F(Destination, BrowseAndTheFolderRememberedAcrossRuns)
{
    DemoFolder demo(60);   // the short-word edition: its own names and file
    const QString exports = demo.data + "/exports/";
    QDir().mkpath(exports);
    writeBytes(exports + "taken.csv", "old");
    // Other programs of the host keep their settings in the same file.
    const QString settings = configFile("KIROORVO.INI");
    writeBytes(settings, "[Window]\r\nLeft=10\r\n[Defaults]\r\nPrinter=Office\r\nExportPath=/somewhere/\r\n");
    expwiz::ScriptedUiServices ui;
    runWizard(ui, demo.host, [&](WizardDialog& w) {
        toDestination(w, ui);
        ui.queueFile(exports + "taken.csv");
        ui.queueFile(exports + "taken.csv");
        ui.queueFile(exports + "fresh.txt");
        ui.queueAnswer(BoxAnswer::No);   // do not replace: the dialog opens again
        ui.queueAnswer(BoxAnswer::Yes);
        auto* name = child<QLineEdit>(w, "txtP3Filename");
        auto* location = child<QLineEdit>(w, "txtP3Location");
        EXPECT_EQ(location->text(), "/somewhere/");
        name->setText("OrvExport");
        press(w, "cmdP3Browse");
        EXPECT_EQ(w.state().m_ExportFilename, exports + "taken.csv");
        EXPECT_EQ(name->text(), "taken");
        EXPECT_EQ(location->text(), exports);
        press(w, "cmdP3Browse");
        EXPECT_EQ(name->text(), "fresh");
        // Typing a folder is not remembered.
        location->setText(demo.data);
    });
    ASSERT_EQ(ui.fileDialogs().size(), 3u);
    const auto& first = ui.fileDialogs()[0].request;
    EXPECT_TRUE(ui.fileDialogs()[0].save);
    EXPECT_EQ(first.title, "Export File");
    EXPECT_EQ(first.filter, "Orv Export File (.csv) | *.csv");
    EXPECT_EQ(first.defaultExtension, "csv");
    // After No the dialog opens as before.
    for (int i : {0, 1}) {
        EXPECT_EQ(ui.fileDialogs()[i].request.initialFolder, "/somewhere/");
        EXPECT_EQ(ui.fileDialogs()[i].request.fileName, "OrvExport");
    }
    EXPECT_EQ(ui.boxes().size(), 2u);
    EXPECT_EQ(ui.boxes()[0].buttons, BoxButtons::YesNoCancel);
    EXPECT_EQ(readBytes(exports + "taken.csv"), "old");

    const QString written = QString::fromUtf8(readBytes(settings));
    EXPECT_TRUE(written.contains("ExportPath=" + exports)) << written.toStdString();
    EXPECT_TRUE(written.contains("Left=10"));
    EXPECT_TRUE(written.contains("Printer=Office"));
    EXPECT_FALSE(written.contains("/somewhere/"));

    SCOPED_TRACE("the next run starts in the remembered folder");
    expwiz::ScriptedUiServices next;
    runWizard(next, demo.host, [&](WizardDialog& w) {
        toDestination(w, next);
        EXPECT_EQ(child<QLineEdit>(w, "txtP3Location")->text(), exports);
        EXPECT_EQ(child<QLineEdit>(w, "txtP3Filename")->text(), "OrvExport");
    });
}
