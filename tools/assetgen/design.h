#pragma once

#include <string>

#include "core/math/math.h"
#include "core/mount_config/mount_config.h"
#include "core/projectile_config/projectile_config.h"
#include "core/ship_config/ship_config.h"
#include "drawing.h"

// Turns a drawing's game data into the configuration record of its variant,
// holding the file's values in both the stored and the source fields, as a
// freshly loaded record would before the load-time transforms.
namespace assetgen {

// The collision polygons in image pixels, y up from the bottom edge, counter-
// clockwise; raises naming the file unless each is convex with 3 to 8 vertices.
Polygons collision_polygons(const Drawing& drawing);

// "assets/<kind>/<name>/<name>.png"
std::string image_path(const std::string& kind, const std::string& name);

ShipConfig ship_design(const Drawing& drawing, const std::string& name);
MountConfig mount_design(const Drawing& drawing, const std::string& name);
ProjectileConfig projectile_design(const Drawing& drawing, const std::string& name);

}  // namespace assetgen
