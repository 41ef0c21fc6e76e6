#include "wizard/FieldMapStep.h"

#include "catalog/FieldCatalog.h"
#include "export/ExportTexts.h"
#include "fieldmap/ExpFile.h"
#include "fieldmap/FieldMapButtons.h"
#include "fieldmap/FieldMapIdentity.h"
#include "fieldmap/FieldMapMessages.h"
#include "platform/UiServices.h"
#include "report/DefaultPrinterSource.h"
#include "report/FieldMapPrinter.h"
#include "wizard/CompanyWording.h"
#include "wizard/NamedControl.h"
#include "wizard/SaveMapDialog.h"
#include "wizard/WizardState.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace expwiz {

namespace {


QPushButton* button(QWidget* parent, const char* name, const QString& text)
{
    auto* result = namedControl<QPushButton>(name, text, parent);
    result->setAutoDefault(false);
    return result;
}


} // namespace

FieldMapStep::FieldMapStep(WizardState& state, UiServices& ui, QWidget* parent)
    : WizardStep(state, ui, 3, 204, parent), defaultPrinters_(std::make_unique<DefaultPrinterSource>()),
      printers_(defaultPrinters_.get())
{
    info_ = new QLabel(
        QStringLiteral("Step 3: Now you need to create a Field Map, which specifies the asset fields included in the "
                       "export file. The system will export the asset fields in the order they appear in the Export "
                       "Field Map list box. The fields are organized into Field Categories to help you locate them. "
                       "Be sure to save the Field Map if you want to use it again."),
        this);
    info_->setObjectName(QStringLiteral("lblP5Info"));
    info_->setWordWrap(true);

    categories_ = new QComboBox(this);
    categories_->setObjectName(QStringLiteral("cmbP5FieldCategory"));
    available_ = new QListWidget(this);
    available_->setObjectName(QStringLiteral("lstP5AvailableField"));
    // The entries arrive in the editor's own order (case-insensitive by
    // label), which is the same on every system; the list does not sort.
    available_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // A category holds up to a hundred fields: typing part of a label
    // narrows the list to the fields that contain it.
    filter_ = new QLineEdit(this);
    filter_->setObjectName(QStringLiteral("txtP5Filter"));
    filter_->setPlaceholderText(QStringLiteral("Filter"));
    filter_->setClearButtonEnabled(true);
    map_ = new QListWidget(this);
    map_->setObjectName(QStringLiteral("lstP5ExportFieldMap"));
    map_->setSelectionMode(QAbstractItemView::ExtendedSelection);

    add_ = button(this, "cmdP5Add", QStringLiteral("&Add >>"));
    remove_ = button(this, "cmdP5Remove", QStringLiteral("<< &Remove"));
    up_ = button(this, "cmdP5Up", QStringLiteral("&Up"));
    down_ = button(this, "cmdP5Down", QStringLiteral("&Down"));
    save_ = button(this, "cmdP5SaveMap", QStringLiteral("&Save Map"));
    print_ = button(this, "cmdP5PrintMap", QStringLiteral("&Print Map"));
    header_ = new QCheckBox(QStringLiteral("Inc&lude column headers?"), this);
    header_->setObjectName(QStringLiteral("chkIncColumnHeader"));
    header_->setChecked(true);
    company_ = new QCheckBox(QStringLiteral("&Include company data?"), this);
    company_->setObjectName(QStringLiteral("chkIncCompanyData"));
    company_->setChecked(true);
    for (QPushButton* b : {add_, remove_, up_, down_, save_, print_})
        b->setEnabled(false);

    auto* middle = new QVBoxLayout;
    middle->addStretch(1);
    middle->addWidget(add_);
    middle->addWidget(remove_);
    middle->addStretch(1);
    auto* right = new QVBoxLayout;
    right->addStretch(1);
    right->addWidget(up_);
    right->addWidget(down_);
    right->addStretch(1);
    right->addWidget(save_);
    right->addWidget(print_);

    auto* layout = new QGridLayout(this);
    layout->addWidget(info_, 0, 0, 1, 4);
    layout->addWidget(namedLabel(this, "lblP5FieldCategory", QStringLiteral("Field Cate&gory"), categories_), 1, 0);
    layout->addWidget(categories_, 2, 0);
    auto* availableTop = new QHBoxLayout;
    availableTop->addWidget(namedLabel(this, "lblP5AvailableField", QStringLiteral("Available &Fields:"), available_));
    availableTop->addWidget(filter_, 1);
    layout->addLayout(availableTop, 3, 0);
    layout->addWidget(available_, 4, 0);
    layout->addLayout(middle, 4, 1);
    layout->addWidget(namedLabel(this, "lblP5ExportFieldMap", QStringLiteral("Export Field &Map"), map_), 3, 2);
    layout->addWidget(map_, 4, 2);
    layout->addLayout(right, 4, 3);
    layout->addWidget(header_, 5, 0, 1, 4);
    layout->addWidget(company_, 6, 0, 1, 4);
    layout->setColumnStretch(0, 1);
    layout->setColumnStretch(2, 1);
    layout->setRowStretch(4, 1);

    connect(categories_, &QComboBox::currentIndexChanged, this, [this] { fillAvailableFields(); });
    connect(available_, &QListWidget::itemSelectionChanged, this,
            [this] { add_->setEnabled(!available_->selectedItems().isEmpty()); });
    connect(map_, &QListWidget::itemSelectionChanged, this, [this] { mapSelectionChanged(); });
    // The buttons a category change greyed come back with the next click
    // in either list, also on an entry that was already selected.
    connect(map_, &QListWidget::itemClicked, this, [this] { mapSelectionChanged(); });
    connect(available_, &QListWidget::itemClicked, this, [this] {
        add_->setEnabled(!available_->selectedItems().isEmpty());
        updateFieldMapButtons();
    });
    connect(available_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        selectOnly(available_, item);
        addClicked();
    });
    connect(map_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        selectOnly(map_, item);
        removeClicked();
    });
    connect(filter_, &QLineEdit::textChanged, this, [this] {
        fillAvailableFields();
        updateFieldMapButtons();
    });
    connect(add_, &QPushButton::clicked, this, [this] { addClicked(); });
    connect(remove_, &QPushButton::clicked, this, [this] { removeClicked(); });
    connect(up_, &QPushButton::clicked, this, [this] { moveClicked(true); });
    connect(down_, &QPushButton::clicked, this, [this] { moveClicked(false); });
    connect(save_, &QPushButton::clicked, this, [this] { saveMapClicked(); });
    connect(print_, &QPushButton::clicked, this, [this] { printMapClicked(); });
    connect(header_, &QCheckBox::toggled, this, [this](bool on) { this->state().includeHeader = on; });
    connect(company_, &QCheckBox::toggled, this, [this](bool on) { this->state().includeCompany = on; });
}

