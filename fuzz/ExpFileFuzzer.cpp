// The field map file: whatever bytes a map file holds, reading gives every
// whole 4-byte value either as a field id or as a skipped value at its
// offset, and writing the ids back gives a file that reads as the same map.

#include "FuzzScratch.h"

#include "catalog/FieldCatalog.h"
#include "fieldmap/ExpFile.h"

#include <cstddef>
#include <cstdint>

using namespace expwiz;
using expwiz::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString path = fuzz::scratchPath(QStringLiteral("map.exp"));
    fuzz::writeFile(path, bytes);

    const ExpReadResult read = ExpFile::read(path);
    require(read.ids.size() + read.skippedValues.size() == size / 4, "every whole value is an id or skipped");
    require(read.trailingBytes == static_cast<int>(size % 4), "the trailing fragment is counted");
    for (const int32_t id : read.ids)
        require(isCatalogId(id), "only catalog ids are kept");
    qint64 lastOffset = -4;
    for (const ExpSkippedValue& skipped : read.skippedValues) {
        require(!isCatalogId(skipped.value), "no catalog id is skipped");
        require(skipped.offset % 4 == 0 && skipped.offset > lastOffset && skipped.offset + 4 <= qint64(size),
                "skipped values name their own offsets in file order");
        lastOffset = skipped.offset;
    }
    const ExpReadResult decoded = ExpFile::decode(bytes);
    require(decoded.ids == read.ids && decoded.skippedValues == read.skippedValues, "file and bytes read alike");

    const QString copy = fuzz::scratchPath(QStringLiteral("saved.exp"));
    ExpFile::write(copy, read.ids);
    require(fuzz::readFile(copy) == ExpFile::encode(read.ids), "the saved file holds the encoded ids");
    const ExpReadResult again = ExpFile::read(copy);
    require(again.ids == read.ids && again.isClean(), "a saved map reads back as the same clean map");
    return 0;
}
