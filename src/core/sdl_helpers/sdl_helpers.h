#pragma once

#include <memory>
#include <vector>

#include <SDL3/SDL.h>

// Every event waiting in SDL's queue, in order; never waits for one.
std::vector<SDL_Event> pump_sdl_events();

// Events kept past the poll that produced them. SDL frees the strings of text,
// editing, drop and clipboard events on a later poll, so the buffer points its
// copies of those events at strings of its own, valid until `clear`.
class SdlEventBuffer {
public:
    void append(const SDL_Event& event);
    void clear();

    std::vector<SDL_Event> events;

private:
    const char* own_string(const char* text);
    const char** own_string_list(const char* const* texts, int count);

    std::vector<std::unique_ptr<char[]>> strings;
    std::vector<std::unique_ptr<const char*[]>> string_lists;
};
