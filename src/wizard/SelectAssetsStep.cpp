#include "wizard/SelectAssetsStep.h"

#include "export/ExportTexts.h"
#include "platform/BusyPointer.h"
#include "platform/UiServices.h"
#include "wizard/CompanyWording.h"
#include "wizard/HostLookups.h"
#include "wizard/WizardState.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace expwiz {

namespace {

const QString NoCompanies = QStringLiteral("<No Companies found>");

QString describe(const std::exception& error)
{
    if (const auto* host = dynamic_cast<const orvo::HostError*>(&error))
        return host->description();
    return QString::fromLocal8Bit(error.what());
}

QWidget* framedList(QWidget* parent, const QString& frameName, QLabel* label, QListWidget* list)
{
    auto* frame = new QWidget(parent);
    frame->setObjectName(frameName);
    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(label);
    layout->addWidget(list, 1);
    label->setBuddy(list);
    return frame;
}

} // namespace

SelectAssetsStep::SelectAssetsStep(WizardState& state, UiServices& ui, QWidget* parent)
    : WizardStep(state, ui, 1, 201, parent)
{
    intro_ = new QLabel(this);
    intro_->setObjectName(QStringLiteral("lblP2Intro"));
    intro_->setWordWrap(true);

    auto* databaseLabel = new QLabel(QStringLiteral("&Databases:"), this);
    databaseLabel->setObjectName(QStringLiteral("lblP2Database"));
    databases_ = new QComboBox(this);
    databases_->setObjectName(QStringLiteral("cmbP2Database"));
    databases_->setEditable(false);
    databaseLabel->setBuddy(databases_);

    companyLabel_ = new QLabel(QStringLiteral("Co&mpanies:"), this);
    companyLabel_->setObjectName(QStringLiteral("lblP2Company"));
    companies_ = new QListWidget(this);
    companies_->setObjectName(QStringLiteral("lstP2Company"));
    auto* groupLabel = new QLabel(QStringLiteral("&Groups:"), this);
    groupLabel->setObjectName(QStringLiteral("lblP2Group"));
    groups_ = new QListWidget(this);
    groups_->setObjectName(QStringLiteral("lstP2Group"));

    auto* layout = new QGridLayout(this);
    layout->addWidget(intro_, 0, 0, 1, 2);
    layout->addWidget(databaseLabel, 1, 0, 1, 2);
    layout->addWidget(databases_, 2, 0, 1, 2);
    layout->addWidget(framedList(this, QStringLiteral("fmeP2Company"), companyLabel_, companies_), 3, 0);
    layout->addWidget(framedList(this, QStringLiteral("fmeP2Group"), groupLabel, groups_), 3, 1);
    layout->setRowStretch(3, 1);

    connect(databases_, &QComboBox::activated, this, [this] { fillCompanyList(); });
    // A selection made by the program is handled like the user's click.
    connect(companies_, &QListWidget::currentRowChanged, this, [this] { companyClicked(); });
    connect(groups_, &QListWidget::currentRowChanged, this, [this] { emit exportInputsChanged(); });
}

void SelectAssetsStep::load()
{
    const CompanyWording wording = CompanyWording::forEdition(state().edition);
    companyLabel_->setText(wording.companiesLabel);
    intro_->setText(wording.selectAssetsIntro);
    fillDatabaseList();
    // The host's current database is shown with its companies at once, as
    // if the user had chosen it.
    if (databases_->currentIndex() >= 0)
        fillCompanyList();
}

