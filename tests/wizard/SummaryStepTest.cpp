#include "DemoWizard.h"
#include "ProgramRun.h"

#include <QDir>

#include <chrono>
#include <ranges>

using namespace testhost;

namespace {

using Summary = WizardTest;
using WizardExport = WizardTest;

const QString Complete = QStringLiteral("The Export process is complete.");
const QString Idle = QStringLiteral("Help Cancel Back Export");

struct Choices {
    QString database = "Orvo Demo", company = "Harbor Logistics", group = "Sales Department";
    QStringList fields{"System No", "Description", "Acquisition Value"};
    bool header = true, companyLine = true;
};

// Walks to the Summary with the choices and the export file name/folder;
// the new map is left unsaved. The records of the desktop start afresh.
void toSummary(WizardDialog& w, expwiz::ScriptedUiServices& ui, const Choices& c, const QString& folder,
               const QString& name)
{
    toStep(w, 1, c.company, c.database);
    chooseRow(*child<QListWidget>(w, "lstP2Group"), c.group);
    clickNav(w, WizardDialog::Next);
    child<QComboBox>(w, "cmbP4Book")->setCurrentIndex(1);   // Tax
    clickNav(w, WizardDialog::Next);
    addFields(w, c.fields);
    child<QCheckBox>(w, "chkIncColumnHeader")->setChecked(c.header);
    child<QCheckBox>(w, "chkIncCompanyData")->setChecked(c.companyLine);
    ui.queueAnswer(BoxAnswer::No);
    clickNav(w, WizardDialog::Next);
    child<QLineEdit>(w, "txtP3Filename")->setText(name);
    child<QLineEdit>(w, "txtP3Location")->setText(folder);
    ASSERT_EQ(clickNav(w, WizardDialog::Next), 5) << boxTexts(ui).join('|').toStdString();
    ui.clearRecords();
}

// What the command line writes for the choices (and exits with 0).
QByteArray cliExport(const QString& data, const Choices& c, const QString& ids, const QString& output)
{
    QStringList args{"export", "--data", data, "--database", c.database, "--company", c.company, "--group", c.group,
                     "--book", "Tax", "--fields", ids, "--output", output};
    args << (c.header ? "--header" : "") << (c.companyLine ? "--company-line" : "");
    args.removeAll(QString());
    const ProgramRun cli = runCli(args);
    EXPECT_EQ(cli.exitCode, 0) << cli.err.toStdString();
    return cli.file;
}

} // namespace

