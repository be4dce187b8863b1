// libFuzzer target for data expressions: the bytes are parsed as a binding
// expression, bound inside a data-for item of a small fixed document (so the
// model's `vm` and the item's `it` and `it_index` are known), evaluated as a
// value and as an address, whose variable is read; and parsed as a data-event call.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "fuzz_support.h"
#include "lib/rml/data_expression/data_expression.h"
#include "lib/rml/data_variable/data_variable.h"
#include "rml_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ScratchDirectory scratch;
    static const auto document_path = write_fixed_document(scratch.path);
    RmlSession session;
    Rml::ElementDocument* document = show_document(session, document_path);
    const Rml::DataModel* model = session.context->FindDataModel("fuzz");
    Rml::Element* probe = document ? document->GetElementById("probe") : nullptr;
    if (!model || !probe) std::abort();

    const std::string_view text(reinterpret_cast<const char*>(data), size);
    Rml::String error;
    Rml::ParseDataEventCall(text, error);
    auto expression = Rml::DataExpression::Parse(text, error);
    if (!expression || !expression->Bind(*probe, *model, error)) return 0;
    expression->Dependencies();
    Rml::Variant value;
    expression->Evaluate(*model, value, error);
    Rml::DataAddress address;
    if (!expression->EvaluateAddress(*model, address, error)) return 0;
    // As a data-value binding reads its variable.
    Rml::DataVariable variable = Rml::ResolveAddress(*model, address, error);
    if (variable) variable.definition->Get(variable.ptr, value);
    return 0;
}
