#include "DemoWizard.h"
#include "QtPrinters.h"
#include "../refhost/HostBackends.h"

#include "refhost/Sqlite.h"
#include "wizard/WizardState.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>

#include <chrono>
#include <csignal>
#include <sys/resource.h>

using expwiz::BoxAnswer;
using expwiz::BoxButtons;
using expwiz::BoxIcon;
using expwiz::WizardDialog;
using namespace testhost;

namespace {

// The desktop of a user who presses Stop while rows are written: at the
// given event-pump calls the Stop button is clicked.
class StoppingUi : public expwiz::ScriptedUiServices {
public:
    std::vector<int> stopAt;
    std::function<void()> whileExporting;

    void processEvents() override
    {
        ScriptedUiServices::processEvents();
        if (whileExporting)
            whileExporting();
        for (int at : stopAt) {
            if (processEventsCalls() == at && stop)
                stop->click();
        }
    }
    QPushButton* stop = nullptr;
};

struct Choices {
    QString company = QStringLiteral("Harbor Logistics");
    QString group = QStringLiteral("Sales Department");
    int book = 1;   // Tax
    QStringList fields{QStringLiteral("System No"), QStringLiteral("Description"),
                       QStringLiteral("Acquisition Value")};
    bool header = true;
    bool company_line = true;
};

// Walks to the Summary with the choices and the export file name/folder.
void toSummary(WizardDialog& w, expwiz::ScriptedUiServices& ui, const Choices& c, const QString& folder,
               const QString& name, bool replaceExisting = false)
{
    nextUntil(w, 1);
    chooseRow(*child<QListWidget>(w, "lstP2Company"), c.company);
    chooseRow(*child<QListWidget>(w, "lstP2Group"), c.group);
    clickNav(w, WizardDialog::Next);
    child<QComboBox>(w, "cmbP4Book")->setCurrentIndex(c.book);
    clickNav(w, WizardDialog::Next);
    addFields(w, c.fields);
    child<QCheckBox>(w, "chkIncColumnHeader")->setChecked(c.header);
    child<QCheckBox>(w, "chkIncCompanyData")->setChecked(c.company_line);
    ui.queueAnswer(BoxAnswer::No);   // leave the new map unsaved
    clickNav(w, WizardDialog::Next);
    child<QLineEdit>(w, "txtP3Filename")->setText(name);
    child<QLineEdit>(w, "txtP3Location")->setText(folder);
    if (replaceExisting)
        ui.queueAnswer(BoxAnswer::Yes);
    clickNav(w, WizardDialog::Next);
    ASSERT_EQ(w.state().CurrentStep, 5);
    ui.clearRecords();
}

QByteArray cliExport(const DemoFolder& demo, const Choices& c, const QString& ids, const QString& output)
{
    QStringList args{"export", "--data", demo.data, "--database", "Orvo Demo", "--company", c.company,
                     "--group", c.group, "--book", c.book == 1 ? "Tax" : "Internal", "--fields", ids,
                     "--output", output};
    if (c.header)
        args << "--header";
    if (c.company_line)
        args << "--company-line";
    QProcess cli;
    cli.start(QStringLiteral(EXPWIZ_BUILD_DIR "/bin/expwiz"), args);
    cli.waitForFinished(60000);
    EXPECT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
    return readBytes(output);
}

int lineCount(const QByteArray& bytes)
{
    return static_cast<int>(bytes.count("\r\n"));
}

} // namespace

TEST(Summary, ShowsTheChoicesAndTheColumnsEachFieldLandsIn)
{
    DemoFolder demo;
    expwiz::ScriptedUiServices ui;
    WizardDialog wizard(ui);
    runWizard(wizard, demo.host, [&](WizardDialog& w) {
        toSummary(w, ui, Choices{}, demo.data, QStringLiteral("summary"));
        EXPECT_EQ(child<QLabel>(w, "lblP6Company")->text(), "Company Name:");
        EXPECT_EQ(child<QLabel>(w, "lblP6CompanyName")->text(), "Harbor Logistics");
        EXPECT_EQ(child<QLabel>(w, "lblP6Group")->text(), "Sales Department");
        EXPECT_EQ(child<QLabel>(w, "lblP6ExportFile")->text(), demo.data + "/summary.csv");
        EXPECT_EQ(texts(*child<QListWidget>(w, "lstP6FieldMap")),
                  (QStringList{"[A] Acquisition Value (Tax)", "[B] Description", "[C] System No"}));
        EXPECT_EQ(child<QGroupBox>(w, "fmeP6FieldMap")->title(), "Field Map [New Field Map]");
        EXPECT_EQ(child<QLabel>(w, "lblP6ExportAsset")->text(), " 0  of  0 ");
        EXPECT_FALSE(child<QPushButton>(w, "cmdP6Stop")->isEnabled());
        EXPECT_TRUE(w.navButton(WizardDialog::Export)->isEnabled());
    });
    EXPECT_TRUE(ui.boxes().empty());
    {
        SCOPED_TRACE("organization edition");
        DemoFolder org(36);
        expwiz::ScriptedUiServices ui2;
        WizardDialog wizard2(ui2);
        runWizard(wizard2, org.host, [&](WizardDialog& w) {
            EXPECT_EQ(child<QLabel>(w, "lblP6Company")->text(), "Name of Organization:");
        });
    }
}

