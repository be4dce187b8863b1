#pragma once

#include "lib/rml/property/property.h"
#include "lib/rml/types/types.h"

namespace Rml {

class Context;
class RenderInterface;
class SystemInterface;
class TextInputHandler;

// The toolkit's lifetime: interfaces first, then Initialise; Shutdown destroys
// every context and releases fonts and textures (the interfaces stay the caller's).
bool Initialise();
void Shutdown();
void SetSystemInterface(SystemInterface* system_interface);
SystemInterface* GetSystemInterface();
void SetRenderInterface(RenderInterface* render_interface);
RenderInterface* GetRenderInterface();

// Null when the name is taken or the toolkit is not initialised.
Context* CreateContext(const String& name, Vector2i dimensions, RenderInterface* render_interface = nullptr,
                       TextInputHandler* text_input_handler = nullptr);
Context* GetContext(const String& name);
int GetNumContexts();
bool RemoveContext(const String& name);

bool LoadFontFace(const String& file_path, bool fallback_face = false,
                  Style::FontWeight weight = Style::FontWeight::Auto, int face_index = 0);

}  // namespace Rml
