#include "client/render/render.h"

#include <array>
#include <numbers>

#include <gtest/gtest.h>

#include "client/support/sdl_support.h"
#include "core/components/mounts/mounts.h"
#include "core/components/ships/ships.h"
#include "support/log_capture.h"

namespace {

using client_test::OffscreenWindow;

constexpr Uint32 black = 0x000000FF;
constexpr Uint32 green = 0x00FF00FF;
constexpr Uint32 blue = 0x0000FFFF;
constexpr Uint32 red = 0xE62937FF;
constexpr float up = std::numbers::pi_v<float> / 2.0f;
constexpr std::uint32_t ship_type = 1000;

// A 1280 x 720 frame with one 20 x 40 ship image (green front, blue back)
// whose pivot is its centre.
class RenderTest : public ::testing::Test {
protected:
    void SetUp() override {
        screen.clear();
        texture_map[ship_type] = TextureConfig{
            client_test::make_two_tone_texture(screen.renderer, 20, 40, green, blue), 1.0f,
            {0.5f, 0.5f}};
    }
    void TearDown() override { unload_texture_map(); }

    void draw_ship(float x, float y, float rot, float camera_x = 0, float camera_y = 0) {
        ships.push_back();
        ships.x.back() = x;
        ships.y.back() = y;
        ships.rot.back() = rot;
        render_drawables(screen.window, screen.renderer, ships, camera_x, camera_y);
    }

