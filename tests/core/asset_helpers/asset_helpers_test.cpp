#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>

#include <nlohmann/json.hpp>

#include "core/asset_helpers/asset_helpers.h"
#include "core/asset_helpers/asset_tree.h"
#include "support/log_capture.h"

using nlohmann::json;
using testing::HasSubstr;
using testing::StartsWith;
using test_support::AssetTree;
using test_support::read_file;

namespace {

const std::string ship_src = "src/assets/ships/frigate_one/frigate_one.json";
const std::string ship_build = "build/assets/ships/frigate_one/frigate_one.json";
const std::string mount_src = "src/assets/mounts/mount_small_one/mount_small_one.json";
const std::string mount_build = "build/assets/mounts/mount_small_one/mount_small_one.json";

// The square of 100 pixels on a 100 x 200 image at half scale, one slot.
json square_ship(const AssetTree& tree) {
    json j = tree.read("ships", "frigate_one");
    j["polygons"] = json::parse("[[[0, 0], [100, 0], [100, 100], [0, 100]]]");
    j["image_width"] = 100;
    j["image_height"] = 200;
    j["scale"] = 0.5;
    j["mounts"] = json::parse(
        R"([{"mount_type": 2000, "pos_x": 10, "pos_y": 0, "rot_neut": 0, "rot_range": 1}])");
    return j;
}

json polygon_of(int vertices) {
    json polygon = json::array();
    for (int i = 0; i < vertices; ++i) {
        polygon.push_back({i == 0 ? 0 : 10 + i, i * i});
    }
    return json::array({polygon});
}

// The text of the Error that the load raises; empty, with a failure, when it raises none.
template <typename Error, typename Load>
std::string error_text(Load load) {
    try {
        load();
    } catch (const Error& error) {
        return error.what();
    }
    ADD_FAILURE() << "the load did not raise";
    return "";
}

}  // namespace

TEST(LoadConfigs, CentresTurnsAndScalesPolygonsAndSlots) {
    AssetTree tree;
    tree.write("ships", "frigate_one", square_ship(tree));
    const auto ships = load_ship_configs();
    const ShipConfig& ship = ships.at(ShipType::FrigateOne);
    EXPECT_FLOAT_EQ(ship.centroid_ratio.first, 0.5f);
    EXPECT_FLOAT_EQ(ship.centroid_ratio.second, 0.75f);
    EXPECT_EQ(ship.polygons[0][1], Vec2(-25.0f, -25.0f));  // file vertex (100, 0)
    EXPECT_EQ(ship.src_polygons[0][1], Vec2(100.0f, 0.0f));
    EXPECT_EQ(ship.mounts[0].pos_x, 0.0f);
    EXPECT_EQ(ship.mounts[0].pos_y, -5.0f);
    EXPECT_EQ(ship.mounts[0].pos_x_src, 10.0f);
    EXPECT_EQ(ship.mounts[0].pos_y_src, 0.0f);
    EXPECT_EQ(ship.src_path, ship_src);
    EXPECT_EQ(ship.build_path, ship_build);
}

TEST(LoadConfigs, EmptyPolygonListHasTheOriginAsCentroid) {
    AssetTree tree;
    json j = tree.read("projectiles", "projectile_small_one");
    j["polygons"] = json::array();
    tree.write("projectiles", "projectile_small_one", j);
    const auto projectiles = load_projectile_configs();
    const ProjectileConfig& p = projectiles.at(ProjectileType::SmallOne);
    EXPECT_TRUE(p.polygons.empty());
    EXPECT_EQ(p.centroid_ratio, Vec2(0.0f, 1.0f));
}

TEST(LoadConfigs, RefusesTwoFilesThatDeclareOneTypeNamingBoth) {
    AssetTree tree;
    json j = tree.read("ships", "frigate_two");
    j["type"] = 1000;
    tree.write("ships", "frigate_two", j);
    EXPECT_EQ(error_text<std::runtime_error>(load_ship_configs),
              AssetTree::path("build", "ships", "frigate_one") + " and " +
                  AssetTree::path("build", "ships", "frigate_two") + " both declare ship type 1000");
}