TEST_F(Summary, ShowsTheChoicesRefusesExportsLackingFolderGroupOrCompanyLocksWhileRunningAndRefills)
{
    DemoFolder demo;
    // A long path wraps instead of widening the window.
    QString deep = demo.data;
    for (int i = 0; i < 8; ++i)
        deep += QStringLiteral("/quarterly-reports-of-the-harbour-office-%1").arg(i);
    ASSERT_TRUE(QDir().mkpath(deep));
    // One group is enough to export.
    demo.sql("orvo-demo.sqlite", "DELETE FROM AssetGroup WHERE companyid = 1 AND name <> 'Sales Department'");
    const Choices choices{.header = false, .companyLine = false};
    PumpingUi ui;
    QString locked;
    std::vector<int32_t> helpAsked;
    demo.host->setHelpHandler([&](int32_t context) { helpAsked.push_back(context); });
    runWizard(ui, demo.host, [&](WizardDialog& w) {
        w.resize(640, 460);
        toSummary(w, ui, choices, deep, QStringLiteral("summary"));
        EXPECT_EQ(shown(w, "lblP6Company lblP6CompanyName lblP6Group fmeP6FieldMap lblP6ExportFile lblP6ExportAsset"),
                  "Company Name:|Harbor Logistics|Sales Department|Field Map [New Field Map]|" + deep
                      + "/summary.csv| 0  of  0 ");
        EXPECT_EQ(texts(*child<QListWidget>(w, "lstP6FieldMap")),
                  (QStringList{"[A] Acquisition Value (Tax)", "[B] Description", "[C] System No"}));
        EXPECT_EQ(enabled(w, "cmdP6Stop"), Idle);
        QApplication::processEvents();
        auto* file = child<QLabel>(w, "lblP6ExportFile");
        EXPECT_EQ(w.width(), 640);
        // Every character is inside the window and the label uses more than one line.
        EXPECT_LE(file->mapTo(&w, QPoint(file->width(), 0)).x(), w.width());
        const int twoLines = 2 * QFontMetrics(file->font()).lineSpacing();
        EXPECT_GE(file->height(), twoLines);
        EXPECT_GE(file->heightForWidth(file->width()), twoLines);
        // Refused or done, the Summary stays shown and usable: nothing was left locked.
        const auto exportTold = [&](const QStringList& boxes) {
            queueAnswers(ui, {BoxAnswer::Ok}, int(boxes.size()));
            clickNav(w, WizardDialog::Export);
            EXPECT_EQ(boxTexts(ui), boxes);
            EXPECT_EQ(QFile::exists(deep + "/summary.csv"), boxes == QStringList{Complete});
            EXPECT_EQ(w.state().CurrentStep, 5);
            EXPECT_EQ(enabled(w, "cmdP6Stop"), Idle);
            ui.clearRecords();
        };
        // The folder is gone by the time Export is pressed.
        QDir(deep).removeRecursively();
        exportTold({"The path doesn't exist."});
        QDir().mkpath(deep);
        // No group: told when shown, the export ends before anything is written.
        const auto group = std::exchange(w.state().hostGroup, nullptr);
        exportTold({"Group is not selected", "No group is selected for the export."});
        w.state().hostGroup = group;
        ui.atPump = [&](int call) {
            // Escape, F1 and the close button do nothing while the export
            // runs, also while its texts are built.
            QTest::keyClick(&w, Qt::Key_Escape);
            QTest::keyClick(&w, Qt::Key_F1);
            // A second click on Export or a click on Back waiting in the
            // queue starts nothing and leaves the Summary shown.
            if (call == 1) {
                clickNav(w, WizardDialog::Export);
                clickNav(w, WizardDialog::Back);
                EXPECT_FALSE(navEnabled(w, WizardDialog::Export));
            }
            w.close();
            EXPECT_TRUE(w.isVisible());
            if (locked.isEmpty() && child<QPushButton>(w, "cmdP6Stop")->isEnabled())
                locked = enabled(w, "cmdP6Stop");
        };
        exportTold({Complete});
        ui.atPump = nullptr;
        EXPECT_EQ(locked, "cmdP6Stop");
        // Rows only of the one group, as the command line writes them.
        const QByteArray written = readBytes(deep + "/summary.csv");
        EXPECT_FALSE(written.isEmpty());
        EXPECT_EQ(written, cliExport(demo.data, choices, "1075,1012,1004", demo.data + "/cli.csv"));
        EXPECT_EQ(shown(w, "lblP6ExportAsset"),
                  QString::number(written.count("\r\n")) + " asset(s) are exported.");
        // Entering again shows the changed map, file and an idle progress.
        clickNav(w, WizardDialog::Back);
        clickNav(w, WizardDialog::Back);
        const auto rows = std::views::iota(0, 25);
        addFields(w, {}, {rows.begin(), rows.end()});
        ui.queueAnswer(BoxAnswer::No);
        clickNav(w, WizardDialog::Next);
        child<QLineEdit>(w, "txtP3Filename")->setText(QStringLiteral("second"));
        ASSERT_EQ(clickNav(w, WizardDialog::Next), 5);
        EXPECT_EQ(child<QListWidget>(w, "lstP6FieldMap")->count(), 28);
        // The folder is the remembered one again (none: the program folder).
        EXPECT_EQ(shown(w, "lblP6ExportFile lblP6ExportAsset"), demo.data + "/second.csv| 0  of  0 ");
        // No company and no group: both told, and the map cannot be listed.
        ui.clearRecords();
        w.state().hostGroup.reset();
        w.state().hostCompany.reset();
        queueAnswers(ui, {BoxAnswer::Ok}, 3);
        w.ShowStep(5, 2);
        EXPECT_EQ(boxTexts(ui), (QStringList{"Company is not selected", "Group is not selected", "company is null"}));
        EXPECT_EQ(child<QListWidget>(w, "lstP6FieldMap")->count(), 0);
        EXPECT_EQ(shown(w, "lblP6ExportFile"), demo.data + "/second.csv");
        EXPECT_EQ(ui.boxes()[0].title, "Custom Export");
    });
    EXPECT_TRUE(helpAsked.empty()) << helpAsked.size();
}

TEST_F(WizardExport, AnOrganizationsFileIsTheCommandLinesWithEachListSpreadOverItsCells)
{
    // Header, company line and the allocation and renamed fields of an organization.
    const Choices choices{
        .database = "Public Sector", .company = "City of Lakeside", .group = "All Orvo Assets",
        .fields = {"System No", "Department", "Description", "Tag No", "Quantity", "Fund"}};
    DemoFolder demo(36);
    expwiz::ScriptedUiServices ui;
    QString progressAfter;
    runWizard(ui, demo.host, [&](WizardDialog& w) {
        toSummary(w, ui, choices, demo.data, QStringLiteral("wizard"));
        EXPECT_EQ(shown(w, "lblP6Company"), "Name of Organization:");
        EXPECT_EQ(texts(*child<QListWidget>(w, "lstP6FieldMap")),
                  (QStringList{"[A] Department", "[B] Description", "[C] Fund", "[D] Quantity",
                               "[E] System No", "[F] Tag No"}));
        ui.queueAnswer(BoxAnswer::Ok);
        clickNav(w, WizardDialog::Export);
        progressAfter = shown(w, "lblP6ExportAsset");
    });
    EXPECT_EQ(boxLines(ui), QStringList{"Custom Export [ Ok] " + Complete});
    const QByteArray written = readBytes(demo.data + "/wizard.csv");
    EXPECT_EQ(written,
              cliExport(demo.data, choices, "1011,1012,1026,1046,1004,1008", demo.data + "/cli.csv"));
    EXPECT_EQ(progressAfter, QString::number(written.count("\r\n") - 2) + " asset(s) are exported.");
    const QByteArray start = "\"" + choices.company.toUtf8() + "\",\"" + choices.group.toUtf8() + "\",\"Tax\"";
    EXPECT_TRUE(written.startsWith(start)) << written.left(80).toStdString();
    // The department and fund lists' 70 cells each stand in for their one field.
    const QList<QByteArray> lines = written.split('\n');
    ASSERT_GT(lines.size(), 2);
    EXPECT_EQ(lines[2].count("\",\"") + 1, 2 * 70 + 4) << lines[2].left(120).toStdString();
}

