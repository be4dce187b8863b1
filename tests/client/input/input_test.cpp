#include "client/input/input.h"

#include <gtest/gtest.h>

#include "client/support/sdl_support.h"
#include "lib/rml/debugger/debugger.h"
#include "support/log_capture.h"

namespace {

using client_test::button_event;
using client_test::key_event;
using client_test::OffscreenWindow;

class InputTest : public ::testing::Test {
protected:
    std::vector<InputEvent> read(std::vector<SDL_Event> events, float camera_x = 0,
                                 float camera_y = 0) {
        return input.read(&rml_manager, screen.window, std::move(events), camera_x, camera_y);
    }

    OffscreenWindow screen;
    RmlManager rml_manager;
    Input input;
};

TEST_F(InputTest, HeldKeysFollowTheirKeyDownAndKeyUp) {
    read({key_event(SDL_EVENT_KEY_DOWN, SDLK_W), key_event(SDL_EVENT_KEY_DOWN, SDLK_S),
          key_event(SDL_EVENT_KEY_DOWN, SDLK_A), key_event(SDL_EVENT_KEY_DOWN, SDLK_D),
          key_event(SDL_EVENT_KEY_DOWN, SDLK_C), key_event(SDL_EVENT_KEY_DOWN, SDLK_LSHIFT)});
    EXPECT_TRUE(input.up && input.down && input.left && input.right && input.c && input.shift);

    read({key_event(SDL_EVENT_KEY_UP, SDLK_W), key_event(SDL_EVENT_KEY_UP, SDLK_D),
          key_event(SDL_EVENT_KEY_UP, SDLK_LSHIFT)});
    EXPECT_FALSE(input.up || input.right || input.shift);
    EXPECT_TRUE(input.down && input.left && input.c);

    // Nothing but the key code decides: right Shift and other keys change nothing.
    read({key_event(SDL_EVENT_KEY_DOWN, SDLK_RSHIFT), key_event(SDL_EVENT_KEY_DOWN, SDLK_Q)});
    EXPECT_FALSE(input.shift || input.up || input.quit || input.fire);

    // A tick without events keeps every flag.
    read({});
    EXPECT_TRUE(input.down && input.left && input.c);
}

TEST_F(InputTest, HeldEscapeGivesOnePressAndOneRelease) {
    const auto pressed =
        read({key_event(SDL_EVENT_KEY_DOWN, SDLK_ESCAPE),
              key_event(SDL_EVENT_KEY_DOWN, SDLK_ESCAPE, true),
              key_event(SDL_EVENT_KEY_DOWN, SDLK_ESCAPE, true)});
    EXPECT_EQ(pressed, (std::vector<InputEvent>{{InputEventType::Pressed, SDLK_ESCAPE}}));
    EXPECT_TRUE(read({key_event(SDL_EVENT_KEY_DOWN, SDLK_ESCAPE, true)}).empty());
    const auto released = read({key_event(SDL_EVENT_KEY_UP, SDLK_ESCAPE)});
    EXPECT_EQ(released, (std::vector<InputEvent>{{InputEventType::Released, SDLK_ESCAPE}}));
}

TEST_F(InputTest, EscapeReleaseWithoutPressGivesNothing) {
    EXPECT_TRUE(read({key_event(SDL_EVENT_KEY_UP, SDLK_ESCAPE)}).empty());
    EXPECT_FALSE(input.escape);
}

TEST_F(InputTest, OnlyTheLeftButtonFires) {
    test_support::LogCapture log;
    read({button_event(SDL_EVENT_MOUSE_BUTTON_DOWN, SDL_BUTTON_RIGHT),
          button_event(SDL_EVENT_MOUSE_BUTTON_DOWN, SDL_BUTTON_MIDDLE)});
    EXPECT_FALSE(input.fire);
    read({button_event(SDL_EVENT_MOUSE_BUTTON_DOWN, SDL_BUTTON_LEFT)});
    EXPECT_TRUE(input.fire);
    EXPECT_EQ(log.count("Setting fire = true"), 1);
    read({button_event(SDL_EVENT_MOUSE_BUTTON_UP, SDL_BUTTON_RIGHT)});
    EXPECT_TRUE(input.fire);
    read({button_event(SDL_EVENT_MOUSE_BUTTON_UP, SDL_BUTTON_LEFT)});
    EXPECT_FALSE(input.fire);
    EXPECT_EQ(log.count("Setting fire = false"), 1);
}

TEST_F(InputTest, MouseAtTheCentrePixelPointsAtTheCamera) {
    screen.move_mouse(640, 360);
    read({}, 25.0f, -40.0f);
    EXPECT_FLOAT_EQ(input.mouse_dir_x, 0.0f);
    EXPECT_FLOAT_EQ(input.mouse_dir_y, 0.0f);
    EXPECT_FLOAT_EQ(input.mouse_world_x, 25.0f);
    EXPECT_FLOAT_EQ(input.mouse_world_y, -40.0f);
}

TEST_F(InputTest, ScreenDownIsWorldDown) {
    screen.move_mouse(740, 260);
    read({}, 10.0f, 20.0f);
    EXPECT_FLOAT_EQ(input.mouse_dir_x, 100.0f);
    EXPECT_FLOAT_EQ(input.mouse_dir_y, 100.0f);
    EXPECT_FLOAT_EQ(input.mouse_world_x, 110.0f);
    EXPECT_FLOAT_EQ(input.mouse_world_y, 120.0f);
}

TEST(InputHalfSize, OddWidthUsesTheIntegerHalf) {
    OffscreenWindow screen(1281, 721);
    screen.move_mouse(640, 360);
    Input input;
    RmlManager rml_manager;
    input.read(&rml_manager, screen.window, {}, 0, 0);
    EXPECT_FLOAT_EQ(input.mouse_dir_x, 0.0f);
    EXPECT_FLOAT_EQ(input.mouse_dir_y, 0.0f);
}

TEST_F(InputTest, EveryF8KeyDownTogglesTheDebuggerOnce) {
    const bool before = Rml::Debugger::IsVisible();
    read({key_event(SDL_EVENT_KEY_DOWN, SDLK_F8)});
    EXPECT_EQ(Rml::Debugger::IsVisible(), !before);
    read({key_event(SDL_EVENT_KEY_UP, SDLK_F8)});
    EXPECT_EQ(Rml::Debugger::IsVisible(), !before);
    read({key_event(SDL_EVENT_KEY_DOWN, SDLK_F8, true)});
    EXPECT_EQ(Rml::Debugger::IsVisible(), before);
}

// A second module reading the same events passes no manager: one F8 press is one toggle.
TEST_F(InputTest, ReaderWithoutManagerDoesNotToggleTheDebugger) {
    const bool before = Rml::Debugger::IsVisible();
    const std::vector<SDL_Event> events = {key_event(SDL_EVENT_KEY_DOWN, SDLK_F8),
                                           key_event(SDL_EVENT_KEY_DOWN, SDLK_ESCAPE)};
    read(events);
    Input second_reader;
    const auto edges = second_reader.read(nullptr, screen.window, events, 0, 0);
    EXPECT_EQ(Rml::Debugger::IsVisible(), !before);
    // It still reads the keys for itself.
    EXPECT_EQ(edges, (std::vector<InputEvent>{{InputEventType::Pressed, SDLK_ESCAPE}}));
}

}  // namespace