TEST(LoadConfigs, AFileThatCannotBeReadStopsTheLoadNamingTheFileAndWhy) {
    AssetTree tree;
    const std::string path = AssetTree::path("build", "mounts", "mount_large_three");
    std::filesystem::remove(path);
    EXPECT_EQ(error_text<std::runtime_error>(load_mount_configs),
              path + ": could not be opened: No such file or directory");
    std::filesystem::create_directory(path);
    EXPECT_EQ(error_text<std::runtime_error>(load_mount_configs), path + ": is a directory, not a file");
    // Started from another folder: no asset tree at all.
    std::filesystem::remove_all("build/assets");
    EXPECT_EQ(error_text<std::runtime_error>(load_ship_configs),
              "build/assets: no such folder in the working directory '" + std::filesystem::current_path().string() +
                  "'; the game reads build/assets relative to its working directory and must be started from "
                  "the repository root or the unzipped folder");
}

TEST(LoadConfigs, MalformedJsonRaisesNamingTheFile) {
    AssetTree tree;
    const std::string path = AssetTree::path("build", "projectiles", "projectile_large_two");
    test_support::write_file(path, R"({"type": 3201, /* comment */ "scale": 0.5})");
    EXPECT_THAT(error_text<json::parse_error>(load_projectile_configs),
                StartsWith("[json.exception.parse_error.101] parse error: " + path + " at line 1, column 16: "));
    test_support::write_file(path, R"({"type": 3201,})");
    EXPECT_THAT(error_text<json::parse_error>(load_projectile_configs), HasSubstr(path + " at line 1"));
    test_support::write_file(path, R"({"type": 3201, "scale": 1e400})");
    EXPECT_EQ(error_text<json::out_of_range>(load_projectile_configs),
              "[json.exception.out_of_range.406] " + path + ": number overflow parsing '1e400'");
}

TEST(LoadConfigs, AMissingKeyOrAWrongTypeRaisesNamingTheFile) {
    AssetTree tree;
    const std::string path = AssetTree::path("build", "ships", "destroyer_two");
    json ship = tree.read("ships", "destroyer_two");
    ship["mounts"][0].erase("rot_range");
    tree.write("ships", "destroyer_two", ship);
    EXPECT_EQ(error_text<json::out_of_range>(load_ship_configs),
              "[json.exception.out_of_range.403] " + path + ": \"mounts\"[0] (slot 1): key 'rot_range' not found");
    ship = tree.read("ships", "destroyer_two");
    ship.erase("max_acc");
    tree.write("ships", "destroyer_two", ship);
    EXPECT_EQ(error_text<json::out_of_range>(load_ship_configs),
              "[json.exception.out_of_range.403] " + path + ": key 'max_acc' not found");

    ship = tree.read("ships", "destroyer_two");
    ship["max_speed"] = "fast";
    tree.write("ships", "destroyer_two", ship);
    EXPECT_EQ(error_text<std::runtime_error>(load_ship_configs), path + R"(: "max_speed" must be a number, not "fast")");
}

// A value the game cannot run with, put at `pointer` into one file: the load
// stops, naming the file and the key.
struct BadFileValue {
    const char* kind;
    const char* name;
    const char* pointer;
    const char* value;  // JSON text
    const char* refusal;
};

