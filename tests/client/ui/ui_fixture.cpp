#include "client/ui/ui_fixture.h"

#include <fstream>
#include <stdexcept>
#include <random>
#include <sstream>

#include <SDL3_image/SDL_image.h>
#include <fmt/format.h>

#include "client/ui/components/register_components.h"

namespace ui_test {

namespace {

std::filesystem::path fresh_temp_dir(const std::string& prefix) {
    std::random_device random;
    auto path = std::filesystem::temp_directory_path() / (prefix + std::to_string(random()) + std::to_string(random()));
    std::filesystem::create_directories(path);
    return path;
}

// Fonts are large and only read: linked where the file system allows.
void copy_tree(const std::filesystem::path& from, const std::filesystem::path& to) {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(from)) {
        const auto target = to / std::filesystem::relative(entry.path(), from);
        if (entry.is_directory()) {
            std::filesystem::create_directories(target);
            continue;
        }
        std::error_code error;
        if (entry.path().extension() == ".ttf") std::filesystem::create_hard_link(entry.path(), target, error);
        if (error || entry.path().extension() != ".ttf") std::filesystem::copy_file(entry.path(), target);
    }
}

}  // namespace

ScratchCheckout::ScratchCheckout() : checkout_(std::filesystem::current_path()) {
    if (scratch_.path().empty()) throw std::runtime_error("no scratch folder could be made");
    copy_tree(checkout_ / "build/assets", scratch_.path() / "build/assets");
    for (const char* kind : {"ships", "mounts", "projectiles"}) {
        copy_tree(scratch_.path() / "build/assets" / kind, scratch_.path() / "src/assets" / kind);
    }
    std::filesystem::current_path(scratch_.path());
    // A test that would run elsewhere fails here, before it can write anything.
    std::error_code error;
    if (!std::filesystem::equivalent(std::filesystem::current_path(), scratch_.path(), error)) {
        throw std::runtime_error("the working directory is not the scratch folder " + scratch_.path().string());
    }
}

ScratchCheckout::~ScratchCheckout() { std::filesystem::current_path(checkout_); }

void UiFixture::SetUp() {
    ASSERT_NE(window.renderer, nullptr);
    render_interface = new RenderInterface_SDL(window.renderer);
    system_interface = new SystemInterface_SDL(window.window);
    Rml::SetRenderInterface(render_interface);
    Rml::SetSystemInterface(system_interface);
    ASSERT_TRUE(Rml::Initialise());
    context = Rml::CreateContext("main", {1280, 720});
    ASSERT_NE(context, nullptr);
    ASSERT_TRUE(Rml::LoadFontFace("build/assets/fonts/LatoLatin-Regular.ttf"));
    Rml::LoadFontFace("build/assets/fonts/NotoEmoji-Regular.ttf", true);
    UI::register_component_instancers();
    temp_dir = fresh_temp_dir("ui_test_");
}

void UiFixture::TearDown() {
    Rml::Shutdown();
    delete render_interface;
    delete system_interface;
    std::error_code ignored;
    std::filesystem::remove_all(temp_dir, ignored);
}

Rml::ElementDocument* UiFixture::load_text(const std::string& rml) {
    static int count = 0;
    const auto path = temp_dir / ("document" + std::to_string(count++) + ".rml");
    std::ofstream(path, std::ios::binary) << rml;
    return context->LoadDocument(path.string());
}

void UiFixture::render_frame() {
    window.clear();
    context->Update();
    context->Render();
}

bool UiFixture::save_png(const std::string& path) {
    SDL_Surface* surface = SDL_RenderReadPixels(window.renderer, nullptr);
    if (!surface) return false;
    const bool saved = IMG_SavePNG(surface, path.c_str());
    SDL_DestroySurface(surface);
    return saved;
}

void UiFixture::click_at(float x, float y) {
    context->ProcessMouseMove(static_cast<int>(x), static_cast<int>(y), 0);
    context->ProcessMouseButtonDown(0, 0);
    context->ProcessMouseButtonUp(0, 0);
}

void UiFixture::click(Rml::Element* element) {
    ASSERT_NE(element, nullptr);
    const Rml::Vector2f at = element->GetAbsoluteOffset();
    click_at(at.x + element->GetOffsetWidth() / 2, at.y + element->GetOffsetHeight() / 2);
}

void UiFixture::type(const std::string& text) { context->ProcessTextInput(text); }

void UiFixture::fire(const std::string& model, const std::string& callback, const std::string& value,
                     const Rml::VariantList& arguments) {
    Rml::DataModel* data_model = context->FindDataModel(model);
    ASSERT_NE(data_model, nullptr);
    const Rml::DataEventFunc* function = data_model->GetEventCallback(callback);
    ASSERT_NE(function, nullptr) << callback;
    Rml::Dictionary parameters;
    if (!value.empty()) parameters["value"] = Rml::Variant(value);
    Rml::Event event(nullptr, "change", parameters);
    (*function)(Rml::DataModelHandle(data_model), event, arguments);
}

std::string UiFixture::function_value(const std::string& model, const std::string& name) {
    Rml::DataModel* data_model = context->FindDataModel(model);
    if (!data_model) return "<no model>";
    const Rml::DataVariable variable = data_model->GetVariable(name);
    Rml::Variant out;
    if (!variable || !variable.definition->Get(variable.ptr, out)) return "<no variable>";
    return out.Get<std::string>("");
}

ScopedAssetTree::ScopedAssetTree(std::initializer_list<std::string> relative_files)
    : previous_(std::filesystem::current_path()), root_(fresh_temp_dir("asset_tree_")) {
    for (const std::string& file : relative_files) {
        for (const char* tree : {"src/assets/", "build/assets/"}) {
            const auto target = root_ / (tree + file);
            std::filesystem::create_directories(target.parent_path());
            std::filesystem::copy_file(previous_ / (std::string("build/assets/") + file), target);
        }
    }
    std::filesystem::current_path(root_);
}

ScopedAssetTree::~ScopedAssetTree() {
    std::filesystem::current_path(previous_);
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

std::string ScopedAssetTree::read(const std::string& relative_path) const {
    std::ifstream file(root_ / relative_path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

std::vector<Rml::Element*> shown_with_class(Rml::Element* root, const std::string& class_name) {
    std::vector<Rml::Element*> found;
    for (const auto& child : root->GetChildren()) {
        if (child->IsClassSet(class_name) && child->IsVisible()) found.push_back(child.get());
        const auto below = shown_with_class(child.get(), class_name);
        found.insert(found.end(), below.begin(), below.end());
    }
    return found;
}

std::string six_decimals(float value) { return fmt::format("{:.6f}", value); }

std::string text_of(Rml::Element* element) {
    std::string text;
    if (!element) return text;
    if (auto* node = dynamic_cast<Rml::ElementText*>(element)) return node->GetText();
    for (const auto& child : element->GetChildren()) text += text_of(child.get());
    return text;
}

}  // namespace ui_test
