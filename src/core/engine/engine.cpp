#include "core/engine/engine.h"

#include <exception>

#include <spdlog/spdlog.h>

#include "core/constants/constants.h"

namespace {

constexpr double large_frame_delta_seconds = 0.1;
constexpr int catch_up_warning_fixed_ticks = 6;

template <typename Callback>
int bind_callback(std::unordered_map<int, Callback>& callbacks, int& next_handle,
                  Callback callback) {
    const int handle = next_handle++;
    callbacks.emplace(handle, std::move(callback));
    return handle;
}

template <typename Callbacks, typename... Args>
void call_each(Callbacks& callbacks, Args&... args) {
    for (auto& entry : callbacks) {
        entry.second(args...);
    }
}

template <typename T>
void append_copies(std::vector<T>& buffer, const std::vector<T>& items) {
    buffer.insert(buffer.end(), items.begin(), items.end());
}

bool sdl_call_succeeded(bool succeeded, const char* call_name) {
    if (!succeeded) {
        SPDLOG_ERROR("SDL error after {}: {}", call_name, SDL_GetError());
    }
    return succeeded;
}

}  // namespace

Engine::Engine(Config config) : config(std::move(config)) {}

void Engine::send_sdl_events(const std::vector<SDL_Event>& events) {
    for (const SDL_Event& event : events) {
        sdl_event_buffer.append(event);
    }
}

void Engine::send_received_server_net_msgs(const std::vector<NetMsg>& messages) {
    append_copies(received_server_net_msg_buffer, messages);
}

void Engine::send_received_client_net_msgs(const std::vector<ClientNetMsg>& messages) {
    append_copies(received_client_net_msg_buffer, messages);
}

int Engine::bind_tick(TickCallback callback) {
    return bind_callback(on_tick_callbacks, on_tick_callback_seed, std::move(callback));
}

int Engine::bind_fixed_tick(FixedTickCallback callback) {
    return bind_callback(on_fixed_tick_callbacks, on_fixed_tick_callback_seed,
                         std::move(callback));
}

int Engine::bind_net_send(NetSendCallback callback) {
    return bind_callback(on_net_send_callbacks, on_net_send_callback_seed, std::move(callback));
}

int Engine::bind_receive_server_net_msg(ReceiveServerNetMsgCallback callback) {
    return bind_callback(on_receive_server_net_msg_callbacks,
                         on_receive_server_net_msg_callback_seed, std::move(callback));
}

int Engine::bind_receive_client_net_msg(ReceiveClientNetMsgCallback callback) {
    return bind_callback(on_receive_client_net_msg_callbacks,
                         on_receive_client_net_msg_callback_seed, std::move(callback));
}

int Engine::bind_render(RenderCallback callback) {
    return bind_callback(on_render_callbacks, on_render_callback_seed, std::move(callback));
}

void Engine::unbind_tick(int handle) { on_tick_callbacks.erase(handle); }

void Engine::unbind_fixed_tick(int handle) { on_fixed_tick_callbacks.erase(handle); }

void Engine::unbind_net_send(int handle) { on_net_send_callbacks.erase(handle); }

void Engine::unbind_receive_server_net_msg(int handle) {
    on_receive_server_net_msg_callbacks.erase(handle);
}

void Engine::unbind_receive_client_net_msg(int handle) {
    on_receive_client_net_msg_callbacks.erase(handle);
}

void Engine::unbind_render(int handle) { on_render_callbacks.erase(handle); }

void Engine::step() {
    SPDLOG_INFO("Engine step start");
    if (status != EngineStatus::Running) {
        return;
    }
    if (!pass_tick_gate()) {
        return;
    }
    deliver_events_and_messages();
    run_due_fixed_ticks();
    if (network != nullptr) {
        run_net_send();
    }
    if (renderer != nullptr && !render_frame()) {
        return;
    }
    SPDLOG_INFO("Engine step end");
}

// Advances every clock by the measured delta; true when this step is a tick.
bool Engine::pass_tick_gate() {
    time_tracker.tick();
    const double delta_seconds = time_tracker.get_delta();
    if (delta_seconds > large_frame_delta_seconds) {
        SPDLOG_WARN("Large frame delta: {} seconds", delta_seconds);
    }
    tick_timer.tick(delta_seconds);
    fixed_tick_tracker.tick(delta_seconds);
    net_send_timer.tick(delta_seconds);
    if (!tick_timer.is_complete()) {
        return false;
    }
    tick_timer.start(static_cast<double>(Constants::tick_interval_seconds));
    return true;
}

void Engine::deliver_events_and_messages() {
    SPDLOG_INFO("Calling on_tick callbacks");
    call_each(on_tick_callbacks, sdl_event_buffer.events);

    SPDLOG_INFO("Calling on_receive_server_net_msgs callbacks");
    for (auto& [handle, callback] : on_receive_server_net_msg_callbacks) {
        for (NetMsg& message : received_server_net_msg_buffer) {
            callback(message);
        }
    }

    SPDLOG_INFO("Calling on_receive_client_net_msgs callbacks");
    for (auto& [handle, callback] : on_receive_client_net_msg_callbacks) {
        for (auto& [client_id, message] : received_client_net_msg_buffer) {
            callback(client_id, message);
        }
    }

    sdl_event_buffer.clear();
    received_client_net_msg_buffer.clear();
    received_server_net_msg_buffer.clear();
}

// Every tick due on the absolute schedule runs now; there is no cap.
void Engine::run_due_fixed_ticks() {
    int fixed_ticks_this_step = 0;
    while (fixed_tick_tracker.consume_fixed_tick()) {
        SPDLOG_INFO("Calling on_fixed_tick callbacks");
        ++fixed_ticks_this_step;
        if (fixed_ticks_this_step == catch_up_warning_fixed_ticks) {
            SPDLOG_WARN("Fixed-tick catch-up: at least {} ticks in one frame",
                        fixed_ticks_this_step);
        }
        call_each(on_fixed_tick_callbacks);
        ++fixed_tick_count;
    }
}

// The network sends on every tick, so whatever any phase of this tick queued
// leaves in this tick.
void Engine::run_net_send() {
    if (net_send_timer.is_complete()) {
        SPDLOG_INFO("Calling on_net_send callbacks");
        net_send_timer.start(static_cast<double>(Constants::net_send_interval_seconds));
        for (auto& entry : on_net_send_callbacks) {
            SPDLOG_INFO("Calling one on_net_send callback");
            entry.second();
            SPDLOG_INFO("Finished one on_net_send callback");
        }
    }

    SPDLOG_INFO("Calling network send");
    try {
        network->send(static_cast<int>(fixed_tick_count));
    } catch (const std::exception& error) {
        SPDLOG_CRITICAL("Unhandled exception during network send: {}", error.what());
        throw;
    } catch (...) {
        SPDLOG_CRITICAL("Unhandled non-standard exception during network send");
        throw;
    }
    SPDLOG_INFO("Network send complete");
}

// False when an SDL call failed; the step then ends at once.
bool Engine::render_frame() {
    SPDLOG_INFO("Starting render");
    if (!sdl_call_succeeded(SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255),
                            "SDL_SetRenderDrawColor") ||
        !sdl_call_succeeded(SDL_RenderClear(renderer), "SDL_RenderClear")) {
        return false;
    }

    SPDLOG_INFO("Calling on_render callbacks");
    call_each(on_render_callbacks);
    if (rml_manager) {
        rml_manager.render();
    }

    SPDLOG_INFO("Ending render");
    return sdl_call_succeeded(SDL_RenderPresent(renderer), "SDL_RenderPresent");
}
