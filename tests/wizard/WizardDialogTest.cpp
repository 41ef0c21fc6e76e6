#include "DemoWizard.h"
#include "RecordingHost.h"

#include "wizard/ResourceStrings.h"
#include "wizard/WizardStep.h"

#include <QCryptographicHash>
#include <QGridLayout>
#include <QStackedWidget>

using namespace testhost;

using WizardDialogTest = WizardTest;

// The caption ("~" for the wizard's name), which of Back, Next and Export are on, Cancel's caption.
static QString navState(WizardDialog& w)
{
    QString on;
    for (auto b : {WizardDialog::Back, WizardDialog::Next, WizardDialog::Export})
        on += navEnabled(w, b) ? "+" : "-";
    return w.windowTitle().replace("Export Helper - ", "~") + " " + on + " "
           + w.navButton(WizardDialog::Cancel)->text();
}

// Each shown layout with its spacing, margins, items (grid cell and span, stretch, alignment)
// and grid stretches; then the window and each named control: whether it widens (W) or heightens
// (H) with the window, a label's wrapping (w) and alignment, a control's minimum width, whether it
// shows whole inside the window, a text box's hint. Pixel positions depend on the machine's fonts;
// none of this does.
static QString layoutListing(QWidget& window)
{
    QApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    const auto name = [](const QObject* o) {
        return o->objectName().isEmpty() ? QString::fromLatin1(o->metaObject()->className()) : o->objectName();
    };
    QString out;
    for (QLayout* l : window.findChildren<QLayout*>()) {
        auto* grid = qobject_cast<QGridLayout*>(l);
        auto* box = qobject_cast<QBoxLayout*>(l);
        const QMargins m = l->contentsMargins();
        if (!l->parentWidget()->isVisible() || l->parentWidget()->objectName().startsWith("qt_"))
            continue;
        out += QStringLiteral("%1 %2/%3 %4,%5,%6,%7:").arg(name(l->parent()))
                   .arg(grid ? grid->horizontalSpacing() : l->spacing()).arg(grid ? grid->verticalSpacing() : 0)
                   .arg(m.left()).arg(m.top()).arg(m.right()).arg(m.bottom());
        for (int i = 0; i < l->count(); ++i) {
            QLayoutItem* item = l->itemAt(i);
            int at[4] = {};
            if (grid)
                grid->getItemPosition(i, &at[0], &at[1], &at[2], &at[3]);
            out += QStringLiteral(" %1@%2,%3+%4,%5*%6/%7")
                       .arg(item->widget() ? name(item->widget()) : item->layout() ? name(item->layout()) : "~")
                       .arg(at[0]).arg(at[1]).arg(at[2]).arg(at[3]).arg(box ? box->stretch(i) : 0)
                       .arg(int(item->alignment()), 0, 16);
        }
        for (int r = 0; grid && r < grid->rowCount(); ++r)
            out += QStringLiteral(" r%1").arg(grid->rowStretch(r));
        for (int c = 0; grid && c < grid->columnCount(); ++c)
            out += QStringLiteral(" c%1").arg(grid->columnStretch(c));
        out += '\n';
    }
    const QList<QWidget*> controls = QList<QWidget*>{&window} + window.findChildren<QWidget*>();
    QList<QSize> before(controls.size());
    std::ranges::transform(controls, before.begin(), [](QWidget* c) { return c->size(); });
    window.resize(window.size() + QSize(160, 120));
    QApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    for (qsizetype i = 0; i < controls.size(); ++i) {
        QWidget* c = controls[i];
        if (!c->isVisible() || c->objectName().isEmpty() || c->objectName().startsWith("qt_"))
            continue;
        const QRect at(c->mapTo(&window, QPoint()), c->size());
        const auto* edit = qobject_cast<QLineEdit*>(c);
        const auto* label = qobject_cast<QLabel*>(c);
        out += QStringLiteral("%1 %2%3%4%5 %6 %7\n").arg(c->objectName())
                   .arg(c->width() > before[i].width() ? "W" : "")
                   .arg(c->height() > before[i].height() ? "H" : "")
                   .arg(label ? (label->wordWrap() ? "w" : "a") + QString::number(label->alignment(), 16) : "")
                   .arg(c != &window && c->minimumWidth() ? QString::number(c->minimumWidth()) : "")
                   .arg(window.rect().contains(at) && !at.isEmpty() ? "inside" : "OUTSIDE")
                   .arg(edit ? edit->placeholderText() : QString());
    }
    window.resize(window.size() - QSize(160, 120));
    QApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    return out;
}

