#pragma once

#include "client/ui/pages/page_document/page_document.h"

namespace UI::MatchFinder {

inline constexpr char document_path[] = "build/assets/ui/pages/match_finder/match_finder.rml";

// The match finder of the match flow.
using Page = DocumentOnlyPage<document_path>;

}  // namespace UI::MatchFinder
