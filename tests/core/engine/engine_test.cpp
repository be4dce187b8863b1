#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <deque>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include <SDL3/SDL.h>
#include <spdlog/spdlog.h>

#include "core/engine/engine.h"
#include "core/sdl_helpers/sdl_helpers.h"
#include "support/log_capture.h"

namespace {

using namespace std::chrono_literals;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

TimeTracker::Clock::time_point fake_now;
TimeTracker::Clock::time_point read_fake_clock() { return fake_now; }

class RecordingNetwork final : public Core::Network {
public:
    void send(int fixed_tick_count) override {
        SPDLOG_INFO("network sends {}", fixed_tick_count);
        sent_counts.push_back(fixed_tick_count);
        if (fail) {
            fail();
        }
    }

    std::vector<int> sent_counts;
    std::function<void()> fail;
};

struct RecordingUi {
    void render() { SPDLOG_INFO("ui renders"); }
};

SDL_Event event_of_type(SDL_EventType type) {
    SDL_Event event{};
    event.type = type;
    return event;
}

NetMsg ship_despawn(std::uint32_t id) { return NetMsgs::ShipDespawn{id}; }

class EngineTest : public ::testing::Test {
protected:
    EngineTest() {
        fake_now = TimeTracker::Clock::time_point{};
        engine.time_tracker = TimeTracker(&read_fake_clock);
    }

    void step_after(std::chrono::nanoseconds elapsed) {
        fake_now += elapsed;
        engine.step();
    }

    std::vector<std::string> log_texts() const {
        std::vector<std::string> texts;
        for (const auto& line : log.lines()) {
            texts.push_back(line.text);
        }
        return texts;
    }

    // Registers two callbacks of every kind; each logs its kind and name.
    void bind_two_of_every_kind() {
        for (const char* name : {"A", "B"}) {
            const std::string who = name;
            engine.bind_tick([who](std::vector<SDL_Event>&) { SPDLOG_INFO("tick {}", who); });
            engine.bind_receive_server_net_msg(
                [who](NetMsg&) { SPDLOG_INFO("server msg {}", who); });
            engine.bind_receive_client_net_msg(
                [who](std::uint32_t, NetMsg&) { SPDLOG_INFO("client msg {}", who); });
            engine.bind_fixed_tick([who] { SPDLOG_INFO("fixed tick {}", who); });
            engine.bind_net_send([who] { SPDLOG_INFO("net send {}", who); });
            engine.bind_render([who] { SPDLOG_INFO("render {}", who); });
        }
    }

    Engine engine{Config{}};
    RecordingNetwork network;
    test_support::LogCapture log;
};

}  // namespace

TEST_F(EngineTest, HandlesCountFromZeroPerKind) {
    EXPECT_EQ(engine.bind_tick([](std::vector<SDL_Event>&) {}), 0);
    EXPECT_EQ(engine.bind_tick([](std::vector<SDL_Event>&) {}), 1);
    EXPECT_EQ(engine.bind_render([] {}), 0);
    engine.unbind_tick(1);
    EXPECT_EQ(engine.bind_tick([](std::vector<SDL_Event>&) {}), 2);  // never reused
}

TEST_F(EngineTest, UnbindOfAnUnknownHandleChangesNothing) {
    int renders = 0;
    engine.bind_render([&] { ++renders; });
    engine.bind_render([&] { ++renders; });
    engine.unbind_render(7);
    EXPECT_EQ(engine.on_render_callbacks.size(), 2u);
    engine.unbind_render(0);
    EXPECT_EQ(engine.on_render_callbacks.count(1), 1u);
    EXPECT_EQ(engine.on_render_callbacks.size(), 1u);
}

