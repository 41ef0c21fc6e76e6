#pragma once

#include "wizard/WizardStep.h"

#include <QStringList>

#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidgetItem;
class QListWidget;
class QPushButton;

namespace expwiz {

class PrinterSource;

// The field map editor: fields of a category on the left, the map on the
// right in column order. The map itself lives in WizardState; the map list
// only shows it.
class FieldMapStep : public WizardStep {
    Q_OBJECT
public:
    FieldMapStep(WizardState& state, UiServices& ui, QWidget* parent = nullptr);
    ~FieldMapStep() override;

    void load() override;
    void companyChosen() override;
    void enter() override;
    bool canLeaveForward() override;
    bool canLeaveBack() override;
    bool allowsExport() const override;

    // Prepares the step for the map chosen on Select Map: categories, the
    // map read from its file (or empty), the available fields, the buttons.
    void enterFieldMapStep();
    // Empties the map (a new map was chosen).
    void clearMap();

    // Where Print Map prints; the desktop's default printer unless set.
    void setPrinterSource(PrinterSource& printers) { printers_ = &printers; }

signals:
    // The map was written to this file; it becomes the chosen saved map.
    void mapSaved(const QString& path);
    // The saved map must be read again from its file.
    void savedMapReloadRequested();

private:
    void fillFieldCategories();
    void fillAvailableFields();
    void loadFieldMap();
    void showMap();
    void updateFieldMapButtons();
    void addClicked();
    void removeClicked();
    void moveClicked(bool up);
    void saveMapClicked();
    bool saveFieldMap();
    bool findSystemNumberColumn();
    bool isFieldMapChanged() const;
    bool askToSaveChangedMap(bool& stay);
    void mapSelectionChanged();
    void linkField(int32_t id);
    void printMapClicked();
    static void selectOnly(QListWidget* list, QListWidgetItem* item);

    std::unique_ptr<PrinterSource> defaultPrinters_;
    PrinterSource* printers_ = nullptr;
    QStringList reportedDamagedFiles_;
    QLabel* info_ = nullptr;
    QComboBox* categories_ = nullptr;
    QLineEdit* filter_ = nullptr;
    QListWidget* available_ = nullptr;
    QListWidget* map_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* remove_ = nullptr;
    QPushButton* up_ = nullptr;
    QPushButton* down_ = nullptr;
    QPushButton* save_ = nullptr;
    QPushButton* print_ = nullptr;
    QCheckBox* header_ = nullptr;
    QCheckBox* company_ = nullptr;
};

} // namespace expwiz
