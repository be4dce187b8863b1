#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "lib/rml/types/types.h"
#include "lib/rml/variant/variant.h"

namespace Rml {

class Context;
class Element;
class ElementDocument;
using ElementPtr = std::unique_ptr<Element>;

// Markup parsed once, kept to build elements from (data-for templates keep theirs).
struct RmlNode {
    String tag;  // "#text" for text
    ElementAttributes attributes;
    String text;
    int line = 0;
    std::vector<std::shared_ptr<const RmlNode>> children;
};
using RmlNodeList = std::vector<std::shared_ptr<const RmlNode>>;

// A path named in a document (href, src): relative to the document's file unless absolute.
String ResolvePath(const String& document_path, const String& href);

// Parses a markup fragment; problems are logged with `source` and the line.
RmlNodeList ParseRmlFragment(std::string_view rml, const String& source, int base_line);

// Makes one element through the factory; unknown tags are logged when `report_unknown`.
ElementPtr CreateElement(Element* parent, const String& tag, const ElementAttributes& attributes, int line,
                         const String& source, bool report_unknown);
// Builds `nodes` (and below) as the last children of `parent`.
void BuildChildren(Element& parent, const RmlNodeList& nodes, const String& source);
// Parses `rml` and builds it into `parent`.
void ParseInnerRML(Element& parent, const String& rml, int base_line);

// Loads a document file into the context's ownership; null when the file cannot be read.
std::unique_ptr<ElementDocument> LoadDocumentFile(Context& context, const String& path);

}  // namespace Rml
