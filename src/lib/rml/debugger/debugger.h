#pragma once

namespace Rml {

class Context;
class RenderInterface;

namespace Debugger {

// An overlay on one context that outlines the element under the mouse and
// shows its tag, id, classes, pseudo-classes and size.
bool Initialise(Context* context);
void Shutdown();
void SetVisible(bool visibility);
bool IsVisible();

// Toolkit internals.
void RenderOverlay(Context& context, RenderInterface& render_interface);
void OnContextDestroyed(Context* context);

}  // namespace Debugger
}  // namespace Rml