TEST_F(EngineTest, FullTickRunsEveryPhaseInOrderWithHandleOneFirst) {
    SDL_Surface* surface = SDL_CreateSurface(8, 8, SDL_PIXELFORMAT_RGBA32);
    ASSERT_NE(surface, nullptr) << SDL_GetError();
    SDL_Renderer* renderer = SDL_CreateSoftwareRenderer(surface);
    ASSERT_NE(renderer, nullptr) << SDL_GetError();
    RecordingUi ui;
    engine.network = &network;
    engine.renderer = renderer;
    engine.rml_manager = &ui;
    bind_two_of_every_kind();
    engine.send_received_server_net_msgs({ship_despawn(1)});
    engine.send_received_client_net_msgs({{3, ship_despawn(2)}});

    step_after(20ms);  // the first step is a tick; one fixed tick is due

    EXPECT_THAT(log_texts(),
                ElementsAre("Engine step start", "Calling on_tick callbacks", "tick B", "tick A",
                            "Calling on_receive_server_net_msgs callbacks", "server msg B",
                            "server msg A", "Calling on_receive_client_net_msgs callbacks",
                            "client msg B", "client msg A", "Calling on_fixed_tick callbacks",
                            "fixed tick B", "fixed tick A", "Calling on_net_send callbacks",
                            "Calling one on_net_send callback", "net send B",
                            "Finished one on_net_send callback",
                            "Calling one on_net_send callback", "net send A",
                            "Finished one on_net_send callback", "Calling network send",
                            "network sends 1", "Network send complete", "Starting render",
                            "Calling on_render callbacks", "render B", "render A", "ui renders",
                            "Ending render", "Engine step end"));
    SDL_DestroyRenderer(renderer);
    SDL_DestroySurface(surface);
}

TEST_F(EngineTest, StepWithinTheGateRunsNothingAndKeepsTheBuffers) {
    std::vector<std::vector<SDL_EventType>> delivered;
    engine.bind_tick([&](std::vector<SDL_Event>& events) {
        std::vector<SDL_EventType> types;
        for (const SDL_Event& event : events) {
            types.push_back(static_cast<SDL_EventType>(event.type));
        }
        delivered.push_back(types);
    });
    std::vector<NetMsg> received;
    engine.bind_receive_server_net_msg([&](NetMsg& message) { received.push_back(message); });
    engine.step();
    delivered.clear();

    engine.send_sdl_events({event_of_type(SDL_EVENT_KEY_DOWN)});
    engine.send_received_server_net_msgs({ship_despawn(5)});
    log.clear();
    step_after(10ms);
    EXPECT_THAT(log_texts(), ElementsAre("Engine step start"));
    EXPECT_THAT(delivered, IsEmpty());

    engine.send_sdl_events({event_of_type(SDL_EVENT_KEY_UP)});
    engine.send_received_server_net_msgs({ship_despawn(6)});
    step_after(10ms);  // 20 ms since the last tick
    EXPECT_THAT(delivered, ElementsAre(ElementsAre(SDL_EVENT_KEY_DOWN, SDL_EVENT_KEY_UP)));
    EXPECT_THAT(received, ElementsAre(ship_despawn(5), ship_despawn(6)));
    EXPECT_THAT(engine.sdl_event_buffer.events, IsEmpty());
    EXPECT_THAT(engine.received_server_net_msg_buffer, IsEmpty());
}

