#include "wizard/DestinationStep.h"

#include "destination/DestinationMessages.h"
#include "destination/FilePaths.h"
#include "destination/HostFileGuard.h"
#include "destination/SettingsFile.h"
#include "export/ExportTexts.h"
#include "platform/UiServices.h"
#include "wizard/WizardState.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace expwiz {

DestinationStep::DestinationStep(WizardState& state, UiServices& ui, QWidget* parent)
    : WizardStep(state, ui, 4, 202, parent)
{
    auto* info = new QLabel(QStringLiteral("Step 4: Now specify the destination and file name to which you want to "
                                           "export the asset information. If you want to search for an existing "
                                           "directory path and file name on your computer, click the Browse button."),
                            this);
    info->setObjectName(QStringLiteral("lblP3Info"));
    info->setWordWrap(true);

    auto* frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("fmeP3File"));
    auto* nameLabel = new QLabel(QStringLiteral("&File name:"), frame);
    nameLabel->setObjectName(QStringLiteral("lblP3Filename"));
    fileName_ = new QLineEdit(QStringLiteral("OrvoExport"), frame);
    fileName_->setObjectName(QStringLiteral("txtP3Filename"));
    nameLabel->setBuddy(fileName_);
    auto* csv = new QLabel(QStringLiteral(".csv"), frame);
    csv->setObjectName(QStringLiteral("lblP3CSV"));
    auto* locationLabel = new QLabel(QStringLiteral("&Location:"), frame);
    locationLabel->setObjectName(QStringLiteral("lblP3Location"));
    location_ = new QLineEdit(frame);
    location_->setObjectName(QStringLiteral("txtP3Location"));
    locationLabel->setBuddy(location_);
    auto* browse = new QPushButton(QStringLiteral("Bro&wse"), frame);
    browse->setObjectName(QStringLiteral("cmdP3Browse"));
    browse->setAutoDefault(false);

    auto* grid = new QGridLayout(frame);
    grid->addWidget(nameLabel, 0, 0);
    grid->addWidget(fileName_, 0, 1);
    grid->addWidget(csv, 0, 2);
    grid->addWidget(locationLabel, 1, 0);
    grid->addWidget(location_, 1, 1);
    grid->addWidget(browse, 1, 2);
    grid->setColumnStretch(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(info);
    layout->addWidget(frame);
    layout->addStretch(1);

    fileName_->installEventFilter(this);
    // Every change of either box, the program's own included, applies the
    // Next rule to both: an empty folder is as much a dead end as an empty name.
    connect(fileName_, &QLineEdit::textChanged, this, [this] { applyNextRule(); });
    connect(location_, &QLineEdit::textChanged, this, [this] { applyNextRule(); });
    connect(browse, &QPushButton::clicked, this, [this] { this->browse(); });
}

int32_t DestinationStep::applicationType() const
{
    // The host's edition code is asked anew each time, as the settings file
    // name depends on it.
    return state().HostApplication ? state().HostApplication->ApplicationType() : state().edition.appType;
}

void DestinationStep::applyNextRule()
{
    // The boxes also change while another step shows (a company chosen).
    if (state().CurrentStep == index())
        emit nextEnabledRequested(allowsExport());
    emit exportInputsChanged();
}

void DestinationStep::companyChosen()
{
    fileName_->setText(state().edition.defaultExportBaseName());
    location_->setText(state().HostApplication ? state().HostApplication->ProgramPath() : QString());
}

void DestinationStep::enter()
{
    lastValidFileName_ = fileName_->text();
    const QString programPath = state().HostApplication ? state().HostApplication->ProgramPath() : QString();
    const QString remembered = SettingsFile(applicationType()).readExportPath(programPath);
    // An emptied remembered folder means none is remembered.
    location_->setText(remembered.trimmed().isEmpty() ? programPath : remembered);
    applyNextRule();
}

bool DestinationStep::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == fileName_ && event->type() == QEvent::FocusOut)
        validateFileName();
    return WizardStep::eventFilter(watched, event);
}

