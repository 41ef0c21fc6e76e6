#include "wizard/SaveMapDialog.h"

#include "destination/FilePaths.h"
#include "export/ExportTexts.h"
#include "fieldmap/FieldMapMessages.h"
#include "platform/UiServices.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace expwiz {

SaveMapDialog::SaveMapDialog(UiServices& ui, QWidget* parent) : QDialog(parent), ui_(ui)
{
    setObjectName(QStringLiteral("frmSaveMap"));
    setWindowTitle(QStringLiteral("Save Field Map"));
    setModal(true);

    auto* label1 = new QLabel(QStringLiteral("Field Map Name:"), this);
    label1->setObjectName(QStringLiteral("Label1"));
    name_ = new QLineEdit(this);
    name_->setObjectName(QStringLiteral("txtMapName"));
    label1->setBuddy(name_);
    auto* label2 = new QLabel(QStringLiteral(".exp"), this);
    label2->setObjectName(QStringLiteral("Label2"));
    auto* ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setObjectName(QStringLiteral("cmdOk"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cancel->setObjectName(QStringLiteral("cmdCancel"));

    auto* layout = new QGridLayout(this);
    layout->addWidget(label1, 0, 0, 1, 2);
    layout->addWidget(name_, 1, 0);
    layout->addWidget(label2, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons, 2, 0, 1, 2);
    setMinimumWidth(320);

    connect(ok, &QPushButton::clicked, this, [this] { okClicked(); });
    connect(cancel, &QPushButton::clicked, this, [this] { reject(); });
}

QString SaveMapDialog::runForm(const QString& folder, const QString& name)
{
    folder_ = folder;
    answer_ = name;
    name_->setText(name);
    name_->selectAll();
    name_->setFocus();
    exec();
    return answer_;
}

void SaveMapDialog::reject()
{
    // Cancel, Escape and the window's close button all abandon the save.
    answer_.clear();
    QDialog::reject();
}

void SaveMapDialog::refuse()
{
    name_->setFocus();
    name_->selectAll();
}

void SaveMapDialog::okClicked()
{
    const QString answer = name_->text();
    if (answer.trimmed().isEmpty()) {
        ui_.messageBox(FieldMapMessages::emptyMapName(), ExportTexts::title());
        refuse();
        return;
    }
    if (!FilePaths::isValidFileName(answer)) {
        ui_.messageBox(QString::fromLatin1(kInvalidFileNameMessage), ExportTexts::title(), BoxIcon::Critical);
        refuse();
        return;
    }
    const QString path = FilePaths::composeFieldMapPath(folder_, answer);
    if (FilePaths::fileExists(path)) {
        const BoxAnswer replace =
            ui_.messageBox(QStringLiteral("The file already exists. Do you want to replace \r\n<") + path
                               + QStringLiteral(">?"),
                           ExportTexts::title(), BoxIcon::Exclamation, BoxButtons::YesNoCancel);
        if (replace == BoxAnswer::No) {
            refuse();
            return;
        }
        if (replace == BoxAnswer::Cancel) {
            reject();
            return;
        }
        // The old file is not emptied here: the map is written to a new file
        // that replaces it, so a failed write keeps the old map.
    }
    answer_ = answer;
    accept();
}

} // namespace expwiz
