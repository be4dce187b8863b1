// libFuzzer target for the toolkit's document loader: the bytes are an .rml
// file, loaded into a context, shown, updated (data bindings, styles, layout)
// and drawn. Whatever the markup, the toolkit logs and goes on.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz_support.h"
#include "rml_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ScratchDirectory scratch;
    const auto path = scratch.path / "document.rml";
    write_file(path, std::string_view(reinterpret_cast<const char*>(data), size));
    RmlSession session;
    show_document(session, path);
    return 0;
}