TEST(WizardExport, WritesWhatTheCommandLineWritesForTheSameChoices)
{
    DemoFolder demo;
    const QString out = demo.data + "/out";
    QDir().mkpath(out);
    struct Case {
        const char* name;
        Choices choices;
    };
    Choices plain;
    plain.header = false;
    plain.company_line = false;
    plain.group = QStringLiteral("All Orvo Assets");
    for (const Case& c : {Case{"header and company lines", Choices{}}, Case{"rows only", plain}}) {
        SCOPED_TRACE(c.name);
        QFile::remove(out + "/wizard.csv");
        StoppingUi ui;
        WizardDialog wizard(ui);
        QStringList lockedButtons;
        bool closedWhileExporting = false;
        QString progressAfter;
        std::vector<int32_t> helpAsked;
        bool searchingLocked = false;
        demo.host->setHelpHandler([&](int32_t context) { helpAsked.push_back(context); });
        runWizard(wizard, demo.host, [&](WizardDialog& w) {
            toSummary(w, ui, c.choices, out, QStringLiteral("wizard"));
            ui.whileExporting = [&] {
                // Escape, F1 and the close button do nothing while the export
                // runs, also while its texts are built.
                QTest::keyClick(&w, Qt::Key_Escape);
                QTest::keyClick(&w, Qt::Key_F1);
                // A second click on Export or a click on Back waiting in the
                // queue starts nothing and leaves the Summary shown.
                if (ui.processEventsCalls() == 1) {
                    clickNav(w, WizardDialog::Export);
                    clickNav(w, WizardDialog::Back);
                    searchingLocked = !w.navButton(WizardDialog::Export)->isEnabled();
                }
                w.close();
                closedWhileExporting = closedWhileExporting || !w.isVisible();
                if (!lockedButtons.isEmpty() || !child<QPushButton>(w, "cmdP6Stop")->isEnabled())
                    return;
                for (auto b : {WizardDialog::Help, WizardDialog::Back, WizardDialog::Cancel, WizardDialog::Export,
                               WizardDialog::Next})
                    lockedButtons << (w.navButton(b)->isEnabled() ? "on" : "off");
                lockedButtons << (child<QPushButton>(w, "cmdP6Stop")->isEnabled() ? "stop on" : "stop off");
            };
            ui.queueAnswer(BoxAnswer::Ok);
            clickNav(w, WizardDialog::Export);
            ui.whileExporting = nullptr;
            progressAfter = child<QLabel>(w, "lblP6ExportAsset")->text();
            EXPECT_EQ(w.state().CurrentStep, 5);
            for (auto b : {WizardDialog::Help, WizardDialog::Back, WizardDialog::Cancel, WizardDialog::Export})
                EXPECT_TRUE(w.navButton(b)->isEnabled());
            EXPECT_FALSE(child<QPushButton>(w, "cmdP6Stop")->isEnabled());
        });
        EXPECT_EQ(lockedButtons, (QStringList{"off", "off", "off", "off", "off", "stop on"}));
        EXPECT_FALSE(closedWhileExporting);
        EXPECT_TRUE(helpAsked.empty()) << helpAsked.size();
        EXPECT_TRUE(searchingLocked);
        ASSERT_EQ(ui.boxes().size(), 1u);
        EXPECT_EQ(ui.boxes()[0].text, "The Export process is complete.");
        EXPECT_EQ(ui.boxes()[0].title, "Custom Export");

        const QByteArray written = readBytes(out + "/wizard.csv");
        const QByteArray expected = cliExport(demo, c.choices, "1075,1012,1004", out + "/cli.csv");
        EXPECT_FALSE(written.isEmpty());
        EXPECT_EQ(written, expected);
        const int extra = (c.choices.header ? 1 : 0) + (c.choices.company_line ? 1 : 0);
        EXPECT_EQ(progressAfter, QString::number(lineCount(written) - extra) + " asset(s) are exported.");
        if (c.choices.company_line) {
            EXPECT_TRUE(written.startsWith("\"Harbor Logistics\",\"Sales Department\",\"Tax\""))
                << written.left(80).toStdString();
        }
    }
}

