#include "lib/rml/data_expression/data_expression.h"

#include <algorithm>
#include <cmath>

#include "lib/rml/data_model/data_model.h"
#include "lib/rml/data_variable/data_variable.h"
#include "lib/rml/element/element.h"
#include "lib/rml/string_utilities/string_utilities.h"

namespace Rml {

struct ExpressionNode {
    enum class Kind { Literal, Address, Unary, Binary, Ternary };
    struct Segment {
        String name;                            // member (or the root variable) when not empty
        std::unique_ptr<ExpressionNode> index;  // index expression
        int constant_index = -1;                // index fixed by an alias
    };

    Kind kind = Kind::Literal;
    Variant literal;
    std::vector<Segment> segments;
    String op;
    std::unique_ptr<ExpressionNode> a, b, c;
    int height = 1;  // nodes on the longest path down, this one included
};

namespace {

// Tokens ---------------------------------------------------------------------

enum class TokenKind { End, Number, String, Name, Operator };

struct Token {
    TokenKind kind = TokenKind::End;
    String text;
    double number = 0;
};

class Lexer {
public:
    explicit Lexer(std::string_view text) : text_(text) {}

    bool Tokenize(std::vector<Token>& out, String& error) {
        while (true) {
            while (pos_ < text_.size() && StringUtilities::IsSpace(text_[pos_])) ++pos_;
            if (pos_ >= text_.size()) break;
            const char c = text_[pos_];
            if (IsDigit(c) || (c == '.' && pos_ + 1 < text_.size() && IsDigit(text_[pos_ + 1]))) {
                out.push_back(ReadNumber());
            } else if (c == '\'' || c == '"') {
                Token token;
                if (!ReadString(token, error)) return false;
                out.push_back(std::move(token));
            } else if (IsNameStart(c)) {
                out.push_back(ReadName());
            } else if (!ReadOperator(out, error)) {
                return false;
            }
        }
        out.push_back(Token{});
        return true;
    }

private:
    static bool IsDigit(char c) { return c >= '0' && c <= '9'; }
    static bool IsNameStart(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
    static bool IsNameChar(char c) { return IsNameStart(c) || IsDigit(c); }

    Token ReadNumber() {
        const std::size_t start = pos_;
        while (pos_ < text_.size() && (IsDigit(text_[pos_]) || text_[pos_] == '.')) ++pos_;
        Token token{TokenKind::Number, String(text_.substr(start, pos_ - start))};
        token.number = Variant(token.text).Get<double>();
        return token;
    }

    bool ReadString(Token& token, String& error) {
        const char quote = text_[pos_++];
        const std::size_t end = text_.find(quote, pos_);
        if (end == std::string_view::npos) {
            error = "unterminated string";
            return false;
        }
        token = Token{TokenKind::String, String(text_.substr(pos_, end - pos_))};
        pos_ = end + 1;
        return true;
    }

    Token ReadName() {
        const std::size_t start = pos_;
        while (pos_ < text_.size() && IsNameChar(text_[pos_])) ++pos_;
        return Token{TokenKind::Name, String(text_.substr(start, pos_ - start))};
    }

    bool ReadOperator(std::vector<Token>& out, String& error) {
        static constexpr std::string_view kTwo[] = {"==", "!=", "<=", ">=", "&&", "||"};
        for (std::string_view op : kTwo) {
            if (text_.substr(pos_, 2) == op) {
                out.push_back(Token{TokenKind::Operator, String(op)});
                pos_ += 2;
                return true;
            }
        }
        const char c = text_[pos_];
        if (String("+-*/<>!?:()[].,").find(c) == String::npos) {
            error = c == '|' ? "transform functions ('|') are not supported" : String("unexpected character '") + c + "'";
            return false;
        }
        out.push_back(Token{TokenKind::Operator, String(1, c)});
        ++pos_;
        return true;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

// Parser ---------------------------------------------------------------------

using NodePtr = std::unique_ptr<ExpressionNode>;

// Parsing, binding, evaluation and clean-up recurse through an expression:
// its nesting and its tree's height are bounded, generously.
constexpr int kMaxExpressionDepth = 256;

int HeightOf(const NodePtr& node) { return node ? node->height : 0; }

// A whole number stays an int while it fits one.
Variant NumberResult(double value, bool whole) {
    if (whole && std::abs(value) < 2147483647.0) return Variant(static_cast<int>(value));
    return Variant(value);
}

class Parser {
public:
    explicit Parser(const std::vector<Token>& tokens) : tokens_(tokens) {}

    NodePtr ParseExpression(String& error) {
        NodePtr node = Ternary(error);
        return error.empty() ? std::move(node) : nullptr;
    }

    bool AtEnd() const { return Peek().kind == TokenKind::End; }
    bool AcceptOperator(std::string_view op) {
        if (Peek().kind == TokenKind::Operator && Peek().text == op) {
            ++pos_;
            return true;
        }
        return false;
    }
    const Token& Peek() const { return tokens_[pos_]; }
    const Token& Next() { return tokens_[pos_ < tokens_.size() - 1 ? pos_++ : pos_]; }

private:
    // One level of recursion, for as long as it lasts.
    struct Level {
        explicit Level(int& counter) : depth(++counter) {}
        ~Level() { --depth; }
        Level(const Level&) = delete;
        Level& operator=(const Level&) = delete;
        int& depth;
    };

    static bool TooDeep(int depth, String& error) {
        if (depth <= kMaxExpressionDepth) return false;
        error = "expression nested deeper than " + std::to_string(kMaxExpressionDepth) + " levels";
        return true;
    }

    // Levels of a tree: the operators and indices on its longest path, so a leaf is level 0.
    static int LevelsOf(int height) { return height - 1; }

    // `node` once its height is known: null (and `error`) when it is too tall.
    static NodePtr Measured(NodePtr node, int height, String& error) {
        node->height = height;
        if (TooDeep(LevelsOf(height), error)) return nullptr;
        return node;
    }

    static NodePtr MakeBinary(std::string_view op, NodePtr a, NodePtr b, String& error) {
        auto node = std::make_unique<ExpressionNode>();
        node->kind = ExpressionNode::Kind::Binary;
        node->op = op;
        const int height = 1 + std::max(HeightOf(a), HeightOf(b));
        node->a = std::move(a);
        node->b = std::move(b);
        return Measured(std::move(node), height, error);
    }

    NodePtr Ternary(String& error) {
        const Level level(depth_);
        if (TooDeep(level.depth, error)) return nullptr;
        NodePtr condition = Binary(0, error);
        if (!error.empty() || !AcceptOperator("?")) return condition;
        NodePtr yes = Ternary(error);
        if (!error.empty()) return nullptr;
        if (!AcceptOperator(":")) {
            error = "expected ':' in '? :'";
            return nullptr;
        }
        NodePtr no = Ternary(error);
        if (!error.empty()) return nullptr;
        auto node = std::make_unique<ExpressionNode>();
        node->kind = ExpressionNode::Kind::Ternary;
        const int height = 1 + std::max({HeightOf(condition), HeightOf(yes), HeightOf(no)});
        node->a = std::move(condition);
        node->b = std::move(yes);
        node->c = std::move(no);
        return Measured(std::move(node), height, error);
    }

    // Binary operators by precedence level, loosest first.
    NodePtr Binary(int level, String& error) {
        static const std::vector<std::vector<std::string_view>> kLevels = {
            {"||"}, {"&&"}, {"==", "!="}, {"<", "<=", ">", ">="}, {"+", "-"}, {"*", "/"}};
        if (level == static_cast<int>(kLevels.size())) return Unary(error);
        NodePtr left = Binary(level + 1, error);
        while (error.empty()) {
            std::string_view matched;
            for (std::string_view op : kLevels[static_cast<std::size_t>(level)]) {
                if (AcceptOperator(op)) {
                    matched = op;
                    break;
                }
            }
            if (matched.empty()) break;
            NodePtr right = Binary(level + 1, error);
            if (!error.empty()) break;
            left = MakeBinary(matched, std::move(left), std::move(right), error);
        }
        return left;
    }

    NodePtr Unary(String& error) {
        for (std::string_view op : {"!", "-"}) {
            if (AcceptOperator(op)) {
                const Level level(depth_);
                if (TooDeep(level.depth, error)) return nullptr;
                auto node = std::make_unique<ExpressionNode>();
                node->kind = ExpressionNode::Kind::Unary;
                node->op = op;
                node->a = Unary(error);
                if (!error.empty()) return nullptr;
                const int height = 1 + HeightOf(node->a);
                return Measured(std::move(node), height, error);
            }
        }
        return Primary(error);
    }

    NodePtr Primary(String& error) {
        const Token& token = Next();
        auto node = std::make_unique<ExpressionNode>();
        switch (token.kind) {
            case TokenKind::Number:
                node->literal = NumberResult(token.number, token.text.find('.') == String::npos);
                return node;
            case TokenKind::String: node->literal = Variant(token.text); return node;
            case TokenKind::Name:
                if (token.text == "true" || token.text == "false") {
                    node->literal = Variant(token.text == "true");
                    return node;
                }
                return Address(token.text, error);
            case TokenKind::Operator:
                if (token.text == "(") {
                    NodePtr inner = Ternary(error);
                    if (error.empty() && !AcceptOperator(")")) error = "expected ')'";
                    return inner;
                }
                error = "unexpected '" + token.text + "'";
                return nullptr;
            case TokenKind::End: error = "unexpected end of expression"; return nullptr;
        }
        return nullptr;
    }

    NodePtr Address(const String& root, String& error) {
        auto node = std::make_unique<ExpressionNode>();
        node->kind = ExpressionNode::Kind::Address;
        node->segments.push_back({root, nullptr, -1});
        while (error.empty()) {
            if (AcceptOperator(".")) {
                const Token& name = Next();
                if (name.kind != TokenKind::Name) {
                    error = "expected a name after '.'";
                    return nullptr;
                }
                node->segments.push_back({name.text, nullptr, -1});
            } else if (AcceptOperator("[")) {
                NodePtr index = Ternary(error);
                if (error.empty() && !AcceptOperator("]")) error = "expected ']'";
                if (!error.empty()) return nullptr;
                node->height = std::max(node->height, 1 + HeightOf(index));
                if (TooDeep(LevelsOf(node->height), error)) return nullptr;
                node->segments.push_back({"", std::move(index), -1});
            } else if (Peek().kind == TokenKind::Operator && Peek().text == "(") {
                error = "'" + root + "(...)' calls are only allowed in data-event attributes";
            } else {
                break;
            }
        }
        return node;
    }

    const std::vector<Token>& tokens_;
    std::size_t pos_ = 0;
    // The outermost expression is not nested: its level is 0.
    int depth_ = -1;
};

// Binding ----------------------------------------------------------------------

const DataAlias* FindAlias(const Element& element, const String& name) {
    for (const Element* e = &element; e; e = e->GetParentNode()) {
        const auto& scope = e->GetState().alias_scope;
        if (!scope) continue;
        if (auto it = scope->aliases.find(name); it != scope->aliases.end()) return &it->second;
    }
    return nullptr;
}

bool BindNode(ExpressionNode* node, const Element& element, const DataModel& model, String& error) {
    if (!node) return true;
    if (node->kind == ExpressionNode::Kind::Address) {
        const String root = node->segments.front().name;
        if (const DataAlias* alias = FindAlias(element, root)) {
            if (alias->is_constant) {
                if (node->segments.size() > 1) {
                    error = "'" + root + "' is a number and has no members";
                    return false;
                }
                node->kind = ExpressionNode::Kind::Literal;
                node->literal = alias->constant;
                node->segments.clear();
                return true;
            }
            std::vector<ExpressionNode::Segment> segments;
            for (const DataAddressEntry& entry : alias->address) segments.push_back({entry.name, nullptr, entry.index});
            for (std::size_t i = 1; i < node->segments.size(); ++i) segments.push_back(std::move(node->segments[i]));
            node->segments = std::move(segments);
        } else if (!model.HasVariable(root)) {
            error = "unknown name '" + root + "'";
            return false;
        }
        for (auto& segment : node->segments) {
            if (!BindNode(segment.index.get(), element, model, error)) return false;
        }
        return true;
    }
    return BindNode(node->a.get(), element, model, error) && BindNode(node->b.get(), element, model, error) &&
           BindNode(node->c.get(), element, model, error);
}

void CollectDependencies(const ExpressionNode* node, StringList& out) {
    if (!node) return;
    if (node->kind == ExpressionNode::Kind::Address && !node->segments.empty()) {
        const String& root = node->segments.front().name;
        if (std::find(out.begin(), out.end(), root) == out.end()) out.push_back(root);
        for (const auto& segment : node->segments) CollectDependencies(segment.index.get(), out);
    }
    CollectDependencies(node->a.get(), out);
    CollectDependencies(node->b.get(), out);
    CollectDependencies(node->c.get(), out);
}

// Evaluation ---------------------------------------------------------------------

bool EvaluateNode(const ExpressionNode& node, const DataModel& model, Variant& out, String& error);

bool NodeAddress(const ExpressionNode& node, const DataModel& model, DataAddress& out, String& error) {
    out.clear();
    for (const auto& segment : node.segments) {
        if (!segment.name.empty()) {
            out.push_back({segment.name, -1});
        } else if (segment.index) {
            Variant index;
            if (!EvaluateNode(*segment.index, model, index, error)) return false;
            int value = 0;
            if (!index.GetInto(value)) {
                error = "index '" + index.Get<String>() + "' is not a number in range";
                return false;
            }
            out.push_back({"", value});
        } else {
            out.push_back({"", segment.constant_index});
        }
    }
    return true;
}

bool IsNumeric(const Variant& value, double& number) {
    if (value.GetType() == Variant::NONE) return false;
    if (value.GetType() != Variant::STRING) return value.GetInto(number);
    // A text is a number only when all of it reads as one.
    const String text = value.Get<String>();
    double parsed = 0;
    const auto rest = StringUtilities::ParseNumberPrefix(StringUtilities::Trim(text), parsed);
    if (!rest || !rest->empty()) return false;
    number = parsed;
    return true;
}

bool Compare(const String& op, const Variant& a, const Variant& b, Variant& out) {
    double x = 0, y = 0;
    const bool numeric = a.GetType() != Variant::STRING || b.GetType() != Variant::STRING
                             ? IsNumeric(a, x) && IsNumeric(b, y)
                             : false;
    int order = 0;
    if (numeric) {
        order = x < y ? -1 : (x > y ? 1 : 0);
    } else {
        const String sa = a.Get<String>(), sb = b.Get<String>();
        order = sa < sb ? -1 : (sa > sb ? 1 : 0);
    }
    bool result = false;
    if (op == "==") result = order == 0;
    else if (op == "!=") result = order != 0;
    else if (op == "<") result = order < 0;
    else if (op == "<=") result = order <= 0;
    else if (op == ">") result = order > 0;
    else if (op == ">=") result = order >= 0;
    out = Variant(result);
    return true;
}

bool Arithmetic(const String& op, const Variant& a, const Variant& b, Variant& out, String& error) {
    if (op == "+" && (a.GetType() == Variant::STRING || b.GetType() == Variant::STRING)) {
        out = Variant(a.Get<String>() + b.Get<String>());
        return true;
    }
    double x = 0, y = 0;
    if (!IsNumeric(a, x) || !IsNumeric(b, y)) {
        error = "'" + op + "' needs numbers, not '" + a.Get<String>() + "' and '" + b.Get<String>() + "'";
        return false;
    }
    const bool both_int = a.GetType() == Variant::INT && b.GetType() == Variant::INT;
    if (op == "+") out = NumberResult(x + y, both_int);
    else if (op == "-") out = NumberResult(x - y, both_int);
    else if (op == "*") out = NumberResult(x * y, both_int);
    else if (y == 0) {
        error = "division by zero";
        return false;
    } else {
        out = Variant(x / y);
    }
    return true;
}

bool EvaluateNode(const ExpressionNode& node, const DataModel& model, Variant& out, String& error) {
    switch (node.kind) {
        case ExpressionNode::Kind::Literal: out = node.literal; return true;
        case ExpressionNode::Kind::Address: {
            DataAddress address;
            if (!NodeAddress(node, model, address, error)) return false;
            // "list.size" reads an array's length.
            if (address.size() > 1 && address.back().name == "size") {
                DataAddress parent(address.begin(), address.end() - 1);
                String ignored;
                const DataVariable array = ResolveAddress(model, parent, ignored);
                if (array && array.definition->Type() == DataVariableType::Array) {
                    out = Variant(array.definition->Size(array.ptr));
                    return true;
                }
            }
            const DataVariable variable = ResolveAddress(model, address, error);
            if (!variable) return false;
            if (!variable.definition->Get(variable.ptr, out)) {
                error = "'" + node.segments.front().name + "' does not name a value";
                return false;
            }
            return true;
        }
        case ExpressionNode::Kind::Unary: {
            Variant value;
            if (!EvaluateNode(*node.a, model, value, error)) return false;
            if (node.op == "!") {
                out = Variant(!IsTruthy(value));
                return true;
            }
            return Arithmetic("-", Variant(0), value, out, error);
        }
        case ExpressionNode::Kind::Binary: {
            Variant left;
            if (!EvaluateNode(*node.a, model, left, error)) return false;
            if (node.op == "&&" || node.op == "||") {
                const bool truth = IsTruthy(left);
                if (node.op == "&&" && !truth) {
                    out = Variant(false);
                    return true;
                }
                if (node.op == "||" && truth) {
                    out = Variant(true);
                    return true;
                }
                Variant right;
                if (!EvaluateNode(*node.b, model, right, error)) return false;
                out = Variant(IsTruthy(right));
                return true;
            }
            Variant right;
            if (!EvaluateNode(*node.b, model, right, error)) return false;
            if (node.op == "+" || node.op == "-" || node.op == "*" || node.op == "/") {
                return Arithmetic(node.op, left, right, out, error);
            }
            return Compare(node.op, left, right, out);
        }
        case ExpressionNode::Kind::Ternary: {
            Variant condition;
            if (!EvaluateNode(*node.a, model, condition, error)) return false;
            return EvaluateNode(IsTruthy(condition) ? *node.b : *node.c, model, out, error);
        }
    }
    return false;
}

std::unique_ptr<ExpressionNode> ParseNode(std::string_view text, String& error) {
    std::vector<Token> tokens;
    if (!Lexer(text).Tokenize(tokens, error)) return nullptr;
    Parser parser(tokens);
    auto node = parser.ParseExpression(error);
    if (!error.empty()) return nullptr;
    if (!parser.AtEnd()) {
        error = "unexpected '" + parser.Peek().text + "'";
        return nullptr;
    }
    return node;
}

}  // namespace

bool IsTruthy(const Variant& value) {
    switch (value.GetType()) {
        case Variant::NONE: return false;
        case Variant::STRING: {
            const String text = value.Get<String>();
            return !text.empty() && text != "0" && StringUtilities::ToLower(text) != "false";
        }
        default: return value.Get<bool>(false);
    }
}

DataVariable ResolveAddress(const DataModel& model, const DataAddress& address, String& error) {
    if (address.empty()) return {};
    DataVariable variable = model.GetVariable(address.front().name);
    if (!variable) {
        error = "unknown name '" + address.front().name + "'";
        return {};
    }
    for (std::size_t i = 1; i < address.size(); ++i) {
        const DataAddressEntry& entry = address[i];
        const DataVariable next = entry.name.empty() ? variable.definition->Element(variable.ptr, entry.index)
                                                     : variable.definition->Member(variable.ptr, entry.name);
        if (!next) {
            error = entry.name.empty() ? "index " + std::to_string(entry.index) + " is out of range"
                                       : "no member '" + entry.name + "'";
            return {};
        }
        variable = next;
    }
    return variable;
}

DataExpression::DataExpression(std::unique_ptr<ExpressionNode> root) : root_(std::move(root)) {}
DataExpression::~DataExpression() = default;
DataExpression::DataExpression(DataExpression&&) noexcept = default;
DataExpression& DataExpression::operator=(DataExpression&&) noexcept = default;

std::unique_ptr<DataExpression> DataExpression::Parse(std::string_view text, String& error) {
    error.clear();
    auto node = ParseNode(text, error);
    if (!node) {
        if (error.empty()) error = "empty expression";
        return nullptr;
    }
    return std::unique_ptr<DataExpression>(new DataExpression(std::move(node)));
}

bool DataExpression::Bind(const Element& element, const DataModel& model, String& error) {
    return BindNode(root_.get(), element, model, error);
}

bool DataExpression::Evaluate(const DataModel& model, Variant& out, String& error) const {
    out.Clear();
    return EvaluateNode(*root_, model, out, error);
}

bool DataExpression::EvaluateAddress(const DataModel& model, DataAddress& out, String& error) const {
    if (root_->kind != ExpressionNode::Kind::Address) {
        error = "expected a variable name";
        return false;
    }
    return NodeAddress(*root_, model, out, error);
}

StringList DataExpression::Dependencies() const {
    StringList out;
    CollectDependencies(root_.get(), out);
    return out;
}

std::optional<DataEventCall> ParseDataEventCall(std::string_view text, String& error) {
    error.clear();
    text = StringUtilities::Trim(text);
    const std::size_t open = text.find('(');
    DataEventCall call;
    call.name = String(StringUtilities::Trim(text.substr(0, open)));
    if (call.name.empty()) {
        error = "missing callback name";
        return std::nullopt;
    }
    if (open == std::string_view::npos) return call;
    if (text.back() != ')') {
        error = "expected ')' at the end";
        return std::nullopt;
    }
    // Split the arguments at top-level commas.
    const std::string_view inside = text.substr(open + 1, text.size() - open - 2);
    int depth = 0;
    std::size_t start = 0;
    char quote = 0;
    for (std::size_t i = 0; i <= inside.size(); ++i) {
        const char c = i < inside.size() ? inside[i] : ',';
        if (quote) {
            if (c == quote) quote = 0;
            continue;
        }
        if (c == '\'' || c == '"') quote = c;
        if (c == '(' || c == '[') ++depth;
        if (c == ')' || c == ']') --depth;
        if (c == ',' && depth == 0) {
            const std::string_view argument = StringUtilities::Trim(inside.substr(start, i - start));
            start = i + 1;
            if (argument.empty()) {
                if (i == inside.size() && call.arguments.empty()) break;
                error = "empty argument";
                return std::nullopt;
            }
            auto expression = DataExpression::Parse(argument, error);
            if (!expression) return std::nullopt;
            call.arguments.push_back(std::move(expression));
        }
    }
    return call;
}

}  // namespace Rml
