#include "wizard/IntroductionStep.h"

#include "wizard/IntroductionPicture.h"

#include <QGridLayout>
#include <QLabel>
#include <QPixmap>

namespace expwiz {

IntroductionStep::IntroductionStep(WizardState& state, UiServices& ui, QWidget* parent)
    : WizardStep(state, ui, 0, 200, parent)
{
    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("imgP1Introduction"));
    picture->setPixmap(QPixmap::fromImage(IntroductionPicture::render()));
    picture->setFixedSize(IntroductionPicture::Width, IntroductionPicture::Height);

    auto* intro1 = new QLabel(QStringLiteral("Welcome to the Custom Export Helper."), this);
    intro1->setObjectName(QStringLiteral("lblP1Intro1"));
    QFont bold = intro1->font();
    bold.setBold(true);
    intro1->setFont(bold);

    auto* intro2 = new QLabel(
        QStringLiteral("The Export Helper guides you, step by step, through the process of exporting asset "
                       "data to an ASCII Comma Separated Value (CSV) file. A wide range of programs, including "
                       "popular spreadsheet programs, can read this file format. The Export Helper allows you "
                       "to select some or all of the asset groups and fields to export from the system."),
        this);
    intro2->setObjectName(QStringLiteral("lblP1Intro2"));
    intro2->setWordWrap(true);
    intro2->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto* layout = new QGridLayout(this);
    layout->addWidget(picture, 0, 0, 3, 1, Qt::AlignTop);
    layout->addWidget(intro1, 0, 1);
    layout->addWidget(intro2, 1, 1);
    layout->setRowStretch(2, 1);
    layout->setColumnStretch(1, 1);
    layout->setHorizontalSpacing(16);
    layout->setVerticalSpacing(12);
}

} // namespace expwiz
