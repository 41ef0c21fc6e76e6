#include "DemoWizard.h"
#include "ModalDriver.h"
#include "QtPrinters.h"
#include "RecordingHost.h"

#include "platform/ScriptedUiServices.h"
#include "wizard/WizardDialog.h"
#include "wizard/WizardStep.h"

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>

using expwiz::BoxButtons;
using expwiz::BoxIcon;
using expwiz::WizardDialog;
using testhost::RecordingHost;
using testhost::whenModalShown;

namespace {

struct NavState {
    QString caption;
    bool back;
    bool next;
    bool exportEnabled;
    QString cancel;
};

NavState navState(WizardDialog& wizard)
{
    return {wizard.windowTitle(), wizard.navButton(WizardDialog::Back)->isEnabled(),
            wizard.navButton(WizardDialog::Next)->isEnabled(), wizard.navButton(WizardDialog::Export)->isEnabled(),
            wizard.navButton(WizardDialog::Cancel)->text()};
}

void click(WizardDialog& wizard, WizardDialog::NavButton button)
{
    QTest::mouseClick(wizard.navButton(button), Qt::LeftButton);
}

} // namespace

TEST(WizardDialog, StartUpAsksTheHostInOrderAndReleasesItAfterwards)
{
    auto host = std::make_shared<RecordingHost>();
    host->appType = 52;
    expwiz::ScriptedUiServices ui;
    WizardDialog wizard(ui);
    QStringList callsWhileShown;
    bool shown = false;
    whenModalShown(wizard, QStringLiteral("frmWizard"), [&](QWidget&) {
        shown = true;
        callsWhileShown = host->calls;
    });
    EXPECT_EQ(wizard.runForm(host), -1000);
    EXPECT_TRUE(shown);
    EXPECT_EQ(callsWhileShown,
              (QStringList{"ApplicationType", "SetSystemDatabaseName(NORVOSYS)", "SetSystemDatabaseKind(DB)",
                           "ApplicationType", "SetApplicationType(52)", "Title", "ProgramPath", "HelpFileName",
                           // The database list: the host's databases, then the one it uses.
                           "Databases", "DatabaseName"}));
    EXPECT_EQ(ui.applicationTitle(), "Orvo Test");
    EXPECT_EQ(wizard.state().HelpFilePath, "/opt/orvo/orvo.hlp");
    EXPECT_TRUE(wizard.state().edition.isGASB);
    EXPECT_TRUE(wizard.state().edition.isNord);
    EXPECT_FALSE(wizard.state().AddinManager || wizard.state().HostApplication || wizard.state().hostApp
                 || wizard.state().Environment);
    EXPECT_EQ(host.use_count(), 1);
    EXPECT_TRUE(ui.boxes().empty());
}

