#include "fieldmap/FieldMapMessages.h"

#include "fieldmap/ExpFile.h"

#include <QStringList>

namespace expwiz {

QString FieldMapMessages::selectOneField()
{
    return QStringLiteral("You need to select at least one field.");
}

QString FieldMapMessages::saveNeedsOneField()
{
    return QStringLiteral("You need to select at least one field");
}

QString FieldMapMessages::saveChangedMapQuestion(const QString& mapName)
{
    if (!mapName.isEmpty())
        return QStringLiteral("The export map is changed. Would you like to save the field map?");
    return QStringLiteral("The specified field map has not been saved. Would you like to save the field map?");
}

QString FieldMapMessages::noSystemNumberQuestion()
{
    return QStringLiteral("The export map does not include System Number as the unique identifier \r\n"
                          "for each row. Are you sure you want to continue?");
}

QString FieldMapMessages::saveFailed()
{
    return QStringLiteral("Error when save the field map file. Try a different file name.");
}

QString FieldMapMessages::readFailed()
{
    return QStringLiteral("No File");
}

QString FieldMapMessages::emptyMapName()
{
    return QStringLiteral("The file name can not be empty.");
}

QString FieldMapMessages::damagedFileNotice(const QString& path, const ExpReadResult& result)
{
    if (result.isClean())
        return QString();
    QStringList parts;
    if (!result.skippedValues.empty()) {
        QStringList values;
        constexpr size_t kShown = 10;
        for (size_t i = 0; i < result.skippedValues.size() && i < kShown; ++i)
            values << QStringLiteral("%1 (byte %2)")
                          .arg(result.skippedValues[i].value)
                          .arg(result.skippedValues[i].offset);
        if (result.skippedValues.size() > kShown)
            values << QStringLiteral("and %1 more").arg(result.skippedValues.size() - kShown);
        parts << QStringLiteral("%1 value(s) that are not field ids were left out: %2.")
                     .arg(result.skippedValues.size())
                     .arg(values.join(QStringLiteral(", ")));
    }
    if (result.trailingBytes > 0)
        parts << QStringLiteral("The last %1 byte(s) do not make a whole entry and were ignored.")
                     .arg(result.trailingBytes);
    return QStringLiteral("The field map file %1 is damaged. ").arg(path) + parts.join(QLatin1Char(' '));
}

QString FieldMapMessages::reportNeedsFieldsAndCompany()
{
    return QStringLiteral("field or company is null");
}

QString FieldMapMessages::noPrintTarget()
{
    return QStringLiteral("A desitination print need ");
}

QString FieldMapMessages::noDefaultPrinter()
{
    return QStringLiteral("There is no default printer. Please select a default printer and try again.");
}

QString FieldMapMessages::printFailed()
{
    return QStringLiteral("An error occurs when printing");
}

} // namespace expwiz
