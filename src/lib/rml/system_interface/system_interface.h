#pragma once

#include "lib/rml/types/types.h"

namespace Rml {

namespace Log {
enum Type { LT_ALWAYS = 0, LT_ERROR, LT_ASSERT, LT_WARNING, LT_INFO, LT_DEBUG, LT_MAX };
}

// What the toolkit asks of the platform: time, log, cursor, clipboard, text input.
class SystemInterface {
public:
    virtual ~SystemInterface() = default;
    virtual double GetElapsedTime();
    virtual bool LogMessage(Log::Type type, const String& message);
    virtual void SetMouseCursor(const String& cursor_name);
    virtual void SetClipboardText(const String& text);
    virtual void GetClipboardText(String& text);
    // A text field took the focus: start text input near the caret.
    virtual void ActivateKeyboard(Vector2f caret_position, float line_height);
    virtual void DeactivateKeyboard();

private:
    String clipboard_;
};

}  // namespace Rml
