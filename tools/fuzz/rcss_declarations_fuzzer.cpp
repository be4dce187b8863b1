// libFuzzer target for property declarations: the bytes become the inline
// `style` attribute of an element in a small fixed document, which is then
// updated and drawn again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "fuzz_support.h"
#include "rml_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ScratchDirectory scratch;
    static const auto document_path = write_fixed_document(scratch.path);
    RmlSession session;
    Rml::ElementDocument* document = show_document(session, document_path);
    if (!document) std::abort();
    Rml::Element* target = document->GetElementById("target");
    if (!target) std::abort();
    target->SetAttribute("style", Rml::String(reinterpret_cast<const char*>(data), size));
    update_and_render(session);
    return 0;
}