FieldMapStep::~FieldMapStep() = default;

void FieldMapStep::load()
{
    company_->setText(CompanyWording::forEdition(state().edition).includeCompanyData);
    state().includeHeader = header_->isChecked();
    state().includeCompany = company_->isChecked();
}

void FieldMapStep::companyChosen()
{
    fillFieldCategories();
}

void FieldMapStep::enter()
{
    enterFieldMapStep();
}

void FieldMapStep::enterFieldMapStep()
{
    fillFieldCategories();
    loadFieldMap();
    fillAvailableFields();
    updateFieldMapButtons();
}

void FieldMapStep::fillFieldCategories()
{
    {
        const QSignalBlocker blocker(categories_);
        categories_->clear();
        categories_->addItems(FieldCatalog::offeredCategories(state().edition.isLite, state().includeInventory));
        categories_->setCurrentIndex(0);
    }
    fillAvailableFields();
}

void FieldMapStep::fillAvailableFields()
{
    const QSignalBlocker blocker(available_);
    available_->clear();
    const auto fields = state().fieldMap.availableFields(categories_->currentText().trimmed(), state().edition.isLite,
                                                         state().edition.isGASB, state().includeInventory);
    const QString filter = filter_->text().trimmed();
    for (const AvailableField& field : fields) {
        if (!field.label.contains(filter, Qt::CaseInsensitive))
            continue;
        auto* item = new QListWidgetItem(field.label, available_);
        item->setData(Qt::UserRole, field.id);
    }
    for (QPushButton* b : {add_, remove_, up_, down_})
        b->setEnabled(false);
}

