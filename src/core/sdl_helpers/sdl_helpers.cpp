#include "core/sdl_helpers/sdl_helpers.h"

#include <cstring>

std::vector<SDL_Event> pump_sdl_events() {
    std::vector<SDL_Event> events;
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        events.push_back(event);
    }
    return events;
}

void SdlEventBuffer::append(const SDL_Event& event) {
    SDL_Event& copy = events.emplace_back(event);
    switch (copy.type) {
    case SDL_EVENT_TEXT_INPUT:
        copy.text.text = own_string(copy.text.text);
        break;
    case SDL_EVENT_TEXT_EDITING:
        copy.edit.text = own_string(copy.edit.text);
        break;
    case SDL_EVENT_TEXT_EDITING_CANDIDATES:
        copy.edit_candidates.candidates =
            own_string_list(copy.edit_candidates.candidates, copy.edit_candidates.num_candidates);
        break;
    case SDL_EVENT_DROP_BEGIN:
    case SDL_EVENT_DROP_FILE:
    case SDL_EVENT_DROP_TEXT:
    case SDL_EVENT_DROP_COMPLETE:
    case SDL_EVENT_DROP_POSITION:
        copy.drop.source = own_string(copy.drop.source);
        copy.drop.data = own_string(copy.drop.data);
        break;
    case SDL_EVENT_CLIPBOARD_UPDATE:
        copy.clipboard.mime_types =
            own_string_list(copy.clipboard.mime_types, copy.clipboard.num_mime_types);
        break;
    default:
        break;
    }
}

void SdlEventBuffer::clear() {
    events.clear();
    strings.clear();
    string_lists.clear();
}

const char* SdlEventBuffer::own_string(const char* text) {
    if (text == nullptr) {
        return nullptr;
    }
    const std::size_t size = std::strlen(text) + 1;
    std::unique_ptr<char[]>& copy = strings.emplace_back(std::make_unique_for_overwrite<char[]>(size));
    std::memcpy(copy.get(), text, size);
    return copy.get();
}

const char** SdlEventBuffer::own_string_list(const char* const* texts, int count) {
    if (texts == nullptr || count <= 0) {
        return nullptr;
    }
    // One null entry more, for readers that look for the end of the list.
    std::unique_ptr<const char*[]>& copy = string_lists.emplace_back(
        std::make_unique<const char*[]>(static_cast<std::size_t>(count) + 1));
    for (int idx = 0; idx < count; ++idx) {
        copy[idx] = own_string(texts[idx]);
    }
    return copy.get();
}