const BadFileValue bad_file_values[] = {
    {"ships", "frigate_one", "/scale", "-1", R"("scale" must be at least 0.01 and at most 16, not -1)"},
    {"ships", "frigate_one", "/scale", "0", "at most 16, not 0"},
    {"ships", "frigate_one", "/scale", "-0.0", "at most 16, not -0"},
    {"ships", "frigate_one", "/scale", "1e-50", "at most 16, not 1e-50"},  // zero as a float
    {"ships", "frigate_one", "/scale", "1e-45", R"("scale" must be at least 0.01 and at most 16, not 1e-45)"},
    {"ships", "frigate_one", "/scale", "2000", "at most 16, not 2000"},
    {"ships", "frigate_one", "/max_speed", "-1", R"("max_speed" must be at least 0 and at most 100000, not -1)"},
    {"ships", "frigate_one", "/max_acc", "100001", R"("max_acc" must be at least 0 and at most 100000)"},
    {"ships", "frigate_one", "/max_ang_vel", "-0.5", R"("max_ang_vel" must be at least 0 and at most 1000)"},
    {"ships", "frigate_one", "/max_ang_acc", "10001", R"("max_ang_acc" must be at least 0 and at most 10000)"},
    {"ships", "frigate_one", "/image_width", "0", R"("image_width" must be greater than 0 and at most 16384)"},
    {"ships", "frigate_one", "/image_height", "16385", R"("image_height" must be greater than 0)"},
    {"ships", "destroyer_two", "/mounts/1/pos_x", "10001",
     R"("mounts"[1] (slot 2) "pos_x" must be at least -10000 and at most 10000, not 10001)"},
    {"ships", "destroyer_two", "/mounts/2/pos_y", "-1e39", R"("mounts"[2] (slot 3) "pos_y" must be at least -10000)"},
    {"ships", "destroyer_two", "/mounts/0/rot_neut", "1e39",
     R"("mounts"[0] (slot 1) "rot_neut" must be a number a float can hold, not 1e+39)"},
    {"ships", "frigate_one", "/polygons/0/1/1", "-3.5e38", R"("polygons"[0][1] must hold numbers a float can hold)"},
    {"ships", "frigate_one", "/max_acc", "null", R"("max_acc" must be a number, not null)"},
    {"ships", "destroyer_two", "/mounts/1/pos_x", R"("10")",
     R"("mounts"[1] (slot 2) "pos_x" must be a number, not "10")"},
    {"ships", "destroyer_two", "/mounts/2", "3", R"("mounts"[2] (slot 3) must be an object, not 3)"},
    {"ships", "frigate_one", "/mounts", "{}", R"("mounts" must be an array, not an object)"},
    {"ships", "frigate_one", "/polygons/0/1", "[5]", R"("polygons"[0][1] must be [x, y] numbers, not [5])"},
    {"projectiles", "projectile_small_one", "/polygons/0", "1", R"("polygons"[0] must be an array, not 1)"},
    {"mounts", "mount_small_one", "/image_path", "7", R"("image_path" must be a string, not 7)"},
    {"ships", "frigate_one", "/type", "-1.5", R"("type" must be an integer that names a ship type, not -1.5)"},
    {"ships", "frigate_one", "/type", "5e9", "names a ship type, not 5000000000.0"},
    {"ships", "frigate_one", "/type", "4294967295", "names a ship type, not 4294967295"},
    {"ships", "frigate_one", "/type", "1234", "names a ship type, not 1234"},
    {"ships", "destroyer_two", "/mounts/1/mount_type", "-1.5",
     R"("mounts"[1] (slot 2) "mount_type" must be an integer that names a mount type, not -1.5)"},
    {"ships", "destroyer_two", "/mounts/1/mount_type", "3000", "names a mount type, not 3000"},
    {"mounts", "mount_small_one", "/type", "5e9", R"("type" must be an integer that names a mount type)"},
    {"mounts", "mount_small_one", "/projectile_type", "4294967295",
     R"("projectile_type" must be an integer that names a projectile type, not 4294967295)"},
    {"mounts", "mount_small_one", "/scale", "16.5", R"("scale" must be at least 0.01 and at most 16, not 16.5)"},
    {"mounts", "mount_small_one", "/cooldown", "3601", R"("cooldown" must be at least 0 and at most 3600)"},
    {"mounts", "mount_small_one", "/rot_ang_vel", "-1", R"("rot_ang_vel" must be at least 0 and at most 1000)"},
    {"projectiles", "projectile_small_one", "/type", "-1.5", "names a projectile type, not -1.5"},
    {"projectiles", "projectile_small_one", "/scale", "0.0099", R"("scale" must be at least 0.01)"},
    {"projectiles", "projectile_small_one", "/speed", "100001", R"("speed" must be at least 0 and at most 100000)"},
    {"projectiles", "projectile_small_one", "/image_height", "-8", R"("image_height" must be greater than 0)"},
};

void load_kind(const std::string& kind) {
    if (kind == "ships") load_ship_configs();
    if (kind == "mounts") load_mount_configs();
    if (kind == "projectiles") load_projectile_configs();
}

