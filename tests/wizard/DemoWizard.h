#pragma once

#include "FileBytes.h"
#include "OnShown.h"
#include "QtPrinters.h"

#include "platform/ScriptedUiServices.h"
#include "refhost/DemoData.h"
#include "refhost/ReferenceHost.h"
#include "refhost/Sqlite.h"
#include "wizard/WizardDialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDataStream>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

namespace testhost {

using expwiz::BoxAnswer;
using expwiz::WizardDialog;

inline const QString Cafe = QStringLiteral("Café Müller & Søn, \"Nord\"");

// A reference host over a fresh demo data folder, also its program folder: new maps land there.
struct DemoFolder {
    QTemporaryDir dir;
    QString data = dir.filePath(QStringLiteral("data"));
    std::shared_ptr<orvo::refhost::ReferenceHost> host;

    explicit DemoFolder(int32_t applicationType = 1, int32_t assets = 24)
    {
        orvo::refhost::DemoData::create(data, {.assets = assets, .applicationType = applicationType});
        host = orvo::refhost::ReferenceHost::open(data);
    }
    void sql(const char* file, const char* statement) const
    {
        orvo::refhost::SqliteDb(data + QLatin1Char('/') + QLatin1String(file), false).exec(statement);
    }
};

// The wizard keeps its size and export folder in the user's settings: each test has its own.
class WizardTest : public ::testing::Test {
protected:
    QTemporaryDir configDir;
    QByteArray previousConfig = qgetenv("XDG_CONFIG_HOME");
    WizardTest() { qputenv("XDG_CONFIG_HOME", configDir.path().toLocal8Bit()); }
    ~WizardTest() override { qputenv("XDG_CONFIG_HOME", previousConfig); }
    QString configFile(const char* name) const { return configDir.path() + "/" + QLatin1String(name); }
};

template <class T>
T* child(QWidget& parent, const QString& name)
{
    T* widget = parent.findChild<T*>(name);
    if (!widget)
        ADD_FAILURE() << "no control " << name.toStdString();
    return widget;
}

inline void press(QWidget& parent, const char* button)
{
    QTest::mouseClick(child<QPushButton>(parent, button), Qt::LeftButton);
}

// Clicks a navigation button; gives the step shown afterwards.
inline int clickNav(WizardDialog& wizard, WizardDialog::NavButton button)
{
    QTest::mouseClick(wizard.navButton(button), Qt::LeftButton);
    return wizard.state().CurrentStep;
}

inline bool navEnabled(WizardDialog& wizard, WizardDialog::NavButton button)
{
    return wizard.navButton(button)->isEnabled();
}

// The navigation buttons that are on, then the named controls (separated by
// spaces) that are on: "Help Cancel Back Export cmdP6Stop".
inline QString enabled(WizardDialog& w, const QString& names = {})
{
    const QStringList nav{"Help", "Cancel", "Back", "Next", "Export"};
    QStringList on;
    for (int b = 0; b < 5; ++b)
        if (navEnabled(w, WizardDialog::NavButton(b)))
            on << nav[b];
    for (const QString& name : names.split(' ', Qt::SkipEmptyParts))
        if (child<QWidget>(w, name)->isEnabled())
            on << name;
    return on.join(' ');
}

// What the named controls (space-separated) show, joined by "|": text, drop-down entry or title.
inline QString shown(QWidget& w, const QString& names)
{
    QStringList out;
    for (const QString& name : names.split(' ', Qt::SkipEmptyParts)) {
        const QWidget* c = child<QWidget>(w, name);
        for (const char* property : {"text", "currentText", "title"})
            if (c->property(property).isValid()) {
                out << c->property(property).toString();
                break;
            }
    }
    return out.join('|');
}

// The entries of a list or drop-down list, in order.
template <class List>
QStringList texts(const List& list)
{
    QStringList result;
    for (int row = 0; row < list.count(); ++row)
        result << list.model()->index(row, 0).data().toString();
    return result;
}

// The boxes shown so far: their texts, or each as one line "title [icon buttons] text".
inline QStringList boxTexts(const expwiz::ScriptedUiServices& ui, bool asLines = false)
{
    const QStringList icons{"", "Critical", "Exclamation", "Question", "Information"};
    const QStringList buttons{"Ok", "YesNo", "YesNoCancel"};
    QStringList result;
    for (const auto& [text, title, icon, kind, answer] : ui.boxes()) {
        const QString head = title + " [" + icons[int(icon)] + " " + buttons[int(kind)] + "] ";
        result << (asLines ? head + text : text);
    }
    return result;
}

inline QStringList boxLines(const expwiz::ScriptedUiServices& ui) { return boxTexts(ui, true); }

// A file dialog as one line: save or open, title, filter, extension, folder, name.
inline QString dialogLine(const expwiz::ScriptedUiServices::FileDialog& d)
{
    const auto& r = d.request;
    return QStringList{d.save ? "save" : "open", r.title, r.filter, r.defaultExtension, r.initialFolder, r.fileName}
        .join('|');
}

// Clicks an entry of a list, once or twice, with the events the mouse
// gives the list (a double click: press, release, double click, release).
inline void clickItem(QListWidget& list, int row, bool twice = false)
{
    const QPointF at = list.visualItemRect(list.item(row)).center();
    const QPointF global = list.viewport()->mapToGlobal(at);
    const auto send = [&](QEvent::Type type) {
        QMouseEvent event(type, at, global, Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(list.viewport(), &event);
    };
    const QEvent::Type events[] = {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                                   QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease};
    for (int i = 0; i < (twice ? 4 : 2); ++i)
        send(events[i]);
}

// Selects only the items with these texts or at these rows, as a user's ctrl-clicks would.
inline void selectItems(QListWidget& list, const QStringList& wanted, std::vector<int> rows = {})
{
    list.clearSelection();
    for (int row = 0; row < list.count(); ++row)
        if (wanted.contains(list.item(row)->text()) || std::find(rows.begin(), rows.end(), row) != rows.end())
            list.item(row)->setSelected(true);
}

inline void chooseRow(QListWidget& list, const QString& text)
{
    const auto found = list.findItems(text, Qt::MatchExactly);
    ASSERT_FALSE(found.isEmpty()) << text.toStdString();
    list.setCurrentItem(found.front());
}

// Chooses an entry of a drop-down list as the user does (activation follows the new entry).
inline void chooseEntry(QComboBox& box, const QString& text)
{
    const int index = box.findText(text);
    ASSERT_GE(index, 0) << text.toStdString();
    box.setCurrentIndex(index);
    emit box.activated(index);
}

// Runs the wizard on the host and calls body while its window shows; the
// window is closed afterwards whatever body did. With a desktop of its own,
// every queued answer must have been used and no box have come unforeseen.
inline int32_t runWizard(WizardDialog& wizard, orvo::ObjectPtr host, std::function<void(WizardDialog&)> body)
{
    const OnShown shown(QStringLiteral("frmWizard"), [&](QWidget&) { body(wizard); });
    const int32_t result = wizard.runForm(std::move(host));
    EXPECT_EQ(shown.shown, 1);
    return result;
}

inline int32_t runWizard(expwiz::ScriptedUiServices& ui, orvo::ObjectPtr host,
                         std::function<void(WizardDialog&)> body)
{
    WizardDialog wizard(ui);
    const int32_t result = runWizard(wizard, std::move(host), std::move(body));
    EXPECT_TRUE(ui.allAnswersUsed());
    EXPECT_TRUE(ui.unexpected().isEmpty()) << ui.unexpected().join('|').toStdString();
    return result;
}

// Queues these answers for the coming boxes, the whole list `times` over.
inline void queueAnswers(expwiz::ScriptedUiServices& ui, std::vector<BoxAnswer> list, int times = 1)
{
    for (int i = 0; i < times; ++i)
        for (BoxAnswer answer : list)
            ui.queueAnswer(answer);
}

// The desktop of a user at work while rows are written: atPump gets each event-pump call's number.
class PumpingUi : public expwiz::ScriptedUiServices {
public:
    std::function<void(int)> atPump;
    void processEvents() override
    {
        ScriptedUiServices::processEvents();
        if (atPump)
            atPump(processEventsCalls());
    }
};

// Adds the fields with these labels to the map (from "All Fields").
inline void addFields(WizardDialog& wizard, const QStringList& labels, std::vector<int> rows = {})
{
    selectItems(*child<QListWidget>(wizard, "lstP5AvailableField"), labels, std::move(rows));
    press(wizard, "cmdP5Add");
}

// Presses Next until the wizard shows the step (or stops moving); gives the step it shows.
inline int nextUntil(WizardDialog& wizard, int step)
{
    int at = wizard.state().CurrentStep;
    for (int was = -1; at < step && at != was;)
        was = std::exchange(at, clickNav(wizard, WizardDialog::Next));
    return at;
}

// Walks to a step with a company (and database) chosen on Select Assets.
inline void toStep(WizardDialog& w, int step, const QString& company, const QString& database = {})
{
    nextUntil(w, 1);
    if (!database.isEmpty())
        chooseEntry(*child<QComboBox>(w, "cmbP2Database"), database);
    chooseRow(*child<QListWidget>(w, "lstP2Company"), company);
    ASSERT_EQ(nextUntil(w, step), step);
}

// The ids as a map file holds them: 32-bit little-endian integers.
inline QByteArray expBytes(std::initializer_list<int32_t> ids)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    for (int32_t id : ids)
        out << id;
    return bytes;
}

} // namespace testhost
