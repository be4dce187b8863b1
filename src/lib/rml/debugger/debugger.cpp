#include "lib/rml/debugger/debugger.h"

#include <cmath>

#include <spdlog/spdlog.h>

#include "lib/rml/context/context.h"
#include "lib/rml/element/element.h"
#include "lib/rml/font_engine/font_engine.h"
#include "lib/rml/painter/painter.h"
#include "lib/rml/string_utilities/string_utilities.h"

namespace Rml::Debugger {

namespace {

struct State {
    Context* context = nullptr;
    bool visible = false;
};

State& GetState() {
    static State state;
    return state;
}

String Describe(const Element& element) {
    String text = "<" + element.GetTagName() + ">";
    if (!element.GetId().empty()) text += " #" + element.GetId();
    for (const String& name : element.GetClassList()) text += " ." + name;
    for (const String& name : element.GetActivePseudoClasses()) text += " :" + name;
    const Vector2f size = element.GetBox().BorderSize();
    text += "  " + StringUtilities::FormatNumber(std::round(size.x)) + " x " + StringUtilities::FormatNumber(std::round(size.y));
    return text;
}

}  // namespace

bool Initialise(Context* context) {
    State& state = GetState();
    if (!context) {
        SPDLOG_ERROR("The debugger needs a context");
        return false;
    }
    if (state.context) {
        SPDLOG_ERROR("The debugger is already initialised");
        return false;
    }
    state.context = context;
    state.visible = false;
    return true;
}

void Shutdown() { GetState() = State{}; }

void SetVisible(bool visibility) { GetState().visible = visibility; }

bool IsVisible() { return GetState().visible; }

void OnContextDestroyed(Context* context) {
    if (GetState().context == context) Shutdown();
}

void RenderOverlay(Context& context, RenderInterface& render_interface) {
    const State& state = GetState();
    if (state.context != &context || !state.visible) return;
    render_interface.EnableScissorRegion(false);
    const Element* hover = context.GetHoverElement();
    String text = "(no element under the mouse)";
    if (hover && hover->GetBox().rendered) {
        const LayoutBox& box = hover->GetBox();
        const Vector2f size = box.BorderSize();
        OutlineRectangle(render_interface, {box.absolute.x, box.absolute.y, size.x, size.y}, 1, {255, 0, 255, 255});
        const Vector2f content = hover->GetAbsoluteOffset(BoxArea::Content);
        OutlineRectangle(render_interface, {content.x, content.y, box.content.x, box.content.y}, 1, {0, 200, 255, 160});
        text = Describe(*hover);
    }
    constexpr float kFontSize = 14;
    const FontEngine::FontHandle font = FontEngine::GetFont("", kFontSize);
    const FontEngine::FontMetrics metrics = FontEngine::GetMetrics(font, kFontSize);
    const float width = FontEngine::MeasureText(font, kFontSize, text) + 12;
    const float height = metrics.Height() + 8;
    const float top = static_cast<float>(context.GetDimensions().y) - height - 4;
    FillRectangle(render_interface, {4, top, width, height}, {0, 0, 0, 210});
    FontEngine::RenderText(render_interface, font, text, {10, top + 4}, {255, 255, 255, 255}, 1);
}

}  // namespace Rml::Debugger
