#include "platform/UiServices.h"

#include <QStringList>

namespace expwiz {

UiServices::~UiServices() = default;

BoxAnswer UiServices::messageBox(const QString& text, const QString& title, BoxIcon icon, BoxButtons buttons)
{
    return showBox(text, title.isEmpty() ? applicationTitle_ : title, icon, buttons);
}

QString UiServices::qtFilter(const QString& hostFilter)
{
    const QStringList parts = hostFilter.split(QLatin1Char('|'));
    if (parts.size() < 2)
        return hostFilter;
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString name = parts[i].trimmed();
        const QString patterns = parts[i + 1].trimmed().replace(QLatin1Char(';'), QLatin1Char(' '));
        // The host's name repeats the extension in brackets; Qt reads the
        // bracketed text as the pattern, so it must be the pattern itself.
        const qsizetype bracket = name.lastIndexOf(QLatin1Char('('));
        if (bracket > 0 && name.endsWith(QLatin1Char(')')))
            name = name.left(bracket).trimmed();
        filters << QStringLiteral("%1 (%2)").arg(name, patterns);
    }
    return filters.join(QStringLiteral(";;"));
}

} // namespace expwiz
