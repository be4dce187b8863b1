#pragma once

#include <atomic>
#include <optional>
#include <vector>

#include <SDL3/SDL.h>

#include "client/ui/rml.h"
#include "core/config/config.h"

// The client loop's stop flag, set by SIGINT or an SDL quit event; nothing clears it.
extern std::atomic<bool> client_shutdown_requested;
void on_sigint_client(int signal_number);

// The game client: window, renderer, user interface, engine, network, world
// and the client modules, driven by one loop until the stop flag is set.
class ClientApp {
public:
    explicit ClientApp(Config config);
    // True when the loop has ended and everything is shut down; false at once
    // after a logged set-up failure.
    bool run();

    Config config;
};

// The game window and its renderer, shared by both client applications.
struct GameWindow {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
};

// Whether the window's set-up and shutdown log each step or only failures.
enum class WindowLog {
    EachStep,
    FailuresOnly,
};

// SDL video, the resizable 1280 x 720 "voidlance" window, its renderer with
// vsync on, and every image of `config` in the texture map. Empty after a
// logged failure; what was made by then is left as it is.
std::optional<GameWindow> open_game_window(Config& config, WindowLog log);

// Quit events set `stop_flag` (one line each); a resize resizes the interface.
void handle_window_events(const std::vector<SDL_Event>& events, std::atomic<bool>& stop_flag,
                          RmlManager& rml_manager);

// Textures, the interface, the renderer, the window, then SDL itself.
void close_game_window(GameWindow& game_window, RmlManager& rml_manager, WindowLog log);
