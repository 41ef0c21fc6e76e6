#include "wizard/WizardDialog.h"

#include "catalog/StringTable.h"
#include "destination/SettingsFile.h"
#include "platform/UiServices.h"
#include "wizard/DestinationStep.h"
#include "wizard/FieldMapStep.h"
#include "wizard/IntroductionStep.h"
#include "wizard/ResourceStrings.h"
#include "wizard/SelectAssetsStep.h"
#include "wizard/SelectMapStep.h"
#include "wizard/SummaryStep.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace expwiz {

namespace {

const QString CrLf = QStringLiteral("\r\n");

// Captions before the string table is applied; the table has the same texts.
constexpr std::array<const char*, 5> NavDesignCaptions{"&Help", "&Cancel", "< &Back", "&Next >", "&Export"};

} // namespace

WizardDialog::WizardDialog(UiServices& ui, QWidget* parent) : QDialog(parent), ui_(ui)
{
    setObjectName(QStringLiteral("frmWizard"));
    setWindowTitle(QStringLiteral("Export Helper"));
    setModal(true);

    stack_ = new QStackedWidget(this);
    stack_->setObjectName(QStringLiteral("stkSteps"));
    steps_ = {new IntroductionStep(state_, ui_, stack_), new SelectAssetsStep(state_, ui_, stack_),
              new SelectMapStep(state_, ui_, stack_), new FieldMapStep(state_, ui_, stack_),
              new DestinationStep(state_, ui_, stack_), new SummaryStep(state_, ui_, stack_)};
    summary_ = static_cast<SummaryStep*>(steps_[5]);
    for (WizardStep* page : steps_) {
        stack_->addWidget(page);
        page->setEnabled(false);
        connect(page, &WizardStep::nextEnabledRequested, this, [this](bool enabled) {
            nav_[Next]->setEnabled(enabled);
        });
        connect(page, &WizardStep::exportInputsChanged, this, &WizardDialog::UpdateExportButton);
    }

    wireSteps();

    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("picNav"));
    auto* barLayout = new QHBoxLayout(bar);
    barLayout->setContentsMargins(0, 0, 0, 0);
    for (int i = 0; i < 5; ++i) {
        auto* button = new QPushButton(QString::fromLatin1(NavDesignCaptions[static_cast<size_t>(i)]), bar);
        button->setObjectName(QStringLiteral("cmdNav%1").arg(i));
        button->setProperty("tag", 100 + i);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, i] { cmdNav_Click(i); });
        nav_[static_cast<size_t>(i)] = button;
        barLayout->addWidget(button);
        if (i == Help)
            barLayout->addStretch(1);
    }

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(stack_, 1);
    layout->addWidget(bar);
    // Room for fifteen fields in each Field Map list, the longest label
    // without a horizontal scroll bar, in the desktop's own font.
    const QFontMetrics metrics(font());
    resize(metrics.averageCharWidth() * 125, metrics.lineSpacing() * 40);
}

WizardDialog::~WizardDialog() = default;

void WizardDialog::setPrinterSource(PrinterSource& printers)
{
    static_cast<FieldMapStep*>(steps_[3])->setPrinterSource(printers);
}

void WizardDialog::wireSteps()
{
    auto* assets = static_cast<SelectAssetsStep*>(steps_[1]);
    auto* selectMap = static_cast<SelectMapStep*>(steps_[2]);
    auto* fieldMap = static_cast<FieldMapStep*>(steps_[3]);
    // Every step resets what depends on the company, in step order.
    connect(assets, &SelectAssetsStep::companySelected, this, [this] {
        for (WizardStep* page : steps_)
            page->companyChosen();
    });
    connect(selectMap, &SelectMapStep::fieldMapChosen, fieldMap, &FieldMapStep::enterFieldMapStep);
    connect(selectMap, &SelectMapStep::newMapChosen, fieldMap, &FieldMapStep::clearMap);
    connect(fieldMap, &FieldMapStep::mapSaved, this, [this, selectMap](const QString& path) {
        UpdateWindowCaption(state_.CurrentStep);
        selectMap->useSavedMapFile(path);
    });
    connect(fieldMap, &FieldMapStep::savedMapReloadRequested, selectMap, &SelectMapStep::savedMapSelected);
    connect(summary_, &SummaryStep::navigationLocked, this, [this](bool locked) {
        for (NavButton button : {Help, Back, Cancel, Export})
            nav_[button]->setEnabled(!locked);
    });
}

