#pragma once

#include "client/ui/pages/page_document/page_document.h"

namespace UI::ServerBrowser {

inline constexpr char document_path[] = "build/assets/ui/pages/server_browser/server_browser.rml";

// The list of servers to join.
using Page = DocumentOnlyPage<document_path>;

}  // namespace UI::ServerBrowser