// SDL frees the strings of a polled event on a later poll; here each pass's
// strings live in memory that is scribbled over once the pass is done.
TEST_F(EngineTest, StringsOfEventsPolledOverSeveralPassesArriveIntactAtTheTick) {
    ASSERT_TRUE(SDL_Init(SDL_INIT_EVENTS)) << SDL_GetError();
    pump_sdl_events();
    std::vector<std::string> seen;
    engine.bind_tick([&](std::vector<SDL_Event>& events) {
        for (const SDL_Event& event : events) {
            switch (event.type) {
            case SDL_EVENT_TEXT_INPUT:
                seen.push_back(event.text.text);
                break;
            case SDL_EVENT_TEXT_EDITING:
                seen.push_back(event.edit.text);
                break;
            case SDL_EVENT_DROP_FILE:
                seen.push_back(std::string(event.drop.source) + " " + event.drop.data);
                break;
            case SDL_EVENT_TEXT_EDITING_CANDIDATES:
                seen.push_back(std::string(event.edit_candidates.candidates[0]) + " " +
                               event.edit_candidates.candidates[1]);
                break;
            case SDL_EVENT_CLIPBOARD_UPDATE:
                seen.push_back(event.clipboard.mime_types[0]);
                break;
            default:
                break;
            }
        }
    });
    engine.step();

    std::deque<std::string> freed_texts;
    std::deque<std::vector<const char*>> freed_lists;
    auto pass = [&](SDL_Event event, std::initializer_list<const char*> texts) {
        std::vector<const char*>& list = freed_lists.emplace_back();
        for (const char* text : texts) {
            list.push_back(freed_texts.emplace_back(text).c_str());
        }
        switch (event.type) {
        case SDL_EVENT_TEXT_INPUT:
            event.text.text = list[0];
            break;
        case SDL_EVENT_TEXT_EDITING:
            event.edit.text = list[0];
            break;
        case SDL_EVENT_DROP_FILE:
            event.drop.source = list[0];
            event.drop.data = list[1];
            break;
        case SDL_EVENT_TEXT_EDITING_CANDIDATES:
            event.edit_candidates.candidates = list.data();
            event.edit_candidates.num_candidates = 2;
            break;
        case SDL_EVENT_CLIPBOARD_UPDATE:
            event.clipboard.mime_types = list.data();
            event.clipboard.num_mime_types = 1;
            break;
        default:
            break;
        }
        ASSERT_TRUE(SDL_PushEvent(&event)) << SDL_GetError();
        engine.send_sdl_events(pump_sdl_events());
        step_after(1ms);
        for (std::string& text : freed_texts) {
            std::ranges::fill(text, '\xBE');
        }
        for (std::vector<const char*>& freed : freed_lists) {
            std::ranges::fill(freed, "freed");
        }
    };
    pass(event_of_type(SDL_EVENT_TEXT_INPUT), {"7"});
    pass(event_of_type(SDL_EVENT_TEXT_INPUT), {"é速🚀"});
    pass(event_of_type(SDL_EVENT_TEXT_EDITING), {"ñ"});
    pass(event_of_type(SDL_EVENT_DROP_FILE), {"app", "/tmp/ship.json"});
    pass(event_of_type(SDL_EVENT_TEXT_EDITING_CANDIDATES), {"速度", "速"});
    pass(event_of_type(SDL_EVENT_CLIPBOARD_UPDATE), {"text/plain"});
    EXPECT_THAT(seen, IsEmpty());
    step_after(15ms);
    EXPECT_THAT(seen, ElementsAre("7", "é速🚀", "ñ", "app /tmp/ship.json", "速度 速",
                                  "text/plain"));
    SDL_Quit();
}

TEST_F(EngineTest, MessagesOfSeveralPassesArriveInOrderCallbackByCallback) {
    std::vector<std::string> seen;
    for (const char* name : {"A", "B"}) {
        const std::string who = name;
        engine.bind_receive_client_net_msg([&seen, who](std::uint32_t client_id, NetMsg& message) {
            seen.push_back(who + std::to_string(client_id) + ":" +
                           std::to_string(std::get<NetMsgs::ShipDespawn>(message).id));
        });
    }
    engine.step();
    engine.send_received_client_net_msgs({{1, ship_despawn(10)}});
    step_after(1ms);
    engine.send_received_client_net_msgs({{2, ship_despawn(20)}, {1, ship_despawn(30)}});
    step_after(1ms);
    engine.send_received_client_net_msgs({{3, ship_despawn(40)}});
    step_after(15ms);
    EXPECT_THAT(seen, ElementsAre("B1:10", "B2:20", "B1:30", "B3:40", "A1:10", "A2:20",
                                  "A1:30", "A3:40"));
}