void WizardDialog::reject()
{
    // The window stays while an export writes its file; Stop ends it.
    if (summary_->isExporting())
        return;
    QDialog::reject();
}

int32_t WizardDialog::runForm(orvo::ObjectPtr addinManager)
{
    state_.RunResult = ResultAlways;
    try {
        if (!addinManager)
            throw orvo::HostError(orvo::errnum::ObjectRequired, QStringLiteral("Object required"));
        state_.AddinManager = orvo::viewAs<orvo::IOrvoAddinManager>(addinManager);
        state_.Environment = orvo::viewAs<orvo::IOrvoEnvironment>(addinManager);
        state_.HostApplication = orvo::viewAs<orvo::IOrvoApplication>(addinManager);
        state_.hostApp = orvo::viewAs<orvo::IOrvoBusinessApp>(addinManager);
        detectEdition();
        ui_.setApplicationTitle(state_.HostApplication->Title());
        // The host is asked for the folder first, then the file name.
        const QString programPath = state_.HostApplication->ProgramPath();
        state_.HelpFilePath = programPath + QLatin1Char('/') + state_.HostApplication->HelpFileName();
        formLoad();
        // The size the user last left the window at, in the edition's
        // settings file beside the remembered export folder.
        const SettingsFile settings(state_.edition.appType);
        const QSize remembered = settings.readWindowSize();
        if (remembered.isValid())
            resize(remembered.boundedTo(screen()->availableGeometry().size()).expandedTo(minimumSizeHint()));
        const QSize opened = size();
        exec();
        // A window only opened and closed leaves the file as it was.
        if (size() != opened)
            settings.writeWindowSize(size());
    } catch (const orvo::HostError& error) {
        ui_.messageBox(QStringLiteral("An error occurred in the New Company wizard.") + CrLf + error.description(),
                       QStringLiteral("Custom Export"));
    } catch (const std::exception& error) {
        ui_.messageBox(QStringLiteral("An error occurred in the New Company wizard.") + CrLf
                           + QString::fromLocal8Bit(error.what()),
                       QStringLiteral("Custom Export"));
    }
    state_.HostApplication.reset();
    state_.AddinManager.reset();
    state_.hostApp.reset();
    state_.Environment.reset();
    return state_.RunResult;
}

void WizardDialog::detectEdition()
{
    state_.edition.isOEM = false;
    const int32_t appType = state_.HostApplication->ApplicationType();
    Edition edition = Edition::fromCode(appType);
    state_.hostApp->SetSystemDatabaseName(edition.systemDatabaseName);
    state_.hostApp->SetSystemDatabaseKind(edition.systemDatabaseKind);
    state_.edition = edition;
    // The host is handed the code as it reads now, as the last call.
    state_.hostApp->SetApplicationType(state_.HostApplication->ApplicationType());
}

void WizardDialog::formLoad()
{
    state_.SummaryReached = false;
    for (WizardStep* page : steps_)
        page->setEnabled(false);
    ResourceStrings::apply(*this);
    for (WizardStep* page : steps_)
        page->load();
    state_.CurrentStep = 0;
    ShowStep(0, 0);
}

