#include <gtest/gtest.h>

#include <SDL3/SDL.h>

#include "core/sdl_helpers/sdl_helpers.h"

TEST(PumpSdlEvents, ReturnsEveryQueuedEventInOrderWithoutWaiting) {
    ASSERT_TRUE(SDL_Init(SDL_INIT_EVENTS)) << SDL_GetError();
    const Uint32 first_type = SDL_RegisterEvents(3);
    ASSERT_NE(first_type, 0u);
    SDL_PumpEvents();
    SDL_FlushEvents(SDL_EVENT_FIRST, SDL_EVENT_LAST);
    for (Uint32 offset = 0; offset < 3; ++offset) {
        SDL_Event event{};
        event.type = first_type + offset;
        ASSERT_TRUE(SDL_PushEvent(&event)) << SDL_GetError();
    }

    const std::vector<SDL_Event> events = pump_sdl_events();
    ASSERT_EQ(events.size(), 3u);
    for (Uint32 offset = 0; offset < 3; ++offset) {
        EXPECT_EQ(events[offset].type, first_type + offset);
    }
    EXPECT_TRUE(pump_sdl_events().empty());
    SDL_Quit();
}
