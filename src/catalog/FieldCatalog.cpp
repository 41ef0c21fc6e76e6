#include "catalog/FieldCatalog.h"

#include "catalog/StringTable.h"
#include "host/HostError.h"

#include <algorithm>

namespace expwiz {

namespace {

// Category members as id ranges, exactly as the product defines them.
std::vector<int32_t> ids(const char* ranges)
{
    std::vector<int32_t> out;
    const QStringList parts = QString::fromLatin1(ranges).split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        const QStringList bounds = part.trimmed().split(QLatin1Char('-'));
        const int32_t first = bounds.front().toInt();
        const int32_t last = bounds.back().toInt();
        for (int32_t id = first; id <= last; ++id)
            out.push_back(id);
    }
    return out;
}

std::vector<int32_t> allExcept(const char* ranges)
{
    const std::vector<int32_t> excluded = ids(ranges);
    std::vector<int32_t> out;
    for (int32_t id = kFirstFieldId; id <= kLastFieldId; ++id)
        if (std::find(excluded.begin(), excluded.end(), id) == excluded.end())
            out.push_back(id);
    return out;
}

struct Lists {
    std::vector<int32_t> allLite, allOrg, allStd, allOrgInv, allStdInv;
    std::vector<int32_t> generalLite, generalOther;
    std::vector<int32_t> criticalOrg, criticalOther;
    std::vector<int32_t> bookOrg, bookOther;
    std::vector<int32_t> deprOrg, deprOther;
    std::vector<int32_t> disposalLite, disposalOrg, disposalStd;
    std::vector<int32_t> transferParent, transferChild, inventory;
};

const Lists& lists()
{
    static const Lists l = [] {
        Lists x;
        x.allLite = ids("1001-1004, 1006-1008, 1010, 1012, 1014, 1027-1032, 1036-1040, 1046-1049, 1051, "
                        "1052, 1056, 1057, 1060-1063, 1075-1105, 1107-1113");
        x.allOrg = ids("1001-1004, 1006, 1008, 1010-1012, 1014, 1026, 1029-1032, 1036-1060, 1064-1080, "
                       "1082-1089, 1091, 1095-1100, 1102-1104, 1106");
        x.allStd = allExcept("1005, 1009, 1013, 1015-1025, 1033-1035, 1106");
        x.allOrgInv = ids("1001-1006, 1008-1026, 1029-1060, 1063-1080, 1082-1089, 1091, 1095-1100, "
                          "1102-1104, 1106");
        x.allStdInv = allExcept("1106, 1110");
        x.generalLite = ids("1001-1004, 1006, 1008, 1010, 1012, 1014, 1029-1031, 1036-1040, 1046-1049, "
                            "1052, 1110");
        x.generalOther = ids("1001-1004, 1006, 1008, 1010-1012, 1014, 1026, 1029-1031, 1036-1049, 1052, "
                             "1066-1069, 1110");
        x.criticalOrg = ids("1032, 1075, 1097, 1098, 1100, 1103");
        x.criticalOther = ids("1032, 1075, 1097, 1098, 1100, 1103, 1107");
        x.bookOrg = ids("1080, 1089, 1091, 1102, 1104");
        x.bookOther = ids("1007, 1027, 1028, 1061, 1062, 1080, 1089-1094, 1101, 1102, 1104, 1105, "
                          "1111-1113");
        x.deprOrg = ids("1076-1079, 1082-1088");
        x.deprOther = ids("1076-1079, 1082-1088, 1109");
        x.disposalLite = ids("1051, 1056, 1057, 1060, 1063, 1081, 1095, 1096, 1099");
        x.disposalOrg = ids("1051, 1055-1057, 1060, 1063, 1095, 1096, 1099");
        x.disposalStd = ids("1051, 1055-1057, 1060, 1063, 1081, 1095, 1096, 1099, 1108");
        x.transferParent = ids("1050, 1054, 1059, 1065, 1070-1072");
        x.transferChild = ids("1053, 1058, 1064, 1073, 1074");
        x.inventory = ids("1005, 1009, 1013, 1015-1025, 1033-1035");
        return x;
    }();
    return l;
}

} // namespace

const FieldCatalog& FieldCatalog::instance()
{
    static const FieldCatalog catalog = fromStringTable(StringTable::instance());
    return catalog;
}

