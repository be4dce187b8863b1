#pragma once

#include <filesystem>
#include <string>

#include <SDL3/SDL.h>
#include <gtest/gtest.h>

#include "lib/rml/rml.h"

namespace rml_test {

// A fresh directory for the documents and style sheets one test writes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string Write(const std::string& name, const std::string& content) const;
    std::string Path(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// The toolkit initialised with one 800 x 600 context and no renderer.
class RmlFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Writes a document with `body` inside <body body_attributes> and `style` in a <style> block, and loads it.
    Rml::ElementDocument* LoadBody(const std::string& body, const std::string& style = "",
                                   const std::string& body_attributes = "");
    Rml::ElementDocument* LoadText(const std::string& name, const std::string& text);
    // Shows the document and brings data, style and layout up to date.
    void ShowAndUpdate(Rml::ElementDocument* document);
    static bool LoadFont();

    TempDir dir_;
    Rml::Context* context_ = nullptr;
    int document_count_ = 0;
};

// As RmlFixture, drawing with the software renderer into a hidden dummy window.
class SdlFixture : public RmlFixture {
protected:
    void SetUp() override;
    void TearDown() override;
    // Clears to black, updates and renders the context.
    void RenderFrame();
    SDL_Color Pixel(int x, int y);
    // Counts the pixels in a rectangle that are not pure black.
    int LitPixels(int x, int y, int width, int height);
    bool Feed(SDL_Event event) { return RmlSDL::InputEventHandler(context_, window_, event); }
    bool MouseMove(float x, float y);
    // `clicks` 2 is the second press of a double-click.
    bool Click(float x, float y, Uint8 clicks = 1);
    bool Wheel(float x, float y, float delta_y);
    bool Key(SDL_Keycode key, SDL_Keymod modifiers = SDL_KMOD_NONE);
    bool Text(const char* text);

    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    RenderInterface_SDL* render_interface_ = nullptr;
    SystemInterface_SDL* system_interface_ = nullptr;
};

}  // namespace rml_test