TEST(LoadConfigs, RefusesValuesTheGameCannotRunWithNamingTheFileAndTheKey) {
    AssetTree tree;
    for (const BadFileValue& row : bad_file_values) {
        SCOPED_TRACE(std::string(row.pointer) + " = " + row.value);
        const json original = tree.read(row.kind, row.name);
        json changed = original;
        changed[json::json_pointer(row.pointer)] = json::parse(row.value);
        tree.write(row.kind, row.name, changed);
        const std::string text = error_text<std::runtime_error>([&] { load_kind(row.kind); });
        EXPECT_THAT(text, StartsWith(AssetTree::path("build", row.kind, row.name) + ": \""));
        EXPECT_THAT(text, HasSubstr(row.refusal));
        tree.write(row.kind, row.name, original);
    }
}

TEST(LoadConfigs, LoadsTheEdgesOfWhatTheGameRunsWith) {
    AssetTree tree;
    json ship = tree.read("ships", "frigate_one");
    ship["scale"] = 16;
    ship["max_speed"] = 0;
    ship["max_acc"] = 100000;
    ship["image_width"] = 16384;
    ship["mounts"][0]["pos_x"] = -10000;
    ship["mounts"][0]["rot_range"] = 3e38;
    tree.write("ships", "frigate_one", ship);
    json battleship = tree.read("ships", "battleship_two");
    battleship["scale"] = 5.64;  // the greatest its outline allows
    tree.write("ships", "battleship_two", battleship);
    const auto ships = load_ship_configs();
    EXPECT_EQ(ships.at(ShipType::FrigateOne).scale, 16.0f);
    EXPECT_EQ(ships.at(ShipType::BattleshipTwo).scale, 5.64f);
    json projectile = tree.read("projectiles", "projectile_large_two");
    projectile["scale"] = 0.01;
    tree.write("projectiles", "projectile_large_two", projectile);
    EXPECT_EQ(load_projectile_configs().at(ProjectileType::LargeTwo).scale, 0.01f);
    // Wound clockwise, as long as all are; the outline reaching exactly as far as allowed.
    json mount = tree.read("mounts", "mount_large_one");
    mount["polygons"] =
        json::parse("[[[0, 0], [0, 150], [100, 150], [100, 0]], [[100, 0], [100, 150], [200, 150], [200, 0]]]");
    mount["scale"] = 16;  // 125 pixels from the centroid to each corner
    tree.write("mounts", "mount_large_one", mount);
    EXPECT_NO_THROW(load_mount_configs());
}

TEST(LoadConfigs, RefusesShipPolygonsACollisionBodyCannotHold) {
    AssetTree tree;
    json j = tree.read("ships", "cruiser_two");
    for (const int vertices : {2, 9}) {
        j["polygons"] = polygon_of(vertices);
        tree.write("ships", "cruiser_two", j);
        try {
            load_ship_configs();
            ADD_FAILURE() << vertices << " vertices loaded";
        } catch (const std::runtime_error& e) {
            EXPECT_NE(std::string(e.what()).find("build/assets/ships/cruiser_two/cruiser_two.json"),
                      std::string::npos)
                << e.what();
        }
    }
    j["polygons"] = polygon_of(8);
    tree.write("ships", "cruiser_two", j);
    EXPECT_NO_THROW(load_ship_configs());

    // No more polygons than the collision cost allows, no more slots than the mount ids.
    j["polygons"] = json::array();
    for (int i = 0; i < 3; ++i) j["polygons"].push_back(polygon_of(3)[0]);
    j["mounts"] = json::array();
    for (int i = 0; i < 49; ++i) j["mounts"].push_back(tree.read("ships", "frigate_one")["mounts"][0]);
    tree.write("ships", "cruiser_two", j);
    EXPECT_NO_THROW(load_ship_configs());
    j["polygons"].push_back(polygon_of(3)[0]);
    tree.write("ships", "cruiser_two", j);
    EXPECT_THAT(error_text<std::runtime_error>(load_ship_configs),
                HasSubstr(R"(cruiser_two.json: "polygons" must hold at most 3 polygons, not 4)"));
    j["polygons"].erase(3);
    j["mounts"].push_back(j["mounts"][0]);
    tree.write("ships", "cruiser_two", j);
    EXPECT_THAT(error_text<std::runtime_error>(load_ship_configs),
                HasSubstr(R"(cruiser_two.json: "mounts" must hold at most 49 slots, not 50)"));

    // Mount outlines never become collision bodies and may hold more.
    json mount = tree.read("mounts", "mount_medium_one");
    mount["polygons"] = polygon_of(9);
    tree.write("mounts", "mount_medium_one", mount);
    EXPECT_NO_THROW(load_mount_configs());
}

