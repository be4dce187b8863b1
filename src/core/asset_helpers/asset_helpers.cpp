#include "core/asset_helpers/asset_helpers.h"

#include <array>
#include <cerrno>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <ios>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>
#include <type_traits>
#include <vector>

#include <fmt/format.h>
#include <fmt/ranges.h>
#include <nlohmann/json.hpp>
#include <spdlog/spdlog.h>

#include "core/config_bounds/config_bounds.h"
#include "core/math/math.h"
#include "lib/c2/c2.h"

namespace {

using nlohmann::json;

constexpr std::array<std::string_view, 12> ship_dir_names = {
    "frigate_one",   "frigate_two",   "frigate_three",   "frigate_four",
    "destroyer_one", "destroyer_two", "destroyer_three", "cruiser_one",
    "cruiser_two",   "cruiser_three", "battleship_one",  "battleship_two",
};

constexpr std::array<std::string_view, 9> mount_dir_names = {
    "mount_small_one",  "mount_small_two",  "mount_small_three",
    "mount_medium_one", "mount_medium_two", "mount_medium_three",
    "mount_large_one",  "mount_large_two",  "mount_large_three",
};

constexpr std::array<std::string_view, 9> projectile_dir_names = {
    "projectile_small_one",  "projectile_small_two",  "projectile_small_three",
    "projectile_medium_one", "projectile_medium_two", "projectile_medium_three",
    "projectile_large_one",  "projectile_large_two",  "projectile_large_three",
};

constexpr std::size_t max_collision_vertices = C2_MAX_POLYGON_VERTS;

std::string asset_path(std::string_view root, std::string_view kind, std::string_view name) {
    return fmt::format("{}/assets/{}/{}/{}.json", root, kind, name, name);
}

// Every library exception the loaders pass on names the file (naming_place):
// one of thirty files must be findable from the single log line that stops
// start-up. A parse error keeps its line and column after the path.
json::parse_error naming_file(const json::parse_error& error, std::string_view path) {
    std::string_view detail = without_exception_name(error);
    if (detail.starts_with("parse error")) {
        detail.remove_prefix(std::string_view("parse error").size());
    }
    // Byte 0 keeps create() from adding a position of its own: the detail
    // already holds the line and column.
    return json::parse_error::create(error.id, 0, fmt::format("{}{}", path, detail), nullptr);
}

// With no asset tree at all the game was started from another folder; that,
// not the first file it misses, is what the user needs to hear.
void check_asset_tree() {
    std::error_code error;
    if (std::filesystem::is_directory("build/assets", error)) return;
    throw std::runtime_error(fmt::format(
        "build/assets: no such folder in the working directory '{}'; the game reads build/assets relative to its "
        "working directory and must be started from the repository root or the unzipped folder",
        std::filesystem::current_path(error).string()));
}

json parse_file(const std::string& path) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        throw std::runtime_error(fmt::format("{}: is a directory, not a file", path));
    }
    errno = 0;
    std::ifstream in(path);
    if (!in.is_open()) {
        const int reason = errno;
        throw std::runtime_error(
            fmt::format("{}: could not be opened: {}", path, std::generic_category().message(reason)));
    }
    try {
        return json::parse(in, nullptr, true, false);
    } catch (const json::parse_error& parse_error) {
        throw naming_file(parse_error, path);
    } catch (const json::out_of_range& overflow) {  // a number beyond a double, such as 1e400
        throw naming_place(overflow, path);
    } catch (const std::ios_base::failure& failure) {
        throw std::runtime_error(fmt::format("{}: could not be read: {}", path, failure.what()));
    }
}

template <typename Record>
Record record_from_json(const json& document, const std::string& path) {
    try {
        return read_object(document, "the file").get<Record>();
    } catch (const json::out_of_range& error) {
        throw naming_place(error, path);
    } catch (const json::type_error& error) {
        throw naming_place(error, path);
    } catch (const ConfigValueError& error) {
        throw ConfigValueError(fmt::format("{}: {}", path, error.what()));
    }
}

// Ship polygons become collision polygons, so a file that holds one they
// cannot represent stops start-up here rather than corrupting a body later.
void check_collision_polygons(const ShipConfig& config, const std::string& path) {
    for (std::size_t i = 0; i < config.src_polygons.size(); ++i) {
        const std::size_t count = config.src_polygons[i].size();
        if (count < 3 || count > max_collision_vertices) {
            throw std::runtime_error(
                fmt::format("{}: polygon {} has {} vertices; a collision polygon needs 3 to {}",
                            path, i, count, max_collision_vertices));
        }
    }
}

