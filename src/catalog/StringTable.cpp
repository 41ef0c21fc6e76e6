#include "catalog/StringTable.h"

#include "host/HostError.h"

#include <QFile>

#include <limits>

namespace expwiz {

const StringTable& StringTable::instance()
{
    static const StringTable table = [] {
        QFile file(QStringLiteral(":/expwiz/strings.txt"));
        if (!file.open(QIODevice::ReadOnly))
            return StringTable{};
        return parse(QString::fromUtf8(file.readAll()));
    }();
    return table;
}

StringTable StringTable::parse(const QString& content)
{
    StringTable table;
    const auto lines = content.split(QLatin1Char('\n'));
    for (QString line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype tab = line.indexOf(QLatin1Char('\t'));
        if (tab <= 0)
            continue;
        bool ok = false;
        const int id = line.left(tab).toInt(&ok);
        if (ok)
            table.texts_.insert(id, line.mid(tab + 1));
    }
    return table;
}

std::optional<QString> StringTable::raw(int id) const
{
    const auto it = texts_.constFind(id);
    if (it == texts_.constEnd())
        return std::nullopt;
    return *it;
}

QString StringTable::loadResourceText(int id) const
{
    QString result;
    for (int current = id;; ++current) {
        const auto text = raw(current);
        if (!text)
            throw orvo::HostError(326, QStringLiteral("Resource with identifier '%1' not found").arg(current));
        if (text->endsWith(QLatin1Char('_'))) {
            // The last id has no next one to continue with.
            if (current == std::numeric_limits<int>::max())
                throw orvo::HostError(326, QStringLiteral("Resource with identifier '%1' continues past the last "
                                                          "identifier").arg(current));
            result += QStringView(*text).chopped(1);
            continue;
        }
        result += *text;
        return result;
    }
}

} // namespace expwiz