void FieldMapStep::linkField(int32_t id)
{
    state().allocationLinks.link(id, FieldCatalog::instance().displayLabel(id, state().edition.isGASB),
                                 state().allocationLists);
}

void FieldMapStep::loadFieldMap()
{
    state().fieldMap.clear();
    showMap();
    if (!state().useSavedMap) {
        state().SavedFieldMap.clear();
        return;
    }
    // No map file was chosen yet (the one asked for does not exist): there
    // is nothing to read, and the user has been told why.
    if (state().m_FieldMapFilename.isEmpty())
        return;
    ExpReadResult read;
    try {
        read = ExpFile::read(state().m_FieldMapFilename);
    } catch (const orvo::HostError& e) {
        // A file far too large to be a map says so; any other failure is
        // a map that is not there.
        ui().messageBox(e.number() == orvo::errnum::Overflow ? e.description() : FieldMapMessages::readFailed(),
                        ExportTexts::title());
        return;
    }
    state().fieldMap.assign(read.ids, [this](int32_t id) { linkField(id); });
    state().SavedFieldMap = state().fieldMap.ids();
    showMap();
    // Values that are no field would otherwise vanish without a word.
    // Each damaged file is reported once, not on every reload.
    const QString notice = FieldMapMessages::damagedFileNotice(state().m_FieldMapFilename, read);
    if (!notice.isEmpty() && !reportedDamagedFiles_.contains(state().m_FieldMapFilename)) {
        reportedDamagedFiles_ << state().m_FieldMapFilename;
        ui().messageBox(notice, ExportTexts::title(), BoxIcon::Exclamation);
    }
}

void FieldMapStep::clearMap()
{
    state().fieldMap.clear();
    showMap();
    emit exportInputsChanged();
}

void FieldMapStep::showMap()
{
    const QSignalBlocker blocker(map_);
    map_->clear();
    const FieldMap& map = state().fieldMap;
    const QStringList texts = map.itemTexts(state().edition.isGASB);
    for (int position = 0; position < map.count(); ++position) {
        auto* item = new QListWidgetItem(texts.at(position), map_);
        item->setData(Qt::UserRole, map.idAt(position));
        item->setSelected(map.isSelected(position));
    }
}

void FieldMapStep::mapSelectionChanged()
{
    for (int position = 0; position < map_->count(); ++position)
        state().fieldMap.setSelected(position, map_->item(position)->isSelected());
    updateFieldMapButtons();
}

void FieldMapStep::updateFieldMapButtons()
{
    const FieldMapButtons buttons = FieldMapButtons::forMap(state().fieldMap);
    if (buttons.next)
        emit nextEnabledRequested(*buttons.next);
    const auto apply = [](QPushButton* b, const std::optional<bool>& enabled) {
        if (enabled)
            b->setEnabled(*enabled);
    };
    apply(save_, buttons.save);
    apply(print_, buttons.print);
    apply(remove_, buttons.remove);
    apply(up_, buttons.up);
    apply(down_, buttons.down);
    emit exportInputsChanged();
}

void FieldMapStep::addClicked()
{
    std::vector<int32_t> ids;
    for (int row = 0; row < available_->count(); ++row) {
        if (available_->item(row)->isSelected())
            ids.push_back(available_->item(row)->data(Qt::UserRole).toInt());
    }
    state().fieldMap.add(ids, [this](int32_t id) { linkField(id); });
    showMap();
    fillAvailableFields();
    updateFieldMapButtons();
}

void FieldMapStep::removeClicked()
{
    state().fieldMap.removeSelected();
    showMap();
    fillAvailableFields();
    updateFieldMapButtons();
}

void FieldMapStep::moveClicked(bool up)
{
    const bool moved = up ? state().fieldMap.moveSelectedUp() : state().fieldMap.moveSelectedDown();
    if (!moved && !state().fieldMap.hasSelection()) {
        ui().messageBox(FieldMapMessages::selectOneField(), ExportTexts::title());
        return;
    }
    showMap();
    // The moved entry stays current, so the arrow keys go on from it.
    const QList<QListWidgetItem*> selected = map_->selectedItems();
    if (!selected.isEmpty())
        map_->setCurrentItem(up ? selected.front() : selected.back(), QItemSelectionModel::NoUpdate);
    updateFieldMapButtons();
}

