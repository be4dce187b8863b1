// libFuzzer target for the style sheet parser: the bytes are the .rcss file
// that a small fixed document links; the document is then shown, so the
// rules are matched, computed, laid out and drawn.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz_support.h"
#include "rml_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ScratchDirectory scratch;
    static const auto document = write_fixed_document(scratch.path);
    write_file(scratch.path / "sheet.rcss", std::string_view(reinterpret_cast<const char*>(data), size));
    RmlSession session;
    show_document(session, document);
    return 0;
}
