#pragma once

#include "client/ui/pages/page_document/page_document.h"

namespace UI::LoadingMatch {

inline constexpr char document_path[] = "build/assets/ui/pages/loading_match/loading_match.rml";

// The screen shown while a match loads.
using Page = DocumentOnlyPage<document_path>;

}  // namespace UI::LoadingMatch