// Polygons of one outline wound both ways subtract from each other's area:
// a centroid weighted by such areas may lie anywhere, even millions of units
// from every vertex. Positive areas run counter-clockwise, with y upward.
void check_windings(const std::vector<float>& areas, const std::string& path) {
    std::vector<std::size_t> counter_clockwise;
    std::vector<std::size_t> clockwise;
    for (std::size_t i = 0; i < areas.size(); ++i) (areas[i] > 0.0f ? counter_clockwise : clockwise).push_back(i);
    if (counter_clockwise.empty() || clockwise.empty()) return;
    throw std::runtime_error(fmt::format(
        "{}: polygons wound in opposite directions (counter-clockwise: {}; clockwise: {}); all polygons of one "
        "file must be wound the same way",
        path, fmt::join(counter_clockwise, ", "), fmt::join(clockwise, ", ")));
}

// The centroid divides by each polygon's area and by their sum: a zero or
// infinite one would turn every derived number of the record, and of the
// bodies built from it, into NaN.
void check_polygon_areas(const Polygons& polygons, const std::string& path) {
    const auto divides = [](float area) { return std::isfinite(area) && area != 0.0f; };
    std::vector<float> areas;
    float sum = 0.0f;
    for (std::size_t i = 0; i < polygons.size(); ++i) {
        const float area = area_of_polygon(polygons[i]);
        if (area == 0.0f) throw std::runtime_error(fmt::format("{}: polygon {} has no area", path, i));
        if (!divides(area)) {
            throw std::runtime_error(fmt::format("{}: polygon {} has an area a float cannot hold", path, i));
        }
        areas.push_back(area);
        sum = sum + area;
    }
    check_windings(areas, path);
    if (!polygons.empty() && !divides(sum)) {
        throw std::runtime_error(
            fmt::format("{}: the signed areas of the polygons sum to {}, which leaves them no centroid", path, sum));
    }
    const Vec2 centroid = centroid_of_polygons(polygons);
    if (!std::isfinite(centroid.first) || !std::isfinite(centroid.second)) {
        throw std::runtime_error(fmt::format("{}: the polygons' centroid is beyond a float's range", path));
    }
}

// Every loaded vertex lies within the outline reach of the centroid, where the
// loaded polygons are centred; a scale too large for its outline is refused here.
void check_outline_reach(const Polygons& loaded_polygons, const std::string& path) {
    const double reach = farthest_vertex(loaded_polygons, {0.0f, 0.0f});
    // Compared and stated as a float, the shortest text that tells it from the limit.
    const float stated =
        reach <= ConfigBounds::float_max ? static_cast<float>(reach) : std::numeric_limits<float>::infinity();
    if (!(stated <= ConfigBounds::outline_reach)) {
        throw ConfigValueError(fmt::format("{}: the outline reaches {} units from its centroid; at most {}", path,
                                           stated, ConfigBounds::outline_reach));
    }
}

// The pivot the image is drawn about, in fractions of the image size.
void check_centroid_ratio(const Vec2& ratio, const std::string& path) {
    if (!std::isfinite(ratio.first) || !std::isfinite(ratio.second)) {
        throw std::runtime_error(
            fmt::format("{}: the polygons' centroid in fractions of the image size is beyond a float's range", path));
    }
}

// Brings the file's polygons into the entity's own frame: centred on the
// centroid, image up turned to the world's zero heading, scaled to world units.
template <typename Record>
void derive_load_fields(Record& record, std::string src_path, std::string build_path) {
    const Vec2 centroid = centroid_of_polygons(record.polygons);
    record.centroid_ratio = image_centroid_ratio(centroid, record.image_width, record.image_height);
    record.src_path = std::move(src_path);
    record.build_path = std::move(build_path);
    translate_polygons_to_origin(record.polygons, centroid);
    rotate_polygons(record.polygons);
    scale_polygons(record.polygons, record.scale);
}

void place_mount_slots(ShipConfig& config) {
    for (auto& slot : config.mounts) {
        const Vec2 turned = rotate_cord(slot.pos_x, slot.pos_y);
        const Vec2 placed = scale_cord(turned.first, turned.second, config.scale);
        slot.pos_x = placed.first;
        slot.pos_y = placed.second;
    }
}

