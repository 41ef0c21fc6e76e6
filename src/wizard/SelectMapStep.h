#pragma once

#include "wizard/WizardStep.h"

class QCheckBox;
class QComboBox;
class QPushButton;
class QRadioButton;

namespace expwiz {

// A new field map or a saved one, the book that book-related fields are
// read from, and whether the inventory fields are offered.
class SelectMapStep : public WizardStep {
    Q_OBJECT
public:
    SelectMapStep(WizardState& state, UiServices& ui, QWidget* parent = nullptr);

    void companyChosen() override;
    void enter() override;
    bool canLeaveForward() override;

    // Chooses a map file: selects its entry in the saved-map list (adding it
    // when it is not there yet), as the user's choice would.
    void addOrSelectFieldMapFile(const QString& path);
    // A map was saved under this path: it becomes the chosen saved map.
    void useSavedMapFile(const QString& path);
    // Reads the chosen saved map again, as choosing it in the list does.
    void savedMapSelected();

signals:
    // The Field Map step must be prepared again for the map now chosen.
    void fieldMapChosen();
    // "Create New" was chosen: the Field Map step's map is emptied.
    void newMapChosen();

private:
    void fillBookList();
    void prepare();
    bool resolveFieldMapChoice();
    void updateSelectMapNext();
    void createNewClicked();
    void useSavedClicked();
    void browse();
    void bookChanged();

    QRadioButton* createNew_ = nullptr;
    QRadioButton* useSaved_ = nullptr;
    QComboBox* maps_ = nullptr;
    QPushButton* browse_ = nullptr;
    QComboBox* books_ = nullptr;
    QCheckBox* inventory_ = nullptr;
};

} // namespace expwiz
