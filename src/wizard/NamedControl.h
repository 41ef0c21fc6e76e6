#pragma once

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

} // namespace expwiz
