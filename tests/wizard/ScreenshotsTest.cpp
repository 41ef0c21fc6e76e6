#include "DemoWizard.h"

#include <QDir>
#include <QPixmap>

using expwiz::WizardDialog;
using namespace testhost;

// Pictures of the selection and map steps for the documentation. Runs only
// when EXPWIZ_SCREENSHOT_DIR names a folder (e.g. under xvfb-run).
TEST(Screenshots, SelectionAndMapSteps)
{
    const QString folder = qEnvironmentVariable("EXPWIZ_SCREENSHOT_DIR");
    if (folder.isEmpty())
        GTEST_SKIP() << "EXPWIZ_SCREENSHOT_DIR is not set";
    QDir().mkpath(folder);
    DemoFolder demo;
    expwiz::ScriptedUiServices ui;
    ui.queueAnswer(expwiz::BoxAnswer::No);
    WizardDialog wizard(ui);
    runWizard(wizard, demo.host, [&](WizardDialog& w) {
        w.resize(640, 460);
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
    });
}
