#pragma once

#include <QString>

#include <optional>
#include <vector>

namespace orvo::app {

// One entry of an add-in's menu path: "caption,ADD,BEFORE=anchor,,".
// The anchor is a caption or a host command id.
struct MenuPlacementEntry {
    QString caption;
    QString action;
    enum class Side { None, Before, After } side = Side::None;
    QString anchor;
    std::optional<int> anchorId() const;
};

// The "~"-separated path: the top menu, the submenu, the item.
class MenuPlacement {
public:
    // Raises HostError for a path that is not three entries of that form.
    static std::vector<MenuPlacementEntry> parse(const QString& placement);
};

} // namespace orvo::app
