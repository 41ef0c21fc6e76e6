#include "refhost/HostDatabase.h"

#include <QRegularExpression>

namespace orvo::refhost {

bool isConnectionString(const QString& location)
{
    // A URI, or key=value settings starting with one of libpq's usual keys;
    // anything else is a file name.
    static const QRegularExpression pattern(
        QStringLiteral("^\\s*(postgres(ql)?://|(host|hostaddr|port|dbname|user|password|passfile|service|sslmode"
                       "|connect_timeout|application_name|options)\\s*=)"));
    return pattern.match(location).hasMatch();
}

} // namespace orvo::refhost
