#include "client/ui/pages/ship_editor/ship_editor.h"

#include <spdlog/spdlog.h>

#include "client/ui/pages/editor_support/editor_support.h"
#include "core/asset_helpers/asset_helpers.h"
#include "core/mount_type/mount_type.h"

namespace UI::ShipEditor {

namespace {

using namespace UI::EditorSupport;

constexpr const char* document_path = "build/assets/ui/pages/ship_editor/ship_editor.rml";
constexpr const char* display_value_name = "get_selected_mount_type_display_value";

}  // namespace

void Page::initialize(Rml::Context* context, std::unordered_map<ShipType, ShipConfig> ship_configs) {
    ordered_ship_configs = ordered_copies(ship_configs, ordered_ship_types);
    for (const ShipConfig& ship : ordered_ship_configs) vm.ship_name.push_back(ship.display_name);
    vm.mount_types.assign(ordered_mount_type_names.begin(), ordered_mount_type_names.end());
    select_ship(0);
    document = load_page(context, "ship_editor", document_path, data_model_handle,
                         [this](Rml::DataModelConstructor& constructor) { bind_data_model(constructor); });
}

void Page::bind_data_model(Rml::DataModelConstructor& constructor) {
    constructor.RegisterArray<std::vector<int>>();
    constructor.RegisterArray<std::vector<std::string>>();
    if (auto model = constructor.RegisterStruct<ViewModel>()) {
        model.RegisterMember("mount_type", &ViewModel::mount_type)
            .RegisterMember("ship_name", &ViewModel::ship_name)
            .RegisterMember("ship_image", &ViewModel::ship_image)
            .RegisterMember("mount_x", &ViewModel::mount_x)
            .RegisterMember("mount_y", &ViewModel::mount_y)
            .RegisterMember("mount_rot_neut", &ViewModel::mount_rot_neut)
            .RegisterMember("mount_rot_range", &ViewModel::mount_rot_range)
            .RegisterMember("mount_style", &ViewModel::mount_style)
            .RegisterMember("selected_ship_idx", &ViewModel::selected_ship_idx)
            .RegisterMember("selected_mount_idx", &ViewModel::selected_mount_idx)
            .RegisterMember("max_speed", &ViewModel::max_speed)
            .RegisterMember("max_acc", &ViewModel::max_acc)
            .RegisterMember("max_ang_vel", &ViewModel::max_ang_vel)
            .RegisterMember("max_ang_acc", &ViewModel::max_ang_acc)
            .RegisterMember("scale", &ViewModel::scale)
            .RegisterMember("mount_types", &ViewModel::mount_types)
            .RegisterMember("status", &ViewModel::status)
            .RegisterMember("status_failed", &ViewModel::status_failed);
    }
    bind_row_events(constructor);
    bind_statistic_events(constructor);
    bind_list_events(constructor);
    constructor.BindFunc(display_value_name,
                         [this](Rml::Variant& out) { out = Rml::Variant(selected_mount_type_display_value()); });
    constructor.Bind("vm", &vm);
}

void Page::bind_row_events(Rml::DataModelConstructor& constructor) {
    // Stores the event's text in one row of a column; x and y also move the row's marker.
    const auto bind_row_setter = [this, &constructor](const char* event_name,
                                                      std::vector<std::string> ViewModel::*column, bool moves_marker) {
        constructor.BindEventCallback(event_name, [this, event_name, column, moves_marker](
                                                      Rml::DataModelHandle handle, Rml::Event& event,
                                                      const Rml::VariantList& arguments) {
            const auto row = index_argument(event_name, arguments, (vm.*column).size());
            if (!row) return;
            (vm.*column)[*row] = event_value(event);
            if (moves_marker) update_marker(*row);
            handle.DirtyVariable("vm");
        });
    };
    bind_row_setter("on_mount_x_change", &ViewModel::mount_x, true);
    bind_row_setter("on_mount_y_change", &ViewModel::mount_y, true);
    bind_row_setter("on_mount_rot_neut_change", &ViewModel::mount_rot_neut, false);
    bind_row_setter("on_mount_rot_range_change", &ViewModel::mount_rot_range, false);
    constructor.BindEventCallback("on_mount_type_change", [this](Rml::DataModelHandle handle, Rml::Event& event,
                                                                 const Rml::VariantList&) {
        const std::string value = event_value(event);
        const std::optional<int> option = parse_int(value);
        if (!option) {
            SPDLOG_WARN("on_mount_type_change: option value '{}' is not a number; ignored", value);
            return;
        }
        if (!select_mount_type(*option)) return;
        SPDLOG_INFO("Updated mount type: {}", vm.mount_type[static_cast<std::size_t>(vm.selected_mount_idx)]);
        handle.DirtyVariable("vm");
        handle.DirtyVariable(display_value_name);
    });
}

void Page::bind_statistic_events(Rml::DataModelConstructor& constructor) {
    constructor.BindEventCallback("on_max_speed_change", text_setter(vm, &ViewModel::max_speed));
    constructor.BindEventCallback("on_max_acc_change", text_setter(vm, &ViewModel::max_acc));
    constructor.BindEventCallback("on_max_ang_vel_change", text_setter(vm, &ViewModel::max_ang_vel));
    constructor.BindEventCallback("on_max_ang_acc_change", text_setter(vm, &ViewModel::max_ang_acc));
    constructor.BindEventCallback("on_scale_change", text_setter(vm, &ViewModel::scale));
}

void Page::bind_list_events(Rml::DataModelConstructor& constructor) {
    constructor.BindEventCallback("on_select_ship", [this](Rml::DataModelHandle handle, Rml::Event&,
                                                           const Rml::VariantList& arguments) {
        const auto index = index_argument("on_select_ship", arguments, ordered_ship_configs.size());
        if (!index || !select_ship(static_cast<int>(*index))) return;
        handle.DirtyVariable("vm");
        handle.DirtyVariable(display_value_name);
    });
    constructor.BindEventCallback("on_select_mount", [this](Rml::DataModelHandle handle, Rml::Event&,
                                                            const Rml::VariantList& arguments) {
        const auto row = index_argument("on_select_mount", arguments, vm.mount_x.size());
        if (!row) return;
        vm.selected_mount_idx = static_cast<int>(*row);
        row_to_show = *row;
        handle.DirtyVariable("vm");
        handle.DirtyVariable(display_value_name);
    });
    // Both can change which row is selected, or whether it exists, and so the shown type.
    constructor.BindEventCallback("on_add_mount",
                                  [this](Rml::DataModelHandle handle, Rml::Event&, const Rml::VariantList&) {
                                      if (add_mount()) handle.DirtyVariable(display_value_name);
                                      handle.DirtyVariable("vm");
                                  });
    constructor.BindEventCallback("on_delete_mount", [this](Rml::DataModelHandle handle, Rml::Event&,
                                                            const Rml::VariantList&) {
        if (!delete_mount()) return;
        handle.DirtyVariable("vm");
        handle.DirtyVariable(display_value_name);
    });
    constructor.BindEventCallback("on_save_ship",
                                  [this](Rml::DataModelHandle handle, Rml::Event&, const Rml::VariantList&) {
                                      save_ship();
                                      handle.DirtyVariable("vm");
                                  });
}

void Page::show() { show_document(document); }

void Page::hide() { hide_document(document); }

bool Page::select_ship(int idx) {
    const auto index = checked_index("select_ship", idx, ordered_ship_configs.size());
    if (!index) return false;
    const ShipConfig& ship = ordered_ship_configs[*index];
    for (auto* column : {&vm.mount_x, &vm.mount_y, &vm.mount_rot_neut, &vm.mount_rot_range, &vm.mount_style}) {
        column->clear();
    }
    vm.mount_type.clear();
    vm.mount_loaded = ship.mounts;
    vm.ship_image = image_from_page(ship.image_path);
    vm.editor_asset_image_ratio = static_cast<float>(editor_image_size) / ship.image_width;
    vm.asset_image_centroid_ratio = ship.centroid_ratio;
    vm.editor_image_height = vm.editor_asset_image_ratio * ship.image_height;
    // The page edits the file's slot positions, not the load-transformed ones.
    for (const MountStats& mount : ship.mounts) {
        SPDLOG_INFO("Loading mount type into UI: {}", static_cast<std::uint32_t>(mount.mount_type));
        vm.mount_type.push_back(static_cast<int>(mount.mount_type));
        vm.mount_x.push_back(number_text(mount.pos_x_src));
        vm.mount_y.push_back(number_text(mount.pos_y_src));
        vm.mount_rot_neut.push_back(number_text(mount.rot_neut));
        vm.mount_rot_range.push_back(number_text(mount.rot_range));
        vm.mount_style.push_back(compute_mount_style(mount.pos_x_src, mount.pos_y_src));
    }
    vm.selected_ship_idx = idx;
    vm.selected_mount_idx = 0;
    row_to_show = 0;
    vm.max_acc = number_text(ship.max_acc);
    vm.max_ang_acc = number_text(ship.max_ang_acc);
    vm.max_ang_vel = number_text(ship.max_ang_vel);
    vm.max_speed = number_text(ship.max_speed);
    vm.scale = number_text(ship.scale);
    vm.status.clear();
    return true;
}

bool Page::select_mount_type(int option) {
    if (!has_selected_row("select_mount_type")) return false;
    const auto index = checked_index("select_mount_type", option, ordered_mount_types.size());
    if (!index) return false;
    vm.mount_type[static_cast<std::size_t>(vm.selected_mount_idx)] = static_cast<int>(ordered_mount_types[*index]);
    return true;
}

bool Page::add_mount() {
    if (vm.mount_x.size() >= ConfigBounds::max_ship_slots) {
        show_status(vm, fmt::format("Not added: a ship has at most {} slots", ConfigBounds::max_ship_slots), true);
        SPDLOG_WARN("add_mount: {}", vm.status);
        return false;
    }
    vm.mount_type.push_back(static_cast<int>(MountType::SmallOne));
    for (auto* column : {&vm.mount_x, &vm.mount_y, &vm.mount_rot_neut, &vm.mount_rot_range}) column->push_back("0");
    vm.mount_style.push_back(compute_mount_style(0.0f, 0.0f));
    vm.mount_loaded.push_back(MountStats{});
    row_to_show = vm.mount_x.size() - 1;
    return true;
}

// The last row takes the deleted row's place.
bool Page::delete_mount() {
    if (!has_selected_row("delete_mount")) return false;
    const auto kept = static_cast<std::size_t>(vm.selected_mount_idx);
    const auto move_last_into_place = [kept](auto& column) {
        column[kept] = column.back();
        column.pop_back();
    };
    move_last_into_place(vm.mount_type);
    move_last_into_place(vm.mount_loaded);
    for (auto* column : {&vm.mount_x, &vm.mount_y, &vm.mount_rot_neut, &vm.mount_rot_range, &vm.mount_style}) {
        move_last_into_place(*column);
    }
    vm.selected_mount_idx = 0;
    row_to_show = 0;
    return true;
}

// Every text is checked before anything is applied, so a refused save leaves
// the page's copy and the files as they were.
void Page::save_ship() {
    const auto index = checked_index("save_ship", vm.selected_ship_idx, ordered_ship_configs.size());
    if (!index) return;
    ShipConfig updated = ordered_ship_configs[*index];
    FieldReader reader;
    reader.read("Top speed", vm.max_speed, updated.max_speed, ConfigBounds::ship_speed);
    reader.read("Turn rate", vm.max_ang_vel, updated.max_ang_vel, ConfigBounds::ship_turn_rate);
    reader.read("Turn accel.", vm.max_ang_acc, updated.max_ang_acc, ConfigBounds::ship_turn_acceleration);
    reader.read("Acceleration", vm.max_acc, updated.max_acc, ConfigBounds::ship_speed);
    reader.read("Scale", vm.scale, updated.scale, outline_scale_bound(updated.src_polygons));
    updated.mounts.clear();
    for (std::size_t row = 0; row < vm.mount_x.size(); ++row) {
        const std::string slot = fmt::format(" of slot {}", row + 1);
        MountStats mount = vm.mount_loaded[row];
        reader.read("x" + slot, vm.mount_x[row], mount.pos_x_src, ConfigBounds::slot_position);
        reader.read("y" + slot, vm.mount_y[row], mount.pos_y_src, ConfigBounds::slot_position);
        reader.read("neutral angle" + slot, vm.mount_rot_neut[row], mount.rot_neut, ConfigBounds::any_float);
        reader.read("range" + slot, vm.mount_rot_range[row], mount.rot_range, ConfigBounds::any_float);
        // The page's copy keeps file positions, as the saver writes them.
        mount.pos_x = mount.pos_x_src;
        mount.pos_y = mount.pos_y_src;
        mount.mount_type = static_cast<MountType>(vm.mount_type[row]);
        updated.mounts.push_back(mount);
    }
    if (!reader.ok()) {
        show_refusal(vm, updated.display_name, reader.refused());
        return;
    }
    ordered_ship_configs[*index] = updated;
    show_saved(vm, updated.display_name, save_ship_config(updated));
}

// The centroid's height ratio applies to the shown height, which equals the
// width only for a square image.
std::string Page::compute_mount_style(float x, float y) const {
    const float ratio = vm.editor_asset_image_ratio;
    const auto [centroid_x, centroid_y] = vm.asset_image_centroid_ratio;
    const float image_width = static_cast<float>(editor_image_size);
    const float half_marker = static_cast<float>(mount_size) / 2.0f;
    const float left = centroid_x * image_width + ratio * x - half_marker;
    const float top = centroid_y * vm.editor_image_height - ratio * y - half_marker;
    return fmt::format("left: {}px; top: {}px", left, top);
}

int Page::num_mounts() const { return static_cast<int>(vm.mount_x.size()); }

bool Page::scroll_requested_row_into_view() {
    const std::optional<std::size_t> row = std::exchange(row_to_show, std::nullopt);
    Rml::Element* rows = document ? document->GetElementById("slot-rows") : nullptr;
    if (!row || !rows || *row >= vm.mount_x.size()) return false;
    // The rows are its last children: data-for keeps its hidden placeholder first.
    const int first_row = rows->GetNumChildren() - num_mounts();
    if (first_row < 0) return false;
    rows->GetChild(first_row + static_cast<int>(*row))->ScrollIntoView({Rml::ScrollAlignment::Nearest});
    return true;
}

// A failed conversion keeps the marker where it was; the text stays as typed.
void Page::update_marker(std::size_t row) {
    const std::optional<float> y = parse_float(vm.mount_y[row]);
    const std::optional<float> x = parse_float(vm.mount_x[row]);
    if (x && y) vm.mount_style[row] = compute_mount_style(*x, *y);
}

bool Page::has_selected_row(std::string_view operation) const {
    return checked_index(operation, vm.selected_mount_idx, vm.mount_x.size()).has_value();
}

std::string Page::selected_mount_type_display_value() const {
    const auto row = static_cast<std::size_t>(vm.selected_mount_idx);
    if (vm.selected_mount_idx < 0 || row >= vm.mount_type.size()) return "";
    return to_string(static_cast<MountType>(vm.mount_type[row]));
}

}  // namespace UI::ShipEditor
