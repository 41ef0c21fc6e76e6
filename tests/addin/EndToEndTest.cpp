#include "QtPrinters.h"

#include "HostWindow.h"
#include "refhost/AddinRegistry.h"
#include "refhost/DemoData.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

template <class T>
T* control(QWidget& window, const char* name)
{
    T* widget = window.findChild<T*>(QString::fromLatin1(name));
    if (!widget)
        ADD_FAILURE() << "no control " << name;
    return widget;
}

void press(QWidget& window, const char* name)
{
    QTest::mouseClick(control<QPushButton>(window, name), Qt::LeftButton);
}

void choose(QListWidget& list, const QString& text)
{
    const auto found = list.findItems(text, Qt::MatchExactly);
    ASSERT_FALSE(found.isEmpty()) << text.toStdString();
    list.setCurrentItem(found.front());
}

// What a user does in the wizard, step by step, with the real message
// boxes answered as they come.
struct User {
    QStringList boxes;
    bool driven = false;
    QString folder;

    void answerBox(QMessageBox& box)
    {
        boxes << box.text();
        QAbstractButton* button = box.text().contains("has not been saved") ? box.button(QMessageBox::No)
                                                                              : box.buttons().front();
        button->click();
    }

    void useWizard(QWidget& wizard)
    {
        driven = true;
        press(wizard, "cmdNav3");
        choose(*control<QListWidget>(wizard, "lstP2Company"), QStringLiteral("Café Müller & Søn, \"Nord\""));
        choose(*control<QListWidget>(wizard, "lstP2Group"), QStringLiteral("All Orvo Assets"));
        press(wizard, "cmdNav3");
        control<QComboBox>(wizard, "cmbP4Book")->setCurrentIndex(1);   // Tax
        press(wizard, "cmdNav3");
        auto* available = control<QListWidget>(wizard, "lstP5AvailableField");
        const QStringList fields{"System No",    "Description",        "Acquisition Date", "Acquisition Value",
                                 "Department",   "Custodian",          "Class",            "Depreciation Method",
                                 "Disposal Date", "Current Accum Depr"};
        for (int row = 0; row < available->count(); ++row)
            available->item(row)->setSelected(fields.contains(available->item(row)->text()));
        press(wizard, "cmdP5Add");
        press(wizard, "cmdNav3");   // the unsaved-map question is answered No
        control<QLineEdit>(wizard, "txtP3Filename")->setText(QStringLiteral("wizard"));
        control<QLineEdit>(wizard, "txtP3Location")->setText(folder);
        press(wizard, "cmdNav3");
        press(wizard, "cmdNav4");   // Export; the completion message is answered OK
        press(wizard, "cmdNav1");   // Close
    }
};

QString python(const QString& script, const QStringList& args)
{
    QProcess process;
    process.start(QStringLiteral("python3"), QStringList{QStringLiteral("-c"), script} + args);
    process.waitForFinished(60000);
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

} // namespace

TEST(EndToEnd, TheHostsMenuCommandExportsWhatTheCommandLineExports)
{
    QTemporaryDir dir;
    const QString data = dir.filePath(QStringLiteral("data"));
    orvo::refhost::DemoData::create(data);
    orvo::refhost::AddinRegistry(data + QStringLiteral("/addins.list"))
        .Register(QStringLiteral("expwiz.clsExpWizard"), QStringLiteral(EXPWIZ_BUILD_DIR "/lib/libexpwiz.so"));
    auto host = orvo::refhost::ReferenceHost::open(data);

    User user;
    user.folder = dir.path();
    // Two timers: one answers the boxes while the other is still inside the
    // wizard (a timer does not fire again while its own handler runs).
    QTimer boxes;
    QObject::connect(&boxes, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            user.answerBox(*box);
    });
    boxes.start(20);
    QTimer driver;
    QObject::connect(&driver, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal->objectName() == QLatin1String("frmWizard") && !user.driven)
            user.useWizard(*modal);
    });
    driver.start(20);
    {
        orvo::app::HostWindow window(host);
        window.show();
        window.loadAddins();
        QAction* command = nullptr;
        for (QAction* action : window.findChildren<QAction*>()) {
            if (action->objectName().startsWith(QLatin1String("addinCommand")))
                command = action;
        }
        ASSERT_NE(command, nullptr);
        EXPECT_EQ(command->text(), "Custom &Export...");
        ASSERT_TRUE(command->isEnabled());
        command->trigger();   // returns when the wizard has closed
        window.shutDownAddins();
    }
    driver.stop();
    boxes.stop();
    EXPECT_TRUE(user.driven);
    EXPECT_EQ(user.boxes,
              (QStringList{"The specified field map has not been saved. Would you like to save the field map?",
                           "The Export process is complete."}));

    // The same choices on the command line.
    QProcess cli;
    cli.start(QStringLiteral(EXPWIZ_BUILD_DIR "/bin/expwiz"),
              {"export", "--data", data, "--database", "Orvo Demo", "--company", "Café Müller & Søn, \"Nord\"",
               "--group", "All Orvo Assets", "--book", "Tax", "--fields",
               "1002,1075,1006,1082,1010,1011,1097,1012,1056,1004", "--header", "--company-line", "--output",
               dir.filePath(QStringLiteral("cli.csv"))});
    ASSERT_TRUE(cli.waitForFinished(60000));
    ASSERT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();

    // Both files read back as a spreadsheet would: the same cells, row by row.
    const QString compare = QStringLiteral(
        "import csv, sys\n"
        "def rows(p):\n"
        "    with open(p, newline='', encoding='utf-8') as f:\n"
        "        return list(csv.reader(f))\n"
        "a, b = rows(sys.argv[1]), rows(sys.argv[2])\n"
        "assert a == b, 'files differ'\n"
        "assert all(len(r) == len(a[1]) for r in a[1:]), 'ragged rows'\n"
        "print(len(a), len(a[1]), a[1][0], a[0][0])\n");
    const QString summary = python(compare, {dir.filePath(QStringLiteral("wizard.csv")), dir.filePath(QStringLiteral("cli.csv"))});
    const QStringList parts = summary.split(' ');
    ASSERT_GE(parts.size(), 4) << summary.toStdString();
    EXPECT_GT(parts[0].toInt(), 2 + 20) << summary.toStdString();   // company line, header, the rows
    EXPECT_EQ(parts[1], "10");
}
