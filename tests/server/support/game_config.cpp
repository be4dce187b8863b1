#include "server/support/game_config.h"

namespace server_test {

Config game_config() {
    static const Config loaded;
    return loaded;
}

}  // namespace server_test
