#pragma once

namespace UI {

// Registers the element instancer of each custom tag with the toolkit's
// factory. The instancers are made on the first call and live until the
// process ends; call again after Rml::Shutdown, which drops registrations.
void register_component_instancers();

}  // namespace UI
