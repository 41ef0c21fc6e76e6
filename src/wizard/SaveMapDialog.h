#pragma once

#include <QDialog>

class QLineEdit;

namespace expwiz {

class UiServices;

// Asks for the name of the field map file to write in a folder. The name
// is used as typed (not trimmed); ".exp" is added by the caller.
class SaveMapDialog : public QDialog {
    Q_OBJECT
public:
    SaveMapDialog(UiServices& ui, QWidget* parent = nullptr);

    // Shows the dialog modally with `name` in the name box; the confirmed
    // name, or an empty text when the save is abandoned.
    QString runForm(const QString& folder, const QString& name);

protected:
    void reject() override;

private:
    void okClicked();
    void refuse();

    UiServices& ui_;
    QLineEdit* name_ = nullptr;
    QString folder_;
    QString answer_;
};

} // namespace expwiz
