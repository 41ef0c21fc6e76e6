#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <vector>

namespace expwiz {

class StringTable;

inline constexpr int32_t kFirstFieldId = 1001;
inline constexpr int32_t kLastFieldId = 1113;
inline constexpr int32_t kFieldCount = kLastFieldId - kFirstFieldId + 1;
inline constexpr int32_t kSystemNumberFieldId = 1004;

inline constexpr bool isCatalogId(int32_t id) noexcept
{
    return id >= kFirstFieldId && id <= kLastFieldId;
}

// How the export writes a value of the field.
enum class FieldType : int {
    Plain = 0,          // identifiers, plain numbers: as read
    TransferPercent = 1,// as read
    Fraction = 2,       // percentage held as a fraction: x100, five decimals
    Amount = 3,         // two decimals, no grouping
    YesNo = 4,          // "T" -> Yes, else No
    Text = 5,           // as read
    Date = 6,           // short date of the locale
    Life = 7,           // at least four digits, zero padded
    Indicator = 8,      // non-empty -> "T", else "F"
};

struct FieldCatalogEntry {
    int32_t id = 0;
    QString label;        // as defined, before the edition renames
    QString tableName;    // ASSET, PARTIALSINFO or BOOKPARTS
    QString columnName;   // in the catalog's letter case
    QString typeCode;     // decimal digits of the type code
    FieldType type = FieldType::Text;

    // TABLE.COLUMN as the query selects it.
    QString columnExpression() const { return tableName + QLatin1Char('.') + columnName; }
};

// The 113 exportable fields, parsed once from the string table entries
// "TABLE:COLUMN:Label:TypeCode" and immutable afterwards. Allocation links
// are kept per run (AllocationLinks), not in the catalog, so that one
// company's lists never leak into another's export.
class FieldCatalog {
public:
    static const FieldCatalog& instance();
    static FieldCatalog fromStringTable(const StringTable& table);

    // The entry of a field id; an id outside 1001..1113 raises
    // orvo::HostError (subscript out of range) naming the id.
    const FieldCatalogEntry& entry(int32_t id) const;

    // The label shown to the user and written as the column header: the
    // organization editions rename three labels.
    static QString displayLabel(const QString& label, bool isGASB);
    QString displayLabel(int32_t id, bool isGASB) const { return displayLabel(entry(id).label, isGASB); }

    // Spreadsheet column letters of a 0-based position: A..Z, AA..ZZ, AAA...
    static QString columnName(int32_t position);

    // "[" + letters + "] " + display label, the text of a field map entry.
    QString fieldMapItemText(int32_t position, int32_t id, bool isGASB) const;

    // The nine category names in index order.
    static const QStringList& categoryNames();
    // The categories offered for the edition and the inventory option, in order.
    static QStringList offeredCategories(bool isLite, bool inventoryOption);
    // The ordered ids a category lists; an unknown name means "All Fields".
    static std::vector<int32_t> categoryFieldIds(const QString& category, bool isLite,
                                                 bool isGASB, bool inventoryOption);

private:
    std::array<FieldCatalogEntry, kFieldCount> entries_{};
};

} // namespace expwiz