void WizardDialog::ShowStep(int16_t step, int16_t direction)
{
    if (step < 0 || step >= StepCount)
        return;
    if (step == 5)
        state_.SummaryReached = true;
    steps_[static_cast<size_t>(state_.CurrentStep)]->setEnabled(false);
    stack_->setCurrentWidget(steps_[static_cast<size_t>(step)]);
    steps_[static_cast<size_t>(step)]->setEnabled(true);
    UpdateWindowCaption(step);
    UpdateNavButtons(step);
    if (direction == 2)
        steps_[static_cast<size_t>(step)]->enter();
}

void WizardDialog::UpdateNavButtons(int16_t step)
{
    state_.CurrentStep = step;
    nav_[Back]->setEnabled(step != 0);
    nav_[Next]->setEnabled(step != 5);
    // Return presses the step's natural button: Next, and Export on the
    // Summary (a disabled one does nothing).
    QPushButton* natural = nav_[step == 5 ? Export : Next];
    for (QPushButton* button : nav_)
        button->setDefault(button == natural);
    UpdateExportButton();
    nav_[Cancel]->setText(step == 5 ? QStringLiteral("&Close") : QStringLiteral("&Cancel"));
}

void WizardDialog::UpdateWindowCaption(int16_t step)
{
    if (step == 3) {
        setWindowTitle(state_.m_FieldMapSpec.isEmpty()
                           ? QStringLiteral("Export Helper - Field Map (New Field Map)")
                           : QStringLiteral("Export Helper - Field Map (") + state_.m_FieldMapSpec + QLatin1Char(')'));
        return;
    }
    try {
        const int id = steps_[static_cast<size_t>(step)]->property("tag").toInt();
        setWindowTitle(QStringLiteral("Export Helper") + QStringLiteral(" - ")
                       + StringTable::instance().loadResourceText(id));
    } catch (...) {
        // The caption stays as it was.
    }
}

void WizardDialog::UpdateExportButton()
{
    bool enabled = state_.SummaryReached;
    for (const WizardStep* page : steps_)
        enabled = enabled && page->allowsExport();
    nav_[Export]->setEnabled(enabled);
}

void WizardDialog::cmdNav_Click(int index)
{
    // Nothing may leave a click handler: the event loop cannot carry an
    // error, and the user stays on the step with the reason shown.
    try {
        navigate(index);
    } catch (const orvo::HostError& error) {
        showClickError(error.description());
    } catch (const std::exception& error) {
        showClickError(QString::fromLocal8Bit(error.what()));
    }
}

void WizardDialog::showClickError(const QString& description)
{
    try {
        ui_.messageBox(QStringLiteral("An error occurred in the New Company wizard.") + CrLf + description,
                       QStringLiteral("Custom Export"));
    } catch (...) {
        // A box that cannot be shown (a test's unexpected box) must not end the window.
    }
}

bool WizardDialog::leaveForward()
{
    return steps_[static_cast<size_t>(state_.CurrentStep)]->canLeaveForward();
}

void WizardDialog::navigate(int index)
{
    switch (index) {
    case Help:
        state_.HelpShown = true;
        if (state_.HostApplication)
            state_.HostApplication->ShowHelp(HelpContextBase + 10 * state_.CurrentStep);
        break;
    case Cancel:
        reject();
        break;
    case Back:
        if (state_.CurrentStep == 0)
            break;
        if (!steps_[static_cast<size_t>(state_.CurrentStep)]->canLeaveBack())
            break;
        ShowStep(static_cast<int16_t>(state_.CurrentStep - 1), 1);
        break;
    case Next:
        if (state_.CurrentStep >= StepCount - 1 || !leaveForward())
            break;
        ShowStep(static_cast<int16_t>(state_.CurrentStep + 1), 2);
        break;
    case Export:
        if (!leaveForward())
            break;
        ShowStep(5, 2);
        summary_->startExport();
        break;
    default:
        break;
    }
}

void WizardDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        // As a click: nothing while the button is locked by a running export.
        if (nav_[Help]->isEnabled())
            cmdNav_Click(Help);
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace expwiz
