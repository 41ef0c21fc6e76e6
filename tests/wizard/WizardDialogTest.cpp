#include "DemoWizard.h"
#include "RecordingHost.h"

#include "wizard/ResourceStrings.h"
#include "wizard/WizardStep.h"

#include <QCryptographicHash>
#include <QGroupBox>
#include <QStackedWidget>

using expwiz::BoxButtons;
using expwiz::BoxIcon;
using testhost::RecordingHost;
using namespace testhost;

namespace {

using WizardDialogTest = WizardTest;

// The caption, which of Back, Next and Export are on, and Cancel's caption.
QString navState(WizardDialog& w)
{
    QString on;
    for (auto b : {WizardDialog::Back, WizardDialog::Next, WizardDialog::Export})
        on += navEnabled(w, b) ? "+" : "-";
    return w.windowTitle() + " " + on + " " + w.navButton(WizardDialog::Cancel)->text();
}

} // namespace

TEST_F(WizardDialogTest, StartUpAsksTheHostInOrderShowsTheIntroductionAndReleasesTheHost)
{
    auto host = std::make_shared<RecordingHost>();
    host->appType = 52;
    expwiz::ScriptedUiServices ui;
    WizardDialog wizard(ui);
    QStringList callsWhileShown;
    EXPECT_EQ(runWizard(wizard, host,
                        [&](WizardDialog& w) {
                            callsWhileShown = host->calls;
                            auto* picture = child<QLabel>(w, "imgP1Introduction");
                            EXPECT_EQ(picture->pixmap().size(), QSize(121, 136));
                            const QImage image = picture->pixmap().toImage();
                            EXPECT_NE(image.pixel(5, 5), image.pixel(40, 40));   // drawn, not blank
                            EXPECT_TRUE(child<QLabel>(w, "lblP1Intro2")->isVisible());
                            for (int i = 1; i < 6; ++i)
                                EXPECT_FALSE(w.step(i)->isEnabled()) << i;
                        }),
              -1000);
    EXPECT_EQ(callsWhileShown,
              (QStringList{"ApplicationType", "SetSystemDatabaseName(NORVOSYS)", "SetSystemDatabaseKind(DB)",
                           "ApplicationType", "SetApplicationType(52)", "Title", "ProgramPath", "HelpFileName",
                           // The database list: the host's databases, then the one it uses.
                           "Databases", "DatabaseName"}));
    EXPECT_EQ(ui.applicationTitle(), "Orvo Test");
    EXPECT_EQ(wizard.state().HelpFilePath, "/opt/orvo/orvo.hlp");
    EXPECT_TRUE(wizard.state().edition.isGASB && wizard.state().edition.isNord);
    EXPECT_FALSE(wizard.state().AddinManager || wizard.state().HostApplication || wizard.state().hostApp
                 || wizard.state().Environment);
    EXPECT_EQ(host.use_count(), 1);
    EXPECT_TRUE(ui.boxes().empty());
    EXPECT_EQ(wizard.step(0)->title(), "Introduction");
    EXPECT_EQ(wizard.step(3)->title(), "Field Map");
}

TEST_F(WizardDialogTest, NavigationButtonsCaptionsAndHelpAtEveryStep)
{
    DemoFolder demo;
    std::vector<int32_t> helpContexts;
    demo.host->setHelpHandler([&](int32_t context) { helpContexts.push_back(context); });
    expwiz::ScriptedUiServices ui;
    // Leaving the new map forward and back: not saved either time; Return
    // on the Summary exports.
    for (BoxAnswer answer : {BoxAnswer::No, BoxAnswer::Ok, BoxAnswer::No})
        ui.queueAnswer(answer);
    WizardDialog wizard(ui);
    QStringList forward, backward;
    runWizard(wizard, demo.host, [&](WizardDialog& w) {
        EXPECT_EQ(w.findChild<QStackedWidget*>()->currentIndex(), 0);
        EXPECT_EQ(w.navButton(WizardDialog::Help)->text(), "&Help");
        // Return on a control of each step presses its natural button.
        const char* const returnOn[] = {"stkSteps",      "lstP2Company",  "cmbP4Book", "lstP5AvailableField",
                                        "txtP3Filename", "lstP6FieldMap"};
        for (int step = 0; step < 6; ++step) {
            if (step == 3)
                addFields(w, {QStringLiteral("System No")});
            forward.push_back(navState(w));
            clickNav(w, WizardDialog::Help);
            QTest::keyClick(child<QWidget>(w, returnOn[step]), Qt::Key_Return);
        }
        EXPECT_EQ(boxTexts(ui).value(1), "The Export process is complete.");
        clickNav(w, WizardDialog::Next);   // goes nowhere on the last step
        backward.push_back(navState(w));
        for (int step = 5; step > 0; --step) {
            clickNav(w, WizardDialog::Back);
            backward.push_back(navState(w));
        }
        // F1 is Help, on whichever control has the focus.
        clickNav(w, WizardDialog::Next);
        clickNav(w, WizardDialog::Next);
        QTest::keyClick(w.navButton(WizardDialog::Next), Qt::Key_F1);
        clickNav(w, WizardDialog::Cancel);
    });
    // Export only once the Summary step has been shown in this run; Back
    // from the Field Map step empties the unsaved map, and an empty map
    // cannot be exported.
    const QString caption = QStringLiteral("Export Helper - ");
    EXPECT_EQ(forward, (QStringList{caption + "Introduction -+- &Cancel", caption + "Select Assets ++- &Cancel",
                                    caption + "Select Map ++- &Cancel",
                                    caption + "Field Map (New Field Map) ++- &Cancel",
                                    caption + "File Destination ++- &Cancel", caption + "Summary +-+ &Close"}));
    EXPECT_EQ(backward, (QStringList{caption + "Summary +-+ &Close", caption + "File Destination +++ &Cancel",
                                     caption + "Field Map (New Field Map) +++ &Cancel",
                                     caption + "Select Map ++- &Cancel", caption + "Select Assets ++- &Cancel",
                                     caption + "Introduction -+- &Cancel"}));
    EXPECT_EQ(helpContexts, (std::vector<int32_t>{30600, 30610, 30620, 30630, 30640, 30650, 30620}));
    EXPECT_TRUE(wizard.state().HelpShown);
    EXPECT_TRUE(ui.allAnswersUsed());
    EXPECT_TRUE(ui.unexpected().isEmpty()) << ui.unexpected().join('|').toStdString();
}

