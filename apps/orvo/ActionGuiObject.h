#pragma once

#include "host/OrvoInterfaces.h"

#include <QAction>
#include <QPointer>

namespace orvo::app {

// The host's GUI object for an add-in's menu command: its QAction. The
// action may go before the add-in drops this object; then it does nothing.
class ActionGuiObject : public IOrvoGUIObject {
public:
    explicit ActionGuiObject(QAction* action) : action_(action) {}
    void SetEnabled(bool enabled) override
    {
        if (action_)
            action_->setEnabled(enabled);
    }

private:
    QPointer<QAction> action_;
};

} // namespace orvo::app
