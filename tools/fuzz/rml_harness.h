#pragma once

#include <filesystem>
#include <vector>

#include "lib/rml/rml.h"

// Takes what the toolkit draws without keeping it; checks that every index
// names a vertex and reads each buffer to its end, so a short one is caught.
class NullRenderInterface final : public Rml::RenderInterface {
public:
    void RenderGeometry(const Rml::Vertex* vertices, int num_vertices, const int* indices, int num_indices,
                        Rml::TextureHandle texture, Rml::Vector2f translation) override;
    Rml::TextureHandle LoadTexture(Rml::Vector2i& dimensions, const Rml::String& source) override;
    Rml::TextureHandle GenerateTexture(const Rml::byte* pixels, Rml::Vector2i dimensions) override;
    void ReleaseTexture(Rml::TextureHandle) override {}
    void EnableScissorRegion(bool) override {}
    void SetScissorRegion(Rml::Rectanglei) override {}
};

// What fuzzed documents bind to, shaped like the editor pages' models.
struct FuzzViewModel {
    std::vector<float> mount_x{0.5f, -12.0f, 300.25f};
    std::vector<Rml::String> mount_name{"small", "medium", "large"};
    int selected = 1;
    Rml::String status = "ready";
    bool enabled = true;
};

// The toolkit as the game sets it up, without a window: the Lato face, a
// renderer that keeps nothing and an 800 x 600 context with the data model
// "fuzz" (the struct `vm`, the function `get_label` and the event callback
// `on_click`). Made for each input, so no input leaves state to the next.
struct RmlSession {
    NullRenderInterface renderer;
    FuzzViewModel vm;
    Rml::Context* context = nullptr;

    RmlSession();
    ~RmlSession();
    RmlSession(const RmlSession&) = delete;
    RmlSession& operator=(const RmlSession&) = delete;
};

// Loads a document, shows it, brings data, style and layout up to date and
// draws it; null when it did not load.
Rml::ElementDocument* show_document(RmlSession& session, const std::filesystem::path& path);
void update_and_render(RmlSession& session);

// A small page with a bound list, text, an input and an image, linking the
// style sheet "sheet.rcss" beside it; written to `directory` with an empty sheet.
std::filesystem::path write_fixed_document(const std::filesystem::path& directory);
