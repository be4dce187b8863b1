#pragma once

#include <memory>
#include <bitset>

#include "lib/rml/element/element.h"
#include "lib/rml/style_sheet/style_sheet.h"

namespace Rml {

enum class ModalFlag { None, Modal, Keep };
enum class FocusFlag { None, Document, Keep, Auto };
enum class ScrollFlag { None, Auto };

// One step of painting a document: an element, or the scroll thumbs of a box
// that scrolls, which come after all the box holds.
struct PaintStep {
    Element* element;
    bool thumbs = false;
};

// The root of a loaded document: the <body> element. Documents start hidden.
class ElementDocument : public Element {
public:
    explicit ElementDocument(const String& tag);
    ~ElementDocument() override;

    void Show(ModalFlag modal_flag = ModalFlag::None, FocusFlag focus_flag = FocusFlag::Auto,
              ScrollFlag scroll_flag = ScrollFlag::Auto);
    void Hide();
    // Unloads the document from its context (it is destroyed on the next update).
    void Close();
    const String& GetTitle() const { return title_; }
    void SetTitle(const String& title) { title_ = title; }
    const String& GetSourceURL() const { return source_url_; }

    // Toolkit internals.
    void SetSourceURL(const String& url) { source_url_ = url; }
    void AttachToContext(Context* context);
    bool IsShown() const { return shown_; }
    const StyleSheet& GetStyleSheet() const { return *style_sheet_; }
    void AddStyleSheet(const StyleSheet& sheet);
    bool UsesPseudoClass(const String& name) const { return style_sheet_->UsesPseudoClass(name); }
    // Logs a problem found while computing an element's style, once per property and
    // document: a value that changes every frame must not log every frame.
    void ReportStyleProblem(const Element& element, PropertyId id, const String& problem);
    // Recomputes dirty styles; marks the layout dirty when a box may have moved or resized.
    void UpdateStyle();
    void DirtyDocumentLayout() { layout_dirty_ = true; }
    // An element left the tree: the paint order must not be used until the next layout.
    void InvalidatePaintOrder() {
        paint_order_.clear();
        layout_dirty_ = true;
    }
    bool IsLayoutDirty() const { return layout_dirty_; }
    void ClearLayoutDirty() { layout_dirty_ = false; }
    void DirtyPositions() { positions_dirty_ = true; }
    bool ArePositionsDirty() const { return positions_dirty_; }
    void ClearPositionsDirty() { positions_dirty_ = false; }
    // Elements in paint order, rebuilt with each layout.
    std::vector<PaintStep>& PaintOrder() { return paint_order_; }
    void RequestScrollIntoView(Element& element, ScrollIntoViewOptions options);
    // Carries out the requests on the current layout; true when there were any.
    bool ScrollRequestedIntoView();

private:
    struct ScrollRequest {
        std::weak_ptr<bool> lifetime;
        Element* element;
        ScrollIntoViewOptions options;
    };

    String title_;
    String source_url_;
    std::shared_ptr<StyleSheet> style_sheet_;
    std::vector<PaintStep> paint_order_;
    std::bitset<kPropertyCount> reported_style_problems_;
    std::vector<ScrollRequest> scroll_requests_;
    bool shown_ = false;
    bool layout_dirty_ = true;
    bool positions_dirty_ = true;
};

}  // namespace Rml
