#include "lib/rml/data_view/data_view.h"

#include <optional>

#include <spdlog/spdlog.h>

#include "lib/rml/context/context.h"
#include "lib/rml/data_expression/data_expression.h"
#include "lib/rml/data_model/data_model.h"
#include "lib/rml/data_variable/data_variable.h"
#include "lib/rml/document_loader/document_loader.h"
#include "lib/rml/element/element.h"
#include "lib/rml/element_document/element_document.h"
#include "lib/rml/element_text/element_text.h"
#include "lib/rml/string_utilities/string_utilities.h"

namespace Rml {

namespace {

std::uint64_t next_sequence = 0;

String DocumentOf(const Element& element) {
    const ElementDocument* document = element.GetOwnerDocument();
    return document ? document->GetSourceURL() : String("<element>");
}

// Parses and binds an attribute's expression; logs and gives null when it cannot.
std::unique_ptr<DataExpression> PrepareExpression(Element& element, DataModel& model, const String& attribute,
                                                  const String& text) {
    String error;
    auto expression = DataExpression::Parse(text, error);
    if (expression && expression->Bind(element, model, error)) return expression;
    SPDLOG_ERROR("{}: {}=\"{}\": {}", element.GetSourceLocation(), attribute, text, error);
    return nullptr;
}

// Views that show one expression's value in their target: the attribute,
// class or property named after the binding's prefix (unused by some).
class ExpressionView : public DataView {
public:
    ExpressionView(Element* element, DataModel* model, String attribute, std::unique_ptr<DataExpression> expression,
                   String target = {})
        : DataView(element, model),
          attribute_(std::move(attribute)),
          expression_(std::move(expression)),
          target_(std::move(target)) {
        Register(expression_->Dependencies());
    }

protected:
    bool Evaluate(Variant& out) {
        String error;
        if (expression_->Evaluate(*GetModel(), out, error)) return true;
        ReportOnce(attribute_, error);
        return false;
    }
    const String& Attribute() const { return attribute_; }
    const DataExpression& Expression() const { return *expression_; }
    const String& Target() const { return target_; }

private:
    String attribute_;
    std::unique_ptr<DataExpression> expression_;
    String target_;
};

class AttributeView final : public ExpressionView {
public:
    using ExpressionView::ExpressionView;
    void Update() override {
        Variant value;
        if (!Evaluate(value)) return;
        const String text = value.Get<String>();
        Element* element = GetElement();
        const Variant* current = element->GetAttribute(Target());
        if (current && current->GetType() == Variant::STRING && current->Get<String>() == text) return;
        element->SetAttribute(Target(), text);
    }
};

class ClassView final : public ExpressionView {
public:
    using ExpressionView::ExpressionView;
    void Update() override {
        Variant value;
        if (Evaluate(value)) GetElement()->SetClass(Target(), IsTruthy(value));
    }
};

class StyleView final : public ExpressionView {
public:
    using ExpressionView::ExpressionView;
    void Update() override {
        Variant value;
        if (!Evaluate(value)) return;
        const String text = value.Get<String>();
        if (applied_ == text) return;
        PropertyList parsed;
        if (auto problem = ParseDeclaration(Target(), text, parsed)) {
            ReportOnce(Attribute(), *problem);
            return;
        }
        applied_ = text;
        GetElement()->SetLocalProperties(parsed);
    }

private:
    std::optional<String> applied_;  // the value last set
};

// data-if removes the element from layout, data-visible hides it in place:
// the target property takes the hidden value while the condition is false.
class ConditionView final : public ExpressionView {
public:
    ConditionView(Element* element, DataModel* model, String attribute, std::unique_ptr<DataExpression> expression,
                  String property, String hidden_value)
        : ExpressionView(element, model, std::move(attribute), std::move(expression), std::move(property)),
          hidden_value_(std::move(hidden_value)) {}
    void Update() override {
        Variant value;
        const bool shown = Evaluate(value) && IsTruthy(value);
        if (known_ && shown == shown_) return;
        known_ = true;
        shown_ = shown;
        if (shown) {
            GetElement()->RemoveProperty(Target());
        } else {
            GetElement()->SetProperty(Target(), hidden_value_);
        }
    }

private:
    String hidden_value_;
    bool known_ = false;
    bool shown_ = true;
};

class RmlView final : public ExpressionView {
public:
    using ExpressionView::ExpressionView;
    void Update() override {
        Variant value;
        if (!Evaluate(value)) return;
        const String rml = value.Get<String>();
        if (applied_ == rml) return;
        applied_ = rml;
        GetElement()->SetInnerRML(rml);
    }

private:
    std::optional<String> applied_;  // the markup last built
};

class TextView final : public DataView {
public:
    struct Segment {
        String literal;
        std::unique_ptr<DataExpression> expression;
    };
    TextView(ElementText* element, DataModel* model, std::vector<Segment> segments)
        : DataView(element, model), text_(element), segments_(std::move(segments)) {
        StringList dependencies;
        for (const Segment& segment : segments_) {
            if (!segment.expression) continue;
            for (const String& name : segment.expression->Dependencies()) dependencies.push_back(name);
        }
        Register(dependencies);
    }
    void Update() override {
        String text;
        for (const Segment& segment : segments_) {
            if (!segment.expression) {
                text += segment.literal;
                continue;
            }
            Variant value;
            String error;
            if (segment.expression->Evaluate(*GetModel(), value, error)) {
                text += value.Get<String>();
            } else {
                ReportOnce("{{" + segment.literal + "}}", error);
            }
        }
        text_->SetText(text);
    }

private:
    ElementText* text_;
    std::vector<Segment> segments_;
};

// data-value: shows the variable as the "value" attribute and writes each change's "value" back.
class ValueView final : public ExpressionView, public EventListener {
public:
    ValueView(Element* element, DataModel* model, String attribute, std::unique_ptr<DataExpression> expression)
        : ExpressionView(element, model, std::move(attribute), std::move(expression)) {
        element->AddEventListener("change", this);
    }
    ~ValueView() override { GetElement()->RemoveEventListener("change", this); }