void FieldMapStep::selectOnly(QListWidget* list, QListWidgetItem* item)
{
    list->clearSelection();
    item->setSelected(true);
}

bool FieldMapStep::isFieldMapChanged() const
{
    return state().fieldMap.isChangedFrom(state().SavedFieldMap, !state().useSavedMap);
}

bool FieldMapStep::findSystemNumberColumn()
{
    state().SystemNumberColumn = static_cast<int16_t>(state().fieldMap.systemNumberColumn());
    if (state().SystemNumberColumn < state().fieldMap.count())
        return true;
    return ui().messageBox(FieldMapMessages::noSystemNumberQuestion(), ExportTexts::title(), BoxIcon::None,
                           BoxButtons::YesNo)
           == BoxAnswer::Yes;
}

void FieldMapStep::saveMapClicked()
{
    if (findSystemNumberColumn())
        saveFieldMap();
}

bool FieldMapStep::saveFieldMap()
{
    if (state().fieldMap.isEmpty()) {
        ui().messageBox(FieldMapMessages::saveNeedsOneField(), ExportTexts::title());
        return false;
    }
    SaveMapDialog dialog(ui(), window());
    const QString name = dialog.runForm(state().m_FieldMapPath, state().m_FieldMapSpec);
    if (name.isEmpty())
        return false;
    FieldMapIdentity identity{state().m_FieldMapSpec, state().m_FieldMapPath, state().m_FieldMapFilename};
    const std::vector<int32_t> ids = state().fieldMap.ids();
    try {
        // A failed save keeps the name and path the map had, so nothing
        // points at a file that was not written.
        identity.saveAs(name, ids);
    } catch (const orvo::HostError&) {
        ui().messageBox(FieldMapMessages::saveFailed());
        return false;
    }
    state().m_FieldMapSpec = identity.name;
    state().m_FieldMapPath = identity.folder;
    state().m_FieldMapFilename = identity.filename;
    state().SavedFieldMap = ids;
    emit mapSaved(identity.filename);
    return true;
}

void FieldMapStep::printMapClicked()
{
    if (state().fieldMap.isEmpty() || !state().hostCompany) {
        ui().messageBox(FieldMapMessages::reportNeedsFieldsAndCompany(), ExportTexts::title());
        return;
    }
    FieldMapPrinter printer(ui(), *printers_);
    // The values are read inside the print, so a failing host read is
    // reported like any other printing failure.
    printer.print(
        [this] {
            return FieldMapReportValues::from(state().hostCompany->Name(),
                                              state().hostBook ? state().hostBook->Name() : QString(),
                                              state().includeHeader, state().m_FieldMapSpec, state().fieldMap.ids(),
                                              state().edition.isGASB);
        },
        QDateTime::currentDateTime());
}

bool FieldMapStep::askToSaveChangedMap(bool& stay)
{
    stay = false;
    if (!isFieldMapChanged())
        return false;
    const BoxAnswer answer = ui().messageBox(FieldMapMessages::saveChangedMapQuestion(state().m_FieldMapSpec),
                                             ExportTexts::title(), BoxIcon::None, BoxButtons::YesNo);
    if (answer != BoxAnswer::Yes)
        return false;
    stay = !saveFieldMap();
    return true;
}

bool FieldMapStep::canLeaveForward()
{
    if (!findSystemNumberColumn())
        return false;
    bool stay = false;
    askToSaveChangedMap(stay);
    return !stay;
}

bool FieldMapStep::canLeaveBack()
{
    bool stay = false;
    const bool asked = isFieldMapChanged();
    const bool saved = askToSaveChangedMap(stay);
    if (stay)
        return false;
    // Edits never travel across Back: the map is emptied, and a saved map
    // is read again from its file.
    state().fieldMap.clear();
    showMap();
    if ((!asked || saved) && state().useSavedMap)
        emit savedMapReloadRequested();
    emit exportInputsChanged();
    return true;
}

bool FieldMapStep::allowsExport() const
{
    return !state().fieldMap.isEmpty();
}

} // namespace expwiz
