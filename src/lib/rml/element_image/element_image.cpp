#include "lib/rml/element_image/element_image.h"

#include <spdlog/spdlog.h>

#include "lib/rml/document_loader/document_loader.h"
#include "lib/rml/element_document/element_document.h"
#include "lib/rml/image_cache/image_cache.h"

namespace Rml {

ElementImage::ElementImage(const String& tag) : Element(tag) {}

void ElementImage::OnAttributeChange(const ElementAttributes& changed_attributes) {
    Element::OnAttributeChange(changed_attributes);
    if (changed_attributes.contains("src")) {
        resolved_valid_ = false;
        reported_ = false;
        DirtyLayout();
    }
}

const String& ElementImage::GetResolvedSource() {
    if (resolved_valid_) return resolved_;
    const String source = GetAttribute<String>("src", "");
    const ElementDocument* document = GetOwnerDocument();
    resolved_ = source.empty() || !document ? source : ResolvePath(document->GetSourceURL(), source);
    // Until the element sits in a document the path may still change.
    resolved_valid_ = document != nullptr;
    return resolved_;
}

bool ElementImage::GetIntrinsicDimensions(Vector2f& dimensions) {
    dimensions = {0, 0};
    const String& path = GetResolvedSource();
    if (path.empty()) return true;
    const ImageCache::Image& image = ImageCache::Get(path);
    if (image.failed) {
        if (!reported_) {
            reported_ = true;
            SPDLOG_WARN("{}: cannot load image '{}'", GetSourceLocation(), path);
        }
        return true;
    }
    dimensions = {static_cast<float>(image.dimensions.x), static_cast<float>(image.dimensions.y)};
    return true;
}

TextureHandle ElementImage::GetTexture() {
    const String& path = GetResolvedSource();
    if (path.empty()) return 0;
    return ImageCache::Get(path).texture;
}

}  // namespace Rml
