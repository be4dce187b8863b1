#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "core/mount_config/mount_config.h"
#include "core/mount_type/mount_type.h"
#include "core/projectile_config/projectile_config.h"
#include "core/projectile_type/projectile_type.h"
#include "core/ship_config/ship_config.h"
#include "core/ship_type/ship_type.h"

// Loaders: read every build copy of one kind (build/assets/<kind>/<n>/<n>.json
// relative to the working directory), derive the load-time fields and key the
// records by the type their file declares. Any bad file raises.
std::unordered_map<ShipType, ShipConfig> load_ship_configs();
std::unordered_map<MountType, MountConfig> load_mount_configs();
std::unordered_map<ProjectileType, ProjectileConfig> load_projectile_configs();

// Which copies of a record a save wrote: both or neither, unless a copy
// could be neither replaced nor put back (then the source copy alone).
struct SavedCopies {
    bool source = false;
    bool build = false;
    bool both() const { return source && build; }
};

// Savers: write the record's file coordinates back to its source and build
// copies, both or neither. File trouble is logged, not raised.
SavedCopies save_ship_config(ShipConfig config);
SavedCopies save_mount_config(MountConfig config);
SavedCopies save_projectile_config(ProjectileConfig config);

// Moves a file onto `to`, replacing what is there; false when it could not.
using RenameFile = std::function<bool(const std::filesystem::path& from, const std::filesystem::path& to)>;
bool rename_file(const std::filesystem::path& from, const std::filesystem::path& to);
// What the savers do with a record's file text: both copies or neither.
// Every replacement and putting back goes through `rename`, which a test
// makes fail to see a save undo itself.
SavedCopies save_copies(std::string_view saver, const std::string& src_path, const std::string& build_path,
                        const std::string& text, const RenameFile& rename = rename_file);
