#include "client/ui/pages/projectile_editor/projectile_editor.h"

#include "client/ui/pages/editor_support/editor_support.h"
#include "core/asset_helpers/asset_helpers.h"

namespace UI::ProjectileEditor {

namespace {

using namespace UI::EditorSupport;

constexpr const char* document_path = "build/assets/ui/pages/projectile_editor/projectile_editor.rml";

}  // namespace

void Page::initialize(Rml::Context* context,
                      std::unordered_map<ProjectileType, ProjectileConfig> projectile_configs) {
    ordered_projectile_configs = ordered_copies(projectile_configs, ordered_projectile_types);
    vm.projectile_name.assign(ordered_projectile_type_names.begin(), ordered_projectile_type_names.end());
    select_projectile(0);
    document = load_page(context, "projectile_editor", document_path, data_model_handle,
                         [this](Rml::DataModelConstructor& constructor) { bind_data_model(constructor); });
}

void Page::bind_data_model(Rml::DataModelConstructor& constructor) {
    constructor.RegisterArray<std::vector<std::string>>();
    if (auto model = constructor.RegisterStruct<ViewModel>()) {
        model.RegisterMember("projectile_name", &ViewModel::projectile_name)
            .RegisterMember("projectile_image", &ViewModel::projectile_image)
            .RegisterMember("selected_projectile_idx", &ViewModel::selected_projectile_idx)
            .RegisterMember("scale", &ViewModel::scale)
            .RegisterMember("speed", &ViewModel::speed)
            .RegisterMember("status", &ViewModel::status)
            .RegisterMember("status_failed", &ViewModel::status_failed);
    }
    constructor.BindEventCallback("on_scale_change", text_setter(vm, &ViewModel::scale));
    constructor.BindEventCallback("on_speed_change", text_setter(vm, &ViewModel::speed));
    constructor.BindEventCallback("on_select_projectile", [this](Rml::DataModelHandle handle, Rml::Event&,
                                                                 const Rml::VariantList& arguments) {
        const auto index = index_argument("on_select_projectile", arguments, ordered_projectile_configs.size());
        if (index && select_projectile(static_cast<int>(*index))) handle.DirtyVariable("vm");
    });
    constructor.BindEventCallback("on_save_projectile",
                                  [this](Rml::DataModelHandle handle, Rml::Event&, const Rml::VariantList&) {
                                      save_projectile();
                                      handle.DirtyVariable("vm");
                                  });
    constructor.Bind("vm", &vm);
}

void Page::show() { show_document(document); }

void Page::hide() { hide_document(document); }

bool Page::select_projectile(int idx) {
    const auto index = checked_index("select_projectile", idx, ordered_projectile_configs.size());
    if (!index) return false;
    const ProjectileConfig& projectile = ordered_projectile_configs[*index];
    vm.projectile_image = image_from_page(projectile.image_path);
    vm.selected_projectile_idx = idx;
    vm.scale = number_text(projectile.scale);
    vm.speed = number_text(projectile.speed);
    vm.status.clear();
    return true;
}

// Both texts are checked before either is applied, so a refused save leaves
// the page's copy and the files as they were.
void Page::save_projectile() {
    const auto index = checked_index("save_projectile", vm.selected_projectile_idx, ordered_projectile_configs.size());
    if (!index) return;
    ProjectileConfig updated = ordered_projectile_configs[*index];
    FieldReader reader;
    reader.read("Scale", vm.scale, updated.scale, outline_scale_bound(updated.src_polygons));
    reader.read("Speed", vm.speed, updated.speed, ConfigBounds::projectile_speed);
    const std::string& name = vm.projectile_name[*index];
    if (!reader.ok()) {
        show_refusal(vm, name, reader.refused());
        return;
    }
    ordered_projectile_configs[*index] = updated;
    show_saved(vm, name, save_projectile_config(updated));
}

}  // namespace UI::ProjectileEditor
