#pragma once

#include "lib/rml/element/element.h"

namespace Rml {

// A run of text between tags; it takes its style from its parent.
class ElementText : public Element {
public:
    explicit ElementText(const String& tag);

    void SetText(const String& text);
    const String& GetText() const { return text_; }

private:
    String text_;
};

}  // namespace Rml
