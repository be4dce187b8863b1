#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "lib/rml/property/property.h"
#include "lib/rml/types/types.h"

namespace Rml {

class Element;

struct CompoundSelector {
    String tag;  // empty matches any tag
    String id;
    StringList classes;
    StringList pseudo_classes;
};

enum class Combinator : std::uint8_t { Descendant, Child };

// Compounds from left to right; combinators[i] joins compounds[i] and compounds[i + 1].
struct Selector {
    std::vector<CompoundSelector> compounds;
    std::vector<Combinator> combinators;
    std::uint32_t specificity = 0;
};

struct StyleRule {
    Selector selector;
    std::shared_ptr<const PropertyList> properties;
    int order = 0;  // source order across every sheet of a document
};

class StyleSheet {
public:
    // Parses RCSS text; problems are logged with `source` and the line, and skipped.
    static std::shared_ptr<StyleSheet> Parse(std::string_view text, const String& source, int first_line = 1);

    // Adds the rules of `other` after those already held.
    void Append(const StyleSheet& other);
    bool UsesPseudoClass(std::string_view name) const;
    // The rules that match `element`, in cascade order (specificity, then source order).
    void CollectMatches(const Element& element, std::vector<const StyleRule*>& out) const;

private:
    // Adds a rule after those held, in source order.
    void Add(StyleRule rule);
    void Index(std::size_t rule);

    std::vector<StyleRule> rules_;
    std::unordered_map<String, std::vector<std::size_t>> by_id_;
    std::unordered_map<String, std::vector<std::size_t>> by_class_;
    std::unordered_map<String, std::vector<std::size_t>> by_tag_;
    std::vector<std::size_t> universal_;
    StringList pseudo_classes_used_;
};

bool SelectorMatches(const Selector& selector, const Element& element);

// The built-in sheet that every document starts from (block elements, headings, inputs).
const StyleSheet& BaseStyleSheet();

}  // namespace Rml
