#include "fieldmap/FieldMapIdentity.h"

#include "destination/FilePaths.h"
#include "fieldmap/ExpFile.h"

namespace expwiz {

FieldMapIdentity FieldMapIdentity::forNewMap(const QString& programPath)
{
    return {QString(), FilePaths::withTrailingSeparator(programPath), QString()};
}

FieldMapIdentity FieldMapIdentity::forFile(const QString& path)
{
    return {FilePaths::getFileTitle(path), FilePaths::getFolderPart(path), path};
}

FieldMapIdentity FieldMapIdentity::named(const QString& newName) const
{
    return {newName, folder, FilePaths::composeFieldMapPath(folder, newName)};
}

void FieldMapIdentity::saveAs(const QString& newName, const std::vector<int32_t>& ids)
{
    FieldMapIdentity next = named(newName);
    ExpFile::write(next.filename, ids);
    *this = std::move(next);
}

} // namespace expwiz
