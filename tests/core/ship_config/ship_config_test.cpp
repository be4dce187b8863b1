#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "core/config_bounds/config_bounds.h"
#include "core/mount_config/mount_config.h"
#include "core/projectile_config/projectile_config.h"
#include "core/ship_config/ship_config.h"

using nlohmann::json;

namespace {

json slot_json() {
    return json::parse(
        R"({"mount_type": 2001, "pos_x": 12, "pos_y": -3.5, "rot_neut": 0.5, "rot_range": 3})");
}

json ship_json() {
    return json::parse(R"({
        "type": 1000, "display_name": "Frigate One", "max_speed": 400, "max_acc": 300,
        "max_ang_vel": 3, "max_ang_acc": 6, "scale": 0.5,
        "image_path": "assets/ships/frigate_one/frigate_one.png",
        "image_width": 64, "image_height": 96, "mounts": [],
        "polygons": [[[0, 0], [10, 0], [0, 10]]]
    })");
}

std::vector<std::string> keys_of(const json& j) {
    std::vector<std::string> keys;
    for (const auto& item : j.items()) {
        keys.push_back(item.key());
    }
    return keys;
}

}  // namespace

TEST(ShipConfigJson, ReadsEveryStoredKeyAndKeepsTheSourceCopies) {
    json j = ship_json();
    j["mounts"] = json::array({slot_json()});
    const auto config = j.get<ShipConfig>();
    EXPECT_EQ(config.type, 1000u);
    EXPECT_EQ(config.display_name, "Frigate One");
    EXPECT_FLOAT_EQ(config.max_ang_acc, 6.0f);
    EXPECT_FLOAT_EQ(config.image_height, 96.0f);
    ASSERT_EQ(config.mounts.size(), 1u);
    EXPECT_EQ(config.mounts[0].mount_type, MountType::SmallTwo);
    EXPECT_FLOAT_EQ(config.mounts[0].pos_x_src, 12.0f);
    EXPECT_FLOAT_EQ(config.mounts[0].pos_y_src, -3.5f);
    EXPECT_EQ(config.polygons, config.src_polygons);
    EXPECT_TRUE(config.src_path.empty());
    EXPECT_EQ(config.centroid_ratio, Vec2(0.0f, 0.0f));
}

TEST(ShipConfigJson, WritesTheTwelveKeysSortedAndTheSlotsFive) {
    json j = ship_json();
    j["mounts"] = json::array({slot_json()});
    const json written = j.get<ShipConfig>();
    EXPECT_EQ(keys_of(written),
              (std::vector<std::string>{"display_name", "image_height", "image_path", "image_width",
                                        "max_acc", "max_ang_acc", "max_ang_vel", "max_speed",
                                        "mounts", "polygons", "scale", "type"}));
    EXPECT_EQ(keys_of(written["mounts"][0]),
              (std::vector<std::string>{"mount_type", "pos_x", "pos_y", "rot_neut", "rot_range"}));
}

TEST(ShipConfigJson, WritesFloatsWidenedAndTypesAsUnsigned) {
    ShipConfig config = ship_json().get<ShipConfig>();
    config.max_speed = 0.1f;
    const json written = config;
    EXPECT_TRUE(written["type"].is_number_unsigned());
    EXPECT_EQ(written["type"].dump(), "1000");
    EXPECT_EQ(written["max_speed"].dump(), "0.10000000149011612");
    EXPECT_EQ(written["max_ang_vel"].dump(), "3.0");
    EXPECT_EQ(written["mounts"].dump(), "[]");
    EXPECT_EQ(written["polygons"].dump(), "[[[0.0,0.0],[10.0,0.0],[0.0,10.0]]]");
}

TEST(ShipConfigJson, WritesTheStoredSlotPositionNotTheSource) {
    MountStats slot = slot_json().get<MountStats>();
    slot.pos_x = 99.0f;
    EXPECT_EQ(json(slot)["pos_x"].dump(), "99.0");
    slot.pos_x = slot.pos_x_src;
    EXPECT_EQ(json(slot)["pos_x"].dump(), "12.0");
}

TEST(ShipConfigJson, DropsKeysItDoesNotKnow) {
    json j = ship_json();
    j["armour"] = 7;
    const json written = j.get<ShipConfig>();
    EXPECT_FALSE(written.contains("armour"));
    EXPECT_EQ(written.size(), 12u);
}

TEST(ShipConfigJson, MissingKeysAndWrongTypesRaise) {
    json no_range = ship_json();
    json slot = slot_json();
    slot.erase("rot_range");
    no_range["mounts"] = json::array({slot_json(), slot});
    EXPECT_THROW(no_range.get<ShipConfig>(), json::out_of_range);

    json text_speed = ship_json();
    text_speed["max_speed"] = "fast";
    EXPECT_THROW(text_speed.get<ShipConfig>(), ConfigValueError);

    // A type is a JSON integer naming a type, even when a float would name one.
    json float_type = ship_json();
    float_type["type"] = 1000.0;
    EXPECT_THROW(float_type.get<ShipConfig>(), ConfigValueError);

    json short_vertex = ship_json();
    short_vertex["polygons"] = json::parse("[[[1]]]");
    EXPECT_THROW(short_vertex.get<ShipConfig>(), ConfigValueError);
}

TEST(ShipConfigJson, VertexTakesTheFirstTwoNumbers) {
    json j = ship_json();
    j["polygons"] = json::parse("[[[1, 2, 3]]]");
    EXPECT_EQ(j.get<ShipConfig>().polygons, (Polygons{{{1.0f, 2.0f}}}));
}

TEST(MountConfigJson, RoundTripsItsNineKeys) {
    const json j = json::parse(R"({
        "type": 2100, "projectile_type": 3100, "cooldown": 0.5, "scale": 0.5, "rot_ang_vel": 3.5,
        "image_path": "assets/mounts/m/m.png", "image_width": 40, "image_height": 64,
        "polygons": [[[0, 0], [4, 0], [0, 4]]], "extra": true
    })");
    const auto config = j.get<MountConfig>();
    EXPECT_EQ(config.projectile_type, 3100u);
    EXPECT_EQ(config.src_polygons, config.polygons);
    const json written = config;
    EXPECT_EQ(
        keys_of(written),
        (std::vector<std::string>{"cooldown", "image_height", "image_path", "image_width",
                                  "polygons", "projectile_type", "rot_ang_vel", "scale", "type"}));
    json without_cooldown = j;
    without_cooldown.erase("cooldown");
    EXPECT_THROW(without_cooldown.get<MountConfig>(), json::out_of_range);
}

TEST(ProjectileConfigJson, RoundTripsItsSevenKeys) {
    const json j = json::parse(R"({
        "type": 3202, "scale": 0.5, "speed": 650, "image_path": "assets/projectiles/p/p.png",
        "image_width": 30, "image_height": 30, "polygons": []
    })");
    const auto config = j.get<ProjectileConfig>();
    EXPECT_FLOAT_EQ(config.speed, 650.0f);
    EXPECT_TRUE(config.polygons.empty());
    const json written = config;
    EXPECT_EQ(keys_of(written),
              (std::vector<std::string>{"image_height", "image_path", "image_width", "polygons",
                                        "scale", "speed", "type"}));
    EXPECT_EQ(written["speed"].dump(), "650.0");
}
