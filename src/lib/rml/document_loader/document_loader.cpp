#include "lib/rml/document_loader/document_loader.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <utility>

#include <pugixml.hpp>
#include <spdlog/spdlog.h>

#include "lib/rml/context/context.h"
#include "lib/rml/data_view/data_view.h"
#include "lib/rml/element_document/element_document.h"
#include "lib/rml/element_text/element_text.h"
#include "lib/rml/factory/factory.h"
#include "lib/rml/string_utilities/string_utilities.h"
#include "lib/rml/style_sheet/style_sheet.h"

namespace Rml {

namespace {

constexpr unsigned kParseOptions = pugi::parse_default | pugi::parse_ws_pcdata;

// Styling, layout, painting and teardown recurse through the element tree, so
// markup that would nest deeper than this below a document is left out.
constexpr int kMaxElementDepth = 256;

// Line numbers from byte offsets of one parsed buffer.
class LineIndex {
public:
    LineIndex(std::string_view text, int base_line) : base_line_(base_line) {
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\n') breaks_.push_back(i);
        }
    }
    int LineAt(std::ptrdiff_t offset) const {
        if (offset < 0) return base_line_;
        const auto it = std::lower_bound(breaks_.begin(), breaks_.end(), static_cast<std::size_t>(offset));
        return base_line_ + static_cast<int>(it - breaks_.begin());
    }

private:
    int base_line_;
    std::vector<std::size_t> breaks_;
};

// XML knows no &nbsp;; pages use it for fixed spaces.
String ReplaceNbsp(std::string_view text) {
    String out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (true) {
        const std::size_t found = text.find("&nbsp;", pos);
        out.append(text.substr(pos, found == std::string_view::npos ? std::string_view::npos : found - pos));
        if (found == std::string_view::npos) break;
        out += "\xC2\xA0";
        pos = found + 6;
    }
    return out;
}

bool IsIndentation(std::string_view text) {
    return text.find('\n') != std::string_view::npos && StringUtilities::Trim(text).empty();
}

ElementAttributes ReadAttributes(const pugi::xml_node& node) {
    ElementAttributes attributes;
    for (const pugi::xml_attribute& attribute : node.attributes()) {
        attributes[attribute.name()] = Variant(String(attribute.value()));
    }
    return attributes;
}

// `depth` is that of the children below the fragment. Building leaves out, and
// reports, what lies deeper than kMaxElementDepth; one level more is kept for it to see.
RmlNodeList ConvertChildren(const pugi::xml_node& parent, const LineIndex& lines, int depth = 1) {
    RmlNodeList out;
    if (depth > kMaxElementDepth + 1) return out;
    for (const pugi::xml_node& child : parent.children()) {
        auto node = std::make_shared<RmlNode>();
        node->line = lines.LineAt(child.offset_debug());
        if (child.type() == pugi::node_element) {
            node->tag = StringUtilities::ToLower(child.name());
            node->attributes = ReadAttributes(child);
            node->children = ConvertChildren(child, lines, depth + 1);
        } else if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) {
            // Whitespace that only indents markup carries no text.
            if (IsIndentation(child.value())) continue;
            node->tag = "#text";
            node->text = child.value();
        } else {
            continue;
        }
        out.push_back(std::move(node));
    }
    return out;
}

void ReportParseError(const pugi::xml_parse_result& result, const LineIndex& lines, const String& source) {
    SPDLOG_ERROR("{}:{}: malformed markup: {}", source, lines.LineAt(result.offset), result.description());
}

struct BuildScope {
    const String& source;
    bool depth_reported = false;
};

void BuildNodes(Element& parent, int depth, const RmlNodeList& nodes, BuildScope& scope);

// `depth` is the node's depth below its document. Text nests nothing, so the
// deepest element kept still shows its text.
void BuildNode(Element& parent, int depth, const std::shared_ptr<const RmlNode>& node, BuildScope& scope) {
    const String& source = scope.source;
    if (depth > kMaxElementDepth && node->tag != "#text") {
        if (!std::exchange(scope.depth_reported, true)) {
            SPDLOG_ERROR("{}:{}: markup nested deeper than {} elements is left out", source, node->line,
                         kMaxElementDepth);
        }
        return;
    }
    if (node->tag == "#text") {
        ElementPtr element = CreateElement(&parent, "#text", {}, node->line, source, false);
        auto* text = dynamic_cast<ElementText*>(element.get());
        if (!text) {
            SPDLOG_ERROR("{}:{}: the text instancer made no text element", source, node->line);
            return;
        }
        text->SetText(node->text);
        parent.AppendChild(std::move(element));
        return;
    }
    ElementPtr element = CreateElement(&parent, node->tag, node->attributes, node->line, source, true);
    if (!element) return;
    const bool repeated = node->attributes.contains("data-for");
    if (repeated) element->GetState().for_template = node;
    Element* added = parent.AppendChild(std::move(element));
    if (!repeated) BuildNodes(*added, depth + 1, node->children, scope);
}

void BuildNodes(Element& parent, int depth, const RmlNodeList& nodes, BuildScope& scope) {
    for (const auto& node : nodes) BuildNode(parent, depth, node, scope);
}

