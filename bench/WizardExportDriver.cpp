// Exports a host's data through the wizard's own widgets, step by step as a
// user would (offscreen unless a display is chosen), and prints the time of
// the export itself. For timing the wizard against `expwiz export`.
//
// Usage: wizard_export DATA COMPANY GROUP BOOK FIELD_IDS OUTPUT [--header] [--company-line]

#include "platform/ScriptedUiServices.h"
#include "refhost/ReferenceHost.h"
#include "wizard/WizardDialog.h"
#include "wizard/WizardState.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

#include <cstdio>
#include <stdexcept>

using expwiz::WizardDialog;

namespace {

struct Choices {
    QString data, company, group, book, output;
    QList<int> fieldIds;
    bool header = false;
    bool companyLine = false;
};

template <class T>
T* control(WizardDialog& w, const char* name)
{
    T* found = w.findChild<T*>(QString::fromLatin1(name));
    if (!found)
        throw std::runtime_error(std::string("no control ") + name);
    return found;
}

void choose(QListWidget& list, const QString& text)
{
    const auto found = list.findItems(text, Qt::MatchExactly);
    if (found.isEmpty())
        throw std::runtime_error("no entry " + text.toStdString() + " in " + list.objectName().toStdString());
    list.setCurrentItem(found.front());
}

void next(WizardDialog& w, int expectedStep)
{
    w.navButton(WizardDialog::Next)->click();
    if (w.state().CurrentStep != expectedStep)
        throw std::runtime_error("the wizard stayed on step " + std::to_string(w.state().CurrentStep));
}

// Walks to the Summary and presses Export; returns the export's seconds.
double walk(WizardDialog& w, expwiz::ScriptedUiServices& ui, const Choices& c)
{
    next(w, 1);
    choose(*control<QListWidget>(w, "lstP2Company"), c.company);
    choose(*control<QListWidget>(w, "lstP2Group"), c.group);
    next(w, 2);
    auto* books = control<QComboBox>(w, "cmbP4Book");
    books->setCurrentIndex(books->findText(c.book));
    next(w, 3);
    auto* available = control<QListWidget>(w, "lstP5AvailableField");
    for (int id : c.fieldIds) {
        available->clearSelection();
        bool found = false;
        for (int row = 0; row < available->count() && !found; ++row) {
            found = available->item(row)->data(Qt::UserRole).toInt() == id;
            available->item(row)->setSelected(found);
        }
        if (!found)
            throw std::runtime_error("no available field " + std::to_string(id));
        control<QPushButton>(w, "cmdP5Add")->click();
    }
    control<QCheckBox>(w, "chkIncColumnHeader")->setChecked(c.header);
    control<QCheckBox>(w, "chkIncCompanyData")->setChecked(c.companyLine);
    ui.queueAnswer(expwiz::BoxAnswer::No);   // leave the map unsaved
    next(w, 4);
    // An earlier run's file goes first, so no question is asked about it.
    QFile::remove(c.output);
    const QFileInfo output(c.output);
    control<QLineEdit>(w, "txtP3Filename")->setText(output.completeBaseName());
    control<QLineEdit>(w, "txtP3Location")->setText(output.absolutePath());
    next(w, 5);
    ui.queueAnswer(expwiz::BoxAnswer::Ok);    // the completion message
    QElapsedTimer timer;
    timer.start();
    w.navButton(WizardDialog::Export)->click();
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    if (ui.boxes().empty() || ui.boxes().back().text != QLatin1String("The Export process is complete."))
        throw std::runtime_error("the export did not complete: "
                                 + (ui.boxes().empty() ? std::string("no message") : ui.boxes().back().text.toStdString()));
    return seconds;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 7) {
        std::fprintf(stderr, "usage: wizard_export DATA COMPANY GROUP BOOK FIELD_IDS OUTPUT [--header] "
                             "[--company-line]\n");
        return 2;
    }
    Choices c{args[1], args[2], args[3], args[4], args[6], {}, args.contains("--header"),
              args.contains("--company-line")};
    if (!c.output.endsWith(QLatin1String(".csv"))) {
        std::fprintf(stderr, "wizard_export: the output must end in .csv (the wizard adds it)\n");
        return 2;
    }
    for (const QString& id : args[5].split(u','))
        c.fieldIds << id.toInt();

    try {
        auto host = orvo::refhost::ReferenceHost::open(c.data);
        expwiz::ScriptedUiServices ui;
        WizardDialog wizard(ui);
        QString failure;
        double seconds = -1;
        QTimer::singleShot(0, &wizard, [&] {
            try {
                seconds = walk(wizard, ui, c);
            } catch (const std::exception& error) {
                failure = QString::fromLocal8Bit(error.what());
            }
            wizard.reject();
        });
        wizard.runForm(host);
        if (seconds < 0) {
            std::fprintf(stderr, "wizard_export: %s\n", qPrintable(failure.isEmpty() ? "the wizard did not run" : failure));
            return 1;
        }
        std::printf("export=%.3fs\n", seconds);
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "wizard_export: %s\n", error.what());
        return 1;
    }
}
