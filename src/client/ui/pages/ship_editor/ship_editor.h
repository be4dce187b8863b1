#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "core/ship_config/ship_config.h"
#include "core/ship_type/ship_type.h"
#include "lib/rml/rml.h"

namespace UI::ShipEditor {

// The ship image is shown this many pixels wide; a slot marker is a square
// of mount_size pixels centred on the slot.
inline constexpr int editor_image_size = 400;
inline constexpr int mount_size = 20;

// Bound to the document as "vm" of the data model "ship_editor". The seven
// per-row vectors always have one entry per slot row.
struct ViewModel {
    std::vector<std::string> ship_name;
    std::string ship_image;
    float editor_asset_image_ratio = 0.0f;  // page-only: document pixels per image pixel
    std::pair<float, float> asset_image_centroid_ratio{0.0f, 0.0f};  // page-only
    float editor_image_height = 0.0f;  // page-only: the image's shown height in document pixels
    std::vector<int> mount_type;
    std::vector<std::string> mount_x;
    std::vector<std::string> mount_y;
    std::vector<std::string> mount_rot_neut;
    std::vector<std::string> mount_rot_range;
    std::vector<std::string> mount_style;
    // page-only: per row, the slot as loaded (zero for an added row), whose
    // values an untouched text keeps exactly.
    std::vector<MountStats> mount_loaded;
    int selected_ship_idx = 0;
    int selected_mount_idx = 0;
    std::string max_speed = "0";
    std::string max_acc = "0";
    std::string max_ang_vel = "0";
    std::string max_ang_acc = "0";
    std::string scale = "0";
    std::vector<std::string> mount_types;
    std::string status;  // the outcome of the last save, for the user
    bool status_failed = false;  // the status tells of a failure
};

// Edits copies of the ship configurations and saves one back to its files;
// the running game keeps what it loaded.
class Page {
public:
    Page() = default;
    // The data model's callbacks point at this page.
    Page(const Page&) = delete;
    Page& operator=(const Page&) = delete;

    void initialize(Rml::Context* context, std::unordered_map<ShipType, ShipConfig> ship_configs);
    void show();
    void hide();
    bool select_ship(int idx);
    bool select_mount_type(int option);
    // False, with a status line, when the ship has as many slots as it may.
    bool add_mount();
    bool delete_mount();
    void save_ship();
    std::string compute_mount_style(float x, float y) const;
    int num_mounts() const;
    // Scrolls the slot row that was added, or selected in the list or the
    // image, into view; call after the context's update made its element.
    // True when it asked the toolkit to scroll.
    bool scroll_requested_row_into_view();

    Rml::ElementDocument* document = nullptr;
    std::vector<ShipConfig> ordered_ship_configs;
    ViewModel vm;
    Rml::DataModelHandle data_model_handle;

private:
    void bind_data_model(Rml::DataModelConstructor& constructor);
    void bind_row_events(Rml::DataModelConstructor& constructor);
    void bind_statistic_events(Rml::DataModelConstructor& constructor);
    void bind_list_events(Rml::DataModelConstructor& constructor);
    void update_marker(std::size_t row);
    bool has_selected_row(std::string_view operation) const;
    std::string selected_mount_type_display_value() const;

    std::optional<std::size_t> row_to_show;
};

}  // namespace UI::ShipEditor
