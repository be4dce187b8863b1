#pragma once

#include "lib/rml/element/element.h"
#include "lib/rml/render_interface/render_interface.h"

namespace Rml {

// <img src="...">: the path is relative to the document; the size comes from
// the image unless the style gives one.
class ElementImage : public Element {
public:
    explicit ElementImage(const String& tag);

    bool GetIntrinsicDimensions(Vector2f& dimensions) override;
    // The loaded texture, or 0 (missing file, or nothing to draw with).
    TextureHandle GetTexture();
    const String& GetResolvedSource();

protected:
    void OnAttributeChange(const ElementAttributes& changed_attributes) override;

private:
    String resolved_;
    bool resolved_valid_ = false;
    bool reported_ = false;
};

}  // namespace Rml
