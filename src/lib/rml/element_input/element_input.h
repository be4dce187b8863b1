#pragma once

#include <algorithm>

#include "lib/rml/element/element.h"

namespace Rml {

// A one-line text field ("text" or "password"). It takes the focus on a
// click, edits with typed text, Backspace, Delete, the arrows, Home and End,
// selects all with Ctrl+A and a word with a double-click (typing replaces the
// selection), and raises "change" with the parameter "value" after every edit.
class ElementInput : public Element {
public:
    explicit ElementInput(const String& tag);

    bool IsFocusable() const override { return true; }
    bool GetIntrinsicDimensions(Vector2f& dimensions) override;
    void ProcessDefaultAction(Event& event) override;

    const String& GetValue() const { return value_; }
    std::size_t GetCaretIndex() const { return caret_; }
    bool IsPassword() const { return password_; }
    // The text as drawn: the value, or one '*' per character of a password.
    String GetDisplayText() const;
    // Caret offset in pixels from the start of the text.
    float GetCaretOffset() const { return GetTextOffset(caret_); }
    // Offset in pixels of the boundary before byte `index` of the value.
    float GetTextOffset(std::size_t index) const;
    // The selected bytes [start, end) of the value; empty when start == end.
    std::size_t GetSelectionStart() const { return std::min(anchor_, caret_); }
    std::size_t GetSelectionEnd() const { return std::max(anchor_, caret_); }
    // Horizontal scroll of the text in a field of `width` pixels, kept as drawn:
    // while focused the caret stays in view, otherwise the text shows from its start.
    float UpdateTextScroll(float width);
    bool IsCaretVisible(double now) const;

protected:
    void OnAttributeChange(const ElementAttributes& changed_attributes) override;

private:
    // The text as drawn: itself, or one '*' per character of a password.
    String Shown(std::string_view text) const;
    void Edit(String value, std::size_t caret);
    // Removes the bytes [start, end) and leaves the caret at `start`.
    void Erase(std::size_t start, std::size_t end);
    void MoveCaret(std::size_t caret);
    // Selects [anchor, caret), the caret at the end that moved last.
    void Select(std::size_t anchor, std::size_t caret);
    void SelectWordAtCaret();
    bool HasSelection() const { return anchor_ != caret_; }
    void EraseSelection() { Erase(GetSelectionStart(), GetSelectionEnd()); }
    void Insert(std::string_view text);
    void PlaceCaretAt(float x);
    void ActivateKeyboard();
    bool HasFocus() const;
    // The drawn scroll moved just enough to show the caret, never past the text's end.
    float ScrollKeepingCaret(float width) const;

    String value_;
    std::size_t caret_ = 0;
    // The fixed end of the selection; the caret is the other.
    std::size_t anchor_ = 0;
    bool password_ = false;
    float text_scroll_ = 0;
    double caret_reset_time_ = 0;
};

}  // namespace Rml