TEST(WizardDialog, NavigationButtonsCaptionsAndHelpAtEveryStep)
{
    testhost::DemoFolder demo;
    std::vector<int32_t> helpContexts;
    demo.host->setHelpHandler([&](int32_t context) { helpContexts.push_back(context); });
    expwiz::ScriptedUiServices ui;
    // Leaving the new map forward and back: not saved either time; Return
    // on the Summary exports.
    ui.queueAnswer(expwiz::BoxAnswer::No);
    ui.queueAnswer(expwiz::BoxAnswer::Ok);
    ui.queueAnswer(expwiz::BoxAnswer::No);
    WizardDialog wizard(ui);
    std::vector<NavState> forward;
    std::vector<NavState> backward;
    QStringList helpCaptions;
    int visibleStepAtStart = -1;
    bool exportedOnReturn = false;
    testhost::runWizard(wizard, demo.host, [&](WizardDialog&) {
        auto* stack = wizard.findChild<QStackedWidget*>();
        visibleStepAtStart = stack->currentIndex();
        helpCaptions << wizard.navButton(WizardDialog::Help)->text();
        // Return on a control of each step presses its natural button.
        const char* const returnOn[] = {"stkSteps", "lstP2Company", "cmbP4Book", "lstP5AvailableField",
                                        "txtP3Filename", "lstP6FieldMap"};
        for (int step = 0; step < 6; ++step) {
            if (step == 3)
                testhost::addFields(wizard, {QStringLiteral("System No")});
            forward.push_back(navState(wizard));
            click(wizard, WizardDialog::Help);
            QTest::keyClick(testhost::child<QWidget>(wizard, returnOn[step]), Qt::Key_Return);
        }
        exportedOnReturn = ui.boxes().size() == 2 && ui.boxes()[1].text == "The Export process is complete.";
        // Next on the last step goes nowhere.
        click(wizard, WizardDialog::Next);
        backward.push_back(navState(wizard));
        for (int step = 5; step > 0; --step) {
            click(wizard, WizardDialog::Back);
            backward.push_back(navState(wizard));
        }
        // F1 is Help, on whichever control has the focus.
        click(wizard, WizardDialog::Next);
        click(wizard, WizardDialog::Next);
        QTest::keyClick(wizard.navButton(WizardDialog::Next), Qt::Key_F1);
        click(wizard, WizardDialog::Cancel);
    });
    EXPECT_EQ(visibleStepAtStart, 0);
    EXPECT_TRUE(exportedOnReturn);
    EXPECT_EQ(helpCaptions, QStringList{"&Help"});
    ASSERT_EQ(forward.size(), 6u);
    const QStringList captions{"Export Helper - Introduction", "Export Helper - Select Assets",
                               "Export Helper - Select Map", "Export Helper - Field Map (New Field Map)",
                               "Export Helper - File Destination", "Export Helper - Summary"};
    for (int step = 0; step < 6; ++step) {
        SCOPED_TRACE(step);
        const NavState& s = forward[static_cast<size_t>(step)];
        EXPECT_EQ(s.caption, captions[step]);
        EXPECT_EQ(s.back, step != 0);
        EXPECT_EQ(s.next, step != 5);
        // Export only once the Summary step has been shown in this run.
        EXPECT_EQ(s.exportEnabled, step == 5);
        EXPECT_EQ(s.cancel, step == 5 ? "&Close" : "&Cancel");
    }
    ASSERT_EQ(backward.size(), 6u);
    EXPECT_EQ(backward[0].caption, "Export Helper - Summary");
    for (size_t i = 1; i < backward.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(backward[i].cancel, "&Cancel");
        // The Summary was reached; Back from the Field Map step empties the
        // unsaved map, and an empty map cannot be exported.
        EXPECT_EQ(backward[i].exportEnabled, i < 3);
        EXPECT_EQ(backward[i].caption, captions[5 - static_cast<int>(i)]);
    }
    EXPECT_FALSE(backward.back().back);
    EXPECT_EQ(helpContexts, (std::vector<int32_t>{30600, 30610, 30620, 30630, 30640, 30650, 30620}));
    EXPECT_TRUE(wizard.state().HelpShown);
    EXPECT_TRUE(ui.allAnswersUsed());
    EXPECT_TRUE(ui.unexpected().isEmpty()) << ui.unexpected().join('|').toStdString();
}

