#include "OnShown.h"
#include "ProgramRun.h"
#include "QtPrinters.h"

#include "HostWindow.h"
#include "refhost/AddinRegistry.h"
#include "refhost/DemoData.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>

namespace {

template <class T>
T& control(QWidget& window, const char* name)
{
    T* widget = window.findChild<T*>(QString::fromLatin1(name));
    if (!widget)
        throw std::runtime_error(std::string("no control ") + name);
    return *widget;
}

void choose(QListWidget& list, const QString& text)
{
    const auto found = list.findItems(text, Qt::MatchExactly);
    ASSERT_FALSE(found.isEmpty()) << text.toStdString();
    list.setCurrentItem(found.front());
}

} // namespace

// What a user does in the host's window, with the real message boxes
// answered as they come, gives the file the command line gives.
TEST(EndToEnd, TheHostsMenuCommandExportsWhatTheCommandLineExports)
{
    QTemporaryDir dir;
    const QString data = dir.filePath("data");
    orvo::refhost::DemoData::create(data);
    orvo::refhost::AddinRegistry(data + "/addins.list").Register("expwiz.clsExpWizard", EXPWIZ_BUILD_DIR "/lib/libexpwiz.so");

    QStringList boxes;
    const OnShown answer([](QWidget& w) { return qobject_cast<QMessageBox*>(&w) != nullptr; }, [&](QWidget& w) {
        auto& box = static_cast<QMessageBox&>(w);
        boxes << box.text();
        (box.text().contains("has not been saved") ? box.button(QMessageBox::No) : box.buttons().front())->click();
    });
    const OnShown user("frmWizard", [&](QWidget& wizard) {
        const auto press = [&](const char* name) { control<QPushButton>(wizard, name).click(); };
        press("cmdNav3");
        choose(control<QListWidget>(wizard, "lstP2Company"), "Café Müller & Søn, \"Nord\"");
        choose(control<QListWidget>(wizard, "lstP2Group"), "All Orvo Assets");
        press("cmdNav3");
        control<QComboBox>(wizard, "cmbP4Book").setCurrentIndex(1);   // Tax
        press("cmdNav3");
        auto& available = control<QListWidget>(wizard, "lstP5AvailableField");
        const QStringList fields{"System No", "Description", "Acquisition Date", "Acquisition Value", "Department",
                                 "Custodian", "Class", "Depreciation Method", "Disposal Date", "Current Accum Depr"};
        for (int row = 0; row < available.count(); ++row)
            available.item(row)->setSelected(fields.contains(available.item(row)->text()));
        press("cmdP5Add");
        press("cmdNav3");   // the unsaved-map question is answered No
        control<QLineEdit>(wizard, "txtP3Filename").setText("wizard");
        control<QLineEdit>(wizard, "txtP3Location").setText(dir.path());
        press("cmdNav3");
        press("cmdNav4");   // Export; the completion message is answered OK
        press("cmdNav1");   // Close
    });
    {
        orvo::app::HostWindow window(orvo::refhost::ReferenceHost::open(data));
        window.show();
        window.loadAddins();
        QAction* command = nullptr;
        for (QAction* action : window.findChildren<QAction*>())
            command = action->objectName().startsWith("addinCommand") ? action : command;
        ASSERT_NE(command, nullptr);
        EXPECT_EQ(command->text(), "Custom &Export...");
        ASSERT_TRUE(command->isEnabled());
        command->trigger();   // returns when the wizard has closed
        window.shutDownAddins();
    }
    EXPECT_EQ(user.shown, 1);
    EXPECT_EQ(boxes, QStringList({"The specified field map has not been saved. Would you like to save the field map?",
                                  "The Export process is complete."}));

    // The same choices on the command line.
    const ProgramRun cli = runCli({"export", "--data", data, "--database", "Orvo Demo", "--company",
                                   "Café Müller & Søn, \"Nord\"", "--group", "All Orvo Assets", "--book", "Tax",
                                   "--fields", "1002,1075,1006,1082,1010,1011,1097,1012,1056,1004", "--header",
                                   "--company-line", "--output", dir.filePath("cli.csv")});
    ASSERT_EQ(cli.exitCode, 0) << cli.err.toStdString();
    EXPECT_EQ(readBytes(dir.filePath("wizard.csv")), cli.file);
    // Read as a spreadsheet would: the company line, the header and more than 20 rows of 10 cells each.
    const ProgramRun cells = runCli({"-c", "import csv, sys\nrows = list(csv.reader(open(sys.argv[1], newline='', "
                                     "encoding='utf-8')))\nprint(len(rows) > 22, set(len(r) for r in rows[1:]))",
                                     dir.filePath("cli.csv")}, {}, "/usr/bin/python3");
    EXPECT_EQ(cells.out, "True {10}\n") << cells.err.toStdString();
}