TEST_F(WizardDialogTest, EveryWayOutReturnsTheSameResult)
{
    // Cancel on the first step, the window's close command, Escape, Close on the Summary.
    const std::vector<std::function<void(WizardDialog&)>> ways{
        [](WizardDialog& w) { clickNav(w, WizardDialog::Cancel); }, [](WizardDialog& w) { w.close(); },
        [](WizardDialog& w) { QTest::keyClick(&w, Qt::Key_Escape); },
        [](WizardDialog& w) {
            toStep(w, 3, QStringLiteral("Harbor Logistics"));
            addFields(w, {QStringLiteral("System No")});
            nextUntil(w, 5);
            ASSERT_EQ(w.state().CurrentStep, 5);
            clickNav(w, WizardDialog::Cancel);
        }};
    for (size_t i = 0; i < ways.size(); ++i) {
        SCOPED_TRACE(i);
        DemoFolder demo;
        expwiz::ScriptedUiServices ui;
        if (i == 3)
            ui.queueAnswer(BoxAnswer::No);   // leave the new map unsaved
        bool closed = false;
        EXPECT_EQ(runWizard(ui, demo.host, [&](WizardDialog& w) {
                      ways[i](w);
                      closed = !w.isVisible();
                  }), -1000);
        EXPECT_TRUE(closed);
        EXPECT_TRUE(ui.allAnswersUsed());
        EXPECT_TRUE(ui.unexpected().isEmpty());
    }
}

TEST_F(WizardDialogTest, StartUpFailuresShowOneMessageAndNeverTheWindow)
{
    const auto failing = [](const char* call, const char* description) {
        auto host = std::make_shared<RecordingHost>();
        host->failOn << call;
        host->failDescription = QString::fromLatin1(description);
        return orvo::ObjectPtr(host);
    };
    const std::vector<std::pair<orvo::ObjectPtr, QString>> cases{
        {failing("Title", "Title is unavailable."), "Title is unavailable."},
        {failing("SetSystemDatabaseKind", "Unknown kind."), "Unknown kind."},
        {std::make_shared<testhost::BareAddinManager>(), "The object does not support the requested interface."},
        {nullptr, "Object required"},
    };
    for (const auto& [manager, description] : cases) {
        SCOPED_TRACE(description.toStdString());
        expwiz::ScriptedUiServices ui;
        ui.queueAnswer(BoxAnswer::Ok);
        WizardDialog wizard(ui);
        const OnShown window(QStringLiteral("frmWizard"), [](QWidget&) {});
        EXPECT_EQ(wizard.runForm(manager), -1000);
        EXPECT_EQ(window.shown, 0);
        ASSERT_EQ(ui.boxes().size(), 1u);
        const auto& box = ui.boxes().front();
        EXPECT_EQ(box.text, "An error occurred in the New Company wizard.\r\n" + description);
        EXPECT_EQ(box.title, "Custom Export");
        EXPECT_EQ(box.icon, BoxIcon::None);
        EXPECT_EQ(box.buttons, BoxButtons::Ok);
        EXPECT_FALSE(wizard.state().AddinManager || wizard.state().HostApplication);
    }
}

