#pragma once

#include <vector>

#include "client/ui/ui_event/ui_event.h"
#include "lib/rml/rml.h"

namespace UI::AdminMenu {

inline constexpr const char* document_path = "build/assets/ui/pages/admin_menu/admin_menu.rml";

// The menu shown at start in client mode: each button queues one request and
// opens nothing itself; the admin module drains the queue once per tick. The
// callbacks hold this page's address, so it never moves once initialised.
class Page {
public:
    Page() = default;
    Page(const Page&) = delete;
    Page& operator=(const Page&) = delete;

    // Binds the "admin_menu" model's twelve callbacks and loads the document
    // hidden; a refused model leaves the page without callbacks or document.
    void initialize(Rml::Context* context);
    void show();
    void hide();
    // The requests queued since the last drain, oldest first; the queue is left empty.
    std::vector<UiEvent> drain_ui_events();

    Rml::ElementDocument* document = nullptr;

private:
    std::vector<UiEvent> ui_events;
};

}  // namespace UI::AdminMenu
