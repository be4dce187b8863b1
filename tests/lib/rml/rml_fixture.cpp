#include "lib/rml/rml_fixture.h"

#include <fstream>
#include <random>

namespace rml_test {

TempDir::TempDir() {
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() / ("rml_test_" + std::to_string(random()) + std::to_string(random()));
    std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::Write(const std::string& name, const std::string& content) const {
    const std::filesystem::path file = path_ / name;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << content;
    return file.string();
}

void RmlFixture::SetUp() {
    ASSERT_TRUE(Rml::Initialise());
    context_ = Rml::CreateContext("test", {800, 600});
    ASSERT_NE(context_, nullptr);
}

void RmlFixture::TearDown() { Rml::Shutdown(); }

Rml::ElementDocument* RmlFixture::LoadBody(const std::string& body, const std::string& style,
                                           const std::string& body_attributes) {
    const std::string text = "<rml><head><style>" + style + "</style></head><body " + body_attributes + ">" + body +
                             "</body></rml>";
    return LoadText("document" + std::to_string(document_count_++) + ".rml", text);
}

Rml::ElementDocument* RmlFixture::LoadText(const std::string& name, const std::string& text) {
    return context_->LoadDocument(dir_.Write(name, text));
}

void RmlFixture::ShowAndUpdate(Rml::ElementDocument* document) {
    document->Show();
    context_->Update();
}

bool RmlFixture::LoadFont() { return Rml::LoadFontFace("build/assets/fonts/LatoLatin-Regular.ttf"); }

void SdlFixture::SetUp() {
    ASSERT_TRUE(SDL_Init(SDL_INIT_VIDEO)) << SDL_GetError();
    window_ = SDL_CreateWindow("rml test", 800, 600, SDL_WINDOW_HIDDEN);
    ASSERT_NE(window_, nullptr) << SDL_GetError();
    renderer_ = SDL_CreateRenderer(window_, "software");
    ASSERT_NE(renderer_, nullptr) << SDL_GetError();
    // The toolkit keeps its interfaces until the process ends, as the game does.
    render_interface_ = new RenderInterface_SDL(renderer_);
    system_interface_ = new SystemInterface_SDL(window_);
    Rml::SetRenderInterface(render_interface_);
    Rml::SetSystemInterface(system_interface_);
    RmlFixture::SetUp();
}

void SdlFixture::TearDown() {
    RmlFixture::TearDown();
    delete render_interface_;
    delete system_interface_;
    if (renderer_) SDL_DestroyRenderer(renderer_);
    if (window_) SDL_DestroyWindow(window_);
    SDL_Quit();
}

void SdlFixture::RenderFrame() {
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    context_->Update();
    context_->Render();
}

SDL_Color SdlFixture::Pixel(int x, int y) {
    const SDL_Rect rect{x, y, 1, 1};
    SDL_Surface* surface = SDL_RenderReadPixels(renderer_, &rect);
    SDL_Color colour{0, 0, 0, 0};
    if (surface) {
        SDL_ReadSurfacePixel(surface, 0, 0, &colour.r, &colour.g, &colour.b, &colour.a);
        SDL_DestroySurface(surface);
    }
    return colour;
}

int SdlFixture::LitPixels(int x, int y, int width, int height) {
    const SDL_Rect rect{x, y, width, height};
    SDL_Surface* surface = SDL_RenderReadPixels(renderer_, &rect);
    if (!surface) return -1;
    int lit = 0;
    for (int row = 0; row < surface->h; ++row) {
        for (int column = 0; column < surface->w; ++column) {
            Uint8 r = 0, g = 0, b = 0, a = 0;
            SDL_ReadSurfacePixel(surface, column, row, &r, &g, &b, &a);
            if (r || g || b) ++lit;
        }
    }
    SDL_DestroySurface(surface);
    return lit;
}

bool SdlFixture::MouseMove(float x, float y) {
    SDL_Event event{};
    event.type = SDL_EVENT_MOUSE_MOTION;
    event.motion.x = x;
    event.motion.y = y;
    return Feed(event);
}

bool SdlFixture::Click(float x, float y, Uint8 clicks) {
    SDL_Event event{};
    event.type = SDL_EVENT_MOUSE_BUTTON_DOWN;
    event.button.button = SDL_BUTTON_LEFT;
    event.button.clicks = clicks;
    event.button.x = x;
    event.button.y = y;
    event.button.down = true;
    const bool down = Feed(event);
    event.type = SDL_EVENT_MOUSE_BUTTON_UP;
    event.button.down = false;
    const bool up = Feed(event);
    return down && up;
}

bool SdlFixture::Wheel(float x, float y, float delta_y) {
    MouseMove(x, y);
    SDL_Event event{};
    event.type = SDL_EVENT_MOUSE_WHEEL;
    event.wheel.y = delta_y;
    event.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
    return Feed(event);
}

bool SdlFixture::Key(SDL_Keycode key, SDL_Keymod modifiers) {
    SDL_Event event{};
    event.type = SDL_EVENT_KEY_DOWN;
    event.key.key = key;
    event.key.mod = modifiers;
    event.key.down = true;
    const bool down = Feed(event);
    event.type = SDL_EVENT_KEY_UP;
    event.key.down = false;
    Feed(event);
    return down;
}

bool SdlFixture::Text(const char* text) {
    SDL_Event event{};
    event.type = SDL_EVENT_TEXT_INPUT;
    event.text.text = text;
    return Feed(event);
}

}  // namespace rml_test
