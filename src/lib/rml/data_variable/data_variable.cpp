#include "lib/rml/data_variable/data_variable.h"

namespace Rml {

bool VariableDefinition::Get(void*, Variant&) { return false; }
bool VariableDefinition::Set(void*, const Variant&) { return false; }
int VariableDefinition::Size(void*) { return 0; }
DataVariable VariableDefinition::Member(void*, const String&) { return {}; }
DataVariable VariableDefinition::Element(void*, int) { return {}; }

bool StructDefinition::AddMember(const String& name, VariableDefinition* definition, Resolver resolver) {
    return members_.emplace(name, MemberEntry{definition, std::move(resolver)}).second;
}

DataVariable StructDefinition::Member(void* ptr, const String& name) {
    const auto it = members_.find(name);
    if (it == members_.end()) return {};
    return {it->second.definition, it->second.resolver(ptr)};
}

bool FuncDefinition::Get(void*, Variant& out) {
    if (!get_) return false;
    get_(out);
    return true;
}

bool FuncDefinition::Set(void*, const Variant& in) {
    if (!set_) return false;
    set_(in);
    return true;
}

}  // namespace Rml
