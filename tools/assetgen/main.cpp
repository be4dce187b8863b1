// assetgen: builds the game's images and configuration files from the vector
// art under tools/assetgen/art/<kind>/<name>.svg. Run from the repository root:
//
//   build/tools/assetgen/assetgen images        PNGs into src/assets
//   build/tools/assetgen/assetgen configs       JSON into src/assets and build/assets
//   build/tools/assetgen/assetgen all           both
//   build/tools/assetgen/assetgen preview DIR   ships with their mounts and
//                                               collision outlines, and the fleet
//
// The configuration files are written by the game's own savers, so they hold
// exactly the bytes the ship, mount and projectile editors would write. Once
// an editor has changed a file, `configs` would overwrite that change.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <SDL3/SDL.h>

#include "core/asset_helpers/asset_helpers.h"
#include "design.h"
#include "drawing.h"
#include "raster.h"

namespace fs = std::filesystem;
using namespace assetgen;

namespace {

constexpr const char* art_root = "tools/assetgen/art";
constexpr int supersample = 4;
const std::vector<std::string> kinds = {"ships", "mounts", "projectiles"};

struct Variant {
    std::string kind;
    std::string name;
    Drawing drawing;
};

std::vector<Variant> load_variants(const std::string& kind) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(fs::path(art_root) / kind)) {
        if (entry.path().extension() == ".svg") {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    std::vector<Variant> variants;
    for (const auto& file : files) {
        variants.push_back({kind, file.stem().string(), load_drawing(file.string())});
    }
    return variants;
}

std::string asset_file(const std::string& root, const Variant& v, const std::string& extension) {
    return root + "/assets/" + v.kind + "/" + v.name + "/" + v.name + extension;
}

void write_image(const Variant& v) {
    const std::string path = asset_file("src", v, ".png");
    fs::create_directories(fs::path(path).parent_path());
    save_png(render(v.drawing, supersample), path);
    std::printf("assetgen: rendered %s\n", path.c_str());
}

template <typename Record>
Record with_paths(Record record, const Variant& v) {
    record.src_path = asset_file("src", v, ".json");
    record.build_path = asset_file("build", v, ".json");
    fs::create_directories(fs::path(record.src_path).parent_path());
    fs::create_directories(fs::path(record.build_path).parent_path());
    return record;
}

void write_config(const Variant& v) {
    if (v.kind == "ships") {
        save_ship_config(with_paths(ship_design(v.drawing, v.name), v));
    } else if (v.kind == "mounts") {
        save_mount_config(with_paths(mount_design(v.drawing, v.name), v));
    } else {
        save_projectile_config(with_paths(projectile_design(v.drawing, v.name), v));
    }
}

struct MountArt {
    MountConfig config;
    Image image;
    Point pivot;  // the centroid, image pixels from the top-left
};

std::map<std::uint32_t, MountArt> mount_art() {
    std::map<std::uint32_t, MountArt> art;
    for (const Variant& v : load_variants("mounts")) {
        MountConfig config = mount_design(v.drawing, v.name);
        const Vec2 c = centroid_of_polygons(config.polygons);
        art[config.type] = {config,
                            render(v.drawing, supersample),
                            {c.first, static_cast<float>(v.drawing.height) - c.second}};
    }
    return art;
}

void fill(Image& image, Rgba color) {
    for (std::size_t i = 0; i < image.pixels.size(); i += 4) {
        image.pixels[i] = color.r;
        image.pixels[i + 1] = color.g;
        image.pixels[i + 2] = color.b;
        image.pixels[i + 3] = 1.0f;
    }
}

// The game draws every image at 130/255 of its colours.
void darken_like_the_game(Image& image) {
    for (std::size_t i = 0; i < image.pixels.size(); i += 4) {
        for (int c = 0; c < 3; ++c) {
            image.pixels[i + c] *= 130.0f / 255.0f;
        }
    }
}

// Draws one ship with its mounts at their neutral angles; `zoom` is output
// pixels per ship image pixel. (x, y) is where the ship's centroid lands.
void draw_ship(Image& out, const Variant& v, const std::map<std::uint32_t, MountArt>& mounts,
               Point at, float zoom, bool darken, bool outlines) {
    const ShipConfig ship = ship_design(v.drawing, v.name);
    const Vec2 c = centroid_of_polygons(ship.polygons);
    const float height = static_cast<float>(v.drawing.height);
    Image ship_image = render(v.drawing, supersample);
    if (darken) {
        darken_like_the_game(ship_image);
    }
    composite(out, ship_image, {c.first, height - c.second}, at, zoom, 0.0f);
    for (const MountStats& slot : ship.mounts) {
        const auto found = mounts.find(static_cast<std::uint32_t>(slot.mount_type));
        if (found == mounts.end()) {
            continue;
        }
        Image mount_image = found->second.image;
        if (darken) {
            darken_like_the_game(mount_image);
        }
        const Point place{at.x + slot.pos_x * zoom, at.y - slot.pos_y * zoom};
        composite(out, mount_image, found->second.pivot, place,
                  zoom * found->second.config.scale / ship.scale, slot.rot_neut);
    }
    if (!outlines) {
        return;
    }
    for (const Polygon& polygon : ship.polygons) {
        std::vector<Point> outline;
        for (const Vec2& p : polygon) {
            outline.push_back(
                {at.x + (p.first - c.first) * zoom, at.y - (p.second - c.second) * zoom});
        }
        draw_outline(out, outline, {0.9f, 0.16f, 0.22f, 1.0f});
    }
}

// All variants of one kind side by side, `zoom` times their image size.
void write_sheet(const std::string& kind, float zoom, const std::string& path) {
    const auto variants = load_variants(kind);
    int width = 10;
    int height = 0;
    for (const Variant& v : variants) {
        width += static_cast<int>(static_cast<float>(v.drawing.width) * zoom) + 10;
        height = std::max(height, static_cast<int>(static_cast<float>(v.drawing.height) * zoom));
    }
    Image sheet(width, height + 20);
    fill(sheet, {0.03f, 0.04f, 0.07f, 1.0f});
    float x = 10.0f;
    for (const Variant& v : variants) {
        composite(sheet, render(v.drawing, supersample), {0.0f, 0.0f}, {x, 10.0f}, zoom, 0.0f);
        x += static_cast<float>(v.drawing.width) * zoom + 10.0f;
    }
    save_png(sheet, path);
}

void write_previews(const std::string& dir) {
    fs::create_directories(dir);
    const auto mounts = mount_art();
    const auto ships = load_variants("ships");
    const Rgba space{0.03f, 0.04f, 0.07f, 1.0f};
    float fleet_width = 40.0f;
    float fleet_height = 0.0f;
    for (const Variant& v : ships) {
        const float scale = ship_design(v.drawing, v.name).scale;
        fleet_width += static_cast<float>(v.drawing.width) * scale + 30.0f;
        fleet_height = std::max(fleet_height, static_cast<float>(v.drawing.height) * scale);
    }
    Image fleet(static_cast<int>(fleet_width), static_cast<int>(fleet_height) + 60);
    fill(fleet, space);
    float x = 20.0f;
    for (const Variant& v : ships) {
        const ShipConfig ship = ship_design(v.drawing, v.name);
        const Vec2 c = centroid_of_polygons(ship.polygons);
        // Large enough to judge the detail of the smallest ships.
        const float zoom =
            std::max(2.0f, std::round(600.0f / static_cast<float>(v.drawing.height)));
        Image one(static_cast<int>(static_cast<float>(v.drawing.width) * zoom),
                  static_cast<int>(static_cast<float>(v.drawing.height) * zoom));
        fill(one, space);
        draw_ship(one, v, mounts,
                  {c.first * zoom, (static_cast<float>(v.drawing.height) - c.second) * zoom}, zoom,
                  false, true);
        save_png(one, dir + "/" + v.name + ".png");
        const float w = static_cast<float>(v.drawing.width) * ship.scale;
        const float h = static_cast<float>(v.drawing.height) * ship.scale;
        const Point at{x + c.first * ship.scale,
                       30.0f + (fleet_height - h) + h - c.second * ship.scale};
        draw_ship(fleet, v, mounts, at, ship.scale, true, false);
        x += w + 30.0f;
    }
    save_png(fleet, dir + "/fleet.png");
    write_sheet("mounts", 4.0f, dir + "/mounts.png");
    write_sheet("projectiles", 4.0f, dir + "/projectiles.png");
    std::printf("assetgen: previews in %s\n", dir.c_str());
}

int usage() {
    std::fprintf(stderr, "usage: assetgen images | configs | all | preview DIR\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        return usage();
    }
    const std::string mode = argv[1];
    try {
        if (mode == "preview") {
            if (argc < 3) {
                return usage();
            }
            write_previews(argv[2]);
            return 0;
        }
        if (mode != "images" && mode != "configs" && mode != "all") {
            return usage();
        }
        for (const std::string& kind : kinds) {
            for (const Variant& v : load_variants(kind)) {
                if (mode != "configs") {
                    write_image(v);
                }
                if (mode != "images") {
                    write_config(v);
                }
            }
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "assetgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