TEST(WizardExport, AllocationFieldsOfAnOrganizationAsTheCommandLineWritesThem)
{
    DemoFolder demo(36);
    Choices c;
    c.company = QStringLiteral("City of Lakeside");
    c.group = QStringLiteral("All Orvo Assets");
    c.fields = QStringList{QStringLiteral("System No"), QStringLiteral("Department"), QStringLiteral("Description")};
    expwiz::ScriptedUiServices ui;
    WizardDialog wizard(ui);
    runWizard(wizard, demo.host, [&](WizardDialog& w) {
        nextUntil(w, 1);
        chooseEntry(*child<QComboBox>(w, "cmbP2Database"), QStringLiteral("Public Sector"));
        toSummary(w, ui, c, demo.data, QStringLiteral("allocations"));
        ui.queueAnswer(BoxAnswer::Ok);
        clickNav(w, WizardDialog::Export);
    });
    ASSERT_EQ(ui.boxes().size(), 1u);
    EXPECT_EQ(ui.boxes()[0].text, "The Export process is complete.");
    const QByteArray written = readBytes(demo.data + "/allocations.csv");
    QProcess cli;
    cli.start(QStringLiteral(EXPWIZ_BUILD_DIR "/bin/expwiz"),
              {"export", "--data", demo.data, "--database", "Public Sector", "--company", c.company, "--group",
               c.group, "--book", "Tax", "--fields", "1011,1012,1004", "--header", "--company-line", "--output",
               demo.data + "/cli.csv"});
    ASSERT_TRUE(cli.waitForFinished(60000));
    ASSERT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
    EXPECT_EQ(written, readBytes(demo.data + "/cli.csv"));
    // The department list's 70 cells stand in for the one field.
    const QList<QByteArray> lines = written.split('\n');
    ASSERT_GT(lines.size(), 2);
    EXPECT_EQ(lines[2].count("\",\"") + 1, 1 + 70 + 1) << lines[2].left(120).toStdString();
}

TEST(WizardExport, OnAServerHostWritesWhatTheCommandLineWritesFromSqlite)
{
    EXPWIZ_REQUIRE_BACKEND(Backend::Postgres);
    DemoHost server(Backend::Postgres, {24, 1});
    DemoFolder sqlite;   // the same content in files
    auto host = orvo::refhost::ReferenceHost::open(server.path);
    const Choices c;
    expwiz::ScriptedUiServices ui;
    WizardDialog wizard(ui);
    runWizard(wizard, host, [&](WizardDialog& w) {
        toSummary(w, ui, c, server.path, QStringLiteral("server"));
        ui.queueAnswer(BoxAnswer::Ok);
        clickNav(w, WizardDialog::Export);
    });
    ASSERT_EQ(ui.boxes().size(), 1u);
    EXPECT_EQ(ui.boxes()[0].text, "The Export process is complete.");
    EXPECT_EQ(readBytes(server.path + "/server.csv"), cliExport(sqlite, c, "1075,1012,1004", sqlite.data + "/cli.csv"));
}

