#pragma once

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <unordered_map>
#include <utility>
#include <vector>

#include <SDL3/SDL.h>

#include "core/config/config.h"
#include "core/fixed_tick_tracker/fixed_tick_tracker.h"
#include "core/net_msg_batch/net_msg_batch.h"
#include "core/network/network.h"
#include "core/sdl_helpers/sdl_helpers.h"
#include "core/time_tracker/time_tracker.h"
#include "core/timer/timer.h"

namespace Core {

// A borrowed reference to whatever draws the user interface. The core cannot
// name the client's manager, so it keeps the object's address and one
// trampoline that calls its `render()`. Assign any `T*` with `void render()`,
// or nullptr; the object must outlive every call.
class UiRendererRef {
public:
    UiRendererRef() = default;
    UiRendererRef(std::nullptr_t) {}

    template <typename T>
        requires requires(T& target) {
            { target.render() } -> std::same_as<void>;
        }
    UiRendererRef(T* target) : target(target), render_target(target ? &render_as<T> : nullptr) {}

    explicit operator bool() const { return target != nullptr; }
    void render() const { render_target(target); }

private:
    template <typename T>
    static void render_as(void* target) {
        static_cast<T*>(target)->render();
    }

    void* target = nullptr;
    void (*render_target)(void*) = nullptr;
};

}  // namespace Core

enum class EngineStatus : std::uint32_t {
    Running = 0,
    Stopped = 1,
};

// The frame driver and callback hub of one side of the game. The application
// hands it each pass's events and received messages and calls `step`; on a
// tick the registered callbacks run phase by phase.
class Engine {
public:
    using TickCallback = std::function<void(std::vector<SDL_Event>&)>;
    using FixedTickCallback = std::function<void()>;
    using NetSendCallback = std::function<void()>;
    using ReceiveServerNetMsgCallback = std::function<void(NetMsg&)>;
    using ReceiveClientNetMsgCallback = std::function<void(std::uint32_t, NetMsg&)>;
    using RenderCallback = std::function<void()>;
    using ClientNetMsg = std::pair<std::uint32_t, NetMsg>;

    explicit Engine(Config config);

    void send_sdl_events(const std::vector<SDL_Event>& events);
    void send_received_server_net_msgs(const std::vector<NetMsg>& messages);
    void send_received_client_net_msgs(const std::vector<ClientNetMsg>& messages);

    // Each returns the callback's handle: 0, 1, 2 ... per kind, never reused.
    int bind_tick(TickCallback callback);
    int bind_fixed_tick(FixedTickCallback callback);
    int bind_net_send(NetSendCallback callback);
    int bind_receive_server_net_msg(ReceiveServerNetMsgCallback callback);
    int bind_receive_client_net_msg(ReceiveClientNetMsgCallback callback);
    int bind_render(RenderCallback callback);

    // An unknown handle changes nothing.
    void unbind_tick(int handle);
    void unbind_fixed_tick(int handle);
    void unbind_net_send(int handle);
    void unbind_receive_server_net_msg(int handle);
    void unbind_receive_client_net_msg(int handle);
    void unbind_render(int handle);

    void step();

    Config config;
    // Borrowed collaborators; a null one switches its phase off.
    Core::Network* network = nullptr;
    SDL_Renderer* renderer = nullptr;
    Core::UiRendererRef rml_manager;
    EngineStatus status = EngineStatus::Running;
    int on_tick_callback_seed = 0;
    int on_fixed_tick_callback_seed = 0;
    int on_net_send_callback_seed = 0;
    int on_receive_server_net_msg_callback_seed = 0;
    int on_receive_client_net_msg_callback_seed = 0;
    int on_render_callback_seed = 0;
    std::uint32_t fixed_tick_count = 0;
    TimeTracker time_tracker;
    FixedTickTracker fixed_tick_tracker;
    Timer tick_timer;
    Timer net_send_timer;
    // Owns the strings its events point to, so they outlive SDL's next poll.
    SdlEventBuffer sdl_event_buffer;
    std::vector<ClientNetMsg> received_client_net_msg_buffer;
    std::vector<NetMsg> received_server_net_msg_buffer;
    // Callbacks of one kind run in the map's order, not in order of registration.
    std::unordered_map<int, TickCallback> on_tick_callbacks;
    std::unordered_map<int, FixedTickCallback> on_fixed_tick_callbacks;
    std::unordered_map<int, NetSendCallback> on_net_send_callbacks;
    std::unordered_map<int, ReceiveServerNetMsgCallback> on_receive_server_net_msg_callbacks;
    std::unordered_map<int, ReceiveClientNetMsgCallback> on_receive_client_net_msg_callbacks;
    std::unordered_map<int, RenderCallback> on_render_callbacks;

private:
    bool pass_tick_gate();
    void deliver_events_and_messages();
    void run_due_fixed_ticks();
    void run_net_send();
    bool render_frame();
};
