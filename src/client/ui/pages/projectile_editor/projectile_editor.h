#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "core/projectile_config/projectile_config.h"
#include "core/projectile_type/projectile_type.h"
#include "lib/rml/rml.h"

namespace UI::ProjectileEditor {

// Bound to the document as "vm" of the data model "projectile_editor".
struct ViewModel {
    std::vector<std::string> projectile_name;
    std::string projectile_image;
    int selected_projectile_idx = 0;
    std::string scale = "0";
    std::string speed = "0";
    std::string status;  // the outcome of the last save, for the user
    bool status_failed = false;  // the status tells of a failure
};

// Edits copies of the projectile configurations and saves one back to its
// files; the running game keeps what it loaded.
class Page {
public:
    Page() = default;
    // The data model's callbacks point at this page.
    Page(const Page&) = delete;
    Page& operator=(const Page&) = delete;

    void initialize(Rml::Context* context, std::unordered_map<ProjectileType, ProjectileConfig> projectile_configs);
    void show();
    void hide();
    bool select_projectile(int idx);
    void save_projectile();

    Rml::ElementDocument* document = nullptr;
    std::vector<ProjectileConfig> ordered_projectile_configs;
    ViewModel vm;
    Rml::DataModelHandle data_model_handle;

private:
    void bind_data_model(Rml::DataModelConstructor& constructor);
};

}  // namespace UI::ProjectileEditor
