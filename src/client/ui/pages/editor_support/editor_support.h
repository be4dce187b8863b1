#pragma once

#include <array>
#include <cstddef>
#include <expected>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/asset_helpers/asset_helpers.h"
#include "core/config_bounds/config_bounds.h"
#include "lib/rml/rml.h"

// What the three configuration editors share (number texts, the checks that
// keep their event handlers inside their lists, the save status line) and
// what every page uses: the path up to the images, loading its data model and
// document, showing and hiding it.
namespace UI::EditorSupport {

// From a page's document (build/assets/ui/pages/<page>/) up to build/, where
// a configuration's image path starts.
inline constexpr const char* page_to_build_prefix = "../../../../";
// A configuration's image path as a page's document reaches it.
std::string image_from_page(const std::string& image_path);

// A number as the editors show it: six decimals ("250.000000").
std::string number_text(float value);
// Why a text gives no float: not a number ("12abc", "nan"), or a number
// beyond a float's greatest ("1e39") or below its lowest ("-1e39").
enum class NumberProblem { NotANumber, TooLarge, TooSmall };
// The float of a text that is, spaces around it aside, one finite decimal
// number; one nearer zero than a float can hold ("1e-400") gives 0.
std::expected<float, NumberProblem> read_number(const std::string& text);
// As read_number, without the reason.
std::optional<float> parse_float(const std::string& text);
// The standard conversion, without its exceptions.
std::optional<int> parse_int(const std::string& text);

// The "value" parameter of an event as text, empty when absent.
std::string event_value(const Rml::Event& event);

// `index` when it names one of `size` list entries; otherwise logs a warning
// naming the event and gives nothing.
std::optional<std::size_t> checked_index(std::string_view event_name, int index, std::size_t size);
// As above for the index carried as an event's first argument.
std::optional<std::size_t> index_argument(std::string_view event_name, const Rml::VariantList& arguments,
                                          std::size_t size);

// Reads the texts of a save into floats and remembers the first refusal (a
// text that is not a number, or a number outside the field's bound), so a
// save can check every field before it applies any. A text still equal to the
// shown form of the target's value leaves the value exactly as it was. Fields
// are named by the labels the page shows.
class FieldReader {
public:
    void read(std::string_view field, const std::string& text, float& target, const Bound& bound);
    // Records a refusal found by the page itself, unless one came first.
    void refuse(std::string reason);
    bool ok() const { return refusal.empty(); }
    // "Scale must be at least 0.01 and at most 16"
    const std::string& refused() const { return refusal; }

private:
    std::string refusal;
};

// The status line of a save that was refused for `reason`; logs the refusal.
std::string refused_status(std::string_view record_name, std::string_view reason);
// The status line after the saver ran: a confirmation when it wrote both
// copies, otherwise which copy holds what (the saver logs what went wrong).
std::string saved_status(std::string_view record_name, const SavedCopies& saved);

// Set a page's status line and whether it tells of a failure, which the
// document draws in the error colour.
template <typename ViewModel>
void show_status(ViewModel& vm, std::string text, bool failed) {
    vm.status = std::move(text);
    vm.status_failed = failed;
}
template <typename ViewModel>
void show_refusal(ViewModel& vm, std::string_view record_name, std::string_view reason) {
    show_status(vm, refused_status(record_name, reason), true);
}
template <typename ViewModel>
void show_saved(ViewModel& vm, std::string_view record_name, const SavedCopies& saved) {
    show_status(vm, saved_status(record_name, saved), !saved.both());
}

// An event callback that stores the event's "value" text in one text field
// of a page's view model.
template <typename ViewModel>
Rml::DataEventFunc text_setter(ViewModel& vm, std::string ViewModel::*field) {
    return [&vm, field](Rml::DataModelHandle handle, Rml::Event& event, const Rml::VariantList&) {
        vm.*field = event_value(event);
        handle.DirtyVariable("vm");
    };
}

// A page's own copies of the configurations in the order of a type table;
// a type without a record gets a default one.
template <typename Type, typename Config, std::size_t count>
std::vector<Config> ordered_copies(std::unordered_map<Type, Config>& configs, const std::array<Type, count>& types) {
    std::vector<Config> copies;
    copies.reserve(count);
    for (const Type type : types) copies.push_back(configs[type]);
    return copies;
}

// Creates a page's data model, lets `bind` register its types, variables and
// callbacks, keeps the model's handle and loads the page's document. Nothing
// without a context or when the context refuses the model name.
template <typename Bind>
Rml::ElementDocument* load_page(Rml::Context* context, const char* model_name, const char* document_path,
                                Rml::DataModelHandle& handle, Bind&& bind) {
    if (!context) return nullptr;
    Rml::DataModelConstructor constructor = context->CreateDataModel(model_name);
    if (!constructor) return nullptr;
    bind(constructor);
    handle = constructor.GetModelHandle();
    return context->LoadDocument(document_path);
}

// Show or hide a page's document, if it loaded.
void show_document(Rml::ElementDocument* document);
void hide_document(Rml::ElementDocument* document);

}  // namespace UI::EditorSupport
