#include "QtPrinters.h"

#include "platform/BusyPointer.h"
#include "platform/QtUiServices.h"
#include "platform/ScriptedUiServices.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QTimer>

using expwiz::BoxAnswer;
using expwiz::BoxButtons;
using expwiz::BoxIcon;

namespace {

// Looks at the box once it shows and presses one of its buttons.
void answerBoxWhenShown(QObject& owner, QMessageBox::StandardButton press, QMessageBox::StandardButtons& seenButtons,
                        QMessageBox::Icon& seenIcon, QString& seenTitle, int attempts = 200)
{
    QTimer::singleShot(10, &owner, [&owner, press, &seenButtons, &seenIcon, &seenTitle, attempts] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            if (attempts > 0)
                answerBoxWhenShown(owner, press, seenButtons, seenIcon, seenTitle, attempts - 1);
            return;
        }
        seenButtons = box->standardButtons();
        seenIcon = box->icon();
        seenTitle = box->windowTitle();
        if (QAbstractButton* button = box->button(press))
            button->click();
        else
            box->close();
    });
}

} // namespace

TEST(UiFilters, HostFiltersBecomeQtFilters)
{
    struct Case {
        QString host;
        QString qt;
    };
    for (const Case& c : {Case{"Orvo Export File (.csv) | *.csv", "Orvo Export File (*.csv)"},
                          Case{"Orv Field Map File (.exp) | *.exp", "Orv Field Map File (*.exp)"},
                          Case{"Text (.txt) | *.txt | All files | *.*", "Text (*.txt);;All files (*.*)"},
                          Case{"Several | *.csv;*.txt", "Several (*.csv *.txt)"},
                          Case{"Images (*.png)", "Images (*.png)"}}) {
        SCOPED_TRACE(c.host.toStdString());
        EXPECT_EQ(expwiz::UiServices::qtFilter(c.host), c.qt);
    }
}

TEST(UiScripted, AnswersInOrderRecordsEveryBoxAndRefusesTheUnforeseen)
{
    expwiz::ScriptedUiServices ui;
    ui.setApplicationTitle(QStringLiteral("Orvo"));
    ui.queueAnswer(BoxAnswer::No);
    ui.queueAnswer(BoxAnswer::Yes);
    EXPECT_EQ(ui.messageBox("Save the map?", "Custom Export", BoxIcon::Question, BoxButtons::YesNoCancel), BoxAnswer::No);
    EXPECT_EQ(ui.messageBox("Overwrite?"), BoxAnswer::Yes);
    ASSERT_EQ(ui.boxes().size(), 2u);
    EXPECT_EQ(ui.boxes()[0].title, "Custom Export");
    EXPECT_EQ(ui.boxes()[0].icon, BoxIcon::Question);
    EXPECT_EQ(ui.boxes()[0].buttons, BoxButtons::YesNoCancel);
    // A box without a title of its own shows the application title.
    EXPECT_EQ(ui.boxes()[1].title, "Orvo");
    EXPECT_EQ(ui.boxes()[1].buttons, BoxButtons::Ok);

    EXPECT_THROW(ui.messageBox("Nobody expected this"), expwiz::UnexpectedDialog);
    EXPECT_EQ(ui.unexpected(), QStringList{"box: Nobody expected this"});

    ui.queueFile(QStringLiteral("/tmp/a.csv"));
    ui.queueFile(std::nullopt);
    expwiz::FileDialogRequest request{"Export File", "Orvo Export File (.csv) | *.csv", "csv", "/tmp", "a.csv"};
    EXPECT_EQ(ui.saveFileName(request), QString("/tmp/a.csv"));
    EXPECT_EQ(ui.openFileName(request), std::nullopt);
    EXPECT_THROW(ui.openFileName(request), expwiz::UnexpectedDialog);
    ASSERT_EQ(ui.fileDialogs().size(), 3u);
    EXPECT_TRUE(ui.fileDialogs()[0].save);
    EXPECT_FALSE(ui.fileDialogs()[1].save);
    EXPECT_TRUE(ui.allAnswersUsed());
}

