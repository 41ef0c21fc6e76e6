#include "destination/DestinationMessages.h"

namespace expwiz {

QString DestinationMessages::replaceFileQuestion(const QString& path)
{
    return QStringLiteral("The file already exists. Do you want to replace \r\n<") + path + QStringLiteral(">?");
}

QString DestinationMessages::createFolderQuestion(const QString& folder)
{
    return QStringLiteral("The path does not exists. Do you want to create the path \r\n<") + folder
           + QStringLiteral(">?");
}

QString DestinationMessages::folderNotCreated()
{
    return QStringLiteral("The path that you input can not be created");
}

} // namespace expwiz