bool DestinationStep::validateFileName()
{
    if (fileName_->text() == lastValidFileName_)
        return true;
    if (!FilePaths::isValidFileName(fileName_->text())) {
        ui().messageBox(QString::fromLatin1(kInvalidFileNameMessage), ExportTexts::title(), BoxIcon::Critical);
        fileName_->setText(lastValidFileName_);
        fileName_->setFocus();
        return false;
    }
    lastValidFileName_ = fileName_->text();
    applyNextRule();
    return true;
}

bool DestinationStep::canLeaveForward()
{
    // A name typed and left with a key press never lost the focus: it is
    // checked here, so a "/" can never send the file into another folder.
    if (!validateFileName())
        return false;
    return validateDestination();
}

bool DestinationStep::canLeaveBack()
{
    return state().SummaryReached ? canLeaveForward() : true;
}

bool DestinationStep::validateDestination()
{
    if (fileName_->text().trimmed().isEmpty())
        return true;
    const QString folder = FilePaths::withTrailingSeparator(location_->text());
    const QString path = FilePaths::composeExportPath(location_->text(), fileName_->text());
    // Never the host's own data nor the map being read.
    QStringList ownFiles = HostFileGuard::hostFiles(state().hostApp);
    ownFiles << state().m_FieldMapFilename;
    if (const QString own = HostFileGuard::clash(path, ownFiles); !own.isEmpty()) {
        ui().messageBox(HostFileGuard::message(path, own), ExportTexts::title(), BoxIcon::Critical);
        state().m_ExportFilename.clear();
        fileName_->setFocus();
        return false;
    }
    if (path == state().m_ExportFilename)
        return true;
    state().m_ExportFilename = path;
    if (FilePaths::fileExists(path)) {
        if (ui().messageBox(DestinationMessages::replaceFileQuestion(path), ExportTexts::title(), BoxIcon::Exclamation,
                            BoxButtons::YesNo)
            != BoxAnswer::Yes) {
            state().m_ExportFilename.clear();
            return false;
        }
    }
    if (!FilePaths::folderExists(path)) {
        if (ui().messageBox(DestinationMessages::createFolderQuestion(folder), ExportTexts::title(),
                            BoxIcon::Exclamation, BoxButtons::YesNo)
            != BoxAnswer::Yes) {
            state().m_ExportFilename.clear();
            return false;
        }
        if (!FilePaths::createFolder(folder)) {
            ui().messageBox(DestinationMessages::folderNotCreated(), ExportTexts::title(), BoxIcon::Exclamation);
            // Not chosen: the same path typed again asks again.
            state().m_ExportFilename.clear();
            // An emptied folder box is as good as a blank one: Next waits
            // for a folder to be typed.
            location_->clear();
            location_->setFocus();
            return false;
        }
    }
    return true;
}

void DestinationStep::browse()
{
    FileDialogRequest request;
    request.title = QStringLiteral("Export File");
    request.defaultExtension = QStringLiteral("csv");
    request.filter = state().edition.exportFileFilter();
    request.initialFolder = location_->text();
    request.fileName = fileName_->text();
    QString chosen;
    for (;;) {
        const std::optional<QString> answer = ui().saveFileName(request);
        if (!answer)
            return;
        chosen = *answer;
        if (!FilePaths::fileExists(chosen))
            break;
        const BoxAnswer replace = ui().messageBox(DestinationMessages::replaceFileQuestion(chosen),
                                                  ExportTexts::title(), BoxIcon::Exclamation, BoxButtons::YesNoCancel);
        if (replace == BoxAnswer::Yes)
            break;
        if (replace == BoxAnswer::Cancel)
            return;
    }
    state().m_ExportFilename = chosen;
    fileName_->setText(FilePaths::getFileTitle(chosen));
    lastValidFileName_ = fileName_->text();
    location_->setText(FilePaths::getFolderPart(chosen));
    // Only a folder chosen here is remembered; a failed write just means
    // the next run starts in the program folder.
    SettingsFile(applicationType()).writeExportPath(location_->text());
    applyNextRule();
}

bool DestinationStep::allowsExport() const
{
    return !fileName_->text().trimmed().isEmpty() && !location_->text().trimmed().isEmpty();
}

} // namespace expwiz
