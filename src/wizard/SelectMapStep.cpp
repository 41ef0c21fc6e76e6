#include "wizard/SelectMapStep.h"

#include "destination/FilePaths.h"
#include "export/ExportTexts.h"
#include "fieldmap/FieldMapIdentity.h"
#include "platform/UiServices.h"
#include "wizard/HostLookups.h"
#include "wizard/NamedControl.h"
#include "wizard/WizardState.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

namespace expwiz {

SelectMapStep::SelectMapStep(WizardState& state, UiServices& ui, QWidget* parent)
    : WizardStep(state, ui, 2, 203, parent)
{
    auto* info = namedLabel(this, "lblP4Info",
                            QStringLiteral("Step 2: To export the asset information to an export file, you must tell "
                                           "the system which fields to export.  You do this by creating a field map. "
                                           "You can either create a new Field Map or use an existing field map.  If "
                                           "you choose to include book information you must also select the book from "
                                           "which the information will be retrieved."));
    info->setWordWrap(true);
    auto* options = namedLabel(this, "lblP4MapOption", QStringLiteral("Map Options"));
    createNew_ = new QRadioButton(QStringLiteral("Create New Field Map"), this);
    createNew_->setObjectName(QStringLiteral("optP4CreateNew"));
    createNew_->setChecked(true);
    useSaved_ = new QRadioButton(QStringLiteral("Use Saved Field Map"), this);
    useSaved_->setObjectName(QStringLiteral("optP4UseSaved"));
    auto* selectMap = namedLabel(this, "lblP4SelectFieldMap", QStringLiteral("Select Field Map"));
    auto* mapLabel = namedLabel(this, "lblP4FieldMap", QStringLiteral("&Field Map"));
    maps_ = new QComboBox(this);
    maps_->setObjectName(QStringLiteral("cmbP4FieldMap"));
    maps_->setEnabled(false);
    maps_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    mapLabel->setBuddy(maps_);
    browse_ = new QPushButton(QStringLiteral("Bro&wse"), this);
    browse_->setObjectName(QStringLiteral("cmdP4Browse"));
    browse_->setEnabled(false);
    browse_->setAutoDefault(false);
    auto* separator = new QFrame(this);
    separator->setObjectName(QStringLiteral("fmeP4Seperator"));
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);
    auto* bookLabel = namedLabel(this, "lblP4Book", QStringLiteral("Boo&k:"));
    books_ = new QComboBox(this);
    books_->setObjectName(QStringLiteral("cmbP4Book"));
    bookLabel->setBuddy(books_);
    inventory_ = new QCheckBox(QStringLiteral("&Include Orvo Asset Inventory fields"), this);
    inventory_->setObjectName(QStringLiteral("chkP4IncludeOrvi"));

    auto* layout = new QGridLayout(this);
    layout->addWidget(info, 0, 0, 1, 3);
    layout->addWidget(options, 1, 0, 1, 3);
    layout->addWidget(createNew_, 2, 0, 1, 3);
    layout->addWidget(useSaved_, 3, 0, 1, 3);
    layout->addWidget(selectMap, 4, 0, 1, 3);
    layout->addWidget(mapLabel, 5, 0);
    layout->addWidget(maps_, 5, 1);
    layout->addWidget(browse_, 5, 2);
    layout->addWidget(separator, 6, 0, 1, 3);
    layout->addWidget(bookLabel, 7, 0);
    layout->addWidget(books_, 7, 1);
    layout->addWidget(inventory_, 8, 0, 1, 3);
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(9, 1);

    connect(createNew_, &QRadioButton::clicked, this, [this] { createNewClicked(); });
    connect(useSaved_, &QRadioButton::clicked, this, [this] { useSavedClicked(); });
    connect(maps_, &QComboBox::activated, this, [this] { savedMapSelected(); });
    connect(browse_, &QPushButton::clicked, this, [this] { browse(); });
    connect(books_, &QComboBox::currentIndexChanged, this, [this] { bookChanged(); });
    connect(inventory_, &QCheckBox::toggled, this, [this](bool on) { this->state().includeInventory = on; });
}

void SelectMapStep::companyChosen()
{
    fillBookList();
}

void SelectMapStep::fillBookList()
{
    if (!state().hostCompany)
        return;
    try {
        const QSignalBlocker blocker(books_);
        books_->clear();
        for (const auto& book : state().hostCompany->Books()) {
            if (book->IsActive())
                books_->addItem(book->Name(), QVariant::fromValue<int32_t>(book->BookID()));
        }
        books_->setCurrentIndex(books_->count() > 0 ? 0 : -1);
    } catch (const std::exception& error) {
        const auto* host = dynamic_cast<const orvo::HostError*>(&error);
        ui().messageBox(host ? host->description() : QString::fromLocal8Bit(error.what()));
    }
    bookChanged();
}

