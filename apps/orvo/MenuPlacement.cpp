#include "MenuPlacement.h"

#include "host/HostError.h"

#include <QStringList>

namespace orvo::app {

std::optional<int> MenuPlacementEntry::anchorId() const
{
    bool ok = false;
    const int id = anchor.toInt(&ok);
    return ok ? std::optional<int>(id) : std::nullopt;
}

std::vector<MenuPlacementEntry> MenuPlacement::parse(const QString& placement)
{
    const QStringList parts = placement.split(QLatin1Char('~'));
    if (parts.size() != 3)
        throw HostError(errnum::InvalidProcedureCall,
                        QStringLiteral("The menu placement \"%1\" does not have three entries.").arg(placement));
    std::vector<MenuPlacementEntry> entries;
    for (const QString& part : parts) {
        const QStringList fields = part.split(QLatin1Char(','));
        if (fields.size() < 3 || fields[0].trimmed().isEmpty())
            throw HostError(errnum::InvalidProcedureCall,
                            QStringLiteral("The menu placement entry \"%1\" is incomplete.").arg(part));
        MenuPlacementEntry entry;
        entry.caption = fields[0].trimmed();
        entry.action = fields[1].trimmed().toUpper();
        const QString anchor = fields[2].trimmed();
        if (anchor.startsWith(QLatin1String("BEFORE="), Qt::CaseInsensitive)) {
            entry.side = MenuPlacementEntry::Side::Before;
            entry.anchor = anchor.mid(7);
        } else if (anchor.startsWith(QLatin1String("AFTER="), Qt::CaseInsensitive)) {
            entry.side = MenuPlacementEntry::Side::After;
            entry.anchor = anchor.mid(6);
        }
        entries.push_back(entry);
    }
    return entries;
}

} // namespace orvo::app
