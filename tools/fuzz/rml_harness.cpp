#include "rml_harness.h"

#include <cstdlib>

#include "fuzz_support.h"

namespace {

// The system's copy of the face the game ships; without it text is only measured.
constexpr const char* font_path = "/usr/share/fonts/truetype/lato/Lato-Regular.ttf";

void bind_model(Rml::Context& context, FuzzViewModel& vm) {
    Rml::DataModelConstructor constructor = context.CreateDataModel("fuzz");
    constructor.RegisterArray<std::vector<float>>();
    constructor.RegisterArray<std::vector<Rml::String>>();
    if (auto model = constructor.RegisterStruct<FuzzViewModel>()) {
        model.RegisterMember("mount_x", &FuzzViewModel::mount_x)
            .RegisterMember("mount_name", &FuzzViewModel::mount_name)
            .RegisterMember("selected", &FuzzViewModel::selected)
            .RegisterMember("status", &FuzzViewModel::status)
            .RegisterMember("enabled", &FuzzViewModel::enabled);
    }
    constructor.Bind("vm", &vm);
    constructor.BindFunc("get_label", [](Rml::Variant& out) { out = Rml::Variant(Rml::String("label")); });
    constructor.BindEventCallback("on_click", [](Rml::DataModelHandle, Rml::Event&, const Rml::VariantList&) {});
}

}  // namespace

void NullRenderInterface::RenderGeometry(const Rml::Vertex* vertices, int num_vertices, const int* indices,
                                         int num_indices, Rml::TextureHandle, Rml::Vector2f) {
    volatile float sink = 0;
    for (int i = 0; i < num_indices; ++i) {
        if (indices[i] < 0 || indices[i] >= num_vertices) std::abort();
        sink = sink + vertices[indices[i]].position.x;
    }
}

Rml::TextureHandle NullRenderInterface::LoadTexture(Rml::Vector2i& dimensions, const Rml::String&) {
    dimensions = {32, 16};
    return 1;
}

Rml::TextureHandle NullRenderInterface::GenerateTexture(const Rml::byte* pixels, Rml::Vector2i dimensions) {
    if (dimensions.x <= 0 || dimensions.y <= 0) return 0;
    const volatile Rml::byte last = pixels[static_cast<std::size_t>(dimensions.x) * dimensions.y * 4 - 1];
    static_cast<void>(last);
    return 1;
}

RmlSession::RmlSession() {
    silence_logging();
    Rml::SetRenderInterface(&renderer);
    if (!Rml::Initialise()) std::abort();
    Rml::LoadFontFace(font_path);
    context = Rml::CreateContext("fuzz", {800, 600});
    if (!context) std::abort();
    bind_model(*context, vm);
}

RmlSession::~RmlSession() {
    Rml::Shutdown();
    Rml::SetRenderInterface(nullptr);
}

Rml::ElementDocument* show_document(RmlSession& session, const std::filesystem::path& path) {
    Rml::ElementDocument* document = session.context->LoadDocument(path.string());
    if (!document) return nullptr;
    document->Show();
    update_and_render(session);
    return document;
}

void update_and_render(RmlSession& session) {
    session.context->Update();
    session.context->Render();
}

std::filesystem::path write_fixed_document(const std::filesystem::path& directory) {
    write_file(directory / "sheet.rcss", "");
    const std::filesystem::path path = directory / "document.rml";
    write_file(path, R"rml(<rml><head><link type="text/rcss" href="sheet.rcss"/></head>
<body data-model="fuzz">
<div id="panel" class="panel row">
  <h1 class="title">Fitting {{ vm.status }}</h1>
  <p class="note">Some <span class="strong">inline</span> text that is long enough to wrap onto a second line.</p>
  <div class="list">
    <div class="entry" data-for="it : vm.mount_x" data-class-active="it_index == vm.selected">
      <span id="probe" class="value">{{ it }}</span>
    </div>
  </div>
  <input type="text" id="field" data-value="vm.status"/>
  <img id="picture" src="ship.png"/>
  <div id="target" class="box" data-event-click="on_click(vm.selected)">{{ get_label }}</div>
</div>
</body></rml>
)rml");
    return path;
}
