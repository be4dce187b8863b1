#include "lib/rml/core/core.h"

#include <memory>
#include <vector>

#include <spdlog/spdlog.h>

#include "lib/rml/context/context.h"
#include "lib/rml/debugger/debugger.h"
#include "lib/rml/element_document/element_document.h"
#include "lib/rml/factory/factory.h"
#include "lib/rml/font_engine/font_engine.h"
#include "lib/rml/image_cache/image_cache.h"
#include "lib/rml/render_interface/render_interface.h"
#include "lib/rml/system_interface/system_interface.h"

namespace Rml {

namespace {

struct Core {
    bool initialised = false;
    SystemInterface* system_interface = nullptr;
    RenderInterface* render_interface = nullptr;
    std::vector<std::unique_ptr<Context>> contexts;
};

Core& GetCore() {
    static Core core;
    return core;
}

SystemInterface& DefaultSystemInterface() {
    static SystemInterface fallback;
    return fallback;
}

}  // namespace

bool Initialise() {
    Core& core = GetCore();
    if (core.initialised) return true;
    if (!FontEngine::Initialise()) return false;
    core.initialised = true;
    return true;
}

void Shutdown() {
    Core& core = GetCore();
    Debugger::Shutdown();
    // Contexts go first: their elements may still hold textures and listeners.
    while (!core.contexts.empty()) core.contexts.pop_back();
    ImageCache::Release();
    FontEngine::Shutdown();
    Factory::ClearRegisteredInstancers();
    core.initialised = false;
    core.system_interface = nullptr;
    core.render_interface = nullptr;
}

void SetSystemInterface(SystemInterface* system_interface) { GetCore().system_interface = system_interface; }

SystemInterface* GetSystemInterface() {
    Core& core = GetCore();
    return core.system_interface ? core.system_interface : &DefaultSystemInterface();
}

void SetRenderInterface(RenderInterface* render_interface) {
    Core& core = GetCore();
    if (core.render_interface == render_interface) return;
    // Textures belong to the interface that made them.
    FontEngine::ReleaseTextures();
    ImageCache::Release();
    core.render_interface = render_interface;
}

RenderInterface* GetRenderInterface() { return GetCore().render_interface; }

Context* CreateContext(const String& name, Vector2i dimensions, RenderInterface*, TextInputHandler*) {
    Core& core = GetCore();
    if (!core.initialised) {
        SPDLOG_ERROR("Cannot create context '{}' before the toolkit is initialised", name);
        return nullptr;
    }
    if (GetContext(name)) {
        SPDLOG_ERROR("A context named '{}' already exists", name);
        return nullptr;
    }
    core.contexts.push_back(std::make_unique<Context>(name, dimensions));
    return core.contexts.back().get();
}

Context* GetContext(const String& name) {
    for (const auto& context : GetCore().contexts) {
        if (context->GetName() == name) return context.get();
    }
    return nullptr;
}

int GetNumContexts() { return static_cast<int>(GetCore().contexts.size()); }

bool RemoveContext(const String& name) {
    auto& contexts = GetCore().contexts;
    for (auto it = contexts.begin(); it != contexts.end(); ++it) {
        if ((*it)->GetName() != name) continue;
        contexts.erase(it);
        return true;
    }
    return false;
}

bool LoadFontFace(const String& file_path, bool fallback_face, Style::FontWeight weight, int face_index) {
    if (!FontEngine::LoadFace(file_path, fallback_face, weight, face_index)) return false;
    // Text measured with the faces before this one is measured again.
    for (const auto& context : GetCore().contexts) {
        for (int i = 0; i < context->GetNumDocuments(); ++i) context->GetDocument(i)->InvalidatePaintOrder();
    }
    return true;
}

}  // namespace Rml