void SelectAssetsStep::fillDatabaseList()
{
    BusyPointer busy(ui());
    {
        const QSignalBlocker blocker(databases_);
        databases_->clear();
        try {
            if (state().hostApp) {
                for (const auto& entry : state().hostApp->Databases()) {
                    try {
                        databases_->addItem(entry->Name());
                    } catch (const std::exception&) {
                        // A database whose name cannot be read is left out.
                    }
                }
            }
        } catch (const std::exception&) {
        }
        databases_->setCurrentIndex(-1);
        try {
            if (state().Environment) {
                const int index = databases_->findText(state().Environment->DatabaseName(),
                                                       Qt::MatchFixedString | Qt::MatchCaseSensitive);
                databases_->setCurrentIndex(index);
            }
        } catch (const std::exception&) {
        }
    }
    emit nextEnabledRequested(!databases_->currentText().trimmed().isEmpty());
    emit exportInputsChanged();
}

void SelectAssetsStep::fillCompanyList()
{
    BusyPointer busy(ui());
    {
        const QSignalBlocker groupBlocker(groups_);
        const QSignalBlocker companyBlocker(companies_);
        groups_->clear();
        companies_->clear();
    }
    std::shared_ptr<orvo::IOrvoDatabaseEntry> entry;
    try {
        if (state().hostApp)
            entry = state().hostApp->OpenDatabase(databases_->currentText());
        if (entry)
            state().hostDatabase = entry->Database();
    } catch (const std::exception&) {
        entry.reset();
    }
    if (!entry || !state().hostDatabase) {
        ui().messageBox(QStringLiteral("database error"));
        return;
    }
    orvo::OrvoCollection<orvo::IOrvoCompany> companies;
    try {
        companies = state().hostDatabase->Companies();
    } catch (const std::exception&) {
    }
    {
        const QSignalBlocker blocker(companies_);
        for (const auto& company : companies) {
            bool listed = false;
            try {
                listed = company->Open() && company->IsAvailable();
                if (listed)
                    companies_->addItem(company->Name());
            } catch (const std::exception&) {
            }
            try {
                company->Close();
            } catch (const std::exception&) {
            }
        }
    }
    if (companies_->count() == 0) {
        emit nextEnabledRequested(false);
        companies_->addItem(NoCompanies);
    } else {
        emit nextEnabledRequested(true);
    }
    companies_->setCurrentRow(0);
    emit exportInputsChanged();
}

void SelectAssetsStep::companyClicked()
{
    fillGroupList();
    emit companySelected();
}

std::shared_ptr<orvo::IOrvoCompany> SelectAssetsStep::findCompany(const QString& name)
{
    return HostLookups::companyNamed(state().hostDatabase.get(), name);
}

void SelectAssetsStep::takeGroupObjects()
{
    state().hostWritableCompany = orvo::viewAs<orvo::IOrvoWritableCompany>(state().hostCompany);
    state().hostGroupManager = state().hostWritableCompany->GroupManager();
}

void SelectAssetsStep::fillGroupList()
{
    QListWidgetItem* selected = companies_->currentItem();
    if (!selected) {
        updateGroupStepNext();
        return;
    }
    // The previous company's groups go first: whatever fails below, no
    // group of another company can be chosen for this one.
    {
        const QSignalBlocker blocker(groups_);
        groups_->clear();
    }
    state().hostGroupManager.reset();
    state().hostGrouplist.reset();
    state().hostGroup.reset();
    try {
        auto company = findCompany(selected->text());
        if (!company) {
            updateGroupStepNext();
            return;
        }
        state().hostCompany = company;
        loadAllocationLists();
        takeGroupObjects();
        if (!state().hostGroupManager) {
            ui().messageBox(QStringLiteral("The GroupManager is NULL, please select again"), ExportTexts::title());
            updateGroupStepNext();
            return;
        }
        QStringList names;
        auto list = state().hostGroupManager->GroupList();
        const int32_t count = list ? list->Count() : 0;
        for (int32_t i = 0; i < count; ++i) {
            const auto group = list->Item(i);
            if (group)
                names << group->Name();
        }
        {
            const QSignalBlocker blocker(groups_);
            groups_->addItems(names);
        }
    } catch (const std::exception& error) {
        state().hostGroupManager.reset();
        ui().messageBox(describe(error));
    }
    updateGroupStepNext();
}