TEST_F(WizardDialogTest, StartUpAsksTheHostInOrderShowsTheIntroductionAndReleasesTheHost)
{
    auto host = std::make_shared<RecordingHost>();
    host->appType = 52;
    expwiz::ScriptedUiServices ui;
    WizardDialog wizard(ui);
    QStringList callsWhileShown;
    EXPECT_EQ(runWizard(wizard, host, [&](WizardDialog& w) {
                  callsWhileShown = host->calls;
                  auto* picture = child<QLabel>(w, "imgP1Introduction");
                  EXPECT_EQ(picture->pixmap().size(), QSize(121, 136));
                  const QImage image = picture->pixmap().toImage();
                  EXPECT_NE(image.pixel(5, 5), image.pixel(40, 40));   // drawn, not blank
                  EXPECT_TRUE(child<QLabel>(w, "lblP1Intro2")->isVisible());
                  for (int i = 1; i < 6; ++i)
                      EXPECT_FALSE(w.step(i)->isEnabled()) << i;
              }), -1000);
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
    EXPECT_EQ(wizard.step(0)->title() + "|" + wizard.step(3)->title(), "Introduction|Field Map");
}

// At every step forward and back: the caption, which buttons are on, Help's context and the
// button Return presses. The window opens with room for fifteen fields in each Field Map list and
// reopens at the size it closed with; in a window of a fixed size, each step and the save dialog
// lay out their named controls as before (the listing is printed when it changes).
TEST_F(WizardDialogTest, EveryStepsCaptionButtonsHelpAndLayoutAndTheSizeTheWindowReopensAt)
{
    DemoFolder demo;
    std::vector<int32_t> helpContexts;
    demo.host->setHelpHandler([&](int32_t context) { helpContexts.push_back(context); });
    expwiz::ScriptedUiServices ui;
    // Leaving the new map forward and back: not saved either time; Return on the Summary exports.
    queueAnswers(ui, {BoxAnswer::No, BoxAnswer::Ok, BoxAnswer::No});
    QString layout;
    const OnShown saveDialog(QStringLiteral("frmSaveMap"), [&layout](QWidget& d) { layout += layoutListing(d); });
    QStringList captions;
    runWizard(ui, demo.host, [&](WizardDialog& w) {
        EXPECT_EQ(w.findChild<QStackedWidget*>()->currentIndex(), 0);
        EXPECT_EQ(w.navButton(WizardDialog::Help)->text(), "&Help");
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
        // Return on a control of each step presses its natural button.
        const char* const returnOn[] = {"stkSteps",      "lstP2Company",  "cmbP4Book", "lstP5AvailableField",
                                        "txtP3Filename", "lstP6FieldMap"};
        for (int step = 0; step < 6; ++step) {
            if (step == 3) {
                addFields(w, {QStringLiteral("System No")});
                press(w, "cmdP5SaveMap");   // the save dialog, closed unanswered
            }
            captions.push_back(navState(w));
            layout += layoutListing(w);
            clickNav(w, WizardDialog::Help);
            QTest::keyClick(child<QWidget>(w, returnOn[step]), Qt::Key_Return);
        }
        EXPECT_EQ(boxTexts(ui).value(1), "The Export process is complete.");
        for (int i = 0; i < 6; ++i) {   // Next goes nowhere on the last step
            clickNav(w, i ? WizardDialog::Back : WizardDialog::Next);
            captions.push_back(navState(w));
        }
        // F1 is Help, on whichever control has the focus.
        nextUntil(w, 2);
        QTest::keyClick(w.navButton(WizardDialog::Next), Qt::Key_F1);
        EXPECT_TRUE(w.state().HelpShown);
        clickNav(w, WizardDialog::Cancel);
    });
    // Export only once the Summary step has been shown in this run; Back from the Field Map step
    // empties the unsaved map, and an empty map cannot be exported.
    EXPECT_EQ(captions, (QStringList{"~Introduction -+- &Cancel", "~Select Assets ++- &Cancel",
                                     "~Select Map ++- &Cancel", "~Field Map (New Field Map) ++- &Cancel",
                                     "~File Destination ++- &Cancel", "~Summary +-+ &Close", // and back
                                     "~Summary +-+ &Close", "~File Destination +++ &Cancel",
                                     "~Field Map (New Field Map) +++ &Cancel", "~Select Map ++- &Cancel",
                                     "~Select Assets ++- &Cancel", "~Introduction -+- &Cancel"}));
    EXPECT_EQ(helpContexts, (std::vector<int32_t>{30600, 30610, 30620, 30630, 30640, 30650, 30620}));
    const QByteArray hash = QCryptographicHash::hash(layout.toUtf8(), QCryptographicHash::Sha1).toHex();
    EXPECT_EQ(QString::fromLatin1(hash), "5d52a59b2fd43951e03eaac4b3f3078a442b444a") << layout.toStdString();
    EXPECT_TRUE(readBytes(configFile("DESKORVO.INI")).contains("WindowSize="));
    expwiz::ScriptedUiServices again;
    runWizard(again, demo.host, [&](WizardDialog& w) { EXPECT_EQ(w.size(), QSize(800, 560)); });
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
            ASSERT_EQ(nextUntil(w, 5), 5);
            clickNav(w, WizardDialog::Cancel);
        }};
    for (size_t i = 0; i < ways.size(); ++i) {
        SCOPED_TRACE(i);
        DemoFolder demo;
        expwiz::ScriptedUiServices ui;
        if (i == 3)
            ui.queueAnswer(BoxAnswer::No);   // leave the new map unsaved
        EXPECT_EQ(runWizard(ui, demo.host, [&](WizardDialog& w) {
                      ways[i](w);
                      EXPECT_FALSE(w.isVisible());
                  }), -1000);
    }
}

