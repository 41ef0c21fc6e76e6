#include "DemoWizard.h"
#include "QtPrinters.h"

#include "wizard/WizardState.h"

#include <QDir>
#include <QLineEdit>

using expwiz::BoxAnswer;
using expwiz::BoxButtons;
using expwiz::BoxIcon;
using expwiz::WizardDialog;
using namespace testhost;

namespace {

QString replaceQuestion(const QString& path)
{
    return "The file already exists. Do you want to replace \r\n<" + path + ">?";
}

QString createQuestion(const QString& folder)
{
    return "The path does not exists. Do you want to create the path \r\n<" + folder + ">?";
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

QStringList boxTexts(const expwiz::ScriptedUiServices& ui)
{
    QStringList result;
    for (const auto& box : ui.boxes())
        result << box.text;
    return result;
}

// Keeps the settings files of one test in a folder of its own.
struct ConfigFolder {
    QTemporaryDir dir;
    QByteArray previous = qgetenv("XDG_CONFIG_HOME");
    ConfigFolder() { qputenv("XDG_CONFIG_HOME", dir.path().toLocal8Bit()); }
    ~ConfigFolder() { qputenv("XDG_CONFIG_HOME", previous); }
    QString file(const char* name) const { return dir.path() + "/" + QLatin1String(name); }
};

} // namespace

TEST(Destination, LeavingForwardMakesThePathAndAsksBeforeReplacingOrCreating)
{
    ConfigFolder config;
    DemoFolder demo;
    const QString out = demo.data + "/out/";
    expwiz::ScriptedUiServices ui;
    WizardDialog wizard(ui);
    runWizard(wizard, demo.host, [&](WizardDialog& w) {
        toDestination(w, ui);
        auto* name = child<QLineEdit>(w, "txtP3Filename");
        auto* location = child<QLineEdit>(w, "txtP3Location");
        EXPECT_EQ(name->text(), "OrvoExport");
        EXPECT_EQ(location->text(), demo.data);   // nothing remembered: the program folder
        {
            SCOPED_TRACE("a missing folder: No keeps the step and asks again next time, Yes creates it");
            type(w, "Q1", demo.data + "/out");
            ui.queueAnswer(BoxAnswer::No);
            clickNav(w, WizardDialog::Next);
            EXPECT_EQ(w.state().CurrentStep, 4);
            EXPECT_EQ(w.state().m_ExportFilename, "");
            ui.queueAnswer(BoxAnswer::Yes);
            clickNav(w, WizardDialog::Next);
            EXPECT_EQ(w.state().CurrentStep, 5);
            EXPECT_EQ(w.state().m_ExportFilename, out + "Q1.csv");
            EXPECT_TRUE(QDir(out).exists());
            EXPECT_EQ(boxTexts(ui), (QStringList{createQuestion(out), createQuestion(out)}));
            EXPECT_EQ(ui.boxes()[0].icon, BoxIcon::Exclamation);
            EXPECT_EQ(ui.boxes()[0].buttons, BoxButtons::YesNo);
            EXPECT_EQ(ui.boxes()[0].title, "Custom Export");
            // Back from the Summary checks again; the same path asks nothing.
            clickNav(w, WizardDialog::Back);
            EXPECT_EQ(w.state().CurrentStep, 4);
            EXPECT_EQ(ui.boxes().size(), 2u);
            ui.clearRecords();
        }
        {
            SCOPED_TRACE("an existing file: replace question, the file untouched");
            writeBytes(out + "Q2.csv", "old");
            type(w, "Q2", out);
            ui.queueAnswer(BoxAnswer::No);
            clickNav(w, WizardDialog::Next);
            EXPECT_EQ(w.state().m_ExportFilename, "");
            ui.queueAnswer(BoxAnswer::Yes);
            clickNav(w, WizardDialog::Next);
            EXPECT_EQ(w.state().CurrentStep, 5);
            EXPECT_EQ(boxTexts(ui), (QStringList{replaceQuestion(out + "Q2.csv"), replaceQuestion(out + "Q2.csv")}));
            EXPECT_EQ(readBytes(out + "Q2.csv"), "old");
            // The same name again asks nothing, even though the file exists.
            clickNav(w, WizardDialog::Back);
            clickNav(w, WizardDialog::Next);
            EXPECT_EQ(w.state().CurrentStep, 5);
            EXPECT_EQ(ui.boxes().size(), 2u);
            clickNav(w, WizardDialog::Back);
            ui.clearRecords();
        }
        {
            SCOPED_TRACE("names are used as typed");
            type(w, "Q3.csv", out);
            clickNav(w, WizardDialog::Next);
            EXPECT_EQ(w.state().m_ExportFilename, out + "Q3.csv.csv");
            clickNav(w, WizardDialog::Back);
            type(w, " Q4", demo.data + "/out");
            clickNav(w, WizardDialog::Next);
            EXPECT_EQ(w.state().m_ExportFilename, out + " Q4.csv");
            clickNav(w, WizardDialog::Back);
        }
        {
            SCOPED_TRACE("a file that is the host's database (through a link) is refused, the step stays");
            const QString database = demo.data + "/orvo-demo.sqlite";
            const QByteArray before = readBytes(database);
            ASSERT_TRUE(QFile::link(database, out + "db.csv"));
            type(w, "db", out);
            ui.queueAnswer(BoxAnswer::Ok);
            clickNav(w, WizardDialog::Next);
            EXPECT_EQ(w.state().CurrentStep, 4);
            EXPECT_EQ(w.state().m_ExportFilename, "");
            ASSERT_EQ(ui.boxes().size(), 1u);
            EXPECT_TRUE(ui.boxes()[0].text.contains(database)) << ui.boxes()[0].text.toStdString();
            EXPECT_EQ(readBytes(database), before);
            ui.clearRecords();
        }
        {
            SCOPED_TRACE("a folder that cannot be created");
            type(w, "Q5", demo.data + "/a/b");
            ui.queueAnswer(BoxAnswer::Yes);
            ui.queueAnswer(BoxAnswer::Ok);
            clickNav(w, WizardDialog::Next);
            EXPECT_EQ(w.state().CurrentStep, 4);
            EXPECT_EQ(boxTexts(ui).last(), "The path that you input can not be created");
            EXPECT_EQ(location->text(), "");
            EXPECT_FALSE(QDir(demo.data + "/a").exists());
            // The emptied box leaves nothing to go on with.
            EXPECT_FALSE(w.navButton(WizardDialog::Next)->isEnabled());
            EXPECT_FALSE(w.navButton(WizardDialog::Export)->isEnabled());
            QTest::keyClicks(location, out);
            EXPECT_TRUE(w.navButton(WizardDialog::Next)->isEnabled());
            ui.clearRecords();
        }
        {
            SCOPED_TRACE("a name no file may have is refused and the last good one comes back");
            type(w, "Q6", out);
            name->setFocus();
            clickNav(w, WizardDialog::Next);   // passes, Q6 becomes the last valid name
            clickNav(w, WizardDialog::Back);
            name->setText("../Q7");
            ui.queueAnswer(BoxAnswer::Ok);
            clickNav(w, WizardDialog::Next);
            EXPECT_EQ(w.state().CurrentStep, 4);
            EXPECT_EQ(name->text(), "Q6");
            ASSERT_EQ(ui.boxes().size(), 1u);
            EXPECT_EQ(ui.boxes()[0].text,
                      "Invalid file name. The file name is restricted to alphanumeric characters only.");
            EXPECT_EQ(ui.boxes()[0].icon, BoxIcon::Critical);
        }
        {
            SCOPED_TRACE("the Export rule follows the two boxes");
            EXPECT_TRUE(w.navButton(WizardDialog::Export)->isEnabled());
            name->setText("  ");
            EXPECT_FALSE(w.navButton(WizardDialog::Export)->isEnabled());
            name->setText("Q6");
            location->setText("");
            EXPECT_FALSE(w.navButton(WizardDialog::Export)->isEnabled());
            location->setText(out);
            EXPECT_TRUE(w.navButton(WizardDialog::Export)->isEnabled());
        }
        {
            SCOPED_TRACE("choosing a company again resets the name and folder");
            ui.queueAnswer(BoxAnswer::No);   // leave the map unsaved
            for (int i = 0; i < 3; ++i)
                clickNav(w, WizardDialog::Back);
            ASSERT_EQ(w.state().CurrentStep, 1);
            chooseRow(*child<QListWidget>(w, "lstP2Company"), QStringLiteral("Empty Start-up"));
            EXPECT_EQ(name->text(), "OrvoExport");
            EXPECT_EQ(location->text(), demo.data);
        }
    });
    EXPECT_TRUE(ui.allAnswersUsed());
    EXPECT_TRUE(ui.unexpected().isEmpty()) << ui.unexpected().join('|').toStdString();
}

TEST(Destination, BackBeforeTheSummaryChecksNothing)
{
    ConfigFolder config;
    DemoFolder demo;
    expwiz::ScriptedUiServices ui;
    WizardDialog wizard(ui);
    runWizard(wizard, demo.host, [&](WizardDialog& w) {
        toDestination(w, ui);
        type(w, "Q1", demo.data + "/missing");
        clickNav(w, WizardDialog::Back);
        EXPECT_EQ(w.state().CurrentStep, 3);
    });
    EXPECT_TRUE(ui.boxes().empty());
}

TEST(Destination, BrowseAndTheFolderRememberedAcrossRuns)
{
    ConfigFolder config;
    DemoFolder demo(60);   // the short-word edition: its own names and file
    const QString exports = demo.data + "/exports/";
    QDir().mkpath(exports);
    writeBytes(exports + "taken.csv", "old");
    // Other programs of the host keep their settings in the same file.
    const QString settings = config.file("KIROORVO.INI");
    writeBytes(settings, "[Window]\r\nLeft=10\r\n[Defaults]\r\nPrinter=Office\r\nExportPath=/somewhere/\r\n");
    expwiz::ScriptedUiServices ui;
    {
        WizardDialog wizard(ui);
        runWizard(wizard, demo.host, [&](WizardDialog& w) {
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
            QTest::mouseClick(child<QPushButton>(w, "cmdP3Browse"), Qt::LeftButton);
            EXPECT_EQ(w.state().m_ExportFilename, exports + "taken.csv");
            EXPECT_EQ(name->text(), "taken");
            EXPECT_EQ(location->text(), exports);
            QTest::mouseClick(child<QPushButton>(w, "cmdP3Browse"), Qt::LeftButton);
            EXPECT_EQ(name->text(), "fresh");
            // Typing a folder is not remembered.
            location->setText(demo.data);
        });
    }
    ASSERT_EQ(ui.fileDialogs().size(), 3u);
    const auto& first = ui.fileDialogs()[0].request;
    EXPECT_TRUE(ui.fileDialogs()[0].save);
    EXPECT_EQ(first.title, "Export File");
    EXPECT_EQ(first.filter, "Orv Export File (.csv) | *.csv");
    EXPECT_EQ(first.defaultExtension, "csv");
    EXPECT_EQ(first.initialFolder, "/somewhere/");
    EXPECT_EQ(first.fileName, "OrvExport");
    // After No the dialog opens as before.
    EXPECT_EQ(ui.fileDialogs()[1].request.initialFolder, "/somewhere/");
    EXPECT_EQ(ui.fileDialogs()[1].request.fileName, "OrvExport");
    EXPECT_EQ(ui.boxes().size(), 2u);
    EXPECT_EQ(ui.boxes()[0].buttons, BoxButtons::YesNoCancel);
    EXPECT_EQ(readBytes(exports + "taken.csv"), "old");

    const QString written = QString::fromUtf8(readBytes(settings));
    EXPECT_TRUE(written.contains("ExportPath=" + exports)) << written.toStdString();
    EXPECT_TRUE(written.contains("Left=10"));
    EXPECT_TRUE(written.contains("Printer=Office"));
    EXPECT_FALSE(written.contains("/somewhere/"));

    {
        SCOPED_TRACE("the next run starts in the remembered folder");
        expwiz::ScriptedUiServices ui2;
        WizardDialog wizard(ui2);
        QString shown;
        runWizard(wizard, demo.host, [&](WizardDialog& w) {
            toDestination(w, ui2);
            shown = child<QLineEdit>(w, "txtP3Location")->text();
            EXPECT_EQ(child<QLineEdit>(w, "txtP3Filename")->text(), "OrvExport");
        });
        EXPECT_EQ(shown, exports);
    }
}

TEST(Destination, TypingFollowsTheNextRuleAndAFaultyNameIsRefusedOnLeavingTheBox)
{
    ConfigFolder config;
    DemoFolder demo;
    expwiz::ScriptedUiServices ui;
    WizardDialog wizard(ui);
    runWizard(wizard, demo.host, [&](WizardDialog& w) {
        toDestination(w, ui);
        auto* name = child<QLineEdit>(w, "txtP3Filename");
        auto* location = child<QLineEdit>(w, "txtP3Location");
        QPushButton* next = w.navButton(WizardDialog::Next);
        {
            SCOPED_TRACE("blanks only in either box disable Next");
            name->selectAll();
            QTest::keyClicks(name, "   ");
            EXPECT_FALSE(next->isEnabled());
            QTest::keyClicks(name, "Q");
            EXPECT_TRUE(next->isEnabled());
            location->selectAll();
            QTest::keyClick(location, Qt::Key_Backspace);
            EXPECT_FALSE(next->isEnabled());
            QTest::keyClicks(location, demo.data);
            EXPECT_TRUE(next->isEnabled());
        }
        {
            SCOPED_TRACE("leaving the box with a name no file may have");
            w.activateWindow();
            name->setFocus();
            name->selectAll();
            QTest::keyClicks(name, "a/b");
            ui.queueAnswer(BoxAnswer::Ok);
            location->setFocus();
            ASSERT_EQ(ui.boxes().size(), 1u);
            EXPECT_EQ(ui.boxes()[0].text,
                      "Invalid file name. The file name is restricted to alphanumeric characters only.");
            // The last name that passed: "   Q" never left the box.
            EXPECT_EQ(name->text(), "OrvoExport");
            EXPECT_TRUE(name->hasFocus());
        }
    });
    EXPECT_TRUE(ui.allAnswersUsed());
}

TEST(Destination, BrowseCancelledChangesNothing)
{
    ConfigFolder config;
    DemoFolder demo;
    const QString exports = demo.data + "/exports/";
    QDir().mkpath(exports);
    writeBytes(exports + "taken.csv", "old");
    expwiz::ScriptedUiServices ui;
    WizardDialog wizard(ui);
    runWizard(wizard, demo.host, [&](WizardDialog& w) {
        toDestination(w, ui);
        auto* name = child<QLineEdit>(w, "txtP3Filename");
        auto* location = child<QLineEdit>(w, "txtP3Location");
        {
            SCOPED_TRACE("the dialog cancelled");
            ui.queueFile(std::nullopt);
            QTest::mouseClick(child<QPushButton>(w, "cmdP3Browse"), Qt::LeftButton);
        }
        {
            SCOPED_TRACE("Cancel on the replace question");
            ui.queueFile(exports + "taken.csv");
            ui.queueAnswer(BoxAnswer::Cancel);
            QTest::mouseClick(child<QPushButton>(w, "cmdP3Browse"), Qt::LeftButton);
        }
        EXPECT_EQ(name->text(), "OrvoExport");
        EXPECT_EQ(location->text(), demo.data);
        EXPECT_EQ(w.state().m_ExportFilename, "");
    });
    EXPECT_EQ(ui.fileDialogs().size(), 2u);
    EXPECT_TRUE(ui.allAnswersUsed());
    EXPECT_EQ(readBytes(exports + "taken.csv"), "old");
    // Nothing chosen, nothing remembered.
    EXPECT_FALSE(QFile::exists(config.file("DESKORVO.INI")));
    EXPECT_TRUE(QDir(config.dir.path()).entryList(QDir::Files).isEmpty());
}
