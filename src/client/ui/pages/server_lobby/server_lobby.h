#pragma once

#include "client/ui/pages/page_document/page_document.h"

namespace UI::ServerLobby {

inline constexpr char document_path[] = "build/assets/ui/pages/server_lobby/server_lobby.rml";

// The lobby of a joined server.
using Page = DocumentOnlyPage<document_path>;

}  // namespace UI::ServerLobby
