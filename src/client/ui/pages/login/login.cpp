#include "client/ui/pages/login/login.h"

#include "client/ui/pages/editor_support/editor_support.h"

namespace UI::Login {

using EditorSupport::text_setter;

void Page::initialize(Rml::Context* context) {
    // The page keeps no handle: its callbacks are handed theirs.
    Rml::DataModelHandle unused_handle;
    document = EditorSupport::load_page(context, "login", document_path, unused_handle,
                                        [this](Rml::DataModelConstructor& constructor) {
                                            bind(constructor);
                                        });
}

void Page::bind(Rml::DataModelConstructor& constructor) {
    if (auto view_model = constructor.RegisterStruct<ViewModel>()) {
        view_model.RegisterMember("username", &ViewModel::username)
            .RegisterMember("password", &ViewModel::password);
    }
    constructor.BindEventCallback("on_username_change", text_setter(vm, &ViewModel::username));
    constructor.BindEventCallback("on_password_change", text_setter(vm, &ViewModel::password));
    constructor.Bind("vm", &vm);
}

void Page::show() { EditorSupport::show_document(document); }

void Page::hide() { EditorSupport::hide_document(document); }

}  // namespace UI::Login