void SelectAssetsStep::loadAllocationLists()
{
    // The lists belong to the company; the links of a map are made again
    // against them, so an earlier company's lists never reach this export.
    state().allocationLinks = AllocationLinks();
    state().allocationLists = AllocationLists();
    if (!state().hostCompany || !state().hostDatabase)
        return;
    std::optional<orvo::HostError> failure;
    try {
        auto connection = state().hostDatabase->Connection();
        if (!connection)
            return;
        failure = state().allocationLists.load(*connection, state().hostCompany->CompanyID());
    } catch (const orvo::HostError& error) {
        failure = error;
    }
    if (failure)
        ui().messageBox(failure->description());
    state().allocationLinks.linkAll(state().fieldMap.ids(), state().edition.isGASB, state().allocationLists);
}

void SelectAssetsStep::updateGroupStepNext()
{
    if (groups_->count() == 0) {
        emit nextEnabledRequested(false);
    } else {
        emit nextEnabledRequested(true);
        groups_->setCurrentRow(0);
    }
    emit exportInputsChanged();
}

void SelectAssetsStep::enter()
{
    updateGroupStepNext();
}

bool SelectAssetsStep::canLeaveForward()
{
    return openSelectedCompany();
}

bool SelectAssetsStep::openSelectedCompany()
{
    QString lockedMessage;
    try {
        auto entry = state().hostApp ? state().hostApp->OpenDatabase(databases_->currentText()) : nullptr;
        if (!entry)
            throw orvo::HostError(orvo::errnum::ObjectRequired, QStringLiteral("database error"));
        state().hostDatabase = entry->Database();
        QListWidgetItem* selected = companies_->currentItem();
        auto company = selected ? findCompany(selected->text()) : nullptr;
        if (!company)
            return false;
        const bool changed = company != state().hostCompany;
        state().hostCompany = company;
        lockedMessage = QStringLiteral("Company ") + company->Name() + QStringLiteral("\r\n")
                        + QStringLiteral(" is currently locked by another user.");
        company->Open();
        company->Close();
        if (changed)
            loadAllocationLists();
        takeGroupObjects();
        if (state().hostGroupManager)
            state().hostGrouplist = state().hostGroupManager->GroupList();
        const int row = groups_->currentRow();
        state().hostGroup = state().hostGrouplist && row >= 0 && row < state().hostGrouplist->Count()
            ? state().hostGrouplist->Item(row)
            : nullptr;
        if (!state().hostGroup) {
            // The company's groups are gone since they were listed: nothing
            // listed may be chosen until the company is chosen again.
            {
                const QSignalBlocker blocker(groups_);
                groups_->clear();
            }
            updateGroupStepNext();
            ui().messageBox(state().hostGroupManager
                                ? QStringLiteral("The company ") + company->Name()
                                      + QStringLiteral(" has no group to export. Please select again.")
                                : QStringLiteral("The GroupManager is NULL, please select again"),
                            ExportTexts::title());
            return false;
        }
        state().hostBook = HostLookups::bookWithId(*company, state().chosenBookId);
        if (!state().hostBook) {
            // Without a book nothing can be exported; say why instead of
            // leaving the user on the step without a word.
            ui().messageBox(QStringLiteral("The company ") + company->Name()
                            + QStringLiteral(" has no active book to export from. Please choose another company."));
        }
        return static_cast<bool>(state().hostBook);
    } catch (const std::exception& error) {
        const QString description = describe(error);
        if (!lockedMessage.isEmpty() && description.contains(QStringLiteral("locked")))
            ui().messageBox(lockedMessage, state().HostApplication ? state().HostApplication->Title() : QString(),
                            BoxIcon::Critical);
        else
            ui().messageBox(description);
        return false;
    }
}

bool SelectAssetsStep::allowsExport() const
{
    return groups_->count() > 0;
}

} // namespace expwiz