FieldCatalog FieldCatalog::fromStringTable(const StringTable& table)
{
    FieldCatalog catalog;
    for (int32_t id = kFirstFieldId; id <= kLastFieldId; ++id) {
        FieldCatalogEntry& e = catalog.entries_[static_cast<size_t>(id - kFirstFieldId)];
        e.id = id;
        // TABLE:COLUMN:Label:TypeCode, split at the first three colons and
        // taken exactly as they stand.
        const QString text = table.loadResourceText(id);
        const qsizetype c1 = text.indexOf(QLatin1Char(':'));
        const qsizetype c2 = text.indexOf(QLatin1Char(':'), c1 + 1);
        const qsizetype c3 = text.indexOf(QLatin1Char(':'), c2 + 1);
        e.tableName = text.left(c1);
        e.columnName = text.mid(c1 + 1, c2 - c1 - 1);
        e.label = text.mid(c2 + 1, c3 - c2 - 1);
        const int code = text.mid(c3 + 1).toInt();
        e.typeCode = QString::number(code < 0 ? -code : code);
        e.type = static_cast<FieldType>(code);
    }
    return catalog;
}

const FieldCatalogEntry& FieldCatalog::entry(int32_t id) const
{
    if (!isCatalogId(id))
        throw orvo::HostError(orvo::errnum::SubscriptOutOfRange,
                              QStringLiteral("Field id %1 is not in the field catalog (1001 to 1113).").arg(id));
    return entries_[static_cast<size_t>(id - kFirstFieldId)];
}

QString FieldCatalog::displayLabel(const QString& label, bool isGASB)
{
    if (!isGASB)
        return label;
    if (label == QLatin1String("Company Asset No"))
        return QStringLiteral("Tag No");
    if (label == QLatin1String("User Numeric"))
        return QStringLiteral("Quantity");
    if (label == QLatin1String("Insurance Category"))
        return QStringLiteral("Fund");
    return label;
}

QString FieldCatalog::columnName(int32_t position)
{
    // Bijective base 26: for positions below 702 this is one letter, or the
    // letter of position / 26 followed by that of position % 26.
    QString letters;
    int64_t n = static_cast<int64_t>(position < 0 ? 0 : position) + 1;
    while (n > 0) {
        const int64_t rem = (n - 1) % 26;
        letters.prepend(QChar(static_cast<char16_t>(u'A' + rem)));
        n = (n - 1) / 26;
    }
    return letters;
}

QString FieldCatalog::fieldMapItemText(int32_t position, int32_t id, bool isGASB) const
{
    return QLatin1Char('[') + columnName(position) + QLatin1String("] ") + displayLabel(id, isGASB);
}

const QStringList& FieldCatalog::categoryNames()
{
    static const QStringList names = {
        QStringLiteral("All Fields"),
        QStringLiteral("General Info Fields"),
        QStringLiteral("Critical Fields"),
        QStringLiteral("Book Related Fields"),
        QStringLiteral("Depreciation Fields"),
        QStringLiteral("Disposal Fields"),
        QStringLiteral("Transfer Fields (Parent)"),
        QStringLiteral("Transfer Fields (Child)"),
        QStringLiteral("Orvo Inventory Fields"),
    };
    return names;
}

QStringList FieldCatalog::offeredCategories(bool isLite, bool inventoryOption)
{
    const QStringList& all = categoryNames();
    QStringList out = all.mid(0, 6);
    if (!isLite)
        out << all[6] << all[7];
    if (inventoryOption)
        out << all[8];
    return out;
}

std::vector<int32_t> FieldCatalog::categoryFieldIds(const QString& category, bool isLite, bool isGASB,
                                                    bool inventoryOption)
{
    const qsizetype found = categoryNames().indexOf(category);
    const qsizetype index = found < 0 ? 0 : found;
    const Lists& l = lists();
    switch (index) {
    case 0:
        if (isLite)
            return l.allLite;
        if (isGASB)
            return inventoryOption ? l.allOrgInv : l.allOrg;
        return inventoryOption ? l.allStdInv : l.allStd;
    case 1:
        return isLite ? l.generalLite : l.generalOther;
    case 2:
        return isGASB ? l.criticalOrg : l.criticalOther;
    case 3:
        return isGASB ? l.bookOrg : l.bookOther;
    case 4:
        return isGASB ? l.deprOrg : l.deprOther;
    case 5:
        return isLite ? l.disposalLite : (isGASB ? l.disposalOrg : l.disposalStd);
    case 6:
        return l.transferParent;
    case 7:
        return l.transferChild;
    default:
        return l.inventory;
    }
}

} // namespace expwiz
