#pragma once

#include <memory>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "lib/rml/types/types.h"
#include "lib/rml/variant/variant.h"

namespace Rml {

class DataModel;
class Element;

// One step of a variable address: a member name, or an array index when name is empty.
struct DataAddressEntry {
    String name;
    int index = -1;
    bool operator==(const DataAddressEntry&) const = default;
};
using DataAddress = std::vector<DataAddressEntry>;

// The names a data-for item adds: its iterator (an address) and its index (a constant).
struct DataAlias {
    DataAddress address;
    bool is_constant = false;
    Variant constant;
};
struct DataAliasScope {
    std::unordered_map<String, DataAlias> aliases;
};

struct ExpressionNode;

// A parsed binding expression. It is bound once to an element's names
// (aliases of enclosing data-for items, then the model's variables) and then
// evaluated as often as its variables change.
class DataExpression {
public:
    ~DataExpression();
    DataExpression(DataExpression&&) noexcept;
    DataExpression& operator=(DataExpression&&) noexcept;

    // Parses `text`; nullptr with `error` set when the syntax is wrong.
    static std::unique_ptr<DataExpression> Parse(std::string_view text, String& error);
    // Resolves names; false with `error` naming the first unknown one.
    bool Bind(const Element& element, const DataModel& model, String& error);
    bool Evaluate(const DataModel& model, Variant& out, String& error) const;
    // The address the expression names (for data-value and data-for); false when it is no plain address.
    bool EvaluateAddress(const DataModel& model, DataAddress& out, String& error) const;
    // The model variables the expression reads.
    StringList Dependencies() const;

private:
    explicit DataExpression(std::unique_ptr<ExpressionNode> root);
    std::unique_ptr<ExpressionNode> root_;
};

// "callback" or "callback(expr, ...)" of a data-event attribute.
struct DataEventCall {
    String name;
    std::vector<std::unique_ptr<DataExpression>> arguments;
};
std::optional<DataEventCall> ParseDataEventCall(std::string_view text, String& error);

// Truth of a value in data-if, data-class and the logical operators.
bool IsTruthy(const Variant& value);

// The variable an address names, walking members and indices.
struct DataVariable;
DataVariable ResolveAddress(const DataModel& model, const DataAddress& address, String& error);

}  // namespace Rml
