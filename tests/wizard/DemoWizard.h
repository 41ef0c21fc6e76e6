#pragma once

#include "ModalDriver.h"

#include "platform/ScriptedUiServices.h"
#include "refhost/DemoData.h"
#include "refhost/ReferenceHost.h"
#include "wizard/WizardDialog.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

namespace testhost {

// A reference host over a fresh demo data folder in a temporary folder; the
// host's program folder is the data folder, so new maps land there.
struct DemoFolder {
    QTemporaryDir dir;
    QString data;
    std::shared_ptr<orvo::refhost::ReferenceHost> host;

    explicit DemoFolder(int32_t applicationType = 1, int32_t assets = 24)
    {
        data = dir.filePath(QStringLiteral("data"));
        orvo::refhost::DemoOptions options;
        options.applicationType = applicationType;
        options.assets = assets;
        orvo::refhost::DemoData::create(data, options);
        host = orvo::refhost::ReferenceHost::open(data);
    }
};

// Keeps the settings files of one test in a folder of its own.
struct ConfigFolder {
    QTemporaryDir dir;
    QByteArray previous = qgetenv("XDG_CONFIG_HOME");
    ConfigFolder() { qputenv("XDG_CONFIG_HOME", dir.path().toLocal8Bit()); }
    ~ConfigFolder() { qputenv("XDG_CONFIG_HOME", previous); }
    QString file(const char* name) const { return dir.path() + "/" + QLatin1String(name); }
};

template <class T>
T* child(QWidget& parent, const char* name)
{
    T* widget = parent.findChild<T*>(QString::fromLatin1(name));
    if (!widget)
        ADD_FAILURE() << "no control " << name;
    return widget;
}

inline void clickNav(expwiz::WizardDialog& wizard, expwiz::WizardDialog::NavButton button)
{
    QTest::mouseClick(wizard.navButton(button), Qt::LeftButton);
}

inline QStringList texts(const QListWidget& list)
{
    QStringList result;
    for (int row = 0; row < list.count(); ++row)
        result << list.item(row)->text();
    return result;
}

inline QStringList texts(const QComboBox& box)
{
    QStringList result;
    for (int i = 0; i < box.count(); ++i)
        result << box.itemText(i);
    return result;
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
    send(QEvent::MouseButtonPress);
    send(QEvent::MouseButtonRelease);
    if (twice) {
        send(QEvent::MouseButtonDblClick);
        send(QEvent::MouseButtonRelease);
    }
}

// Selects the items with these texts (and only those), as a user's
// ctrl-clicks would.
inline void selectItems(QListWidget& list, const QStringList& wanted)
{
    list.clearSelection();
    for (int row = 0; row < list.count(); ++row) {
        if (wanted.contains(list.item(row)->text()))
            list.item(row)->setSelected(true);
    }
}

inline void chooseRow(QListWidget& list, const QString& text)
{
    const auto found = list.findItems(text, Qt::MatchExactly);
    ASSERT_FALSE(found.isEmpty()) << text.toStdString();
    list.setCurrentItem(found.front());
}

// Chooses an entry of a drop-down list as the user does (the activation
// signal follows the new current entry).
inline void chooseEntry(QComboBox& box, const QString& text)
{
    const int index = box.findText(text);
    ASSERT_GE(index, 0) << text.toStdString();
    box.setCurrentIndex(index);
    emit box.activated(index);
}

// Runs the wizard on the host and calls body while its window shows; the
// window is closed afterwards whatever body did.
inline int32_t runWizard(expwiz::WizardDialog& wizard, orvo::ObjectPtr host,
                         std::function<void(expwiz::WizardDialog&)> body)
{
    bool shown = false;
    whenModalShown(wizard, QStringLiteral("frmWizard"), [&](QWidget&) {
        shown = true;
        body(wizard);
    });
    const int32_t result = wizard.runForm(std::move(host));
    EXPECT_TRUE(shown);
    return result;
}

// Adds the fields with these labels to the map (from "All Fields").
inline void addFields(expwiz::WizardDialog& wizard, const QStringList& labels)
{
    auto* available = child<QListWidget>(wizard, "lstP5AvailableField");
    selectItems(*available, labels);
    QTest::mouseClick(child<QPushButton>(wizard, "cmdP5Add"), Qt::LeftButton);
}

} // namespace testhost

namespace testhost {

// Presses Next until the wizard shows the step (or stops moving).
inline void nextUntil(expwiz::WizardDialog& wizard, int step)
{
    while (wizard.state().CurrentStep < step) {
        const int before = wizard.state().CurrentStep;
        clickNav(wizard, expwiz::WizardDialog::Next);
        if (wizard.state().CurrentStep == before)
            return;
    }
}

inline QByteArray readBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

inline void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    file.write(bytes);
}

// The ids as a map file holds them: 32-bit little-endian integers.
inline QByteArray expBytes(std::initializer_list<int32_t> ids)
{
    QByteArray bytes;
    for (int32_t id : ids) {
        const auto u = static_cast<uint32_t>(id);
        for (int shift = 0; shift < 32; shift += 8)
            bytes.append(static_cast<char>((u >> shift) & 0xFF));
    }
    return bytes;
}

} // namespace testhost