    void Update() override {
        Variant value;
        if (!Evaluate(value)) return;
        const String text = value.Get<String>();
        Element* element = GetElement();
        if (element->GetAttribute<String>("value", "") == text && element->HasAttribute("value")) return;
        element->SetAttribute("value", text);
    }

    // Changes raised below the element count too: a custom control's parts raise them.
    void ProcessEvent(Event& event) override {
        if (!event.GetParameters().contains("value")) return;
        DataAddress address;
        String error;
        if (!Expression().EvaluateAddress(*GetModel(), address, error)) {
            ReportOnce(Attribute(), error);
            return;
        }
        const DataVariable variable = ResolveAddress(*GetModel(), address, error);
        if (!variable) {
            ReportOnce(Attribute(), error);
            return;
        }
        if (!variable.definition->Set(variable.ptr, Variant(event.GetParameter<String>("value", "")))) {
            ReportOnce(Attribute(), "the variable cannot be written");
            return;
        }
        GetModel()->DirtyVariable(address.front().name);
    }
};

class EventView final : public DataView, public EventListener {
public:
    EventView(Element* element, DataModel* model, String attribute, String type, DataEventCall call)
        : DataView(element, model), attribute_(std::move(attribute)), type_(std::move(type)), call_(std::move(call)) {
        element->AddEventListener(type_, this);
    }
    ~EventView() override { GetElement()->RemoveEventListener(type_, this); }

    void Update() override {}

