#pragma once

#include <QLabel>
#include <QString>

#include <utility>

namespace expwiz {

// A control that carries the wizard's name for it as its object name, so
// tests and help find it.
template <class Control, class... Args>
Control* namedControl(const char* name, Args&&... args)
{
    auto* control = new Control(std::forward<Args>(args)...);
    control->setObjectName(QString::fromLatin1(name));
    return control;
}

// A named label; its mnemonic moves the focus to the buddy, if it has one.
inline QLabel* namedLabel(QWidget* parent, const char* name, const QString& text = {}, QWidget* buddy = nullptr)
{
    auto* label = namedControl<QLabel>(name, text, parent);
    if (buddy)
        label->setBuddy(buddy);
    return label;
}

} // namespace expwiz