TEST(WizardResourceStrings, NumericTagsGetTheirTextsAndEverythingElseStays)
{
    QDialog window;
    window.setWindowTitle(QStringLiteral("design"));
    window.setProperty("tag", QStringLiteral("205"));
    const auto button = [&](const QString& text, const QVariant& tag) {
        auto* b = new QPushButton(text, &window);
        b->setProperty("tag", tag);
        return b;
    };
    auto* known = button(QStringLiteral("design button"), 104);
    auto* unknown = button(QStringLiteral("keeps its caption"), 99999);
    auto* wordTag = button(QStringLiteral("word tag"), QStringLiteral("Next"));
    auto* frame = new QGroupBox(QStringLiteral("design frame"), &window);
    frame->setProperty("tag", QStringLiteral(" 201 "));
    std::vector<QLabel*> tips;
    for (const char* tip : {"202", "Explains x", "77777"}) {
        tips.push_back(new QLabel(QStringLiteral("design label"), &window));
        tips.back()->setToolTip(QString::fromLatin1(tip));
    }

    expwiz::ResourceStrings::apply(window);

    EXPECT_EQ(window.windowTitle(), "Summary");
    EXPECT_EQ(known->text(), "&Export");
    EXPECT_EQ(unknown->text(), "keeps its caption");
    EXPECT_EQ(wordTag->text(), "word tag");
    EXPECT_EQ(frame->title(), "Select Assets");
    EXPECT_EQ(tips[0]->text(), "design label");
    EXPECT_EQ(tips[0]->toolTip(), "File Destination");
    EXPECT_EQ(tips[1]->toolTip(), "Explains x");
    EXPECT_EQ(tips[2]->toolTip(), "77777");
}

// The window opens with room for fifteen fields in each Field Map list and
// reopens at the size it closed with. Which named controls each step and
// the save dialog show, whole inside a window of a fixed size, with the
// hints of the text boxes: a control that drops out of its step or its
// layout shows here (the listing is printed).
TEST_F(WizardDialogTest, OpensRoomyRemembersItsSizeAndEveryStepLaysOutItsControlsAsBefore)
{
    DemoFolder demo;
    expwiz::ScriptedUiServices ui;
    QString layout;
    const auto record = [&layout](QWidget& window) {
        QApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        for (QWidget* c : window.findChildren<QWidget*>()) {
            // Pixel positions depend on the machine's fonts; whether the
            // control is shown whole inside the window does not.
            // A control left out of its layout, or put in another's cell,
            // lies on a named neighbour.
            const auto named = [](const QWidget* w) {
                return w->isVisible() && !w->objectName().isEmpty() && !w->objectName().startsWith("qt_");
            };
            const QRect at(c->mapTo(&window, QPoint()), c->size());
            const auto* edit = qobject_cast<QLineEdit*>(c);
            QStringList under;
            for (const QWidget* n : c->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                if (n != c && named(n) && n->geometry().intersects(c->geometry()))
                    under << n->objectName();
            if (named(c))
                layout += QStringLiteral("%1 %2 %3%4\n").arg(c->objectName())
                              .arg(window.rect().contains(at) && !at.isEmpty() ? "inside" : "OUTSIDE")
                              .arg(edit ? edit->placeholderText() : QString(), under.join(' '));
        }
    };
    const OnShown saveDialog(QStringLiteral("frmSaveMap"), record);
    runWizard(ui, demo.host, [&](WizardDialog& w) {
        nextUntil(w, 3);
        auto* available = child<QListWidget>(w, "lstP5AvailableField");
        auto* map = child<QListWidget>(w, "lstP5ExportFieldMap");
        available->selectAll();
        const int widestField = available->sizeHintForColumn(0);
        press(w, "cmdP5Add");
        QApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        EXPECT_LE(widestField, available->viewport()->width());
        EXPECT_LE(map->sizeHintForColumn(0), map->viewport()->width());
        for (QListWidget* list : {available, map})
            EXPECT_GE(list->viewport()->height(), 15 * map->sizeHintForRow(0)) << list->objectName().toStdString();
        map->selectAll();
        press(w, "cmdP5Remove");
        for (int step = 3; step > 0; --step)
            clickNav(w, WizardDialog::Back);
        w.resize(800, 560);
        for (int step = 0; step < 6; ++step) {
            if (step == 3) {
                addFields(w, {QStringLiteral("System No")});
                press(w, "cmdP5SaveMap");
                ui.queueAnswer(BoxAnswer::No);
            }
            if (step == 4)
                child<QLineEdit>(w, "txtP3Location")->setText(QStringLiteral("/tmp"));
            record(w);
            clickNav(w, WizardDialog::Next);
        }
    });
    const QByteArray hash = QCryptographicHash::hash(layout.toUtf8(), QCryptographicHash::Sha1).toHex();
    EXPECT_EQ(QString::fromLatin1(hash), "c16806edcc7441f576ff19d30987b3ad8989cc78") << layout.toStdString();
    EXPECT_TRUE(readBytes(configFile("DESKORVO.INI")).contains("WindowSize="));
    expwiz::ScriptedUiServices again;
    runWizard(again, demo.host, [&](WizardDialog& w) { EXPECT_EQ(w.size(), QSize(800, 560)); });
}
