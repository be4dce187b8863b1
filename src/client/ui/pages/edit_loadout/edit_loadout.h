#pragma once

#include "client/ui/pages/page_document/page_document.h"

namespace UI::EditLoadout {

inline constexpr char document_path[] = "build/assets/ui/pages/edit_loadout/edit_loadout.rml";

// The loadout editor of the match flow.
using Page = DocumentOnlyPage<document_path>;

}  // namespace UI::EditLoadout
