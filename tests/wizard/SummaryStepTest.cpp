#include "DemoWizard.h"
#include "QtPrinters.h"

#include "wizard/WizardState.h"

#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

using expwiz::BoxAnswer;
using expwiz::WizardDialog;
using namespace testhost;

namespace {

QStringList boxTexts(const expwiz::ScriptedUiServices& ui)
{
    QStringList result;
    for (const auto& box : ui.boxes())
        result << box.text;
    return result;
}

// Walks to the Summary of Harbor Logistics' sales with the fields chosen
// by the callback on the Field Map step; the map is left unsaved.
void toSummary(WizardDialog& w, expwiz::ScriptedUiServices& ui, const std::function<void()>& chooseFields,
               const QString& folder)
{
    nextUntil(w, 1);
    chooseRow(*child<QListWidget>(w, "lstP2Company"), QStringLiteral("Harbor Logistics"));
    chooseRow(*child<QListWidget>(w, "lstP2Group"), QStringLiteral("Sales Department"));
    nextUntil(w, 3);
    ASSERT_EQ(w.state().CurrentStep, 3);
    chooseFields();
    ui.queueAnswer(BoxAnswer::No);
    clickNav(w, WizardDialog::Next);
    child<QLineEdit>(w, "txtP3Filename")->setText(QStringLiteral("summary"));
    child<QLineEdit>(w, "txtP3Location")->setText(folder);
    clickNav(w, WizardDialog::Next);
    ASSERT_EQ(w.state().CurrentStep, 5) << boxTexts(ui).join('|').toStdString();
    ui.clearRecords();
}

} // namespace

TEST(Summary, ColumnLettersGoOnPastZAndEveryEntryIsRefilledOnEntry)
{
    DemoFolder demo;
    expwiz::ScriptedUiServices ui;
    WizardDialog wizard(ui);
    runWizard(wizard, demo.host, [&](WizardDialog& w) {
        toSummary(
            w, ui,
            [&] {
                addFields(w, {"System No"});
                auto* available = child<QListWidget>(w, "lstP5AvailableField");
                ASSERT_GE(available->count(), 27);
                available->clearSelection();
                for (int row = 0; row < 27; ++row)
                    available->item(row)->setSelected(true);
                QTest::mouseClick(child<QPushButton>(w, "cmdP5Add"), Qt::LeftButton);
            },
            demo.data);
        const QStringList items = texts(*child<QListWidget>(w, "lstP6FieldMap"));
        ASSERT_EQ(items.size(), 28);
        {
            SCOPED_TRACE("the letters a spreadsheet gives the columns");
            EXPECT_TRUE(items[0].startsWith("[A] ")) << items[0].toStdString();
            EXPECT_TRUE(items[25].startsWith("[Z] ")) << items[25].toStdString();
            EXPECT_TRUE(items[26].startsWith("[AA] ")) << items[26].toStdString();
            EXPECT_TRUE(items[27].startsWith("[AB] ")) << items[27].toStdString();
        }
        {
            SCOPED_TRACE("entering again shows the changed map, file and an idle progress");
            ui.queueAnswer(BoxAnswer::Ok);
            clickNav(w, WizardDialog::Export);
            ASSERT_EQ(boxTexts(ui), QStringList{"The Export process is complete."});
            EXPECT_TRUE(child<QLabel>(w, "lblP6ExportAsset")->text().endsWith(" asset(s) are exported."));
            clickNav(w, WizardDialog::Back);
            clickNav(w, WizardDialog::Back);
            auto* map = child<QListWidget>(w, "lstP5ExportFieldMap");
            ASSERT_NE(map, nullptr);
            map->clearSelection();
            for (int row = 1; row < map->count(); ++row)
                map->item(row)->setSelected(true);
            QTest::mouseClick(child<QPushButton>(w, "cmdP5Remove"), Qt::LeftButton);
            ui.queueAnswer(BoxAnswer::No);
            clickNav(w, WizardDialog::Next);
            child<QLineEdit>(w, "txtP3Filename")->setText(QStringLiteral("second"));
            clickNav(w, WizardDialog::Next);
            ASSERT_EQ(w.state().CurrentStep, 5);
            EXPECT_EQ(texts(*child<QListWidget>(w, "lstP6FieldMap")), QStringList{items[0]});
            EXPECT_EQ(child<QLabel>(w, "lblP6ExportFile")->text(), demo.data + "/second.csv");
            EXPECT_EQ(child<QLabel>(w, "lblP6ExportAsset")->text(), " 0  of  0 ");
        }
    });
}