TEST(LoadConfigs, RefusesPolygonsWithoutAreaNamingTheFile) {
    AssetTree tree;
    const json collinear = json::parse("[[[0, 0], [100, 0], [100, 100], [0, 100]], [[0, 0], [10, 10], [30, 30]]]");
    json ship = tree.read("ships", "battleship_one");
    ship["polygons"] = collinear;
    tree.write("ships", "battleship_one", ship);
    EXPECT_EQ(error_text<std::runtime_error>(load_ship_configs),
              AssetTree::path("build", "ships", "battleship_one") + ": polygon 1 has no area");

    json mount = tree.read("mounts", "mount_large_two");
    mount["polygons"] = collinear;
    tree.write("mounts", "mount_large_two", mount);
    EXPECT_EQ(error_text<std::runtime_error>(load_mount_configs),
              AssetTree::path("build", "mounts", "mount_large_two") + ": polygon 1 has no area");

    json projectile = tree.read("projectiles", "projectile_medium_three");
    projectile["polygons"] = json::parse("[[[5, 5], [8, 9]]]");
    tree.write("projectiles", "projectile_medium_three", projectile);
    EXPECT_EQ(error_text<std::runtime_error>(load_projectile_configs),
              AssetTree::path("build", "projectiles", "projectile_medium_three") + ": polygon 0 has no area");

    // Areas of opposite windings subtract: cancelling, or nearly, they put the
    // centroid anywhere. Overflowing areas leave it nothing finite to divide by.
    const std::string mount_path = AssetTree::path("build", "mounts", "mount_large_two");
    mount["polygons"] = json::parse("[[[0, 0], [60, 0], [60, 60], [0, 60]], [[0, 60], [60, 60], [60, 0], [0, 0]]]");
    tree.write("mounts", "mount_large_two", mount);
    EXPECT_EQ(error_text<std::runtime_error>(load_mount_configs),
              mount_path + ": polygons wound in opposite directions (counter-clockwise: 0; clockwise: 1); all "
                           "polygons of one file must be wound the same way");
    mount["polygons"] = json::parse("[[[0, 0], [1e30, 0], [1e30, 1e30], [0, 1e30]]]");
    tree.write("mounts", "mount_large_two", mount);
    EXPECT_EQ(error_text<std::runtime_error>(load_mount_configs),
              mount_path + ": polygon 0 has an area a float cannot hold");
    mount["polygons"] = json::parse("[[[0, 0], [1e15, 0], [1e15, 1e15], [0, 1e15]]]");
    tree.write("mounts", "mount_large_two", mount);
    EXPECT_EQ(error_text<std::runtime_error>(load_mount_configs),
              mount_path + ": the polygons' centroid is beyond a float's range");
    // The image is drawn about the centroid, as fractions of its size.
    mount["polygons"] = json::parse("[[[0, 0], [30, 0], [30, 30], [0, 30]]]");
    mount["image_width"] = 1e-40;
    tree.write("mounts", "mount_large_two", mount);
    EXPECT_EQ(error_text<std::runtime_error>(load_mount_configs),
              mount_path + ": the polygons' centroid in fractions of the image size is beyond a float's range");

    // Every kind's outline stays within 2000 units of its centroid at its scale.
    projectile["polygons"] = json::parse("[[[0, 0], [1.2e6, 0], [1.2e6, 1.6e6], [0, 1.6e6]]]");
    projectile["scale"] = 16;
    tree.write("projectiles", "projectile_medium_three", projectile);
    EXPECT_THAT(error_text<std::runtime_error>(load_projectile_configs),
                HasSubstr("three.json: the outline reaches 16000000 units from its centroid; at most 2000"));
    ship = json::parse(read_file(AssetTree::path("src", "ships", "battleship_one")));
    ship["scale"] = 6.12;  // 327.01 pixels from the centroid: 2001.3 units
    tree.write("ships", "battleship_one", ship);
    EXPECT_THAT(error_text<std::runtime_error>(load_ship_configs), HasSubstr("one.json: the outline reaches 2001.3"));
    ship["polygons"] = json::parse(
        "[[[0, 0], [60, 0], [60, 60], [0, 60]], [[1000, 60], [1059.99, 60], [1059.99, 0], [1000, 0]], "
        "[[0, 100], [10, 100], [10, 110]]]");
    tree.write("ships", "battleship_one", ship);
    EXPECT_THAT(error_text<std::runtime_error>(load_ship_configs),
                HasSubstr("one.json: polygons wound in opposite directions (counter-clockwise: 0, 2; clockwise: 1)"));
}

