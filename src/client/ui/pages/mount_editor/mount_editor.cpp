#include "client/ui/pages/mount_editor/mount_editor.h"

#include <algorithm>

#include <spdlog/spdlog.h>

#include "client/ui/pages/editor_support/editor_support.h"
#include "core/asset_helpers/asset_helpers.h"
#include "core/projectile_type/projectile_type.h"

namespace UI::MountEditor {

namespace {

using namespace UI::EditorSupport;

constexpr const char* document_path = "build/assets/ui/pages/mount_editor/mount_editor.rml";
constexpr const char* display_value_name = "get_selected_projectile_type_display_value";

}  // namespace

void Page::initialize(Rml::Context* context, std::unordered_map<MountType, MountConfig> mount_configs) {
    ordered_mount_configs = ordered_copies(mount_configs, ordered_mount_types);
    vm.mount_name.assign(ordered_mount_type_names.begin(), ordered_mount_type_names.end());
    vm.projectile_types.assign(ordered_projectile_type_names.begin(), ordered_projectile_type_names.end());
    select_mount(0);
    document = load_page(context, "mount_editor", document_path, data_model_handle,
                         [this](Rml::DataModelConstructor& constructor) { bind_data_model(constructor); });
}

void Page::bind_data_model(Rml::DataModelConstructor& constructor) {
    constructor.RegisterArray<std::vector<std::string>>();
    if (auto model = constructor.RegisterStruct<ViewModel>()) {
        model.RegisterMember("mount_name", &ViewModel::mount_name)
            .RegisterMember("mount_image", &ViewModel::mount_image)
            .RegisterMember("selected_mount_idx", &ViewModel::selected_mount_idx)
            .RegisterMember("projectile_type", &ViewModel::projectile_type)
            .RegisterMember("projectile_types", &ViewModel::projectile_types)
            .RegisterMember("cooldown", &ViewModel::cooldown)
            .RegisterMember("scale", &ViewModel::scale)
            .RegisterMember("ang_vel", &ViewModel::ang_vel)
            .RegisterMember("status", &ViewModel::status)
            .RegisterMember("status_failed", &ViewModel::status_failed);
    }
    constructor.BindEventCallback("on_cooldown_change", text_setter(vm, &ViewModel::cooldown));
    constructor.BindEventCallback("on_scale_change", text_setter(vm, &ViewModel::scale));
    constructor.BindEventCallback("on_ang_vel_change", text_setter(vm, &ViewModel::ang_vel));
    // The options carry ProjectileType numbers, stored as chosen.
    constructor.BindEventCallback("on_projectile_type_change", [this](Rml::DataModelHandle handle, Rml::Event& event,
                                                                      const Rml::VariantList&) {
        const std::string value = event_value(event);
        const std::optional<int> type = parse_int(value);
        if (!type) {
            SPDLOG_WARN("on_projectile_type_change: value '{}' is not a number; ignored", value);
            return;
        }
        vm.projectile_type = *type;
        SPDLOG_INFO("Selected projectile type: {}", vm.projectile_type);
        handle.DirtyVariable("vm");
        handle.DirtyVariable(display_value_name);
    });
    constructor.BindEventCallback("on_select_mount", [this](Rml::DataModelHandle handle, Rml::Event&,
                                                            const Rml::VariantList& arguments) {
        const auto index = index_argument("on_select_mount", arguments, ordered_mount_configs.size());
        if (!index || !select_mount(static_cast<int>(*index))) return;
        handle.DirtyVariable("vm");
        handle.DirtyVariable(display_value_name);
    });
    constructor.BindEventCallback("on_save_mount",
                                  [this](Rml::DataModelHandle handle, Rml::Event&, const Rml::VariantList&) {
                                      save_mount();
                                      handle.DirtyVariable("vm");
                                  });
    constructor.BindFunc(display_value_name,
                         [this](Rml::Variant& out) { out = Rml::Variant(selected_projectile_type_display_value()); });
    constructor.Bind("vm", &vm);
}

void Page::show() { show_document(document); }

void Page::hide() { hide_document(document); }

bool Page::select_mount(int idx) {
    const auto index = checked_index("select_mount", idx, ordered_mount_configs.size());
    if (!index) return false;
    const MountConfig& mount = ordered_mount_configs[*index];
    vm.mount_image = image_from_page(mount.image_path);
    vm.selected_mount_idx = idx;
    vm.projectile_type = static_cast<int>(mount.projectile_type);
    vm.cooldown = number_text(mount.cooldown);
    vm.scale = number_text(mount.scale);
    vm.ang_vel = number_text(mount.rot_ang_vel);
    vm.status.clear();
    return true;
}

// Every text is checked before anything is applied, so a refused save leaves
// the page's copy and the files as they were.
void Page::save_mount() {
    const auto index = checked_index("save_mount", vm.selected_mount_idx, ordered_mount_configs.size());
    if (!index) return;
    MountConfig updated = ordered_mount_configs[*index];
    updated.projectile_type = static_cast<std::uint32_t>(vm.projectile_type);
    FieldReader reader;
    // The option values are type numbers; one that names no type would stop the next start.
    if (std::ranges::find(ordered_projectile_types, static_cast<ProjectileType>(vm.projectile_type)) ==
        ordered_projectile_types.end()) {
        reader.refuse("Projectile type must be one of the listed types");
    }
    reader.read("Cooldown (seconds)", vm.cooldown, updated.cooldown, ConfigBounds::mount_cooldown);
    reader.read("Scale", vm.scale, updated.scale, outline_scale_bound(updated.src_polygons));
    reader.read("Turn speed", vm.ang_vel, updated.rot_ang_vel, ConfigBounds::mount_turn_speed);
    const std::string& name = vm.mount_name[*index];
    if (!reader.ok()) {
        show_refusal(vm, name, reader.refused());
        return;
    }
    ordered_mount_configs[*index] = updated;
    show_saved(vm, name, save_mount_config(updated));
}

std::string Page::selected_projectile_type_display_value() const {
    return to_string(static_cast<ProjectileType>(vm.projectile_type));
}

}  // namespace UI::MountEditor