TEST_F(WizardDialogTest, StartUpFailuresShowOneMessageAndNeverTheWindow)
{
    const auto failing = [](const char* call, const QString& description) {
        auto host = std::make_shared<RecordingHost>();
        host->failOn << call;
        host->failDescription = description;
        return std::pair<orvo::ObjectPtr, QString>(host, description);
    };
    const std::vector<std::pair<orvo::ObjectPtr, QString>> cases{
        failing("Title", "Title is unavailable."),
        failing("SetSystemDatabaseKind", "Unknown kind."),
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
        EXPECT_EQ(boxLines(ui), QStringList{"Custom Export [ Ok] An error occurred in the New "
                                            "Company wizard.\r\n" + description});
        EXPECT_FALSE(wizard.state().AddinManager || wizard.state().HostApplication);
    }
}

TEST(WizardResourceStrings, NumericTagsGetTheirTextsAndEverythingElseStays)
{
    QDialog window;
    window.setWindowTitle(QStringLiteral("design"));
    window.setProperty("tag", QStringLiteral("205"));
    // A caption by its tag; a tool tip that is a number names a text, too.
    const std::vector<std::tuple<QWidget*, QVariant, QString, QString>> cases{
        {new QPushButton(&window), 104, {}, "&Export|"},
        {new QPushButton(&window), 99999, {}, "design|"},
        {new QPushButton(&window), QStringLiteral("Next"), {}, "design|"},
        {new QGroupBox(&window), QStringLiteral(" 201 "), {}, "Select Assets|"},
        {new QLabel(&window), {}, "202", "design|File Destination"},
        {new QLabel(&window), {}, "Explains x", "design|Explains x"},
        {new QLabel(&window), {}, "77777", "design|77777"},
    };
    const auto text = [](QWidget* c) { return c->inherits("QGroupBox") ? "title" : "text"; };
    for (const auto& [control, tag, tip, expected] : cases) {
        control->setProperty(text(control), QStringLiteral("design"));
        control->setProperty("tag", tag);
        control->setToolTip(tip);
    }
    expwiz::ResourceStrings::apply(window);
    EXPECT_EQ(window.windowTitle(), "Summary");
    for (const auto& [control, tag, tip, expected] : cases)
        EXPECT_EQ(control->property(text(control)).toString() + "|" + control->toolTip(), expected)
            << tip.toStdString();
}
