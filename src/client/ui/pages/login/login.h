#pragma once

#include <string>

#include "lib/rml/rml.h"

namespace UI::Login {

inline constexpr const char* document_path = "build/assets/ui/pages/login/login.rml";

// What the two fields last reported; nothing reads or sends it.
struct ViewModel {
    std::string username;
    std::string password;
};

// A user name and a password field mirrored into `vm`. The callbacks hold
// this page's address, so it never moves once initialised.
class Page {
public:
    Page() = default;
    Page(const Page&) = delete;
    Page& operator=(const Page&) = delete;

    // Binds the "login" model and loads the document hidden; a refused model
    // leaves the page without bindings or document.
    void initialize(Rml::Context* context);
    void show();
    void hide();

    Rml::ElementDocument* document = nullptr;
    ViewModel vm;

private:
    void bind(Rml::DataModelConstructor& constructor);
};

}  // namespace UI::Login
