// libFuzzer target for the configuration loaders. The first byte picks the
// kind ('s' ship, 'm' mount, 'p' projectile, any other byte by its value);
// the rest is the JSON text of that kind's first file. The loader runs in a
// scratch copy of the shipped files, so the fuzzed file is the only bad one.
// An exception is the loader's answer to bad input; anything else is a fault,
// and so is a record the loader accepts that the game cannot run with: the
// target aborts on it, so the corpus replay fails when a bound is loosened.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>
#include <string_view>

#include "core/asset_helpers/asset_helpers.h"
#include "fuzz_support.h"

namespace {

enum class Kind { Ship, Mount, Projectile };

Kind kind_of(std::uint8_t byte) {
    switch (byte) {
        case 's': return Kind::Ship;
        case 'm': return Kind::Mount;
        case 'p': return Kind::Projectile;
        default: return static_cast<Kind>(byte % 3);
    }
}

// The first file each loader reads, so no other file is read before it.
std::filesystem::path fuzzed_file(Kind kind) {
    switch (kind) {
        case Kind::Ship: return "build/assets/ships/frigate_one/frigate_one.json";
        case Kind::Mount: return "build/assets/mounts/mount_small_one/mount_small_one.json";
        case Kind::Projectile: break;
    }
    return "build/assets/projectiles/projectile_small_one/projectile_small_one.json";
}

// What the game runs with, stated here apart from the loaders' bounds so that
// loosening one of those lets a corpus input through to fail these checks.
constexpr float lowest_scale = 0.01f;
constexpr float highest_scale = 16.0f;
constexpr float largest_image = 16384.0f;
// World units from the centroid, with room for the loader's float rounding.
constexpr double outline_reach = 2000.0 * (1.0 + 1e-6);

void expect(bool holds, const char* what, const std::string& path) {
    if (holds) return;
    std::fprintf(stderr, "config_fuzzer: accepted %s: %s\n", path.c_str(), what);
    std::abort();
}

// Fails NaN as well.
bool within(float value, float lowest, float highest) { return value >= lowest && value <= highest; }

double signed_area(const Polygon& polygon) {
    double twice = 0.0;
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        const Vec2& a = polygon[i];
        const Vec2& b = polygon[(i + 1) % polygon.size()];
        twice += double{a.first} * b.second - double{b.first} * a.second;
    }
    return twice / 2.0;
}

// What every kind shares: scale, image, an outline wound one way whose loaded
// vertices stay within reach of the centroid, and a finite pivot.
template <typename Record>
void check_outline(const Record& r) {
    expect(within(r.scale, lowest_scale, highest_scale), "scale out of bounds", r.build_path);
    expect(r.image_width > 0.0f && r.image_width <= largest_image, "image_width out of bounds", r.build_path);
    expect(r.image_height > 0.0f && r.image_height <= largest_image, "image_height out of bounds", r.build_path);
    expect(std::isfinite(r.centroid_ratio.first) && std::isfinite(r.centroid_ratio.second),
           "centroid ratio not finite", r.build_path);
    int counter_clockwise = 0;
    int clockwise = 0;
    for (const Polygon& polygon : r.src_polygons) {
        const double area = signed_area(polygon);
        expect(area != 0.0 && std::isfinite(area), "polygon without a finite area", r.build_path);
        (area > 0.0 ? counter_clockwise : clockwise) += 1;
    }
    expect(counter_clockwise == 0 || clockwise == 0, "polygons wound both ways", r.build_path);
    expect(r.polygons.size() == r.src_polygons.size(), "polygons lost at load", r.build_path);
    for (const Polygon& polygon : r.polygons) {
        for (const auto& [x, y] : polygon) {
            expect(std::hypot(double{x}, double{y}) <= outline_reach, "vertex beyond the outline reach", r.build_path);
        }
    }
}

void check(const ShipConfig& ship) {
    check_outline(ship);
    const std::string& path = ship.build_path;
    expect(within(ship.max_speed, 0.0f, 100000.0f) && within(ship.max_acc, 0.0f, 100000.0f) &&
               within(ship.max_ang_vel, 0.0f, 1000.0f) && within(ship.max_ang_acc, 0.0f, 10000.0f),
           "movement limit out of bounds", path);
    expect(ship.polygons.size() <= 3 && ship.mounts.size() <= 49, "too many polygons or slots", path);
    for (const Polygon& polygon : ship.polygons) {
        expect(polygon.size() >= 3 && polygon.size() <= 8, "no collision polygon", path);
    }
    for (const MountStats& slot : ship.mounts) {
        expect(std::isfinite(slot.pos_x) && std::isfinite(slot.pos_y) && std::isfinite(slot.rot_neut) &&
                   std::isfinite(slot.rot_range),
               "slot not finite", path);
    }
}

void check(const MountConfig& mount) {
    check_outline(mount);
    expect(within(mount.cooldown, 0.0f, 3600.0f) && within(mount.rot_ang_vel, 0.0f, 1000.0f),
           "cooldown or turn speed out of bounds", mount.build_path);
}

void check(const ProjectileConfig& projectile) {
    check_outline(projectile);
    expect(within(projectile.speed, 0.0f, 100000.0f), "speed out of bounds", projectile.build_path);
}

template <typename Configs>
void check_all(const Configs& configs) {
    for (const auto& [type, config] : configs) check(config);
}

void load(Kind kind) {
    switch (kind) {
        case Kind::Ship: check_all(load_ship_configs()); return;
        case Kind::Mount: check_all(load_mount_configs()); return;
        case Kind::Projectile: check_all(load_projectile_configs()); return;
    }
}

// The shipped JSON files under build/assets of a scratch directory.
struct AssetCopy {
    ScratchDirectory scratch;

    AssetCopy() {
        silence_logging();
        const std::filesystem::path shipped = VOIDLANCE_SOURCE_DIR "/src/assets";
        for (const auto& entry : std::filesystem::recursive_directory_iterator(shipped)) {
            if (entry.path().extension() != ".json") continue;
            const std::filesystem::path copy =
                scratch.path / "build/assets" / std::filesystem::relative(entry.path(), shipped);
            std::filesystem::create_directories(copy.parent_path());
            std::filesystem::copy_file(entry.path(), copy);
        }
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const AssetCopy assets;
    if (size == 0) return 0;
    const Kind kind = kind_of(data[0]);
    write_file(assets.scratch.path / fuzzed_file(kind),
               std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1));
    const WorkingDirectoryChange in_scratch(assets.scratch.path);
    try {
        load(kind);
    } catch (const std::exception&) {
    }
    return 0;
}
