#include "wizard/SummaryStep.h"

#include "catalog/FieldCatalog.h"
#include "export/ExportRun.h"
#include "export/ExportTexts.h"
#include "platform/BusyPointer.h"
#include "platform/UiServices.h"
#include "wizard/CompanyWording.h"
#include "wizard/NamedControl.h"
#include "wizard/WizardState.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <optional>

namespace expwiz {

namespace {



QGroupBox* frame(QWidget* parent, const char* name)
{
    return namedControl<QGroupBox>(name, parent);
}

} // namespace

SummaryStep::SummaryStep(WizardState& state, UiServices& ui, QWidget* parent)
    : WizardStep(state, ui, 5, 205, parent)
{
    auto* info = namedLabel(this, "lblP6Info",
                            QStringLiteral("View the summary of choices you have made. To change any information, "
                                           "click the Back button and make changes in the previous windows. If the "
                                           "information is correct, select the Export button to begin the export "
                                           "process."));
    info->setWordWrap(true);

    auto* companyFrame = frame(this, "fmeP6CompanyName");
    companyLabel_ = namedLabel(companyFrame, "lblP6Company", QStringLiteral("Company Name:"));
    companyName_ = namedLabel(companyFrame, "lblP6CompanyName");
    auto* groupLabel = namedLabel(companyFrame, "Label1", QStringLiteral("Group:"));
    group_ = namedLabel(companyFrame, "lblP6Group");
    auto* companyGrid = new QGridLayout(companyFrame);
    companyGrid->addWidget(companyLabel_, 0, 0);
    companyGrid->addWidget(companyName_, 0, 1);
    companyGrid->addWidget(groupLabel, 1, 0);
    companyGrid->addWidget(group_, 1, 1);
    companyGrid->setColumnStretch(1, 1);

    auto* fileFrame = frame(this, "fmeP6ExportFile");
    auto* fileLabel = namedLabel(fileFrame, "staticText002", QStringLiteral("Export File:"));
    exportFile_ = namedLabel(fileFrame, "lblP6ExportFile");
    // A long path wraps instead of widening the window.
    exportFile_->setWordWrap(true);
    exportFile_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* fileGrid = new QGridLayout(fileFrame);
    fileGrid->addWidget(fileLabel, 0, 0, Qt::AlignTop);
    fileGrid->addWidget(exportFile_, 0, 1);
    fileGrid->setColumnStretch(1, 1);

    mapFrame_ = frame(this, "fmeP6FieldMap");
    mapFrame_->setTitle(QStringLiteral("Field Map [ Location ]"));
    map_ = new QListWidget(mapFrame_);
    map_->setObjectName(QStringLiteral("lstP6FieldMap"));
    auto* mapLayout = new QVBoxLayout(mapFrame_);
    mapLayout->addWidget(map_);

    auto* progressFrame = frame(this, "fmeP6ExportAsset");
    auto* exporting = namedLabel(progressFrame, "staticText003", QStringLiteral("Exporting Asset"));
    progress_ = namedLabel(progressFrame, "lblP6ExportAsset", ExportTexts::idleProgress());
    stop_ = new QPushButton(QStringLiteral("&Stop"), progressFrame);
    stop_->setObjectName(QStringLiteral("cmdP6Stop"));
    stop_->setAutoDefault(false);
    stop_->setEnabled(false);
    // Wide enough for the completion text, so the map beside it keeps its size.
    progressFrame->setFixedWidth(210);
    progress_->setWordWrap(true);
    auto* progressGrid = new QGridLayout(progressFrame);
    progressGrid->addWidget(exporting, 0, 0);
    progressGrid->addWidget(progress_, 1, 0);
    progressGrid->addWidget(stop_, 2, 0);
    progressGrid->setRowStretch(3, 1);

    auto* layout = new QGridLayout(this);
    layout->addWidget(info, 0, 0, 1, 2);
    layout->addWidget(companyFrame, 1, 0, 1, 2);
    layout->addWidget(fileFrame, 2, 0, 1, 2);
    layout->addWidget(mapFrame_, 3, 0);
    layout->addWidget(progressFrame, 3, 1);
    layout->setRowStretch(3, 1);
    layout->setColumnStretch(0, 1);

    // Stop only asks; the running export looks at the request between rows.
    connect(stop_, &QPushButton::clicked, this, [this] { this->state().m_IsExportStop = true; });
}

void SummaryStep::load()
{
    companyLabel_->setText(CompanyWording::forEdition(state().edition).companyNameLabel);
}

void SummaryStep::enter()
{
    fillSummaryStep();
}

void SummaryStep::fillSummaryStep()
{
    if (!state().hostCompany)
        ui().messageBox(QStringLiteral("Company is not selected"), ExportTexts::title());
    else
        companyName_->setText(state().hostCompany->Name());
    if (!state().hostGroup)
        ui().messageBox(QStringLiteral("Group is not selected"), ExportTexts::title());
    else
        group_->setText(state().hostGroup->Name());
    exportFile_->setText(state().m_ExportFilename);
    fillSummaryFieldList();
    showExportProgress(ExportTexts::idleProgress());
    mapFrame_->setTitle(state().m_FieldMapSpec.isEmpty()
                            ? QStringLiteral("Field Map [New Field Map]")
                            : QStringLiteral("Field Map [") + state().m_FieldMapSpec + QLatin1Char(']'));
}

void SummaryStep::fillSummaryFieldList()
{
    map_->clear();
    if (!state().hostCompany) {
        ui().messageBox(QStringLiteral("company is null"), ExportTexts::title());
        return;
    }
    const FieldCatalog& catalog = FieldCatalog::instance();
    const QString book = state().hostBook ? state().hostBook->Name() : QString();
    const std::vector<int32_t> ids = state().fieldMap.ids();
    for (size_t i = 0; i < ids.size(); ++i) {
        QString text = catalog.fieldMapItemText(static_cast<int32_t>(i), ids[i], state().edition.isGASB);
        if (catalog.entry(ids[i]).tableName == QLatin1String("BOOKPARTS"))
            text += QStringLiteral(" (") + book + QLatin1Char(')');
        map_->addItem(text);
    }
}

void SummaryStep::showExportProgress(const QString& text)
{
    progress_->setText(text);
}

void SummaryStep::startExport()
{
    ExportJob job;
    job.database = state().hostDatabase;
    job.company = state().hostCompany;
    job.groupManager = state().hostGroupManager;
    job.group = state().hostGroup;
    job.book = state().hostBook;
    job.fieldIds = state().fieldMap.ids();
    job.companyLine = state().includeCompany;
    job.header = state().includeHeader;
    job.edition = state().edition;
    job.systemNumberColumn = state().SystemNumberColumn;
    job.outputPath = state().m_ExportFilename;
    job.allocationLists = state().allocationLists;
    job.allocationLinks = state().allocationLinks;

    // From here on the window stays open until the run has ended, and the
    // navigation is locked before the first events are let through: a
    // second click on Export, or Back, waiting in the queue must not start
    // another run or leave the step under this one.
    exporting_ = true;
    emit navigationLocked(true);
    showExportProgress(ExportTexts::searching());
    ui().processEvents();
    // The texts are built and handed to the host first: a failure here is
    // told and leaves the window as it was before Export.
    ExportQueries queries;
    try {
        queries = ExportRun::prepareQueries(job);
    } catch (const orvo::HostError& error) {
        exporting_ = false;
        emit navigationLocked(false);
        ui().messageBox(error.description());
        return;
    }

    ExportCallbacks callbacks;
    callbacks.progress = [this](int32_t row, int32_t total) {
        showExportProgress(ExportTexts::rowProgress(row, total));
    };
    callbacks.processEvents = [this] { ui().processEvents(); };
    // Twenty updates a second look live; repainting for every row would
    // cost more than writing it.
    callbacks.progressInterval = std::chrono::milliseconds(50);
    callbacks.clock = state().exportClock;
    callbacks.stopRequested = [this] {
        const bool requested = state().m_IsExportStop;
        state().m_IsExportStop = false;
        return requested;
    };
    callbacks.confirmStop = [this, path = job.outputPath] {
        return ui().messageBox(ExportTexts::stopQuestion(path), ExportTexts::title(), BoxIcon::Exclamation,
                               BoxButtons::YesNo)
               == BoxAnswer::Yes;
    };
    std::optional<BusyPointer> busy;
    callbacks.busy = [this, &busy](bool on) {
        if (on)
            busy.emplace(ui());
        else
            busy.reset();
    };

    state().m_IsExportStop = false;
    stop_->setEnabled(true);
    // While the rows are counted the label keeps its size: a new count then
    // repaints the label alone instead of laying out the window again.
    progress_->setFixedSize(progress_->size().expandedTo(progress_->sizeHint()));
    ExportResult result;
    try {
        result = ExportRun(std::move(job), std::move(callbacks)).run(queries);
    } catch (const std::exception& error) {
        result.outcome = ExportOutcome::Failed;
        result.message = QString::fromLocal8Bit(error.what());
    }
    busy.reset();
    stop_->setEnabled(false);
    progress_->setMinimumSize(0, 0);
    progress_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    exporting_ = false;
    showExportProgress(result.progressText);
    emit navigationLocked(false);
    // A stopped run says nothing more: the user has just answered.
    if (result.outcome != ExportOutcome::Stopped && !result.message.isEmpty())
        ui().messageBox(result.message, ExportTexts::title());
}

} // namespace expwiz
