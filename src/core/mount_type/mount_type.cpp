#include "core/mount_type/mount_type.h"

#include <algorithm>

std::string to_string(MountType type) {
    const auto it = std::find(ordered_mount_types.begin(), ordered_mount_types.end(), type);
    if (it == ordered_mount_types.end()) {
        return {};
    }
    return ordered_mount_type_names[static_cast<std::size_t>(it - ordered_mount_types.begin())];
}
