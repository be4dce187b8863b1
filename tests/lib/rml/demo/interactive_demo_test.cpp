// The demo page in a real window, for a person to click, type and scroll:
//   build/tests/rml_tests --gtest_also_run_disabled_tests --gtest_filter=RmlDemo.DISABLED_Interactive
// F8 toggles the debugger; closing the window ends it. RML_DEMO_FRAMES=n stops after n frames.
#include <cstdlib>

#include <gtest/gtest.h>

#include "lib/rml/demo/demo_page.h"

namespace {

TEST(RmlDemo, DISABLED_Interactive) {
    ASSERT_TRUE(SDL_Init(SDL_INIT_VIDEO)) << SDL_GetError();
    SDL_Window* window = SDL_CreateWindow("voidlance UI toolkit demo", 1024, 720, SDL_WINDOW_RESIZABLE);
    ASSERT_NE(window, nullptr) << SDL_GetError();
    SDL_Renderer* renderer = SDL_CreateRenderer(window, nullptr);
    ASSERT_NE(renderer, nullptr) << SDL_GetError();
    SDL_SetRenderVSync(renderer, 1);
    Rml::SetRenderInterface(new RenderInterface_SDL(renderer));
    Rml::SetSystemInterface(new SystemInterface_SDL(window));
    ASSERT_TRUE(Rml::Initialise());
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(window, &width, &height);
    Rml::Context* context = Rml::CreateContext("main", {width, height});
    ASSERT_TRUE(rml_demo::LoadDemoFonts());
    rml_demo::RegisterDemoElements();
    rml_demo::DemoModel model;
    ASSERT_TRUE(rml_demo::BindDemoModel(*context, model));
    Rml::ElementDocument* document = context->LoadDocument(rml_demo::kDocumentPath);
    ASSERT_NE(document, nullptr);
    document->Show();
    Rml::Debugger::Initialise(context);

    const char* frames_text = std::getenv("RML_DEMO_FRAMES");
    long frames_left = frames_text ? std::strtol(frames_text, nullptr, 10) : -1;
    bool running = true;
    while (running && frames_left != 0) {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            if (event.type == SDL_EVENT_QUIT || event.type == SDL_EVENT_WINDOW_CLOSE_REQUESTED) running = false;
            if (event.type == SDL_EVENT_KEY_DOWN && event.key.key == SDLK_F8) {
                Rml::Debugger::SetVisible(!Rml::Debugger::IsVisible());
            }
            if (event.type == SDL_EVENT_WINDOW_RESIZED) context->SetDimensions({event.window.data1, event.window.data2});
            RmlSDL::InputEventHandler(context, window, event);
        }
        // Something for the eye behind the interface: a slowly turning square.
        SDL_SetRenderDrawColor(renderer, 12, 16, 28, 255);
        SDL_RenderClear(renderer);
        const float t = static_cast<float>(SDL_GetTicks()) / 1000.f;
        SDL_SetRenderDrawColor(renderer, 80, 40, 40, 255);
        const SDL_FRect square{700 + 100 * SDL_cosf(t), 400 + 100 * SDL_sinf(t), 60, 60};
        SDL_RenderFillRect(renderer, &square);
        context->Update();
        context->Render();
        SDL_RenderPresent(renderer);
        if (frames_left > 0) --frames_left;
    }
    Rml::Shutdown();
    SDL_DestroyRenderer(renderer);
    SDL_DestroyWindow(window);
    SDL_Quit();
}

}  // namespace
