#include "lib/rml/style_sheet/style_sheet.h"

#include <algorithm>

#include <spdlog/spdlog.h>

#include "lib/rml/element/element.h"
#include "lib/rml/string_utilities/string_utilities.h"

namespace Rml {

namespace {

using StringUtilities::IsSpace;
using StringUtilities::ToLower;
using StringUtilities::Trim;

bool IsNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
}

bool IsSupportedPseudoClass(std::string_view name) {
    return name == "hover" || name == "active" || name == "focus" || name == "checked" || name == "disabled";
}

// Reads one compound selector ("div.a#b:hover") from `text` at `pos`.
std::optional<String> ParseCompound(std::string_view text, std::size_t& pos, CompoundSelector& out) {
    const auto read_name = [&]() {
        const std::size_t start = pos;
        while (pos < text.size() && IsNameChar(text[pos])) ++pos;
        return String(text.substr(start, pos - start));
    };
    if (pos < text.size() && text[pos] == '*') {
        ++pos;
    } else if (pos < text.size() && IsNameChar(text[pos])) {
        out.tag = ToLower(read_name());
    }
    while (pos < text.size() && !IsSpace(text[pos]) && text[pos] != '>') {
        const char marker = text[pos++];
        if (marker == ':' && pos < text.size() && text[pos] == ':') return "pseudo-elements are not supported";
        const String name = read_name();
        if (name.empty()) return String("unexpected '") + marker + "'";
        if (marker == '.') {
            out.classes.push_back(name);
        } else if (marker == '#') {
            out.id = name;
        } else if (marker == ':') {
            const String lower = ToLower(name);
            if (!IsSupportedPseudoClass(lower)) return "unsupported pseudo-class ':" + lower + "'";
            out.pseudo_classes.push_back(lower);
        } else {
            return String("unsupported selector syntax '") + marker + "'";
        }
    }
    return std::nullopt;
}

std::optional<String> ParseSelector(std::string_view text, Selector& out) {
    text = Trim(text);
    if (text.empty()) return "empty selector";
    if (text.find_first_of("+~[") != std::string_view::npos) return "unsupported selector '" + String(text) + "'";
    std::size_t pos = 0;
    Combinator pending = Combinator::Descendant;
    while (pos < text.size()) {
        CompoundSelector compound;
        if (auto problem = ParseCompound(text, pos, compound)) return problem;
        if (!out.compounds.empty()) out.combinators.push_back(pending);
        out.compounds.push_back(std::move(compound));
        pending = Combinator::Descendant;
        while (pos < text.size() && (IsSpace(text[pos]) || text[pos] == '>')) {
            if (text[pos] == '>') pending = Combinator::Child;
            ++pos;
        }
        if (pos == text.size() && out.combinators.size() != out.compounds.size() - 1) return "dangling combinator";
    }
    std::uint32_t ids = 0, classes = 0, tags = 0;
    for (const CompoundSelector& compound : out.compounds) {
        ids += compound.id.empty() ? 0 : 1;
        classes += static_cast<std::uint32_t>(compound.classes.size() + compound.pseudo_classes.size());
        tags += compound.tag.empty() ? 0 : 1;
    }
    out.specificity = ids * 10000 + classes * 100 + tags;
    return std::nullopt;
}

bool CompoundMatches(const CompoundSelector& compound, const Element& element) {
    if (!compound.tag.empty() && compound.tag != element.GetTagName()) return false;
    if (!compound.id.empty() && compound.id != element.GetId()) return false;
    for (const String& name : compound.classes) {
        if (!element.IsClassSet(name)) return false;
    }
    for (const String& name : compound.pseudo_classes) {
        if (!element.IsPseudoClassSet(name)) return false;
    }
    return true;
}

// The first compound of the chain that child combinators join to compound `last`.
std::size_t ChainStart(const Selector& selector, std::size_t last) {
    while (last > 0 && selector.combinators[last - 1] == Combinator::Child) --last;
    return last;
}

// Matches the chain of compounds [first, last] with `element` taking `last`:
// gives the element that takes `first`, or null.
const Element* MatchChain(const Selector& selector, std::size_t first, std::size_t last, const Element* element) {
    for (std::size_t index = last;; --index) {
        if (!CompoundMatches(selector.compounds[index], *element)) return nullptr;
        if (index == first) return element;
        element = element->GetParentNode();
        if (!element) return nullptr;
    }
}

// Scans RCSS text, tracking the line for log messages.
class Parser {
public:
    Parser(std::string_view text, const String& source, int first_line)
        : text_(text), source_(source), line_(first_line) {}

