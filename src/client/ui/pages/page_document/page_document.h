#pragma once

#include "client/ui/pages/editor_support/editor_support.h"
#include "lib/rml/rml.h"

namespace UI {

// A page that is its document alone. Without a data model its markup binds
// nothing: only static content and the custom elements work in it.
template <const char* DocumentPath>
class DocumentOnlyPage {
public:
    // Loads the document hidden; none when the file cannot be read (the toolkit says why).
    void initialize(Rml::Context* context) {
        document = context ? context->LoadDocument(DocumentPath) : nullptr;
    }
    void show() { EditorSupport::show_document(document); }
    void hide() { EditorSupport::hide_document(document); }

    Rml::ElementDocument* document = nullptr;
};

}  // namespace UI
