#pragma once

#include <memory>
#include <string>

#include <SDL3/SDL.h>
#include <gtest/gtest.h>

#include "client/support/sdl_support.h"
#include "client/ui/ui_fixture.h"
#include "client/ui/rml.h"
#include "core/config/config.h"
#include "support/log_capture.h"

namespace ui_test {

// The game's configuration set, read once for every interface test.
const Config& game_config();

// A real manager on an offscreen 1280 x 720 window, with the log captured from
// before its construction; the toolkit is shut down after each test.
class ManagerTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Updates the context's layout and draws one frame.
    void draw_frame();
    // A left click at a window point, fed to the manager as SDL events.
    void click_at(SDL_FPoint at);
    // A left click at the element's centre.
    void click(Rml::Element* element);
    // Types text into the focused field, as SDL's text input would.
    void type(const char* text);
    void press_key(SDL_Keycode key);
    Rml::Element* element(Rml::ElementDocument* document, const std::string& id);

    ui_test::ScratchCheckout scratch;
    test_support::LogCapture log;
    client_test::OffscreenWindow screen;
    Config config = game_config();
    std::unique_ptr<RmlManager> manager;
};

// Whether the document exists and is shown.
bool shown(const Rml::ElementDocument* document);

SDL_Event mouse_motion(float x, float y);
SDL_Event mouse_button(SDL_EventType type, float x, float y);
// The centre of an element's border box after the latest layout.
SDL_FPoint centre_of(Rml::Element* element);

}  // namespace ui_test