// The gate restarts at a full interval after every tick: the 13.3 ms by which
// the step at 30 ms overshot is dropped, so 5 ms later is no tick yet and
// 17 ms later is. The fixed ticks keep their absolute schedule meanwhile.
TEST_F(EngineTest, TickGateDropsOvershootWhileFixedTicksKeepTheirSchedule) {
    int ticks = 0;
    engine.bind_tick([&](std::vector<SDL_Event>&) { ++ticks; });
    std::vector<std::pair<int, std::uint32_t>> after_each_step;
    for (const auto elapsed : {0ms, 30ms, 5ms, 12ms}) {
        step_after(elapsed);
        after_each_step.emplace_back(ticks, engine.fixed_tick_count);
    }
    // Fixed ticks due: 0, 1.8, 2.1 (left for the next tick), 2.82.
    EXPECT_THAT(after_each_step, ElementsAre(std::pair{1, 0u}, std::pair{2, 1u},
                                             std::pair{2, 1u}, std::pair{3, 2u}));
}

// The clock runs from construction, so a set-up of half a second shows in the
// first step, unclamped: 29 fixed ticks (29.9999984 intervals) in one burst.
TEST_F(EngineTest, FirstStepAfterALongSetUpRunsTheWholeSetUpsFixedTicks) {
    int ticks = 0;
    int fixed_ticks = 0;
    engine.bind_tick([&](std::vector<SDL_Event>&) { ++ticks; });
    engine.bind_fixed_tick([&] { ++fixed_ticks; });
    engine.network = &network;
    step_after(500ms);
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(fixed_ticks, 29);
    EXPECT_THAT(network.sent_counts, ElementsAre(29));
    EXPECT_TRUE(log.contains(spdlog::level::warn, "Large frame delta: 0.5 seconds"));
    EXPECT_EQ(log.count(spdlog::level::warn, "Fixed-tick catch-up: at least 6 ticks in one frame"),
              1);
}

TEST_F(EngineTest, LargeFrameDeltaWarnsOnlyAboveOneTenthOfASecond) {
    engine.step();
    step_after(100ms);
    EXPECT_EQ(log.count_containing("Large frame delta"), 0);
    step_after(100ms + 1ns);
    EXPECT_TRUE(log.contains(spdlog::level::warn, "Large frame delta: 0.100000001 seconds"));
}

TEST_F(EngineTest, StallRunsEveryDueFixedTickAndWarnsOnceAboutCatchUp) {
    int fixed_ticks = 0;
    engine.bind_fixed_tick([&] { ++fixed_ticks; });
    engine.network = &network;
    engine.step();
    step_after(200ms);  // 11.9999994 intervals
    EXPECT_EQ(fixed_ticks, 11);
    EXPECT_EQ(log.count(spdlog::level::warn, "Fixed-tick catch-up: at least 6 ticks in one frame"),
              1);
    EXPECT_EQ(log.count_containing("catch-up"), 1);
    EXPECT_THAT(network.sent_counts, ElementsAre(0, 11));
    EXPECT_EQ(engine.fixed_tick_count, 11u);
}

TEST_F(EngineTest, WithoutNetworkNothingIsSent) {
    int net_sends = 0;
    engine.bind_net_send([&] { ++net_sends; });
    engine.step();
    step_after(100ms);
    EXPECT_EQ(net_sends, 0);
    EXPECT_EQ(log.count("Calling network send"), 0);
    EXPECT_EQ(log.count("Starting render"), 0);
}

TEST_F(EngineTest, NetworkSendsEveryTickAndNetSendRunsEveryTwentiethSecond) {
    int net_sends = 0;
    engine.bind_net_send([&] { ++net_sends; });
    engine.network = &network;
    engine.step();     // the timers start run out: net send
    step_after(20ms);  // tick, 0.03 s left until the next net send
    step_after(20ms);  // tick, 0.01 s left
    EXPECT_EQ(network.sent_counts.size(), 3u);
    EXPECT_EQ(net_sends, 1);
    step_after(20ms);  // tick, run out
    EXPECT_EQ(network.sent_counts.size(), 4u);
    EXPECT_EQ(net_sends, 2);
    EXPECT_EQ(log.count("Starting render"), 0);
}

