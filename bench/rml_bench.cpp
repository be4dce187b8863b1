// The document UI toolkit: loading, layout and drawing of a 500-element page,
// and the per-frame update when nothing changed.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

#include <SDL3/SDL.h>

#include "lib/rml/rml.h"

namespace {

// One SDL software renderer, the toolkit and a 500-element document file.
struct Bench {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    Rml::Context* context = nullptr;
    std::string path;
    std::vector<std::string> names;

    Bench() {
        SDL_SetHint(SDL_HINT_VIDEO_DRIVER, "dummy");
        SDL_Init(SDL_INIT_VIDEO);
        window = SDL_CreateWindow("rml bench", 1280, 720, SDL_WINDOW_HIDDEN);
        renderer = SDL_CreateRenderer(window, "software");
        Rml::SetRenderInterface(new RenderInterface_SDL(renderer));
        Rml::SetSystemInterface(new SystemInterface_SDL(window));
        Rml::Initialise();
        Rml::LoadFontFace("build/assets/fonts/LatoLatin-Regular.ttf");
        context = Rml::CreateContext("bench", {1280, 720});
        for (int i = 0; i < 20; ++i) names.push_back("Ship " + std::to_string(i));
        Rml::DataModelConstructor constructor = context->CreateDataModel("bench");
        constructor.RegisterArray<std::vector<std::string>>();
        constructor.Bind("names", &names);
        path = (std::filesystem::temp_directory_path() / "rml_bench_500.rml").string();
        std::ofstream(path) << Document();
    }

    // 100 rows of five elements: a flex row, three cells with text and a field.
    static std::string Document() {
        std::string rml = R"(<rml><head><style>
            body { font-size: 14px; color: white; }
            .row { display: flex; gap: 6px; height: 22px; align-items: center; }
            .row:hover { background-color: #303050; }
            .cell { width: 120px; padding: 2px; background-color: #202030; border: 1px solid #404060; }
            .grow { flex: 1; }
            #list { height: 700px; overflow: auto; }
        </style></head><body data-model="bench"><div id="list">)";
        for (int i = 0; i < 100; ++i) {
            rml += "<div class='row'><div class='cell'>Row " + std::to_string(i) +
                   "</div><div class='cell'>{{ names[" + std::to_string(i % 20) +
                   "] }}</div><div class='cell grow'>Some longer text that wraps</div><input value='" +
                   std::to_string(i * 3) + "'/></div>";
        }
        return rml + "</div></body></rml>";
    }

    Rml::ElementDocument* ShowDocument() {
        Rml::ElementDocument* document = context->LoadDocument(path);
        document->Show();
        Frame();
        return document;
    }

    void Unload(Rml::ElementDocument* document) {
        context->UnloadDocument(document);
        context->Update();
    }

    void Frame() {
        SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
        SDL_RenderClear(renderer);
        context->Update();
        context->Render();
    }
};

Bench& GetBench() {
    static Bench bench;
    return bench;
}

void BM_LoadLayoutRender500(benchmark::State& state) {
    Bench& bench = GetBench();
    for (auto _ : state) {
        bench.Unload(bench.ShowDocument());
    }
}
BENCHMARK(BM_LoadLayoutRender500)->Unit(benchmark::kMillisecond);

void BM_Layout500(benchmark::State& state) {
    Bench& bench = GetBench();
    Rml::ElementDocument* document = bench.ShowDocument();
    int width = 1280;
    for (auto _ : state) {
        width = width == 1280 ? 1279 : 1280;
        bench.context->SetDimensions({width, 720});
        bench.context->Update();
    }
    bench.Unload(document);
}
BENCHMARK(BM_Layout500)->Unit(benchmark::kMillisecond);

void BM_Render500(benchmark::State& state) {
    Bench& bench = GetBench();
    Rml::ElementDocument* document = bench.ShowDocument();
    for (auto _ : state) bench.context->Render();
    bench.Unload(document);
}
BENCHMARK(BM_Render500)->Unit(benchmark::kMillisecond);

void BM_UpdateNothingDirty(benchmark::State& state) {
    Bench& bench = GetBench();
    Rml::ElementDocument* document = bench.ShowDocument();
    for (auto _ : state) bench.context->Update();
    bench.Unload(document);
}
BENCHMARK(BM_UpdateNothingDirty)->Unit(benchmark::kMicrosecond);

void BM_UpdateOneDirtyVariable(benchmark::State& state) {
    Bench& bench = GetBench();
    Rml::ElementDocument* document = bench.ShowDocument();
    Rml::DataModel* model = bench.context->FindDataModel("bench");
    int round = 0;
    for (auto _ : state) {
        bench.names[0] = "Ship " + std::to_string(round++ % 7);
        model->DirtyVariable("names");
        bench.context->Update();
    }
    bench.Unload(document);
}
BENCHMARK(BM_UpdateOneDirtyVariable)->Unit(benchmark::kMicrosecond);

// The pointer moving between two rows: hover restyles and no relayout.
void BM_HoverBetweenRows(benchmark::State& state) {
    Bench& bench = GetBench();
    Rml::ElementDocument* document = bench.ShowDocument();
    int y = 5;
    for (auto _ : state) {
        y = y == 5 ? 35 : 5;
        bench.context->ProcessMouseMove(20, y, 0);
        bench.context->Update();
    }
    bench.Unload(document);
}
BENCHMARK(BM_HoverBetweenRows)->Unit(benchmark::kMicrosecond);

}  // namespace
