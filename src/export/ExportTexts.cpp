#include "export/ExportTexts.h"

namespace expwiz {

QString ExportTexts::title()
{
    return QStringLiteral("Custom Export");
}

QString ExportTexts::idleProgress()
{
    return QStringLiteral(" 0  of  0 ");
}

QString ExportTexts::searching()
{
    return QStringLiteral("Searching...");
}

QString ExportTexts::rowProgress(int32_t row, int32_t total)
{
    return QString::number(row) + QStringLiteral("  of  ") + QString::number(total);
}

QString ExportTexts::completion(int32_t written, int32_t total)
{
    if (written == total)
        return QString::number(total) + QStringLiteral(" asset(s) are exported.");
    return QStringLiteral("%1 asset(s) are exported (%2 were counted before the export).").arg(written).arg(total);
}

QString ExportTexts::completeMessage()
{
    return QStringLiteral("The Export process is complete.");
}

QString ExportTexts::stopQuestion(const QString& exportFile)
{
    return QStringLiteral("The export process has been stopped. The <") + exportFile + QStringLiteral("> \r\n")
        + QStringLiteral(" file contains incomplete information. Are you sure you want to stop the export?");
}

QString ExportTexts::fileInUse()
{
    return QStringLiteral("The file is used right now and cannot be overwritten.");
}

QString ExportTexts::pathNotFound()
{
    return QStringLiteral("The path doesn't exist.");
}

QString ExportTexts::creationError(int32_t number, const QString& description, const QString& dataQuery)
{
    return QStringLiteral("There was an error when creating the csv file. (") + QString::number(number)
        + QStringLiteral(": ") + description + QStringLiteral(") SQL: ") + dataQuery;
}

QString ExportTexts::noCursor(const QString& dataQuery)
{
    return QStringLiteral("The host gave no cursor for the export query (cursor is null), so no asset "
                          "could be read; the file was not changed. SQL: ")
        + dataQuery;
}

QString ExportTexts::writeFailure(const QString& file, int32_t written, int32_t total, int32_t number,
                                  const QString& description)
{
    return QStringLiteral("Writing the export file <%1> failed after %2 of %3 asset(s) (%4: %5). "
                          "The export is not complete; the file was not changed.")
        .arg(file)
        .arg(written)
        .arg(total)
        .arg(number)
        .arg(description);
}

QString ExportTexts::readFailure(const QString& file, int32_t written, int32_t total, int32_t number,
                                 const QString& description)
{
    return QStringLiteral("Reading the assets from the host failed after %2 of %3 asset(s) (%4: %5). "
                          "The export is not complete; the file <%1> was not changed.")
        .arg(file)
        .arg(written)
        .arg(total)
        .arg(number)
        .arg(description);
}

QString ExportTexts::stopped(const QString& file, int32_t written, int32_t total)
{
    return QStringLiteral("The export was stopped after %2 of %3 asset(s); the file <%1> holds the %2 "
                          "complete asset row(s).")
        .arg(file)
        .arg(written)
        .arg(total);
}

QString ExportTexts::aborted(const QString& file, int32_t written, int32_t total)
{
    return QStringLiteral("The export was stopped after %2 of %3 asset(s); nothing was changed: the file <%1> "
                          "is as it was before.")
        .arg(file)
        .arg(written)
        .arg(total);
}

QString ExportTexts::replacedCharacters(qsizetype count, const QString& encoding)
{
    return QStringLiteral("%1 character(s) could not be written in the encoding %2 and were replaced.")
        .arg(count)
        .arg(encoding.isEmpty() ? QStringLiteral("of the system") : encoding);
}

QString ExportTexts::emptyFieldMap()
{
    return QStringLiteral("The field map has no fields. Add at least one field to export.");
}

} // namespace expwiz
