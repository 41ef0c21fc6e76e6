#include "OnShown.h"
#include "QtPrinters.h"

#include "platform/BusyPointer.h"
#include "platform/QtUiServices.h"
#include "platform/ScriptedUiServices.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;
using namespace expwiz;
using MB = QMessageBox;

TEST(UiServices, ScriptedAnswersInOrderQtDialogsAsAskedAndBusyPointersEndOnEveryWayOut)
{
    ScriptedUiServices ui;
    ui.setApplicationTitle(u"Orvo"_s);
    ui.queueAnswer(BoxAnswer::No);
    ui.queueAnswer([](const ScriptedUiServices::Box& box) { return box.text == "Overwrite?" ? BoxAnswer::Cancel : BoxAnswer::Ok; });
    // an answer given as code goes first; a box without a title of its own shows the application title
    EXPECT_EQ(ui.messageBox(u"Overwrite?"_s), BoxAnswer::Cancel);
    EXPECT_EQ(ui.messageBox(u"Save the map?"_s, u"Custom Export"_s, BoxIcon::Question, BoxButtons::YesNoCancel), BoxAnswer::No);
    EXPECT_THROW(ui.messageBox(u"Nobody expected this"_s), UnexpectedDialog);
    std::vector<std::tuple<QString, QString, BoxIcon, BoxButtons, BoxAnswer>> boxes;
    for (const auto& b : ui.boxes())
        boxes.emplace_back(b.text, b.title, b.icon, b.buttons, b.answer);
    EXPECT_EQ(boxes, (decltype(boxes){{u"Overwrite?"_s, u"Orvo"_s, BoxIcon::None, BoxButtons::Ok, BoxAnswer::Cancel},
                                      {u"Save the map?"_s, u"Custom Export"_s, BoxIcon::Question, BoxButtons::YesNoCancel, BoxAnswer::No},
                                      {u"Nobody expected this"_s, u"Orvo"_s, BoxIcon::None, BoxButtons::Ok, BoxAnswer::Ok}}));

    ui.queueFile(u"/tmp/a.csv"_s);
    ui.queueFile(std::nullopt);
    const FileDialogRequest request{u"Export File"_s, u"Orvo Export File (.csv) | *.csv"_s, u"csv"_s, u"/tmp"_s, u"a.csv"_s};
    EXPECT_EQ(ui.saveFileName(request), u"/tmp/a.csv"_s);
    EXPECT_EQ(ui.openFileName(request), std::nullopt);
    EXPECT_TRUE(ui.allAnswersUsed());
    EXPECT_THROW(ui.openFileName(request), UnexpectedDialog);
    ASSERT_EQ(ui.fileDialogs().size(), 3u);
    EXPECT_TRUE(ui.fileDialogs()[0].save && !ui.fileDialogs()[1].save && ui.fileDialogs()[2].request.title == "Export File");
    EXPECT_EQ(ui.unexpected(), (QStringList{u"box: Nobody expected this"_s, u"file dialog: Export File"_s}));
    ui.clearRecords();
    EXPECT_TRUE(ui.boxes().empty() && ui.fileDialogs().empty() && ui.unexpected().isEmpty());

    // Every way out of a busy stretch restores the pointer, and pending events run.
    EXPECT_THROW(([&] {
        BusyPointer outer(ui), inner(ui);
        EXPECT_EQ(ui.busyDepth(), 2);
        throw std::runtime_error("failed in the middle");
    }()), std::runtime_error);
    EXPECT_EQ(ui.busyDepth(), 0);
    QtUiServices qt;
    qt.setApplicationTitle(u"Orvo Host"_s);
    {
        BusyPointer busy(qt);
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    for (UiServices* services : std::initializer_list<UiServices*>{&qt, &ui}) {
        bool ran = false;
        QMetaObject::invokeMethod(qApp, [&ran] { ran = true; }, Qt::QueuedConnection);
        services->processEvents();
        EXPECT_TRUE(ran);
    }
    EXPECT_EQ(ui.processEventsCalls(), 1);

    // Qt's boxes show exactly the given buttons; press NoButton: closed with the window's close button
    struct Case { BoxIcon icon; BoxButtons buttons; MB::StandardButton press; MB::Icon qtIcon; MB::StandardButtons qtButtons;
                  BoxAnswer answer; };
    const Case cases[] = {
        {BoxIcon::None, BoxButtons::Ok, MB::Ok, MB::NoIcon, MB::Ok, BoxAnswer::Ok},
        {BoxIcon::Critical, BoxButtons::Ok, MB::NoButton, MB::Critical, MB::Ok, BoxAnswer::Ok},
        {BoxIcon::Question, BoxButtons::YesNo, MB::No, MB::Question, MB::Yes | MB::No, BoxAnswer::No},
        {BoxIcon::Question, BoxButtons::YesNo, MB::Yes, MB::Question, MB::Yes | MB::No, BoxAnswer::Yes},
        {BoxIcon::Information, BoxButtons::YesNo, MB::NoButton, MB::Information, MB::Yes | MB::No, BoxAnswer::No},
        {BoxIcon::Exclamation, BoxButtons::YesNoCancel, MB::NoButton, MB::Warning, MB::Yes | MB::No | MB::Cancel,
         BoxAnswer::Cancel}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.icon) << " " << int(c.buttons) << " " << c.press);
        std::tuple<QString, QString, MB::Icon, MB::StandardButtons> seen;
        const OnShown answer([](QWidget& w) { return qobject_cast<MB*>(&w); }, [&](QWidget& w) {
            auto& box = static_cast<MB&>(w);
            seen = {box.text(), box.windowTitle(), box.icon(), box.standardButtons()};
            c.press == MB::NoButton ? void(box.close()) : box.button(c.press)->click();
        });
        EXPECT_EQ(qt.messageBox(u"Text"_s, {}, c.icon, c.buttons), c.answer);
        EXPECT_EQ(seen, std::tuple(u"Text"_s, u"Orvo Host"_s, c.qtIcon, c.qtButtons));
    }

    // The host's filters become Qt's, and its file dialogs return the choice.
    for (const auto& [from, to] : {std::pair{"Orvo Export File (.csv) | *.csv", "Orvo Export File (*.csv)"},
                                   std::pair{"Text (.txt) | *.txt | All files | *.*", "Text (*.txt);;All files (*.*)"},
                                   std::pair{"Several | *.csv;*.txt | Odd", "Several (*.csv *.txt)"},
                                   std::pair{"(x) | *.x", "(x) (*.x)"}, std::pair{"Images (*.png)", "Images (*.png)"}})
        EXPECT_EQ(UiServices::qtFilter(QLatin1String(from)), QLatin1String(to)) << from;
    QTemporaryDir dir;
    ASSERT_TRUE(QFile(dir.filePath(u"there.csv"_s)).open(QIODevice::WriteOnly));
    for (const auto& [save, accept, name, chosen] : {std::tuple{true, false, "assets", ""}, std::tuple{true, true, "assets", "assets.csv"},
                                                     std::tuple{false, true, "there.csv", "there.csv"}}) {
        SCOPED_TRACE(name);
        std::pair<QStringList, QFileDialog::FileMode> seen;
        const OnShown answer([](QWidget& w) { return qobject_cast<QFileDialog*>(&w); }, [&, accept = accept](QWidget& w) {
            seen = {static_cast<QFileDialog&>(w).nameFilters(), static_cast<QFileDialog&>(w).fileMode()};
            QMetaObject::invokeMethod(&w, accept ? "accept" : "reject");
        });
        const FileDialogRequest request{u"Export File"_s, u"Orvo Export File (.csv) | *.csv"_s, u"csv"_s, dir.path(),
                                        QLatin1String(name)};
        const auto result = save ? qt.saveFileName(request) : qt.openFileName(request);
        const auto mode = save ? QFileDialog::AnyFile : QFileDialog::ExistingFile;
        EXPECT_EQ(seen, std::pair(QStringList{u"Orvo Export File (*.csv)"_s}, mode));
        EXPECT_EQ(result, *chosen ? std::optional(dir.filePath(QLatin1String(chosen))) : std::nullopt);
    }
}