TEST(WizardExport, StopAnsweredNoGoesOnAndYesKeepsTheCompleteRows)
{
    DemoFolder demo;
    const QString path = demo.data + "/stopped.csv";
    StoppingUi ui;
    WizardDialog wizard(ui);
    QString progressAfter;
    QString progressAtFirstPump;
    // Values without line breaks, so that file lines are rows.
    Choices choices;
    choices.fields = QStringList{QStringLiteral("System No"), QStringLiteral("Acquisition Value")};
    runWizard(wizard, demo.host, [&](WizardDialog& w) {
        toSummary(w, ui, choices, demo.data, QStringLiteral("stopped"));
        ui.stop = child<QPushButton>(w, "cmdP6Stop");
        ui.whileExporting = [&] {
            if (ui.processEventsCalls() == 1)
                progressAtFirstPump = child<QLabel>(w, "lblP6ExportAsset")->text();
        };
        // A clock a whole pace interval on at every reading shows every row.
        auto now = std::chrono::steady_clock::time_point{};
        w.state().exportClock = [&now] { return now += std::chrono::seconds(1); };
        // One pump after "Searching...", then one per row: 3 is row 2's,
        // 7 row 6's.
        ui.stopAt = {3, 7};
        ui.queueAnswer(BoxAnswer::No);
        ui.queueAnswer(BoxAnswer::Yes);
        clickNav(w, WizardDialog::Export);
        progressAfter = child<QLabel>(w, "lblP6ExportAsset")->text();
        EXPECT_FALSE(child<QPushButton>(w, "cmdP6Stop")->isEnabled());
        EXPECT_TRUE(w.navButton(WizardDialog::Export)->isEnabled());
    });
    EXPECT_EQ(progressAtFirstPump, "Searching...");
    EXPECT_EQ(ui.processEventsCalls(), 7);
    ASSERT_EQ(ui.boxes().size(), 2u);   // the two questions, no completion message
    for (const auto& box : ui.boxes()) {
        EXPECT_EQ(box.text, "The export process has been stopped. The <" + path
                                + "> \r\n file contains incomplete information. Are you sure you want to stop the export?");
        EXPECT_EQ(box.icon, BoxIcon::Exclamation);
        EXPECT_EQ(box.buttons, BoxButtons::YesNo);
        EXPECT_EQ(box.title, "Custom Export");
    }
    // The company line, the header and rows 1 to 5, exactly as a full export
    // begins; row 6 was asked about before it was written.
    const QByteArray written = readBytes(path);
    const QByteArray full = cliExport(demo, choices, "1075,1004", demo.data + "/full.csv");
    const QList<QByteArray> fullLines = full.split('\n');
    ASSERT_GT(fullLines.size(), 9);
    EXPECT_EQ(written, fullLines.mid(0, 7).join('\n') + '\n');
    EXPECT_EQ(lineCount(written), 7);
    EXPECT_TRUE(progressAfter.startsWith("6  of  ")) << progressAfter.toStdString();
}

TEST(WizardExport, TheProgressIsShownAFewTimesASecondNotForEveryRow)
{
    DemoFolder demo(1, 3000);
    Choices choices;
    choices.group = QStringLiteral("All Orvo Assets");
    choices.fields = QStringList{QStringLiteral("System No")};
    expwiz::ScriptedUiServices ui;
    WizardDialog wizard(ui);
    int readings = 0;
    int shown = 0;
    runWizard(wizard, demo.host, [&](WizardDialog& w) {
        toSummary(w, ui, choices, demo.data, QStringLiteral("paced"));
        auto* label = child<QLabel>(w, "lblP6ExportAsset");
        QString last = label->text();
        // A millisecond per reading, and the engine reads once a row: a
        // thousand rows are a second. Each text the label took is counted.
        w.state().exportClock = [&] {
            if (label->text() != last) {
                ++shown;
                last = label->text();
            }
            return std::chrono::steady_clock::time_point(std::chrono::milliseconds(++readings));
        };
        ui.queueAnswer(BoxAnswer::Ok);
        clickNav(w, WizardDialog::Export);
    });
    const int rows = lineCount(readBytes(demo.data + "/paced.csv")) - 2;
    ASSERT_GT(rows, 3000);
    EXPECT_EQ(readings, rows);
    const int seconds = rows / 1000;
    EXPECT_GE(shown, seconds * 10);
    EXPECT_LE(shown, (seconds + 1) * 30);
    EXPECT_LE(ui.processEventsCalls(), shown + 1);
}