    void ProcessEvent(Event& event) override {
        const DataEventFunc* callback = GetModel()->GetEventCallback(call_.name);
        if (!callback) return;
        VariantList arguments;
        for (const auto& argument : call_.arguments) {
            Variant value;
            String error;
            if (!argument->Evaluate(*GetModel(), value, error)) ReportOnce(attribute_, error);
            arguments.push_back(value);
        }
        try {
            (*callback)(DataModelHandle(GetModel()), event, arguments);
        } catch (const std::exception& error) {
            SPDLOG_ERROR("{}: event callback '{}' failed: {}", Where(), call_.name, error.what());
        }
    }

private:
    String attribute_;
    String type_;
    DataEventCall call_;
};

// data-for: the placeholder stays hidden; one item per array entry follows it.
class ForView final : public DataView {
public:
    ForView(Element* element, DataModel* model, std::shared_ptr<const RmlNode> item_template, String iterator,
            String index_name, std::unique_ptr<DataExpression> array)
        : DataView(element, model),
          template_(std::move(item_template)),
          iterator_(std::move(iterator)),
          index_name_(std::move(index_name)),
          array_(std::move(array)) {
        element->SetProperty("display", "none");
        Register(array_->Dependencies());
    }

    ~ForView() override {
        // Items are siblings of the placeholder; they go with it.
        Element* parent = GetElement()->GetParentNode();
        for (const Item& item : items_) {
            if (parent && !item.alive.expired()) parent->RemoveChild(item.element);
        }
    }

    void Update() override {
        DataAddress address;
        String error;
        int size = 0;
        if (array_->EvaluateAddress(*GetModel(), address, error)) {
            const DataVariable variable = ResolveAddress(*GetModel(), address, error);
            if (variable && variable.definition->Type() == DataVariableType::Array) {
                size = variable.definition->Size(variable.ptr);
            } else if (error.empty()) {
                error = "not an array";
            }
        }
        if (!error.empty()) ReportOnce("data-for", error);
        std::erase_if(items_, [](const Item& item) { return item.alive.expired(); });
        Element* parent = GetElement()->GetParentNode();
        if (!parent) return;
        while (static_cast<int>(items_.size()) > size) {
            parent->RemoveChild(items_.back().element);
            items_.pop_back();
        }
        while (static_cast<int>(items_.size()) < size) {
            // An item that cannot be made (logged) ends the list until the next change.
            if (!AddItem(*parent, address, static_cast<int>(items_.size()))) break;
        }
    }

private:
    struct Item {
        Element* element;
        std::weak_ptr<bool> alive;
    };

    bool AddItem(Element& parent, const DataAddress& array_address, int index) {
        ElementAttributes attributes = template_->attributes;
        attributes.erase("data-for");
        const String source = DocumentOf(*GetElement());
        ElementPtr item = CreateElement(&parent, template_->tag, attributes, template_->line, source, false);
        if (!item) return false;
        auto scope = std::make_unique<DataAliasScope>();
        DataAddress item_address = array_address;
        item_address.push_back({"", index});
        scope->aliases[iterator_] = DataAlias{item_address, false, {}};
        scope->aliases[index_name_] = DataAlias{{}, true, Variant(index)};
        item->GetState().alias_scope = std::move(scope);
        Element* after = items_.empty() ? GetElement() : items_.back().element;
        Element* inserted = parent.InsertBefore(std::move(item), after->GetNextSibling());
        items_.push_back({inserted, inserted->GetLifetime()});
        BuildChildren(*inserted, template_->children, source);
        return true;
    }