    OffscreenWindow screen;
    Ships ships;
};

TEST_F(RenderTest, ShipAtTheCameraHasItsPivotAtTheWindowCentre) {
    draw_ship(30, -20, up, 30, -20);
    EXPECT_EQ(screen.pixel(640, 350), green);
    EXPECT_EQ(screen.pixel(640, 370), blue);
    EXPECT_EQ(screen.pixel(631, 345), green);
    EXPECT_EQ(screen.pixel(648, 375), blue);
    EXPECT_EQ(screen.pixel(640, 338), black);
    EXPECT_EQ(screen.pixel(640, 382), black);
    EXPECT_EQ(screen.pixel(628, 360), black);
    EXPECT_EQ(screen.pixel(652, 360), black);
}

TEST_F(RenderTest, ShipHundredUnitsAboveIsDrawnHundredPixelsHigher) {
    draw_ship(0, 100, up);
    EXPECT_EQ(screen.pixel(640, 250), green);
    EXPECT_EQ(screen.pixel(640, 270), blue);
    EXPECT_EQ(screen.pixel(640, 360), black);
}

TEST_F(RenderTest, RotationZeroTurnsTheFrontToWorldPlusX) {
    draw_ship(0, 0, 0);
    EXPECT_EQ(screen.pixel(650, 360), green);
    EXPECT_EQ(screen.pixel(630, 360), blue);
    EXPECT_EQ(screen.pixel(640, 345), black);
}

TEST_F(RenderTest, LaterRowsAreDrawnOverEarlierOnes) {
    ships.push_back();
    ships.rot.back() = -up;  // front down
    draw_ship(0, 0, up);     // front up, drawn last
    EXPECT_EQ(screen.pixel(640, 350), green);
    EXPECT_EQ(screen.pixel(640, 370), blue);
}

TEST_F(RenderTest, ScaleAndCentroidRatioPlaceTheRectangle) {
    texture_map[2000] = TextureConfig{
        client_test::make_two_tone_texture(screen.renderer, 200, 100, green, green), 0.5f,
        {0.5f, 0.5f}};
    Mounts mounts;
    mounts.push_back();  // a SmallOne mount, type 2000
    mounts.rot.back() = up;
    render_drawables(screen.window, screen.renderer, mounts, 0, 0);
    // 100 x 50 with its top-left corner at (640 - 50, 360 - 25).
    EXPECT_EQ(screen.pixel(591, 336), green);
    EXPECT_EQ(screen.pixel(688, 383), green);
    EXPECT_EQ(screen.pixel(588, 360), black);
    EXPECT_EQ(screen.pixel(692, 360), black);
    EXPECT_EQ(screen.pixel(640, 333), black);
    EXPECT_EQ(screen.pixel(640, 387), black);
}

TEST_F(RenderTest, OffCentrePivotLiesOnThePosition) {
    texture_map[ship_type].centroid_ratio = {0.5f, 0.25f};
    draw_ship(0, 0, up);
    // The pivot is 10 pixels below the top edge: the image spans y 350 to 390.
    EXPECT_EQ(screen.pixel(640, 352), green);
    EXPECT_EQ(screen.pixel(640, 385), blue);
    EXPECT_EQ(screen.pixel(640, 346), black);
}

TEST_F(RenderTest, TypeWithoutImageDrawsNothingAndGetsAnEmptyEntry) {
    Ships ships_without_image;
    ships_without_image.push_back();
    ships_without_image.type.back() = ShipType::BattleshipTwo;
    render_drawables(screen.window, screen.renderer, ships_without_image, 0, 0);
    EXPECT_EQ(screen.pixel(640, 360), black);
    ASSERT_TRUE(texture_map.contains(1301));
    EXPECT_EQ(texture_map.at(1301).texture, nullptr);
}

TEST_F(RenderTest, WithoutWindowTheCameraPointIsTheTopLeftCorner) {
    EXPECT_EQ(get_screen_size(nullptr), (std::pair<int, int>{0, 0}));
    ships.push_back();
    ships.rot.back() = up;
    render_drawables(nullptr, screen.renderer, ships, 0, 0);
    // Only the image's lower right quarter is inside the frame.
    EXPECT_EQ(screen.pixel(5, 5), blue);
    EXPECT_EQ(screen.pixel(15, 5), black);
    EXPECT_EQ(screen.pixel(5, 25), black);
}

c2Poly triangle(c2v a, c2v b, c2v c) {
    c2Poly polygon{};
    polygon.count = 3;
    polygon.verts[0] = a;
    polygon.verts[1] = b;
    polygon.verts[2] = c;
    return polygon;
}

TEST(RenderOutline, TriangleDrawsThreeRedSegmentsClosingTheOutline) {
    OffscreenWindow screen;
    screen.clear();
    PhysicsBodies bodies;
    bodies.push_back();
    // World (0, 0), (100, 0), (0, 100) with the camera at (50, 50).
    bodies.polygons.back() = {triangle({0, 0}, {100, 0}, {0, 100})};
    render_physics_bodies(screen.window, screen.renderer, bodies, 50, 50);
    // Screen corners (590, 410), (690, 410), (590, 310).
    EXPECT_EQ(screen.pixel(640, 410), red);   // first edge
    EXPECT_EQ(screen.pixel(640, 360), red);   // second edge, the diagonal
    EXPECT_EQ(screen.pixel(590, 360), red);   // closing edge, third vertex back to the first
    EXPECT_EQ(screen.pixel(620, 380), black);  // inside stays empty
    Uint8 r = 0;
    Uint8 g = 0;
    Uint8 b = 0;
    Uint8 a = 0;
    SDL_GetRenderDrawColor(screen.renderer, &r, &g, &b, &a);
    EXPECT_EQ((std::array<Uint8, 4>{r, g, b, a}), (std::array<Uint8, 4>{230, 41, 55, 255}));
}

TEST(RenderOutline, EveryPolygonOfEveryBodyIsDrawn) {
    OffscreenWindow screen;
    screen.clear();
    PhysicsBodies bodies;
    bodies.push_back();
    bodies.push_back();
    bodies.polygons[0] = {triangle({-200, 0}, {-150, 0}, {-200, 50}),
                          triangle({-100, 0}, {-50, 0}, {-100, 50})};
    bodies.polygons[1] = {triangle({100, 0}, {150, 0}, {100, 50})};
    render_physics_bodies(screen.window, screen.renderer, bodies, 0, 0);
    EXPECT_EQ(screen.pixel(440, 340), red);
    EXPECT_EQ(screen.pixel(540, 340), red);
    EXPECT_EQ(screen.pixel(740, 340), red);
}

TEST(TextureMap, LoadsEveryVariantDimmedWithItsScaleAndPivot) {
    OffscreenWindow screen;
    Config config;
    load_texture_map(screen.renderer, &config);
    EXPECT_EQ(texture_map.size(), 30u);
    const ShipConfig& frigate = config.ship_configs.at(ShipType::FrigateOne);
    const TextureConfig& loaded = texture_map.at(1000);
    ASSERT_NE(loaded.texture, nullptr);
    EXPECT_EQ(loaded.scale, frigate.scale);
    EXPECT_EQ(loaded.centroid_ratio, frigate.centroid_ratio);
    Uint8 r = 0;
    Uint8 g = 0;
    Uint8 b = 0;
    SDL_GetTextureColorMod(loaded.texture, &r, &g, &b);
    EXPECT_EQ((std::array<Uint8, 3>{r, g, b}), (std::array<Uint8, 3>{130, 130, 130}));
    for (const auto& [type, texture_config] : texture_map) {
        EXPECT_NE(texture_config.texture, nullptr) << type;
    }
    unload_texture_map();
    EXPECT_TRUE(texture_map.empty());
}

TEST(TextureMap, MissingImageLeavesAnEntryWithoutTextureAndKnownEntriesStay) {
    OffscreenWindow screen;
    Config config;
    config.ship_configs.at(ShipType::FrigateTwo).image_path = "assets/no_such_image.png";
    texture_map[1000] = TextureConfig{nullptr, 7.0f, {0.1f, 0.2f}};
    test_support::LogCapture log;
    load_texture_map(screen.renderer, &config);
    EXPECT_EQ(log.count_containing("load_texture_map: could not load 'build/assets/no_such_image.png': "), 1);
    EXPECT_EQ(texture_map.at(1001).texture, nullptr);
    EXPECT_EQ(texture_map.at(1000).scale, 7.0f);
    EXPECT_EQ(texture_map.at(1000).texture, nullptr);
    unload_texture_map();
}

}  // namespace