TEST_F(EngineTest, NetworkSendFailureIsLoggedAndPassedOn) {
    engine.network = &network;
    network.fail = [] { throw std::runtime_error("peer gone"); };
    EXPECT_THROW(engine.step(), std::runtime_error);
    EXPECT_TRUE(log.contains(spdlog::level::critical,
                             "Unhandled exception during network send: peer gone"));
    EXPECT_FALSE(log.contains("Engine step end"));

    network.fail = [] { throw 42; };
    fake_now += 20ms;
    EXPECT_THROW(engine.step(), int);
    EXPECT_TRUE(log.contains(spdlog::level::critical,
                             "Unhandled non-standard exception during network send"));
}

TEST_F(EngineTest, StoppedEngineOnlyLogsTheStepStart) {
    int ticks = 0;
    engine.bind_tick([&](std::vector<SDL_Event>&) { ++ticks; });
    engine.status = EngineStatus::Stopped;
    step_after(1s);
    EXPECT_THAT(log_texts(), ElementsAre("Engine step start"));
    EXPECT_EQ(ticks, 0);
}

TEST_F(EngineTest, FrameIsClearedToOpaqueBlackBeforeRendering) {
    SDL_Surface* surface = SDL_CreateSurface(4, 4, SDL_PIXELFORMAT_RGBA32);
    ASSERT_NE(surface, nullptr) << SDL_GetError();
    ASSERT_TRUE(SDL_FillSurfaceRect(surface, nullptr, 0xFFFFFFFFu));
    SDL_Renderer* renderer = SDL_CreateSoftwareRenderer(surface);
    ASSERT_NE(renderer, nullptr) << SDL_GetError();
    ASSERT_TRUE(SDL_SetRenderDrawColor(renderer, 200, 100, 50, 0));
    engine.renderer = renderer;

    Uint8 r = 1, g = 1, b = 1, a = 0;
    engine.bind_render([&] {
        SDL_Surface* frame = SDL_RenderReadPixels(renderer, nullptr);
        ASSERT_NE(frame, nullptr) << SDL_GetError();
        EXPECT_TRUE(SDL_ReadSurfacePixel(frame, 2, 2, &r, &g, &b, &a));
        SDL_DestroySurface(frame);
    });
    engine.step();

    EXPECT_EQ((std::vector<int>{r, g, b, a}), (std::vector<int>{0, 0, 0, 255}));
    EXPECT_TRUE(log.contains("Engine step end"));
    SDL_DestroyRenderer(renderer);
    SDL_DestroySurface(surface);
}

TEST_F(EngineTest, FailedDrawColourEndsTheStep) {
    int renders = 0;
    engine.bind_render([&] { ++renders; });
    int not_a_renderer = 0;
    engine.renderer = reinterpret_cast<SDL_Renderer*>(&not_a_renderer);  // SDL rejects it
    engine.step();
    EXPECT_EQ(log.count_containing("SDL error after SDL_SetRenderDrawColor: "), 1);
    EXPECT_EQ(renders, 0);
    EXPECT_FALSE(log.contains("Engine step end"));
}

TEST(UiRendererRef, CallsTheTargetsRenderAndTestsForNull) {
    struct CountingUi {
        void render() { ++renders; }
        int renders = 0;
    } ui;
    Core::UiRendererRef ref;
    EXPECT_FALSE(ref);
    ref = &ui;
    ASSERT_TRUE(ref);
    ref.render();
    EXPECT_EQ(ui.renders, 1);
    ref = nullptr;
    EXPECT_FALSE(ref);
}
