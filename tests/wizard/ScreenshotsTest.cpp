#include "DemoWizard.h"

#include <QDir>

#include <chrono>

using namespace testhost;

// Pictures of the steps for the documentation. Runs only when
// EXPWIZ_SCREENSHOT_DIR names a folder (e.g. under xvfb-run).
using Screenshots = WizardTest;

TEST_F(Screenshots, EveryStepWithDemoData)
{
    const QString folder = qEnvironmentVariable("EXPWIZ_SCREENSHOT_DIR");
    if (folder.isEmpty())
        GTEST_SKIP() << "EXPWIZ_SCREENSHOT_DIR is not set";
    QDir().mkpath(folder);
    DemoFolder demo(1, 240);
    PumpingUi ui;
    queueAnswers(ui, {BoxAnswer::No, BoxAnswer::Ok});   // the map left unsaved; export complete
    runWizard(ui, demo.host, [&](WizardDialog& w) {
        const auto shoot = [&](const char* name) {
            QApplication::processEvents();
            EXPECT_TRUE(w.grab().save(folder + QLatin1Char('/') + QLatin1String(name)));
        };
        nextUntil(w, 1);
        shoot("wizard-select-assets.png");
        nextUntil(w, 2);
        child<QComboBox>(w, "cmbP4Book")->setCurrentIndex(1);
        shoot("wizard-select-map.png");
        nextUntil(w, 3);
        addFields(w, {"System No", "Description", "Acquisition Date", "Acquisition Value", "Class"});
        child<QListWidget>(w, "lstP5AvailableField")->item(3)->setSelected(true);
        shoot("wizard-field-map.png");
        QTest::keyClicks(child<QLineEdit>(w, "txtP5Filter"), QStringLiteral("date"));
        shoot("wizard-field-map-filter.png");
        child<QLineEdit>(w, "txtP5Filter")->clear();
        clickNav(w, WizardDialog::Next);
        child<QLineEdit>(w, "txtP3Filename")->setText(QStringLiteral("harbor-tax"));
        shoot("wizard-destination.png");
        clickNav(w, WizardDialog::Next);
        // A clock a whole pace interval on at every reading shows every row.
        auto now = std::chrono::steady_clock::time_point{};
        w.state().exportClock = [&now] { return now += std::chrono::seconds(1); };
        ui.atPump = [&](int call) {
            if (call == 101)   // row 100 of 240
                shoot("wizard-summary-exporting.png");
        };
        clickNav(w, WizardDialog::Export);
        shoot("wizard-summary-done.png");
    });
}