TEST_F(WizardExport, StopAnsweredNoGoesOnAndYesKeepsTheCompleteRows)
{
    DemoFolder demo;
    const QString path = demo.data + "/stopped.csv";
    PumpingUi ui;
    QString progressAfter, progressAtFirstPump;
    // Values without line breaks, so that file lines are rows.
    const Choices choices{.fields = {"System No", "Acquisition Value"}};
    runWizard(ui, demo.host, [&](WizardDialog& w) {
        toSummary(w, ui, choices, demo.data, QStringLiteral("stopped"));
        // One pump after "Searching...", then one per row: 3 is row 2's, 7 row 6's.
        ui.atPump = [&](int call) {
            if (call == 1)
                progressAtFirstPump = shown(w, "lblP6ExportAsset");
            if (call == 3 || call == 7)
                child<QPushButton>(w, "cmdP6Stop")->click();
        };
        // A clock a whole pace interval on at every reading shows every row.
        auto now = std::chrono::steady_clock::time_point{};
        w.state().exportClock = [&now] { return now += std::chrono::seconds(1); };
        queueAnswers(ui, {BoxAnswer::No, BoxAnswer::Yes});
        clickNav(w, WizardDialog::Export);
        progressAfter = shown(w, "lblP6ExportAsset");
        EXPECT_EQ(enabled(w, "cmdP6Stop"), Idle);
    });
    EXPECT_EQ(progressAtFirstPump, "Searching...");
    EXPECT_EQ(ui.processEventsCalls(), 7);
    const QString asked = "Custom Export [Exclamation YesNo] The export process has been stopped. The <"
                          + path + "> \r\n file contains incomplete information. Are you sure you want "
                          + "to stop the export?";
    EXPECT_EQ(boxLines(ui), QStringList(2, asked));   // the two questions, no completion message
    // The company line, the header and rows 1 to 5, exactly as a full export
    // begins; row 6 was asked about before it was written.
    const QByteArray written = readBytes(path);
    const QList<QByteArray> fullLines = cliExport(demo.data, choices, "1075,1004", demo.data + "/full.csv").split('\n');
    ASSERT_GT(fullLines.size(), 9);
    EXPECT_EQ(written, fullLines.mid(0, 7).join('\n') + '\n');
    EXPECT_EQ(written.count("\r\n"), 7);
    EXPECT_TRUE(progressAfter.startsWith("6  of  ")) << progressAfter.toStdString();
}

TEST_F(WizardExport, TheProgressIsShownAFewTimesASecondNotForEveryRow)
{
    DemoFolder demo(1, 3000);
    const Choices choices{.group = "All Orvo Assets", .fields = {"System No"}};
    expwiz::ScriptedUiServices ui;
    int readings = 0, shown = 0;
    runWizard(ui, demo.host, [&](WizardDialog& w) {
        toSummary(w, ui, choices, demo.data, QStringLiteral("paced"));
        auto* label = child<QLabel>(w, "lblP6ExportAsset");
        QString last = label->text();
        // A millisecond per reading, and the engine reads once a row: a
        // thousand rows are a second. Each text the label took is counted.
        w.state().exportClock = [&] {
            shown += label->text() != std::exchange(last, label->text()) ? 1 : 0;
            return std::chrono::steady_clock::time_point(std::chrono::milliseconds(++readings));
        };
        ui.queueAnswer(BoxAnswer::Ok);
        clickNav(w, WizardDialog::Export);
    });
    const auto rows = int(readBytes(demo.data + "/paced.csv").count("\r\n")) - 2;
    ASSERT_GT(rows, 3000);
    EXPECT_EQ(readings, rows);
    const int seconds = rows / 1000;
    EXPECT_GE(shown, seconds * 10);
    EXPECT_LE(shown, (seconds + 1) * 30);
    EXPECT_LE(ui.processEventsCalls(), shown + 1);
}