TEST(WizardExport, AFailedExportSaysWhyAndLeavesTheOldFileAsItWas)
{
    DemoFolder demo;
    const QString out = demo.data + "/out";
    QDir().mkpath(out);
    {
        SCOPED_TRACE("the folder is gone by the time Export is pressed");
        expwiz::ScriptedUiServices ui;
        WizardDialog wizard(ui);
        runWizard(wizard, demo.host, [&](WizardDialog& w) {
            toSummary(w, ui, Choices{}, out, QStringLiteral("gone"));
            QDir(out).removeRecursively();
            ui.queueAnswer(BoxAnswer::Ok);
            clickNav(w, WizardDialog::Export);
            EXPECT_TRUE(w.navButton(WizardDialog::Export)->isEnabled());
        });
        ASSERT_EQ(ui.boxes().size(), 1u);
        EXPECT_EQ(ui.boxes()[0].text, "The path doesn't exist.");
        EXPECT_FALSE(QFile::exists(out + "/gone.csv"));
    }
    {
        SCOPED_TRACE("the disk refuses the rows");
        QDir().mkpath(out);
        const QString path = out + "/full.csv";
        writeBytes(path, "the previous export\r\n");
        expwiz::ScriptedUiServices ui;
        WizardDialog wizard(ui);
        runWizard(wizard, demo.host, [&](WizardDialog& w) {
            Choices c;
            c.group = QStringLiteral("All Orvo Assets");
            toSummary(w, ui, c, out, QStringLiteral("full"), true);
            // A file size limit makes every write past 600 bytes fail.
            const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
            rlimit previous{};
            getrlimit(RLIMIT_FSIZE, &previous);
            rlimit small = previous;
            small.rlim_cur = 600;
            setrlimit(RLIMIT_FSIZE, &small);
            ui.queueAnswer(BoxAnswer::Ok);
            clickNav(w, WizardDialog::Export);
            setrlimit(RLIMIT_FSIZE, &previous);
            std::signal(SIGXFSZ, previousHandler);
        });
        ASSERT_FALSE(ui.boxes().empty());
        const QString message = ui.boxes().back().text;
        EXPECT_TRUE(message.contains(path)) << message.toStdString();
        EXPECT_TRUE(message.contains("not complete")) << message.toStdString();
        EXPECT_NE(message, "The Export process is complete.");
        EXPECT_EQ(readBytes(path), "the previous export\r\n");
        EXPECT_EQ(QDir(out).entryList(QDir::Files), QStringList{"full.csv"});   // no temporary left
    }
}

namespace {

// The desktop while another user of the host deletes assets between the
// count and the reading of the rows: the busy pointer ends with the count.
class DeletingUi : public expwiz::ScriptedUiServices {
public:
    std::function<void()> afterCount;

private:
    void beginBusy() override {}
    void endBusy() override
    {
        if (afterCount)
            afterCount();
    }
};

} // namespace

TEST(WizardExport, TheCompletionTextCountsTheRowsActuallyWritten)
{
    DemoFolder demo;
    const QString path = demo.data + "/counted.csv";
    DeletingUi ui;
    WizardDialog wizard(ui);
    Choices choices;
    choices.fields = QStringList{QStringLiteral("System No")};
    choices.header = false;
    choices.company_line = false;
    QStringList progress;
    runWizard(wizard, demo.host, [&](WizardDialog& w) {
        toSummary(w, ui, choices, demo.data, QStringLiteral("counted"));
        ui.afterCount = [&] {
            orvo::refhost::SqliteDb db(demo.data + "/orvo-demo.sqlite", false);
            db.exec("DELETE FROM Asset WHERE companyid = 1 AND ASSETID IN "
                    "(SELECT ASSETID FROM Asset WHERE companyid = 1 AND DEPARTMENT = 'Sales' "
                    "ORDER BY ASSETID LIMIT 2)");
        };
        ui.queueAnswer(BoxAnswer::Ok);
        clickNav(w, WizardDialog::Export);
        progress << child<QLabel>(w, "lblP6ExportAsset")->text();
        {
            SCOPED_TRACE("Export again: the same rows counted and written, the file replaced");
            ui.afterCount = nullptr;
            ui.queueAnswer(BoxAnswer::Ok);
            clickNav(w, WizardDialog::Export);
            progress << child<QLabel>(w, "lblP6ExportAsset")->text();
        }
    });
    ASSERT_EQ(ui.boxes().size(), 2u);
    EXPECT_EQ(ui.boxes()[0].text, "The Export process is complete.");
    EXPECT_EQ(ui.boxes()[1].text, "The Export process is complete.");
    const int rows = lineCount(readBytes(path));
    ASSERT_GT(rows, 0);
    ASSERT_EQ(progress.size(), 2);
    EXPECT_EQ(progress[0], QStringLiteral("%1 asset(s) are exported (%2 were counted before the export).")
                               .arg(rows)
                               .arg(rows + 2));
    EXPECT_EQ(progress[1], QString::number(rows) + " asset(s) are exported.");
}