void SelectMapStep::bookChanged()
{
    const QVariant id = books_->currentData();
    state().chosenBookId = id.isValid() ? std::optional<int32_t>(id.toInt()) : std::nullopt;
}

void SelectMapStep::enter()
{
    prepare();
}

void SelectMapStep::prepare()
{
    if (!state().hostCompany)
        return;
    try {
        state().hostCompany->Open();
        // Asked again on every entry: an earlier choice is not kept.
        const bool offered = state().hostCompany->HasInventory() && !state().edition.isLite;
        inventory_->setVisible(offered);
        inventory_->setEnabled(offered);
        inventory_->setChecked(offered);
        state().includeInventory = offered;
        state().hostCompany->Close();
        if (useSaved_->isChecked())
            updateSelectMapNext();
    } catch (const std::exception&) {
        ui().messageBox(QStringLiteral("An error occurred opening this company."));
    }
}

void SelectMapStep::createNewClicked()
{
    state().useSavedMap = false;
    maps_->setEnabled(false);
    browse_->setEnabled(false);
    emit nextEnabledRequested(true);
    emit newMapChosen();
    emit exportInputsChanged();
}

void SelectMapStep::useSavedClicked()
{
    state().useSavedMap = true;
    maps_->setEnabled(true);
    browse_->setEnabled(true);
    savedMapSelected();
    updateSelectMapNext();
}

void SelectMapStep::savedMapSelected()
{
    if (!maps_->currentText().trimmed().isEmpty()) {
        resolveFieldMapChoice();
        emit fieldMapChosen();
    }
    updateSelectMapNext();
}

void SelectMapStep::updateSelectMapNext()
{
    emit nextEnabledRequested(!maps_->currentText().trimmed().isEmpty());
    emit exportInputsChanged();
}

void SelectMapStep::browse()
{
    const QString current = maps_->currentText();
    FileDialogRequest request;
    request.title = QStringLiteral("Field Map File");
    request.defaultExtension = QStringLiteral("exp");
    request.filter = state().edition.fieldMapFileFilter();
    request.initialFolder = FilePaths::getFolderPart(current);
    request.fileName = FilePaths::getFileTitle(current);
    const std::optional<QString> chosen = ui().openFileName(request);
    if (!chosen)
        return;
    addOrSelectFieldMapFile(*chosen);
    emit nextEnabledRequested(true);
    emit exportInputsChanged();
}

void SelectMapStep::addOrSelectFieldMapFile(const QString& path)
{
    int index = maps_->findText(path, Qt::MatchFixedString | Qt::MatchCaseSensitive);
    if (index < 0) {
        maps_->addItem(path);
        index = maps_->count() - 1;
    }
    maps_->setCurrentIndex(index);
    savedMapSelected();
}

void SelectMapStep::useSavedMapFile(const QString& path)
{
    addOrSelectFieldMapFile(path);
    if (!useSaved_->isChecked()) {
        useSaved_->setChecked(true);
        useSavedClicked();
    }
}

bool SelectMapStep::canLeaveForward()
{
    return resolveFieldMapChoice();
}

bool SelectMapStep::resolveFieldMapChoice()
{
    if (!state().hostCompany)
        return false;
    state().hostBook = HostLookups::bookWithId(*state().hostCompany, state().chosenBookId);
    if (!state().hostBook)
        return false;
    if (!useSaved_->isChecked()) {
        const FieldMapIdentity identity =
            FieldMapIdentity::forNewMap(state().HostApplication ? state().HostApplication->ProgramPath() : QString());
        state().m_FieldMapFilename = identity.filename;
        state().m_FieldMapSpec = identity.name;
        state().m_FieldMapPath = identity.folder;
        return true;
    }
    const QString path = maps_->currentText();
    if (!FilePaths::fileExists(path)) {
        ui().messageBox(QStringLiteral("The Field Map file does not exist. Please choose another one."),
                        ExportTexts::title());
        return false;
    }
    const FieldMapIdentity identity = FieldMapIdentity::forFile(path);
    state().m_FieldMapFilename = identity.filename;
    state().m_FieldMapSpec = identity.name;
    state().m_FieldMapPath = identity.folder;
    return true;
}

} // namespace expwiz
