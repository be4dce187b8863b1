#include "client/ui/support/ui_support.h"

namespace ui_test {

const Config& game_config() {
    static const Config config;
    return config;
}

void ManagerTest::SetUp() {
    manager = std::make_unique<RmlManager>(screen.window, screen.renderer, config.ship_configs,
                                           config.mount_configs, config.projectile_configs);
    ASSERT_NE(manager->context, nullptr);
}

void ManagerTest::TearDown() {
    if (manager) {
        manager->shutdown();
    }
}

void ManagerTest::draw_frame() {
    screen.clear();
    manager->render();
}

void ManagerTest::click(Rml::Element* element) {
    ASSERT_NE(element, nullptr);
    click_at(centre_of(element));
}

void ManagerTest::click_at(SDL_FPoint at) {
    SDL_Event motion = mouse_motion(at.x, at.y);
    SDL_Event down = mouse_button(SDL_EVENT_MOUSE_BUTTON_DOWN, at.x, at.y);
    SDL_Event up = mouse_button(SDL_EVENT_MOUSE_BUTTON_UP, at.x, at.y);
    manager->handle_event(screen.window, motion);
    manager->handle_event(screen.window, down);
    manager->handle_event(screen.window, up);
}

void ManagerTest::type(const char* text) {
    SDL_Event event{};
    event.type = SDL_EVENT_TEXT_INPUT;
    event.text.text = text;
    manager->handle_event(screen.window, event);
}

void ManagerTest::press_key(SDL_Keycode key) {
    SDL_Event down = client_test::key_event(SDL_EVENT_KEY_DOWN, key);
    SDL_Event up = client_test::key_event(SDL_EVENT_KEY_UP, key);
    manager->handle_event(screen.window, down);
    manager->handle_event(screen.window, up);
}

Rml::Element* ManagerTest::element(Rml::ElementDocument* document, const std::string& id) {
    return document ? document->GetElementById(id) : nullptr;
}

bool shown(const Rml::ElementDocument* document) { return document && document->IsShown(); }

SDL_Event mouse_motion(float x, float y) {
    SDL_Event event{};
    event.type = SDL_EVENT_MOUSE_MOTION;
    event.motion.x = x;
    event.motion.y = y;
    return event;
}

SDL_Event mouse_button(SDL_EventType type, float x, float y) {
    SDL_Event event = client_test::button_event(type, SDL_BUTTON_LEFT);
    event.button.x = x;
    event.button.y = y;
    return event;
}

SDL_FPoint centre_of(Rml::Element* element) {
    const Rml::Vector2f offset = element->GetAbsoluteOffset();
    return {offset.x + element->GetOffsetWidth() / 2, offset.y + element->GetOffsetHeight() / 2};
}

}  // namespace ui_test
