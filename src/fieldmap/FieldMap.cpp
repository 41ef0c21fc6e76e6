#include "fieldmap/FieldMap.h"

#include "catalog/FieldCatalog.h"
#include "host/HostError.h"

#include <algorithm>
#include <utility>

namespace expwiz {

namespace {

void checkPosition(int position, int count)
{
    if (position < 0 || position >= count)
        throw orvo::HostError(orvo::errnum::SubscriptOutOfRange,
                              QStringLiteral("Field map position %1 is outside the map of %2 entries.")
                                  .arg(position)
                                  .arg(count));
}

} // namespace

std::vector<int32_t> FieldMap::ids() const
{
    std::vector<int32_t> out;
    out.reserve(entries_.size());
    for (const FieldMapEntry& e : entries_)
        out.push_back(e.id);
    return out;
}

int32_t FieldMap::idAt(int position) const
{
    checkPosition(position, count());
    return entries_[static_cast<size_t>(position)].id;
}

int FieldMap::assign(const std::vector<int32_t>& ids, const EntryHook& hook)
{
    entries_.clear();
    int dropped = 0;
    for (const int32_t id : ids) {
        if (!isCatalogId(id)) {
            ++dropped;
            continue;
        }
        entries_.push_back({id, false});
        if (hook)
            hook(id);
    }
    return dropped;
}

bool FieldMap::isSelected(int position) const
{
    checkPosition(position, count());
    return entries_[static_cast<size_t>(position)].selected;
}

void FieldMap::setSelected(int position, bool selected)
{
    checkPosition(position, count());
    entries_[static_cast<size_t>(position)].selected = selected;
}

void FieldMap::selectOnly(const std::vector<int>& positions)
{
    clearSelection();
    for (const int p : positions)
        setSelected(p, true);
}

void FieldMap::clearSelection() noexcept
{
    for (FieldMapEntry& e : entries_)
        e.selected = false;
}

bool FieldMap::hasSelection() const noexcept
{
    return std::any_of(entries_.begin(), entries_.end(), [](const FieldMapEntry& e) { return e.selected; });
}

std::vector<int> FieldMap::selectedPositions() const
{
    std::vector<int> out;
    for (size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].selected)
            out.push_back(static_cast<int>(i));
    return out;
}

int FieldMap::add(const std::vector<int32_t>& ids, const EntryHook& hook)
{
    int added = 0;
    for (const int32_t id : ids) {
        if (!isCatalogId(id) || contains(id))
            continue;
        entries_.push_back({id, false});
        ++added;
        if (hook)
            hook(id);
    }
    return added;
}

int FieldMap::removeSelected()
{
    const auto first = std::remove_if(entries_.begin(), entries_.end(),
                                      [](const FieldMapEntry& e) { return e.selected; });
    const int removed = static_cast<int>(entries_.end() - first);
    entries_.erase(first, entries_.end());
    return removed;
}

bool FieldMap::moveSelectedUp()
{
    if (!hasSelection())
        return false;
    // Ascending, each selected entry below an unselected one swaps with it;
    // the swapped-in selection is then seen by the next step, so a whole run
    // moves together.
    for (size_t i = 1; i < entries_.size(); ++i)
        if (entries_[i].selected && !entries_[i - 1].selected)
            std::swap(entries_[i], entries_[i - 1]);
    return true;
}

bool FieldMap::moveSelectedDown()
{
    if (!hasSelection())
        return false;
    for (size_t i = entries_.size() - 1; i-- > 0;)
        if (entries_[i].selected && !entries_[i + 1].selected)
            std::swap(entries_[i], entries_[i + 1]);
    return true;
}

bool FieldMap::contains(int32_t id) const
{
    return std::any_of(entries_.begin(), entries_.end(), [id](const FieldMapEntry& e) { return e.id == id; });
}

int FieldMap::systemNumberColumn() const
{
    const auto it = std::find_if(entries_.begin(), entries_.end(),
                                 [](const FieldMapEntry& e) { return e.id == kSystemNumberFieldId; });
    return static_cast<int>(it - entries_.begin());
}

bool FieldMap::isChangedFrom(const std::vector<int32_t>& savedIds, bool createNewChosen) const
{
    if (createNewChosen && !entries_.empty())
        return true;
    if (savedIds.size() != entries_.size())
        return true;
    for (size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].id != savedIds[i])
            return true;
    return false;
}

QString FieldMap::itemText(int position, bool isGASB) const
{
    return FieldCatalog::instance().fieldMapItemText(position, idAt(position), isGASB);
}

QStringList FieldMap::itemTexts(bool isGASB) const
{
    QStringList out;
    out.reserve(count());
    for (int p = 0; p < count(); ++p)
        out << itemText(p, isGASB);
    return out;
}

bool FieldMap::labelLess(const AvailableField& a, const AvailableField& b)
{
    if (const int c = a.label.compare(b.label, Qt::CaseInsensitive))
        return c < 0;
    if (const int c = a.label.compare(b.label, Qt::CaseSensitive))
        return c < 0;
    return a.id < b.id;
}

std::vector<AvailableField> FieldMap::availableFields(const QString& category, bool isLite, bool isGASB,
                                                      bool inventoryOption) const
{
    const FieldCatalog& catalog = FieldCatalog::instance();
    std::vector<AvailableField> out;
    for (const int32_t id : FieldCatalog::categoryFieldIds(category.trimmed(), isLite, isGASB, inventoryOption))
        if (!contains(id))
            out.push_back({id, catalog.displayLabel(id, isGASB)});
    std::sort(out.begin(), out.end(), &FieldMap::labelLess);
    return out;
}

} // namespace expwiz
