#include "fieldmap/FieldMapButtons.h"

#include "fieldmap/FieldMap.h"

namespace expwiz {

FieldMapButtons FieldMapButtons::forMap(const FieldMap& map)
{
    FieldMapButtons b;
    if (map.isEmpty()) {
        b.next = b.save = b.print = false;
        return b;
    }
    b.next = b.save = b.print = true;
    if (!map.hasSelection()) {
        b.remove = b.up = b.down = false;
        return b;
    }
    b.remove = true;
    b.up = !map.isSelected(0);
    b.down = !map.isSelected(map.count() - 1);
    return b;
}

} // namespace expwiz
