#include "lib/rml/element_input/element_input.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include <spdlog/spdlog.h>

#include "lib/rml/context/context.h"
#include "lib/rml/core/core.h"
#include "lib/rml/element_document/element_document.h"
#include "lib/rml/font_engine/font_engine.h"
#include "lib/rml/input/input.h"
#include "lib/rml/string_utilities/string_utilities.h"
#include "lib/rml/system_interface/system_interface.h"

namespace Rml {

namespace {

bool IsControl(char32_t code_point) { return code_point < 0x20 || code_point == 0x7F; }

// A double-click selects a run of these: a whole number such as -12.5, or a word.
bool IsWordCharacter(char32_t code_point) {
    if (code_point >= 0x80) return true;
    const auto c = static_cast<unsigned char>(code_point);
    return std::isalnum(c) || c == '.' || c == '-' || c == '_';
}

}  // namespace

ElementInput::ElementInput(const String& tag) : Element(tag) {}

void ElementInput::OnAttributeChange(const ElementAttributes& changed_attributes) {
    Element::OnAttributeChange(changed_attributes);
    if (auto it = changed_attributes.find("type"); it != changed_attributes.end()) {
        const String type = StringUtilities::ToLower(it->second.Get<String>("text"));
        password_ = type == "password";
        if (type != "text" && type != "password" && !type.empty()) {
            SPDLOG_WARN("{}: input type '{}' is not supported; it works as a text field", GetSourceLocation(), type);
        }
        DirtyLayout();
    }
    if (auto it = changed_attributes.find("value"); it != changed_attributes.end()) {
        const String value = it->second.Get<String>();
        if (value != value_) {
            value_ = value;
            caret_ = std::min(caret_, value_.size());
            while (caret_ > 0 && caret_ < value_.size() && (static_cast<unsigned char>(value_[caret_]) & 0xC0) == 0x80) {
                --caret_;
            }
            anchor_ = caret_;
        }
    }
}

bool ElementInput::GetIntrinsicDimensions(Vector2f& dimensions) {
    dimensions = {150, GetComputedValues().line_height};
    return true;
}

String ElementInput::Shown(std::string_view text) const {
    return password_ ? String(StringUtilities::CountCodePoints(text), '*') : String(text);
}

String ElementInput::GetDisplayText() const { return Shown(value_); }

float ElementInput::GetTextOffset(std::size_t index) const {
    return FontEngine::MeasureText(GetComputedValues(), Shown(std::string_view(value_).substr(0, index)));
}

bool ElementInput::HasFocus() const { return GetContext() && GetContext()->GetFocusElement() == this; }

float ElementInput::ScrollKeepingCaret(float width) const {
    const float caret = GetCaretOffset();
    float scroll = text_scroll_;
    if (caret - scroll > width - 1) scroll = caret - width + 1;
    if (caret < scroll) scroll = caret;
    // Never scroll past the end of the text: deleting at the end pulls the text
    // back in from the left instead of leaving the field blank.
    scroll = std::min(scroll, FontEngine::MeasureText(GetComputedValues(), GetDisplayText()) - width + 1);
    return std::max(0.f, scroll);
}

float ElementInput::UpdateTextScroll(float width) {
    text_scroll_ = HasFocus() ? ScrollKeepingCaret(width) : 0;
    return text_scroll_;
}

bool ElementInput::IsCaretVisible(double now) const { return std::fmod(now - caret_reset_time_, 1.0) < 0.5; }

void ElementInput::Edit(String value, std::size_t caret) {
    value_ = std::move(value);
    caret_ = caret;
    anchor_ = caret;
    caret_reset_time_ = GetSystemInterface()->GetElapsedTime();
    SetAttribute("value", value_);
    DispatchEvent("change", {{"value", Variant(value_)}});
}

void ElementInput::Erase(std::size_t start, std::size_t end) {
    String value = value_;
    value.erase(start, end - start);
    Edit(std::move(value), start);
}

void ElementInput::MoveCaret(std::size_t caret) {
    const std::size_t clamped = std::min(caret, value_.size());
    Select(clamped, clamped);
}

void ElementInput::Select(std::size_t anchor, std::size_t caret) {
    anchor_ = anchor;
    caret_ = caret;
    caret_reset_time_ = GetSystemInterface()->GetElapsedTime();
    ActivateKeyboard();
}

void ElementInput::SelectWordAtCaret() {
    // A password's words would tell where its spaces are: it is selected whole.
    if (password_) return Select(0, value_.size());
    std::size_t start = caret_;
    while (start > 0) {
        std::size_t previous = StringUtilities::PreviousCodePoint(value_, start);
        const std::size_t before = previous;
        if (!IsWordCharacter(StringUtilities::DecodeUtf8(value_, previous))) break;
        start = before;
    }
    std::size_t end = caret_;
    while (end < value_.size()) {
        std::size_t next = end;
        if (!IsWordCharacter(StringUtilities::DecodeUtf8(value_, next))) break;
        end = next;
    }
    Select(start, end);
}

void ElementInput::Insert(std::string_view text) {
    String clean;
    std::size_t offset = 0;
    while (offset < text.size()) {
        const char32_t code_point = StringUtilities::DecodeUtf8(text, offset);
        if (!IsControl(code_point)) StringUtilities::AppendUtf8(clean, code_point);
    }
    if (clean.empty()) return;
    const std::size_t start = GetSelectionStart();
    String value = value_;
    value.replace(start, GetSelectionEnd() - start, clean);
    Edit(std::move(value), start + clean.size());
}

void ElementInput::PlaceCaretAt(float x) {
    // The caret goes to the character boundary nearest the click.
    const String shown = GetDisplayText();
    std::size_t best_value_offset = 0;
    float best_distance = std::abs(x);
    std::size_t value_offset = 0;
    std::size_t shown_offset = 0;
    while (value_offset < value_.size()) {
        value_offset = StringUtilities::NextCodePoint(value_, value_offset);
        shown_offset = password_ ? shown_offset + 1 : value_offset;
        const float distance = std::abs(FontEngine::MeasureText(GetComputedValues(), std::string_view(shown).substr(0, shown_offset)) - x);
        if (distance < best_distance) {
            best_distance = distance;
            best_value_offset = value_offset;
        }
    }
    MoveCaret(best_value_offset);
}

void ElementInput::ActivateKeyboard() {
    if (!HasFocus()) return;
    const Vector2f content = GetAbsoluteOffset(BoxArea::Content);
    const float scroll = ScrollKeepingCaret(GetBox().content.x);
    GetSystemInterface()->ActivateKeyboard({content.x + GetCaretOffset() - scroll, content.y},
                                           GetComputedValues().line_height);
}

void ElementInput::ProcessDefaultAction(Event& event) {
    const String& type = event.GetType();
    if (type == "focus") {
        MoveCaret(value_.size());
    } else if (type == "blur") {
        anchor_ = caret_;
        GetSystemInterface()->DeactivateKeyboard();
    } else if (type == "mousedown") {
        // The scroll as last drawn: the press lands on the text the person saw.
        const float x = event.GetParameter<float>("mouse_x", 0) - GetAbsoluteOffset(BoxArea::Content).x + text_scroll_;
        PlaceCaretAt(x);
    } else if (type == "dblclick") {
        // The press before it put the caret under the pointer.
        SelectWordAtCaret();
    } else if (type == "textinput") {
        Insert(event.GetParameter<String>("text", ""));
    } else if (type == "keydown") {
        const auto key = static_cast<Input::KeyIdentifier>(event.GetParameter<int>("key_identifier", 0));
        const bool ctrl = event.GetParameter<bool>("ctrl_key", false);
        switch (key) {
            case Input::KI_BACK:
                if (HasSelection()) EraseSelection();
                else if (caret_ > 0) Erase(StringUtilities::PreviousCodePoint(value_, caret_), caret_);
                break;
            case Input::KI_DELETE:
                if (HasSelection()) EraseSelection();
                else if (caret_ < value_.size()) Erase(caret_, StringUtilities::NextCodePoint(value_, caret_));
                break;
            // With a selection, an arrow goes to its end on that side.
            case Input::KI_LEFT:
                MoveCaret(HasSelection() ? GetSelectionStart() : StringUtilities::PreviousCodePoint(value_, caret_));
                break;
            case Input::KI_RIGHT:
                MoveCaret(HasSelection() ? GetSelectionEnd() : StringUtilities::NextCodePoint(value_, caret_));
                break;
            case Input::KI_HOME: MoveCaret(0); break;
            case Input::KI_END: MoveCaret(value_.size()); break;
            case Input::KI_RETURN:
                DispatchEvent("change", {{"value", Variant(value_)}, {"linebreak", Variant(true)}});
                break;
            case Input::KI_V:
                if (ctrl) {
                    String text;
                    GetSystemInterface()->GetClipboardText(text);
                    Insert(text);
                }
                break;
            case Input::KI_A:
                if (ctrl) Select(0, value_.size());
                break;
            case Input::KI_C:
                // The selection, or the whole text when nothing is selected.
                if (ctrl && !password_) {
                    const std::size_t start = GetSelectionStart();
                    GetSystemInterface()->SetClipboardText(HasSelection() ? value_.substr(start, GetSelectionEnd() - start)
                                                                          : value_);
                }
                break;
            default: break;
        }
    }
}

}  // namespace Rml