std::optional<String> ReadFile(const String& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

void LoadHead(ElementDocument& document, const pugi::xml_node& head, const LineIndex& lines, const String& path) {
    for (const pugi::xml_node& child : head.children()) {
        if (child.type() != pugi::node_element) continue;
        const String name = StringUtilities::ToLower(child.name());
        const int line = lines.LineAt(child.offset_debug());
        if (name == "title") {
            document.SetTitle(String(StringUtilities::Trim(child.text().get())));
        } else if (name == "link") {
            const String type = StringUtilities::ToLower(child.attribute("type").value());
            const String href = child.attribute("href").value();
            if (type != "text/rcss" && type != "text/css") {
                SPDLOG_WARN("{}:{}: unsupported <link> type '{}'", path, line, type);
                continue;
            }
            const String sheet_path = ResolvePath(path, href);
            const auto text = ReadFile(sheet_path);
            if (!text) {
                SPDLOG_ERROR("{}:{}: cannot read style sheet '{}'", path, line, sheet_path);
                continue;
            }
            document.AddStyleSheet(*StyleSheet::Parse(*text, sheet_path));
        } else if (name == "style") {
            const pugi::xml_node text = child.first_child();
            const int text_line = text ? lines.LineAt(text.offset_debug()) : line;
            document.AddStyleSheet(*StyleSheet::Parse(child.child_value(), path, text_line));
        } else {
            SPDLOG_WARN("{}:{}: unsupported element <{}> in <head>", path, line, name);
        }
    }
}

}  // namespace

String ResolvePath(const String& document_path, const String& href) {
    const std::filesystem::path relative(href);
    if (relative.is_absolute()) return href;
    return (std::filesystem::path(document_path).parent_path() / relative).lexically_normal().string();
}

RmlNodeList ParseRmlFragment(std::string_view rml, const String& source, int base_line) {
    const String wrapped = "<rml-fragment>" + ReplaceNbsp(rml) + "</rml-fragment>";
    pugi::xml_document document;
    const pugi::xml_parse_result result =
        document.load_buffer(wrapped.data(), wrapped.size(), kParseOptions, pugi::encoding_utf8);
    const LineIndex lines(wrapped, base_line);
    if (!result) ReportParseError(result, lines, source);
    return ConvertChildren(document.child("rml-fragment"), lines);
}

ElementPtr CreateElement(Element* parent, const String& tag, const ElementAttributes& attributes, int line,
                         const String& source, bool report_unknown) {
    String instancer = tag;
    if (!Factory::IsKnownTag(tag) || (tag == "body" && parent)) {
        if (report_unknown) SPDLOG_WARN("{}:{}: unknown element <{}>", source, line, tag);
        instancer = "*";
    }
    ElementPtr element;
    try {
        element = Factory::InstanceElement(parent, instancer, tag, attributes);
    } catch (const std::exception& error) {
        SPDLOG_ERROR("{}:{}: making <{}> failed: {}", source, line, tag, error.what());
        return nullptr;
    }
    if (!element) {
        SPDLOG_ERROR("{}:{}: the instancer of <{}> made no element", source, line, tag);
        return nullptr;
    }
    element->GetState().source_line = line;
    return element;
}

void BuildChildren(Element& parent, const RmlNodeList& nodes, const String& source) {
    BuildScope scope{source};
    BuildNodes(parent, parent.GetDepth() + 1, nodes, scope);
}

void ParseInnerRML(Element& parent, const String& rml, int base_line) {
    const ElementDocument* document = parent.GetOwnerDocument();
    const String source = document ? document->GetSourceURL() : String("<inner rml>");
    BuildChildren(parent, ParseRmlFragment(rml, source, std::max(base_line, 1)), source);
}

std::unique_ptr<ElementDocument> LoadDocumentFile(Context& context, const String& path) {
    const auto text = ReadFile(path);
    if (!text) {
        SPDLOG_ERROR("{}: cannot read the document", path);
        return nullptr;
    }
    const String content = ReplaceNbsp(*text);
    pugi::xml_document xml;
    const pugi::xml_parse_result result = xml.load_buffer(content.data(), content.size(), kParseOptions, pugi::encoding_utf8);
    const LineIndex lines(content, 1);
    // What parsed before an error still loads.
    if (!result) ReportParseError(result, lines, path);
    pugi::xml_node root = xml.child("rml");
    if (!root) {
        SPDLOG_ERROR("{}:1: the document has no <rml> root element", path);
        root = xml;
    }
    const pugi::xml_node body = root.child("body");
    const int body_line = body ? lines.LineAt(body.offset_debug()) : 1;
    ElementPtr element = CreateElement(nullptr, "body", ReadAttributes(body), body_line, path, false);
    auto* raw_document = dynamic_cast<ElementDocument*>(element.get());
    if (!raw_document) {
        SPDLOG_ERROR("{}: the <body> instancer made no document", path);
        return nullptr;
    }
    element.release();
    std::unique_ptr<ElementDocument> document(raw_document);
    document->SetSourceURL(path);
    document->AttachToContext(&context);
    LoadHead(*document, root.child("head"), lines, path);
    for (const pugi::xml_node& child : root.children()) {
        const String name = child.name();
        if (child.type() == pugi::node_element && name != "head" && name != "body") {
            SPDLOG_WARN("{}:{}: unexpected element <{}> outside <head> and <body>", path,
                        lines.LineAt(child.offset_debug()), name);
        }
    }
    if (!body) SPDLOG_ERROR("{}: the document has no <body>", path);
    BindDataSubtree(*document);
    BuildChildren(*document, ConvertChildren(body, lines), path);
    return document;
}

}  // namespace Rml
