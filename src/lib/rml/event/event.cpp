#include "lib/rml/event/event.h"

#include <array>
#include <string_view>

namespace Rml {

void EventListener::OnAttach(Element*) {}
void EventListener::OnDetach(Element*) {}

Event::Event(Element* target, String type, Dictionary parameters)
    : type_(std::move(type)), parameters_(std::move(parameters)), target_(target), current_(target) {}

bool EventBubbles(const String& type) {
    static constexpr std::array<std::string_view, 8> kNonBubbling = {
        "focus", "blur", "load", "unload", "show", "hide", "resize", "scroll"};
    for (std::string_view name : kNonBubbling) {
        if (type == name) return false;
    }
    return true;
}

}  // namespace Rml