TEST(SaveConfigs, AnUnchangedRecordWritesBothCopiesBackSourceFirst) {
    AssetTree tree;
    tree.write("ships", "frigate_one", square_ship(tree));
    const ShipConfig ship = load_ship_configs().at(ShipType::FrigateOne);
    const std::string before = read_file(ship_build);
    test_support::LogCapture log;
    const SavedCopies saved = save_ship_config(ship);
    EXPECT_TRUE(saved.source && saved.build);
    const auto lines = log.lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].text, "save_ship_config: wrote '" + ship_src + "'");
    EXPECT_EQ(lines[1].text, "save_ship_config: wrote '" + ship_build + "'");
    EXPECT_EQ(lines[1].level, spdlog::level::info);
    const std::string text = read_file(ship_build);
    EXPECT_EQ(read_file(ship_src), text);
    EXPECT_EQ(text.back(), '}');
    EXPECT_EQ(json::parse(text), json::parse(before));  // same keys and numbers
    EXPECT_NE(text.find("\"pos_x\": 10.0"), std::string::npos);
    EXPECT_EQ(tree.leftover_temp_files(), 0);
}

// Left beside both copies, a save's own three names go; <name>.json.tmp, no save's, stays.
TEST(SaveConfigs, ClearsTheFilesASaveCutShortLeftBesideItsCopies) {
    AssetTree tree;
    for (const std::string& copy : {mount_src, mount_build}) {
        for (const char* end : {".src.tmp", ".build.tmp", ".old.tmp", ".tmp"}) test_support::write_file(copy + end, "");
    }
    EXPECT_TRUE(save_mount_config(load_mount_configs().at(MountType::SmallOne)).both());
    EXPECT_EQ(tree.leftover_temp_files(), 2);
}

TEST(SaveConfigs, WithoutASourceTreeOnlyTheSourceFailureIsLogged) {
    AssetTree tree(false);
    MountConfig mount = load_mount_configs().at(MountType::SmallOne);
    const std::string before = read_file(mount_build);
    mount.cooldown = 1.75f;
    test_support::LogCapture log;
    const SavedCopies saved = save_mount_config(mount);
    EXPECT_FALSE(saved.source || saved.build);
    const auto lines = log.lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].level, spdlog::level::err);
    EXPECT_EQ(lines[0].text,
              "save_mount_config: could not open '" + mount_src + "' for writing: No such file or directory");
    EXPECT_EQ(read_file(mount_build), before);
    EXPECT_FALSE(std::filesystem::exists(mount_src));
}

TEST(SaveConfigs, WritesTextBeyondAsciiAsItIs) {
    AssetTree tree;
    ShipConfig ship = load_ship_configs().at(ShipType::FrigateOne);
    ship.display_name = "Fr\xC3\xA9gate \xE2\x9C\xA6";
    save_ship_config(ship);
    const std::string text = read_file(ship_build);
    EXPECT_NE(text.find("\"display_name\": \"Fr\xC3\xA9gate \xE2\x9C\xA6\""), std::string::npos);
    EXPECT_EQ(text.find("\\u"), std::string::npos);
}

