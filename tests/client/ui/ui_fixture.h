#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "client/support/sdl_support.h"
#include "lib/rml/rml.h"
#include "support/scratch_dir.h"

namespace ui_test {

// The working directory of a test whose code may save: a scratch folder laid
// out like the checkout, with build/assets (documents, fonts, images and
// configuration files) and src/assets (the configuration files), so that
// whatever the code under test writes by relative path lands there.
class ScratchCheckout {
public:
    ScratchCheckout();
    ~ScratchCheckout();
    ScratchCheckout(const ScratchCheckout&) = delete;
    ScratchCheckout& operator=(const ScratchCheckout&) = delete;

    // The directory the test started in: the checkout, or the Windows build folder.
    const std::filesystem::path& checkout() const { return checkout_; }
    // The scratch folder, the working directory while the object lives.
    const std::filesystem::path& path() const { return scratch_.path(); }

private:
    std::filesystem::path checkout_;
    test_support::ScratchDir scratch_;
};

// The toolkit on a 1280 x 720 offscreen window with the software renderer,
// the game's fonts and custom elements, and one context named "main".
class UiFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes a document into a temporary directory and loads it.
    Rml::ElementDocument* load_text(const std::string& rml);
    // Brings data, style and layout up to date and draws a frame.
    void render_frame();
    bool save_png(const std::string& path);
    // A left click at a window point through the context's input entry points.
    void click_at(float x, float y);
    // A left click in the middle of an element's box.
    void click(Rml::Element* element);
    // Types text into the focused field.
    void type(const std::string& text);
    // Initialises a page in the context, shows it and draws a frame.
    template <typename Page, typename Configs>
    void open_page(Page& page, const Configs& configs) {
        page.initialize(context, configs);
        ASSERT_NE(page.document, nullptr);
        page.show();
        render_frame();
    }
    // Calls an event callback of a data model as a binding would.
    void fire(const std::string& model, const std::string& callback, const std::string& value,
              const Rml::VariantList& arguments = {});
    // The text of a data model's function variable.
    std::string function_value(const std::string& model, const std::string& name);

    ScratchCheckout scratch;
    client_test::OffscreenWindow window{1280, 720};
    RenderInterface_SDL* render_interface = nullptr;
    SystemInterface_SDL* system_interface = nullptr;
    Rml::Context* context = nullptr;
    std::filesystem::path temp_dir;
};

// A copy of the asset files of one kind in a temporary directory that is the
// working directory while the object lives, so saves never reach the real trees.
class ScopedAssetTree {
public:
    // `relative_files`: paths such as "ships/frigate_one/frigate_one.json".
    explicit ScopedAssetTree(std::initializer_list<std::string> relative_files);
    ~ScopedAssetTree();
    ScopedAssetTree(const ScopedAssetTree&) = delete;
    ScopedAssetTree& operator=(const ScopedAssetTree&) = delete;

    // The text of a file below the temporary directory.
    std::string read(const std::string& relative_path) const;
    const std::filesystem::path& root() const { return root_; }

private:
    std::filesystem::path previous_;
    std::filesystem::path root_;
};

// The shown elements below `root` that carry a class, in document order.
std::vector<Rml::Element*> shown_with_class(Rml::Element* root, const std::string& class_name);

// A number as the editors show it.
std::string six_decimals(float value);

// The element's text content, joined over its text children.
std::string text_of(Rml::Element* element);

}  // namespace ui_test