TEST(UiBusyPointer, EveryWayOutRestoresThePointer)
{
    expwiz::ScriptedUiServices scripted;
    {
        expwiz::BusyPointer outer(scripted);
        try {
            expwiz::BusyPointer inner(scripted);
            EXPECT_EQ(scripted.busyDepth(), 2);
            throw std::runtime_error("failed in the middle");
        } catch (const std::runtime_error&) {
        }
        EXPECT_EQ(scripted.busyDepth(), 1);
    }
    EXPECT_EQ(scripted.busyDepth(), 0);

    expwiz::QtUiServices qt;
    {
        expwiz::BusyPointer busy(qt);
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(UiQtBoxes, ShowExactlyTheGivenButtonsAndIcon)
{
    struct Case {
        const char* name;
        BoxIcon icon;
        BoxButtons buttons;
        QMessageBox::StandardButton press;
        QMessageBox::Icon qtIcon;
        QMessageBox::StandardButtons qtButtons;
        BoxAnswer answer;
    };
    const std::vector<Case> cases{
        {"ok, no icon", BoxIcon::None, BoxButtons::Ok, QMessageBox::Ok, QMessageBox::NoIcon, QMessageBox::Ok,
         BoxAnswer::Ok},
        {"critical", BoxIcon::Critical, BoxButtons::Ok, QMessageBox::Ok, QMessageBox::Critical, QMessageBox::Ok,
         BoxAnswer::Ok},
        {"yes/no answered no", BoxIcon::Question, BoxButtons::YesNo, QMessageBox::No, QMessageBox::Question,
         QMessageBox::Yes | QMessageBox::No, BoxAnswer::No},
        {"yes/no/cancel answered cancel", BoxIcon::Exclamation, BoxButtons::YesNoCancel, QMessageBox::Cancel,
         QMessageBox::Warning, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, BoxAnswer::Cancel},
        {"closed without a button counts as no", BoxIcon::Information, BoxButtons::YesNo, QMessageBox::NoButton,
         QMessageBox::Information, QMessageBox::Yes | QMessageBox::No, BoxAnswer::No},
    };
    expwiz::QtUiServices ui;
    ui.setApplicationTitle(QStringLiteral("Orvo Host"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QObject owner;
        QMessageBox::StandardButtons seenButtons;
        QMessageBox::Icon seenIcon = QMessageBox::NoIcon;
        QString seenTitle;
        answerBoxWhenShown(owner, c.press, seenButtons, seenIcon, seenTitle);
        EXPECT_EQ(ui.messageBox(QStringLiteral("Text"), {}, c.icon, c.buttons), c.answer);
        EXPECT_EQ(seenButtons, c.qtButtons);
        EXPECT_EQ(seenIcon, c.qtIcon);
        EXPECT_EQ(seenTitle, "Orvo Host");
    }
}

TEST(UiQtFileDialogs, CancelIsNothingAndAChoiceIsItsPath)
{
    expwiz::QtUiServices ui;
    const expwiz::FileDialogRequest request{"Export File", "Orvo Export File (.csv) | *.csv", "csv", "/tmp",
                                            "assets"};
    for (bool accept : {false, true}) {
        SCOPED_TRACE(accept);
        QObject owner;
        QStringList filters;
        QTimer::singleShot(50, &owner, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            filters = dialog->nameFilters();
            if (accept)
                QMetaObject::invokeMethod(dialog, "accept");
            else
                dialog->reject();
        });
        const auto chosen = ui.saveFileName(request);
        EXPECT_EQ(filters, QStringList{"Orvo Export File (*.csv)"});
        if (accept) {
            ASSERT_TRUE(chosen);
            EXPECT_TRUE(chosen->endsWith("/assets.csv")) << chosen->toStdString();
        } else {
            EXPECT_FALSE(chosen);
        }
    }
}