// `kind` names the asset folder ("ships"), `noun` one of its types ("ship").
template <typename Key, typename Record, std::size_t N>
std::unordered_map<Key, Record> load_configs(std::string_view kind, std::string_view noun,
                                             const std::array<std::string_view, N>& names) {
    check_asset_tree();
    std::unordered_map<Key, Record> configs;
    for (const auto name : names) {
        std::string src_path = asset_path("src", kind, name);
        std::string build_path = asset_path("build", kind, name);
        Record record = record_from_json<Record>(parse_file(build_path), build_path);
        if constexpr (std::is_same_v<Record, ShipConfig>) check_collision_polygons(record, build_path);
        check_polygon_areas(record.src_polygons, build_path);
        if constexpr (std::is_same_v<Record, ShipConfig>) place_mount_slots(record);
        derive_load_fields(record, std::move(src_path), std::move(build_path));
        check_outline_reach(record.polygons, record.build_path);
        check_centroid_ratio(record.centroid_ratio, record.build_path);
        // Two files of one type would leave one of them unread and another
        // type without a record.
        const auto [entry, inserted] = configs.try_emplace(static_cast<Key>(record.type), std::move(record));
        if (!inserted) {
            throw std::runtime_error(fmt::format("{} and {} both declare {} type {}", entry->second.build_path,
                                                 record.build_path, noun, record.type));
        }
    }
    return configs;
}

std::string to_file_text(const json& j) {
    return j.dump(4, ' ', false, json::error_handler_t::strict);
}

// The file a path names, following symbolic links (relative ones from the
// link's own directory), so a save replaces the target and keeps the link.
std::filesystem::path link_target(const std::filesystem::path& path) {
    std::filesystem::path target = path;
    std::error_code error;
    for (int hops = 0; hops < 40 && std::filesystem::is_symlink(target, error); ++hops) {
        const std::filesystem::path next = std::filesystem::read_symlink(target, error);
        if (error) break;
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    return target;
}

// An existing file must take writing in place (not a directory, not
// read-only); probed without changing it. The reason it cannot, or 0.
int writing_refused(const std::filesystem::path& target) {
    std::error_code error;
    if (!std::filesystem::exists(target, error)) return 0;
    errno = 0;
    std::ofstream probe(target, std::ios::out | std::ios::app);
    return probe.is_open() ? 0 : errno;
}

// Gives the new file the old one's permission bits and renames it over the
// old one.
bool move_over(const std::filesystem::path& temp_path, const std::filesystem::path& target, const RenameFile& rename) {
    std::error_code error;
    if (std::filesystem::exists(target, error)) {
        const auto permissions = std::filesystem::status(target, error).permissions();
        if (!error) std::filesystem::permissions(temp_path, permissions, error);
        if (error) return false;
    }
    return rename(temp_path, target);
}

void remove_quietly(const std::filesystem::path& path) {
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
}

// A save cut short between writing and renaming leaves its new files and the
// kept previous one beside the copies; the record's next save clears those
// three names beside both copies, and nothing else.
void remove_leftovers(std::string_view saver, const std::string& path) {
    for (const std::string_view role : {"src", "build", "old"}) {
        std::filesystem::path leftover = link_target(path);
        leftover += fmt::format(".{}.tmp", role);
        std::error_code error;
        if (!std::filesystem::is_regular_file(std::filesystem::symlink_status(leftover, error))) continue;
        if (std::filesystem::remove(leftover, error)) {
            SPDLOG_INFO("{}: removed '{}', left by an earlier save", saver, leftover.string());
        }
    }
}

// One copy of a save, written beside the file it is to replace.
struct PreparedCopy {
    std::string path;  // as the record names it, for the log
    std::filesystem::path target;
    std::filesystem::path temp;
    std::filesystem::path previous;  // the replaced file, kept until the save is done
    bool had_previous = false;
};

// Writes the text beside the copy's target, which stays as it is; so a failed
// or interrupted write leaves the old file whole. `role` keeps the two copies'
// new files apart when links make them one file. Logs a failure.
std::optional<PreparedCopy> prepare_copy(std::string_view saver, const std::string& path, std::string_view role,
                                         const std::string& text) {
    PreparedCopy copy{path, link_target(path), {}, {}, false};
    copy.temp = copy.target;
    copy.temp += fmt::format(".{}.tmp", role);
    std::ofstream out;
    int reason = writing_refused(copy.target);
    if (reason == 0) {
        errno = 0;
        // Binary: the files keep their "\n" line ends on Windows too.
        out.open(copy.temp, std::ios::out | std::ios::trunc | std::ios::binary);
        reason = errno;
    }
    if (!out.is_open()) {
        SPDLOG_ERROR("{}: could not open '{}' for writing: {}", saver, path, std::generic_category().message(reason));
        return std::nullopt;
    }
    out << text;
    out.close();
    if (out.fail()) {
        remove_quietly(copy.temp);
        SPDLOG_ERROR("{}: write failed for '{}'", saver, path);
        return std::nullopt;
    }
    return copy;
}

// Keeps the file that the copy is to replace, so the replacement can be undone.
bool keep_previous(PreparedCopy& copy) {
    std::error_code error;
    copy.had_previous = std::filesystem::exists(copy.target, error);
    if (error || !copy.had_previous) return !error;
    copy.previous = copy.target;
    copy.previous += ".old.tmp";
    remove_quietly(copy.previous);
    std::filesystem::create_hard_link(copy.target, copy.previous, error);
    // Where the file system has no hard links.
    if (error) std::filesystem::copy_file(copy.target, copy.previous, error);
    return !error;
}

// Undoes a replacement: the previous file back, or none when there was none.
bool put_back(const PreparedCopy& copy, const RenameFile& rename) {
    if (copy.had_previous) return rename(copy.previous, copy.target);
    std::error_code error;
    std::filesystem::remove(copy.target, error);
    return !error;
}

// Both copies are written before either is replaced, and the source copy is
// put back when the build copy cannot replace its file: the next start reads
// the build copy, and the two must not differ.
SavedCopies replace_both(std::string_view saver, PreparedCopy& source, PreparedCopy& build, const RenameFile& rename) {
    if (!keep_previous(source) || !move_over(source.temp, source.target, rename)) {
        remove_quietly(source.temp);
        remove_quietly(source.previous);
        remove_quietly(build.temp);
        SPDLOG_ERROR("{}: write failed for '{}'", saver, source.path);
        return {};
    }
    if (!move_over(build.temp, build.target, rename)) {
        remove_quietly(build.temp);
        SPDLOG_ERROR("{}: write failed for '{}'", saver, build.path);
        if (put_back(source, rename)) {
            SPDLOG_WARN("{}: put the previous '{}' back; neither copy changed", saver, source.path);
            return {};
        }
        // The kept file is the only whole copy of the source's previous text left.
        SPDLOG_ERROR("{}: could not put the previous '{}' back; it holds the new text, '{}' the old; the previous "
                     "'{}' is kept as '{}'",
                     saver, source.path, build.path, source.path, source.previous.string());
        return {true, false};
    }
    remove_quietly(source.previous);
    SPDLOG_INFO("{}: wrote '{}'", saver, source.path);
    SPDLOG_INFO("{}: wrote '{}'", saver, build.path);
    return {true, true};
}

template <typename Record>
SavedCopies save_config(std::string_view saver, Record& record) {
    record.polygons = record.src_polygons;
    // Serialise before touching either copy: invalid UTF-8 raises here.
    return save_copies(saver, record.src_path, record.build_path, to_file_text(json(record)));
}

}  // namespace