    std::shared_ptr<const RmlNode> template_;
    String iterator_;
    String index_name_;
    std::unique_ptr<DataExpression> array_;
    std::vector<Item> items_;
};

// "it : list", "item, i : list" or just "list".
bool ParseForAttribute(const String& text, String& iterator, String& index_name, String& array, String& error) {
    iterator = "it";
    index_name = "it_index";
    const std::size_t colon = text.find(':');
    if (colon == String::npos) {
        array = String(StringUtilities::Trim(text));
    } else {
        const StringList names = StringUtilities::Split(std::string_view(text).substr(0, colon), ',');
        if (names.empty() || names.size() > 2) {
            error = "expected 'item : array' or 'item, index : array'";
            return false;
        }
        iterator = names[0];
        if (names.size() == 2) index_name = names[1];
        array = String(StringUtilities::Trim(std::string_view(text).substr(colon + 1)));
    }
    if (array.empty()) error = "missing the array";
    return error.empty();
}

// The element, itself or above, whose "data-model" attribute covers `element`.
const Element* ModelHost(const Element& element) {
    for (const Element* e = &element; e; e = e->GetParentNode()) {
        if (e->HasAttribute("data-model")) return e;
    }
    return nullptr;
}

DataModel* FindModel(const Element& element) {
    Context* context = element.GetContext();
    const Element* host = ModelHost(element);
    if (!context || !host) return nullptr;
    return context->FindDataModel(host->GetAttribute<String>("data-model", ""));
}

void BindText(ElementText& text, DataModel* model) {
    const String& content = text.GetText();
    if (content.find("{{") == String::npos) return;
    if (!model) {
        if (!ModelHost(text)) {
            SPDLOG_ERROR("{}: '{{{{ }}}}' outside any data-model", text.GetSourceLocation());
        }
        return;
    }
    std::vector<TextView::Segment> segments;
    std::size_t pos = 0;
    while (pos < content.size()) {
        const std::size_t open = content.find("{{", pos);
        const std::size_t close = open == String::npos ? String::npos : content.find("}}", open + 2);
        if (open == String::npos || close == String::npos) {
            if (open != String::npos) {
                SPDLOG_ERROR("{}: '{{{{' without '}}}}'", text.GetSourceLocation());
            }
            segments.push_back({content.substr(pos), nullptr});
            break;
        }
        if (open > pos) segments.push_back({content.substr(pos, open - pos), nullptr});
        const String source = content.substr(open + 2, close - open - 2);
        auto expression = PrepareExpression(text, *model, "{{" + source + "}}", source);
        // A bad expression shows nothing in its place; the rest of the text stays.
        if (expression) segments.push_back({source, std::move(expression)});
        pos = close + 2;
    }
    text.GetState().data_views.push_back(std::make_unique<TextView>(&text, model, std::move(segments)));
}

std::unique_ptr<DataView> MakeAttributeView(Element& element, DataModel& model, const String& name, const String& value) {
    const auto expression = [&]() { return PrepareExpression(element, model, name, value); };
    const auto suffix = [&](std::string_view prefix) { return name.substr(prefix.size()); };
    if (name.starts_with("data-attr-")) {
        if (auto e = expression()) return std::make_unique<AttributeView>(&element, &model, name, std::move(e), suffix("data-attr-"));
    } else if (name.starts_with("data-class-")) {
        if (auto e = expression()) return std::make_unique<ClassView>(&element, &model, name, std::move(e), suffix("data-class-"));
    } else if (name.starts_with("data-style-")) {
        if (auto e = expression()) return std::make_unique<StyleView>(&element, &model, name, std::move(e), suffix("data-style-"));
    } else if (name == "data-if") {
        if (auto e = expression()) return std::make_unique<ConditionView>(&element, &model, name, std::move(e), "display", "none");
    } else if (name == "data-visible") {
        if (auto e = expression()) {
            return std::make_unique<ConditionView>(&element, &model, name, std::move(e), "visibility", "hidden");
        }
    } else if (name == "data-rml") {
        if (auto e = expression()) return std::make_unique<RmlView>(&element, &model, name, std::move(e));
    } else if (name == "data-value") {
        if (auto e = expression()) return std::make_unique<ValueView>(&element, &model, name, std::move(e));
    } else if (name.starts_with("data-event-")) {
        String error;
        auto call = ParseDataEventCall(value, error);
        for (std::size_t i = 0; call && i < call->arguments.size(); ++i) {
            if (!call->arguments[i]->Bind(element, model, error)) call.reset();
        }
        if (call && !model.GetEventCallback(call->name)) error = "unknown event callback '" + call->name + "'";
        if (call && error.empty()) {
            return std::make_unique<EventView>(&element, &model, name, suffix("data-event-"), std::move(*call));
        }
        SPDLOG_ERROR("{}: {}=\"{}\": {}", element.GetSourceLocation(), name, value, error);
    } else {
        SPDLOG_WARN("{}: unknown data binding '{}'", element.GetSourceLocation(), name);
    }
    return nullptr;
}

void BindForPlaceholder(Element& element, DataModel& model, const String& value) {
    String iterator, index_name, array, error;
    std::unique_ptr<DataExpression> expression;
    if (ParseForAttribute(value, iterator, index_name, array, error)) {
        expression = DataExpression::Parse(array, error);
        if (expression && !expression->Bind(element, model, error)) expression.reset();
    }
    ElementState& state = element.GetState();
    if (!expression || !state.for_template) {
        if (error.empty()) error = "data-for needs markup to repeat";
        SPDLOG_ERROR("{}: data-for=\"{}\": {}", element.GetSourceLocation(), value, error);
        element.SetProperty("display", "none");
        return;
    }
    state.data_views.push_back(std::make_unique<ForView>(&element, &model, state.for_template, iterator, index_name,
                                                         std::move(expression)));
}

void BindElement(Element& element) {
    ElementState& state = element.GetState();
    if (state.bindings_applied) return;
    state.bindings_applied = true;
    DataModel* model = FindModel(element);
    if (auto* text = dynamic_cast<ElementText*>(&element)) {
        BindText(*text, model);
        return;
    }
    if (const Variant* name = element.GetAttribute("data-model"); name && !model) {
        SPDLOG_ERROR("{}: unknown data model '{}'", element.GetSourceLocation(), name->Get<String>());
    }
    // Copy: views may set attributes while they are made.
    std::vector<std::pair<String, String>> bindings;
    for (const auto& [name, value] : element.GetAttributes()) {
        if (name.starts_with("data-") && name != "data-model") {
            bindings.emplace_back(name, value.Get<String>());
        } else if (value.Get<String>().find("{{") != String::npos) {
            SPDLOG_WARN("{}: '{{{{ }}}}' is not read in attribute '{}'; use data-attr-{}", element.GetSourceLocation(),
                        name, name);
        }
    }
    if (bindings.empty()) return;
    if (!model) {
        if (!ModelHost(element)) {
            SPDLOG_ERROR("{}: data binding '{}' outside any data-model", element.GetSourceLocation(),
                         bindings.front().first);
        }
        return;
    }
    std::sort(bindings.begin(), bindings.end());
    for (const auto& [name, value] : bindings) {
        if (name == "data-for") {
            // The other bindings of a data-for element belong to its items.
            BindForPlaceholder(element, *model, value);
            return;
        }
    }
    for (const auto& [name, value] : bindings) {
        if (auto view = MakeAttributeView(element, *model, name, value)) state.data_views.push_back(std::move(view));
    }
}

}  // namespace

DataView::DataView(Element* element, DataModel* model) : element_(element), model_(model), sequence_(next_sequence++) {}

DataView::~DataView() {
    if (registered_) model_->UnregisterView(this);
}

void DataView::Register(const StringList& dependencies) {
    registered_ = true;
    model_->RegisterView(this, dependencies);
}

String DataView::Where() const { return element_->GetSourceLocation(); }

void DataView::ReportOnce(const String& what, const String& problem) {
    if (reported_) return;
    reported_ = true;
    SPDLOG_ERROR("{}: {}: {}", Where(), what, problem);
}

void BindDataSubtree(Element& root) {
    BindElement(root);
    if (root.GetState().for_template) return;
    for (const ElementPtr& child : root.GetChildren()) BindDataSubtree(*child);
}

}  // namespace Rml
