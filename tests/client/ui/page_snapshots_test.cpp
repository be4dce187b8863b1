#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <SDL3_image/SDL_image.h>

#include "client/render/render.h"
#include "client/ui/support/ui_support.h"

namespace {

// In the build folder, relative to the tests' working directory.
const char* const snapshot_dir = "build/snapshots/pages";
// By view number, 1 to 12.
const char* const page_names[] = {"login",          "buy_loadout",    "view_loadouts",
                                  "edit_loadout",   "match_finder",   "loading_match",
                                  "ship_editor",    "mount_editor",   "projectile_editor",
                                  "server_browser", "server_lobby",   "admin_menu"};

// A few ships under the page, as the game would draw them.
void draw_sample_world(SDL_Renderer* renderer) {
    SDL_SetRenderDrawColor(renderer, 6, 8, 16, 255);
    SDL_RenderClear(renderer);
    draw_texture(renderer, static_cast<std::uint32_t>(ShipType::BattleshipOne), -420, 120, 0.4f, 0,
                 0, 640, 360);
    draw_texture(renderer, static_cast<std::uint32_t>(ShipType::FrigateTwo), 0, 0, 1.57f, 0, 0,
                 640, 360);
    draw_texture(renderer, static_cast<std::uint32_t>(ShipType::CruiserOne), 380, -180, 2.5f, 0, 0,
                 640, 360);
}

// Every page drawn over the game into snapshot_dir, for a look by eye:
// build/tests/client_tests --gtest_also_run_disabled_tests --gtest_filter='PageSnapshots.*'
TEST(PageSnapshots, DISABLED_RenderEveryPage) {
    std::filesystem::create_directories(snapshot_dir);
    client_test::OffscreenWindow screen;
    Config config = ui_test::game_config();
    load_texture_map(screen.renderer, &config);
    {
        RmlManager manager(screen.window, screen.renderer, config.ship_configs,
                           config.mount_configs, config.projectile_configs);
        for (std::uint32_t number = 1; number <= 12; ++number) {
            const auto view = static_cast<RmlView>(number);
            manager.show_view(view);
            draw_sample_world(screen.renderer);
            manager.render();
            SDL_Surface* frame = SDL_RenderReadPixels(screen.renderer, nullptr);
            ASSERT_NE(frame, nullptr) << SDL_GetError();
            const std::string path =
                std::string(snapshot_dir) + "/" + page_names[number - 1] + ".png";
            EXPECT_TRUE(IMG_SavePNG(frame, path.c_str())) << SDL_GetError();
            SDL_DestroySurface(frame);
            manager.hide_view(view);
        }
        manager.shutdown();
    }
    unload_texture_map();
}

}  // namespace
