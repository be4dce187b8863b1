#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "core/mount_config/mount_config.h"
#include "core/mount_type/mount_type.h"
#include "lib/rml/rml.h"

namespace UI::MountEditor {

// Bound to the document as "vm" of the data model "mount_editor".
struct ViewModel {
    std::vector<std::string> mount_name;
    std::string mount_image;
    int selected_mount_idx = 0;
    int projectile_type = 0;  // a ProjectileType number, as chosen
    std::vector<std::string> projectile_types;
    std::string cooldown = "0";
    std::string scale = "0";
    std::string ang_vel = "0";
    std::string status;  // the outcome of the last save, for the user
    bool status_failed = false;  // the status tells of a failure
};

// Edits copies of the mount configurations and saves one back to its files;
// the running game keeps what it loaded.
class Page {
public:
    Page() = default;
    // The data model's callbacks point at this page.
    Page(const Page&) = delete;
    Page& operator=(const Page&) = delete;

    void initialize(Rml::Context* context, std::unordered_map<MountType, MountConfig> mount_configs);
    void show();
    void hide();
    bool select_mount(int idx);
    void save_mount();

    Rml::ElementDocument* document = nullptr;
    std::vector<MountConfig> ordered_mount_configs;
    ViewModel vm;
    Rml::DataModelHandle data_model_handle;

private:
    void bind_data_model(Rml::DataModelConstructor& constructor);
    std::string selected_projectile_type_display_value() const;
};

}  // namespace UI::MountEditor
