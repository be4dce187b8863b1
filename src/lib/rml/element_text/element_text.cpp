#include "lib/rml/element_text/element_text.h"

namespace Rml {

ElementText::ElementText(const String& tag) : Element(tag) {}

void ElementText::SetText(const String& text) {
    if (text == text_) return;
    text_ = text;
    DirtyLayout();
}

}  // namespace Rml
