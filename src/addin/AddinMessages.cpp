#include "addin/AddinMessages.h"

#include "host/HostError.h"
#include "platform/UiServices.h"

namespace expwiz {

QString AddinMessages::describe(const std::exception& error)
{
    if (const auto* host = dynamic_cast<const orvo::HostError*>(&error))
        return host->description();
    return QString::fromLocal8Bit(error.what());
}

void AddinMessages::showError(UiServices& ui, const QString& firstLine, const std::exception& error)
{
    ui.messageBox(firstLine + QStringLiteral("\r\n") + describe(error));
}

} // namespace expwiz
