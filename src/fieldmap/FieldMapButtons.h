#pragma once

#include <optional>

namespace expwiz {

class FieldMap;

// The enabled state of the map editor's buttons after a click in the map
// list or an edit. An empty optional means "leave the button as it is": an
// empty map does not touch Remove, Up and Down.
struct FieldMapButtons {
    std::optional<bool> next;
    std::optional<bool> save;
    std::optional<bool> print;
    std::optional<bool> remove;
    std::optional<bool> up;
    std::optional<bool> down;

    static FieldMapButtons forMap(const FieldMap& map);
};

} // namespace expwiz
