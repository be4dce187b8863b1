#pragma once

// The one header the game includes: the document UI toolkit under the names
// the client's interface code is written against (Rml, Rml::Debugger,
// Rml::Factory, Rml::StringUtilities, RmlSDL and the two SDL adapters).

#include "lib/rml/context/context.h"
#include "lib/rml/core/core.h"
#include "lib/rml/data_model/data_model.h"
#include "lib/rml/debugger/debugger.h"
#include "lib/rml/element/element.h"
#include "lib/rml/element_document/element_document.h"
#include "lib/rml/element_image/element_image.h"
#include "lib/rml/element_input/element_input.h"
#include "lib/rml/element_text/element_text.h"
#include "lib/rml/event/event.h"
#include "lib/rml/factory/factory.h"
#include "lib/rml/input/input.h"
#include "lib/rml/property/property.h"
#include "lib/rml/render_interface/render_interface.h"
#include "lib/rml/render_interface_sdl/render_interface_sdl.h"
#include "lib/rml/sdl_input/sdl_input.h"
#include "lib/rml/string_utilities/string_utilities.h"
#include "lib/rml/system_interface/system_interface.h"
#include "lib/rml/system_interface_sdl/system_interface_sdl.h"
#include "lib/rml/types/types.h"
#include "lib/rml/variant/variant.h"