TEST(Summary, OrganizationEditionListsFieldsUnderItsOwnNames)
{
    DemoFolder demo(36);
    expwiz::ScriptedUiServices ui;
    WizardDialog wizard(ui);
    runWizard(wizard, demo.host, [&](WizardDialog& w) {
        toSummary(
            w, ui, [&] { addFields(w, {"Tag No", "Quantity", "Fund", "System No"}); }, demo.data);
        EXPECT_EQ(child<QLabel>(w, "lblP6Company")->text(), "Name of Organization:");
        EXPECT_EQ(texts(*child<QListWidget>(w, "lstP6FieldMap")),
                  (QStringList{"[A] Fund", "[B] Quantity", "[C] System No", "[D] Tag No"}));
    });
}

TEST(Summary, MissingCompanyOrGroupIsToldAndTheExportRefusedWithTheReason)
{
    DemoFolder demo;
    expwiz::ScriptedUiServices ui;
    WizardDialog wizard(ui);
    runWizard(wizard, demo.host, [&](WizardDialog& w) {
        toSummary(
            w, ui, [&] { addFields(w, {"System No"}); }, demo.data);
        {
            SCOPED_TRACE("no group: told when shown, the export ends before anything is written");
            w.state().hostGroup.reset();
            ui.queueAnswer(BoxAnswer::Ok);   // Group is not selected
            ui.queueAnswer(BoxAnswer::Ok);   // why the export cannot run
            clickNav(w, WizardDialog::Export);
            ASSERT_EQ(ui.boxes().size(), 2u);
            EXPECT_EQ(ui.boxes()[0].text, "Group is not selected");
            EXPECT_EQ(ui.boxes()[0].title, "Custom Export");
            EXPECT_FALSE(ui.boxes()[1].text.isEmpty());
            EXPECT_NE(ui.boxes()[1].text, "The Export process is complete.");
            EXPECT_FALSE(QFile::exists(demo.data + "/summary.csv"));
            // The window stays usable: nothing was locked.
            for (auto b : {WizardDialog::Help, WizardDialog::Back, WizardDialog::Cancel, WizardDialog::Export})
                EXPECT_TRUE(w.navButton(b)->isEnabled());
            EXPECT_FALSE(child<QPushButton>(w, "cmdP6Stop")->isEnabled());
            ui.clearRecords();
        }
        {
            SCOPED_TRACE("no company either: both told, and the map cannot be listed");
            w.state().hostCompany.reset();
            for (int i = 0; i < 3; ++i)
                ui.queueAnswer(BoxAnswer::Ok);
            w.ShowStep(5, 2);
            EXPECT_EQ(boxTexts(ui),
                      (QStringList{"Company is not selected", "Group is not selected", "company is null"}));
            EXPECT_EQ(child<QListWidget>(w, "lstP6FieldMap")->count(), 0);
            EXPECT_EQ(child<QLabel>(w, "lblP6ExportFile")->text(), demo.data + "/summary.csv");
        }
    });
    EXPECT_TRUE(ui.unexpected().isEmpty()) << ui.unexpected().join('|').toStdString();
}

TEST(Summary, ALongExportPathWrapsInsteadOfWideningTheWindow)
{
    DemoFolder demo;
    QString deep = demo.data;
    for (int i = 0; i < 8; ++i)
        deep += QStringLiteral("/quarterly-reports-of-the-harbour-office-%1").arg(i);
    ASSERT_TRUE(QDir().mkpath(deep));
    expwiz::ScriptedUiServices ui;
    WizardDialog wizard(ui);
    runWizard(wizard, demo.host, [&](WizardDialog& w) {
        w.resize(640, 460);
        toSummary(
            w, ui, [&] { addFields(w, {"System No"}); }, deep);
        QApplication::processEvents();
        auto* file = child<QLabel>(w, "lblP6ExportFile");
        EXPECT_EQ(file->text(), deep + "/summary.csv");
        EXPECT_EQ(w.width(), 640);
        // Every character is inside the window and the label uses more than one line.
        EXPECT_LE(file->mapTo(&w, QPoint(file->width(), 0)).x(), w.width());
        const QFontMetrics metrics(file->font());
        EXPECT_GE(file->height(), 2 * metrics.lineSpacing());
        EXPECT_GE(file->heightForWidth(file->width()), 2 * metrics.lineSpacing());
    });
}