    void Run(std::vector<StyleRule>& rules) {
        while (SkipSpaceAndComments()) {
            if (text_[pos_] == '@') {
                SkipAtRule();
                continue;
            }
            const int rule_line = line_;
            const std::size_t open = FindOutsideComments('{');
            if (open == std::string_view::npos) {
                Report(rule_line, "selector without a '{' block");
                return;
            }
            const String selector_text(text_.substr(pos_, open - pos_));
            Advance(open + 1);
            const int block_line = line_;
            const std::size_t close = FindOutsideComments('}');
            const std::string_view block = text_.substr(pos_, (close == std::string_view::npos ? text_.size() : close) - pos_);
            const String block_text = StripComments(block);
            Advance(close == std::string_view::npos ? text_.size() : close + 1);
            if (close == std::string_view::npos) Report(block_line, "missing '}'");
            AddRules(selector_text, block_text, rule_line, block_line, rules);
        }
    }

private:
    void Report(int line, const String& problem) const { SPDLOG_WARN("{}:{}: {}", source_, line, problem); }

    void Advance(std::size_t to) {
        to = std::min(to, text_.size());
        for (; pos_ < to; ++pos_) {
            if (text_[pos_] == '\n') ++line_;
        }
    }

    // False at the end of the text.
    bool SkipSpaceAndComments() {
        while (pos_ < text_.size()) {
            if (IsSpace(text_[pos_])) {
                Advance(pos_ + 1);
            } else if (text_.substr(pos_, 2) == "/*") {
                const std::size_t end = text_.find("*/", pos_ + 2);
                Advance(end == std::string_view::npos ? text_.size() : end + 2);
            } else {
                return true;
            }
        }
        return false;
    }

    std::size_t FindOutsideComments(char wanted) const {
        for (std::size_t i = pos_; i < text_.size(); ++i) {
            if (text_.substr(i, 2) == "/*") {
                const std::size_t end = text_.find("*/", i + 2);
                if (end == std::string_view::npos) return std::string_view::npos;
                i = end + 1;
            } else if (text_[i] == wanted) {
                return i;
            }
        }
        return std::string_view::npos;
    }

    static String StripComments(std::string_view text) {
        String out;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text.substr(i, 2) == "/*") {
                const std::size_t end = text.find("*/", i + 2);
                if (end == std::string_view::npos) break;
                // Keep the line breaks so declaration lines stay right.
                for (std::size_t j = i; j < end; ++j) {
                    if (text[j] == '\n') out += '\n';
                }
                i = end + 1;
            } else {
                out += text[i];
            }
        }
        return out;
    }

    void SkipAtRule() {
        const int at_line = line_;
        std::size_t name_end = pos_ + 1;
        while (name_end < text_.size() && IsNameChar(text_[name_end])) ++name_end;
        Report(at_line, "unsupported at-rule '" + String(text_.substr(pos_, name_end - pos_)) + "' skipped");
        const std::size_t semicolon = text_.find(';', pos_);
        const std::size_t open = text_.find('{', pos_);
        if (open == std::string_view::npos || (semicolon != std::string_view::npos && semicolon < open)) {
            Advance(semicolon == std::string_view::npos ? text_.size() : semicolon + 1);
            return;
        }
        int depth = 0;
        std::size_t i = open;
        for (; i < text_.size(); ++i) {
            if (text_[i] == '{') ++depth;
            if (text_[i] == '}' && --depth == 0) break;
        }
        Advance(i + 1);
    }

    void AddRules(const String& selector_text, const String& block_text, int rule_line, int block_line,
                  std::vector<StyleRule>& rules) {
        auto properties = std::make_shared<PropertyList>();
        int line = block_line;
        std::size_t start = 0;
        while (start < block_text.size()) {
            std::size_t end = block_text.find(';', start);
            if (end == String::npos) end = block_text.size();
            const std::string_view piece = std::string_view(block_text).substr(start, end - start);
            const std::size_t first_char = piece.find_first_not_of(" \t\r\n\f");
            const std::size_t leading = first_char == std::string_view::npos ? piece.size() : first_char;
            const int declaration_line =
                line + static_cast<int>(std::count(piece.begin(), piece.begin() + static_cast<std::ptrdiff_t>(leading), '\n'));
            ParseDeclarationBlock(piece, *properties, [&](const String& problem) { Report(declaration_line, problem); });
            line += static_cast<int>(std::count(piece.begin(), piece.end(), '\n'));
            start = end + 1;
        }
        std::shared_ptr<const PropertyList> shared = std::move(properties);
        for (const String& piece : StringUtilities::Split(selector_text, ',')) {
            Selector selector;
            if (auto problem = ParseSelector(piece, selector)) {
                Report(rule_line, *problem + "; rule skipped");
                continue;
            }
            rules.push_back({std::move(selector), shared, 0});
        }
    }

    std::string_view text_;
    const String& source_;
    int line_;
    std::size_t pos_ = 0;
};

}  // namespace