bool rename_file(const std::filesystem::path& from, const std::filesystem::path& to) {
    std::error_code error;
    std::filesystem::rename(from, to, error);
    return !error;
}

SavedCopies save_copies(std::string_view saver, const std::string& src_path, const std::string& build_path,
                        const std::string& text, const RenameFile& rename) {
    remove_leftovers(saver, src_path);
    remove_leftovers(saver, build_path);
    std::optional<PreparedCopy> source = prepare_copy(saver, src_path, "src", text);
    if (!source) return {};
    std::optional<PreparedCopy> build = prepare_copy(saver, build_path, "build", text);
    if (!build) {
        remove_quietly(source->temp);
        return {};
    }
    return replace_both(saver, *source, *build, rename);
}

std::unordered_map<ShipType, ShipConfig> load_ship_configs() {
    return load_configs<ShipType, ShipConfig>("ships", "ship", ship_dir_names);
}

std::unordered_map<MountType, MountConfig> load_mount_configs() {
    return load_configs<MountType, MountConfig>("mounts", "mount", mount_dir_names);
}

std::unordered_map<ProjectileType, ProjectileConfig> load_projectile_configs() {
    return load_configs<ProjectileType, ProjectileConfig>("projectiles", "projectile", projectile_dir_names);
}

SavedCopies save_ship_config(ShipConfig config) {
    for (auto& slot : config.mounts) {
        slot.pos_x = slot.pos_x_src;
        slot.pos_y = slot.pos_y_src;
    }
    return save_config("save_ship_config", config);
}

SavedCopies save_mount_config(MountConfig config) { return save_config("save_mount_config", config); }

SavedCopies save_projectile_config(ProjectileConfig config) {
    return save_config("save_projectile_config", config);
}