TEST(WizardDialog, ExportJumpsToTheSummaryAndEveryWayOutReturnsTheSameResult)
{
    struct Case {
        const char* name;
        std::function<void(WizardDialog&)> close;
    };
    const std::vector<Case> cases{
        {"cancel on the first step", [](WizardDialog& w) { click(w, WizardDialog::Cancel); }},
        {"window close command", [](WizardDialog& w) { w.close(); }},
        {"escape key", [](WizardDialog& w) { QTest::keyClick(&w, Qt::Key_Escape); }},
        {"summary then close",
         [](WizardDialog& w) {
             for (int i = 0; i < 3; ++i)
                 click(w, WizardDialog::Next);
             testhost::addFields(w, {QStringLiteral("System No")});
             for (int i = 0; i < 2; ++i)
                 click(w, WizardDialog::Next);
             EXPECT_EQ(w.state().CurrentStep, 5);
             EXPECT_EQ(w.windowTitle(), "Export Helper - Summary");
             click(w, WizardDialog::Cancel);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testhost::DemoFolder demo;
        expwiz::ScriptedUiServices ui;
        if (std::string(c.name) == "summary then close")
            ui.queueAnswer(expwiz::BoxAnswer::No);   // leave the new map unsaved
        WizardDialog wizard(ui);
        bool closed = false;
        EXPECT_EQ(testhost::runWizard(wizard, demo.host,
                                      [&](WizardDialog&) {
                                          c.close(wizard);
                                          closed = !wizard.isVisible();
                                      }),
                  -1000);
        EXPECT_TRUE(closed);
        EXPECT_TRUE(ui.allAnswersUsed());
        EXPECT_TRUE(ui.unexpected().isEmpty());
    }
}

TEST(WizardDialog, StartUpFailuresShowOneMessageAndNeverTheWindow)
{
    struct Case {
        const char* name;
        std::function<orvo::ObjectPtr()> manager;
        QString description;
    };
    const std::vector<Case> cases{
        {"failing title", [] {
             auto host = std::make_shared<RecordingHost>();
             host->failOn << "Title";
             host->failDescription = QStringLiteral("Title is unavailable.");
             return orvo::ObjectPtr(host);
         },
         QStringLiteral("Title is unavailable.")},
        {"failing system database", [] {
             auto host = std::make_shared<RecordingHost>();
             host->failOn << "SetSystemDatabaseKind";
             host->failDescription = QStringLiteral("Unknown kind.");
             return orvo::ObjectPtr(host);
         },
         QStringLiteral("Unknown kind.")},
        {"manager without the other interfaces",
         [] { return orvo::ObjectPtr(std::make_shared<testhost::BareAddinManager>()); },
         QStringLiteral("The object does not support the requested interface.")},
        {"no manager at all", [] { return orvo::ObjectPtr(); }, QStringLiteral("Object required")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        expwiz::ScriptedUiServices ui;
        ui.queueAnswer(expwiz::BoxAnswer::Ok);
        WizardDialog wizard(ui);
        bool shown = false;
        whenModalShown(wizard, QStringLiteral("frmWizard"), [&](QWidget&) { shown = true; }, 5);
        EXPECT_EQ(wizard.runForm(c.manager()), -1000);
        EXPECT_FALSE(shown);
        ASSERT_EQ(ui.boxes().size(), 1u);
        const auto& box = ui.boxes().front();
        EXPECT_EQ(box.text, "An error occurred in the New Company wizard.\r\n" + c.description);
        EXPECT_EQ(box.title, "Custom Export");
        EXPECT_EQ(box.icon, BoxIcon::None);
        EXPECT_EQ(box.buttons, BoxButtons::Ok);
        EXPECT_FALSE(wizard.state().AddinManager || wizard.state().HostApplication);
    }
}

TEST(WizardDialog, IntroductionShowsItsPictureAndTexts)
{
    auto host = std::make_shared<RecordingHost>();
    expwiz::ScriptedUiServices ui;
    WizardDialog wizard(ui);
    QSize pictureSize;
    bool introVisible = false;
    bool otherStepsEnabled = true;
    whenModalShown(wizard, QStringLiteral("frmWizard"), [&](QWidget&) {
        auto* picture = wizard.findChild<QLabel*>(QStringLiteral("imgP1Introduction"));
        pictureSize = picture->pixmap().size();
        introVisible = wizard.findChild<QLabel*>(QStringLiteral("lblP1Intro2"))->isVisible();
        for (int i = 1; i < 6; ++i)
            otherStepsEnabled = otherStepsEnabled && wizard.step(i)->isEnabled();
        const QImage image = picture->pixmap().toImage();
        // A drawn picture, not a blank area.
        EXPECT_NE(image.pixel(5, 5), image.pixel(40, 40));
    });
    wizard.runForm(host);
    EXPECT_EQ(pictureSize, QSize(121, 136));
    EXPECT_TRUE(introVisible);
    EXPECT_FALSE(otherStepsEnabled);
    EXPECT_EQ(wizard.step(0)->title(), "Introduction");
    EXPECT_EQ(wizard.step(3)->title(), "Field Map");
}

TEST(WizardDialog, OpensWithRoomForFifteenFieldsPerListAndRemembersItsSize)
{
    testhost::ConfigFolder config;
    testhost::DemoFolder demo;
    QSize opened;
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        expwiz::ScriptedUiServices ui;
        WizardDialog wizard(ui);
        testhost::runWizard(wizard, demo.host, [&](WizardDialog& w) {
            if (run == 1) {
                EXPECT_EQ(w.size(), opened + QSize(40, 30));
                return;
            }
            opened = w.size();
            testhost::nextUntil(w, 3);
            auto* available = testhost::child<QListWidget>(w, "lstP5AvailableField");
            auto* map = testhost::child<QListWidget>(w, "lstP5ExportFieldMap");
            available->selectAll();
            const int widestField = available->sizeHintForColumn(0);
            QTest::mouseClick(testhost::child<QPushButton>(w, "cmdP5Add"), Qt::LeftButton);
            QApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
            EXPECT_LE(widestField, available->viewport()->width());
            EXPECT_LE(map->sizeHintForColumn(0), map->viewport()->width());
            for (QListWidget* list : {available, map})
                EXPECT_GE(list->viewport()->height(), 15 * map->sizeHintForRow(0)) << list->objectName().toStdString();
            w.resize(opened + QSize(40, 30));
            ui.queueAnswer(expwiz::BoxAnswer::No);   // the map is not saved on leaving
        });
    }
    const QByteArray settings = testhost::readBytes(config.file("DESKORVO.INI"));
    EXPECT_TRUE(settings.contains("WindowSize=")) << settings.toStdString();
}