// From the right, one chain of child-joined compounds at a time. Past a
// descendant combinator a chain takes the nearest ancestor it matches at: any
// farther one leaves fewer ancestors for the chains to its left, so this is
// exact and tries each ancestor at most once per chain.
bool SelectorMatches(const Selector& selector, const Element& element) {
    if (selector.compounds.empty()) return false;
    std::size_t first = ChainStart(selector, selector.compounds.size() - 1);
    const Element* top = MatchChain(selector, first, selector.compounds.size() - 1, &element);
    while (top && first > 0) {
        const std::size_t last = first - 1;
        first = ChainStart(selector, last);
        const Element* found = nullptr;
        for (const Element* ancestor = top->GetParentNode(); ancestor && !found; ancestor = ancestor->GetParentNode()) {
            found = MatchChain(selector, first, last, ancestor);
        }
        top = found;
    }
    return top != nullptr;
}

std::shared_ptr<StyleSheet> StyleSheet::Parse(std::string_view text, const String& source, int first_line) {
    auto sheet = std::make_shared<StyleSheet>();
    std::vector<StyleRule> rules;
    Parser(text, source, first_line).Run(rules);
    for (StyleRule& rule : rules) sheet->Add(std::move(rule));
    return sheet;
}

void StyleSheet::Append(const StyleSheet& other) {
    for (const StyleRule& rule : other.rules_) Add(rule);
}

void StyleSheet::Add(StyleRule rule) {
    rule.order = static_cast<int>(rules_.size());
    rules_.push_back(std::move(rule));
    Index(rules_.size() - 1);
}

void StyleSheet::Index(std::size_t rule) {
    const CompoundSelector& key = rules_[rule].selector.compounds.back();
    if (!key.id.empty()) {
        by_id_[key.id].push_back(rule);
    } else if (!key.classes.empty()) {
        by_class_[key.classes.front()].push_back(rule);
    } else if (!key.tag.empty()) {
        by_tag_[key.tag].push_back(rule);
    } else {
        universal_.push_back(rule);
    }
    for (const CompoundSelector& compound : rules_[rule].selector.compounds) {
        for (const String& pseudo : compound.pseudo_classes) {
            if (std::find(pseudo_classes_used_.begin(), pseudo_classes_used_.end(), pseudo) == pseudo_classes_used_.end()) {
                pseudo_classes_used_.push_back(pseudo);
            }
        }
    }
}

bool StyleSheet::UsesPseudoClass(std::string_view name) const {
    return std::find(pseudo_classes_used_.begin(), pseudo_classes_used_.end(), name) != pseudo_classes_used_.end();
}

void StyleSheet::CollectMatches(const Element& element, std::vector<const StyleRule*>& out) const {
    const std::size_t first = out.size();
    const auto consider = [&](const std::vector<std::size_t>& candidates) {
        for (std::size_t index : candidates) {
            if (SelectorMatches(rules_[index].selector, element)) out.push_back(&rules_[index]);
        }
    };
    if (!element.GetId().empty()) {
        if (auto it = by_id_.find(element.GetId()); it != by_id_.end()) consider(it->second);
    }
    for (const String& name : element.GetClassList()) {
        if (auto it = by_class_.find(name); it != by_class_.end()) consider(it->second);
    }
    if (auto it = by_tag_.find(element.GetTagName()); it != by_tag_.end()) consider(it->second);
    consider(universal_);
    std::sort(out.begin() + static_cast<std::ptrdiff_t>(first), out.end(), [](const StyleRule* a, const StyleRule* b) {
        if (a->selector.specificity != b->selector.specificity) return a->selector.specificity < b->selector.specificity;
        return a->order < b->order;
    });
    // An element with a repeated class could collect one rule twice.
    out.erase(std::unique(out.begin() + static_cast<std::ptrdiff_t>(first), out.end()), out.end());
}

const StyleSheet& BaseStyleSheet() {
    static const std::shared_ptr<StyleSheet> sheet = StyleSheet::Parse(
        R"(body, div, p, h1, h2, h3 { display: block; }
           h1 { font-size: 2em; }
           h2 { font-size: 1.5em; }
           h3 { font-size: 1.17em; }
           img, input { display: inline-block; }
           input { width: 150px; cursor: text; })",
        "<base style sheet>");
    return *sheet;
}

}  // namespace Rml