TEST(SaveConfigs, InvalidUtf8RaisesBeforeAnyFileIsTouched) {
    AssetTree tree;
    ShipConfig ship = load_ship_configs().at(ShipType::FrigateOne);
    const std::string src_before = read_file(ship_src);
    const std::string build_before = read_file(ship_build);
    ship.display_name = "Bad \xFF name";
    test_support::LogCapture log;
    EXPECT_THROW(save_ship_config(ship), json::type_error);
    EXPECT_TRUE(log.lines().empty());
    EXPECT_EQ(read_file(ship_src), src_before);
    EXPECT_EQ(read_file(ship_build), build_before);
    EXPECT_EQ(tree.leftover_temp_files(), 0);
}

// The build copy written but not put in place: the source copy, already
// replaced, is put back; only when that fails too does it keep the new text.
TEST(SaveConfigs, ABuildCopyThatCannotBeReplacedPutsTheSourceCopyBack) {
    namespace fs = std::filesystem;
    AssetTree tree;
    const std::string src_before = read_file(mount_src);
    const std::string build_before = read_file(mount_build);
    const std::string text = "{\"cooldown\": 1.75}";
    const auto onto = [](const fs::path& to, const fs::path& file) {
        return fs::equivalent(to.parent_path(), file.parent_path()) && to.filename() == file.filename();
    };
    int renames_onto_source = 0;
    bool source_refused_after_first = false;
    const RenameFile failing = [&](const fs::path& from, const fs::path& to) {
        if (onto(to, mount_src) && ++renames_onto_source > 1 && source_refused_after_first) return false;
        return !onto(to, mount_build) && rename_file(from, to);
    };
    test_support::LogCapture log;
    EXPECT_FALSE(save_copies("save_mount_config", mount_src, mount_build, text, failing).source);
    EXPECT_EQ(read_file(mount_src), src_before);
    EXPECT_EQ(read_file(mount_build), build_before);
    EXPECT_EQ(log.count(spdlog::level::warn,
                        "save_mount_config: put the previous '" + mount_src + "' back; neither copy changed"),
              1);
    EXPECT_EQ(tree.leftover_temp_files(), 0);
    // A source copy the save created goes again.
    fs::remove(mount_src);
    EXPECT_FALSE(save_copies("save_mount_config", mount_src, mount_build, text, failing).source);
    EXPECT_FALSE(fs::exists(mount_src));

    test_support::write_file(mount_src, src_before);
    renames_onto_source = 0;
    source_refused_after_first = true;
    const SavedCopies saved = save_copies("save_mount_config", mount_src, mount_build, text, failing);
    EXPECT_TRUE(saved.source && !saved.build);
    EXPECT_EQ(read_file(mount_src), text);
    EXPECT_EQ(read_file(mount_build), build_before);
    EXPECT_EQ(log.count(spdlog::level::err, "save_mount_config: could not put the previous '" + mount_src +
                                                "' back; it holds the new text, '" + mount_build +
                                                "' the old; the previous '" + mount_src + "' is kept as '" +
                                                mount_src + ".old.tmp'"),
              1);
    EXPECT_EQ(read_file(mount_src + ".old.tmp"), src_before);
}

TEST(SaveConfigs, AFailedBuildCopyLeavesBothCopiesAsTheyWere) {
    AssetTree tree;
    MountConfig mount = load_mount_configs().at(MountType::SmallOne);
    mount.cooldown = 1.75f;
    const std::string src_before = read_file(mount_src);
    // A directory where the build copy should be cannot be replaced by a file.
    std::filesystem::remove(mount_build);
    std::filesystem::create_directories(mount_build + "/occupied");
    test_support::LogCapture log;
    const SavedCopies saved = save_mount_config(mount);
    EXPECT_FALSE(saved.source || saved.build);
    EXPECT_EQ(log.count_containing("wrote"), 0);
    // The cause as the system words it: a directory on Linux, access denied on Windows.
    EXPECT_EQ(log.count_containing("save_mount_config: could not open '" + mount_build + "' for writing: "), 1);
    EXPECT_EQ(read_file(mount_src), src_before);
    EXPECT_EQ(tree.leftover_temp_files(), 0);
}
