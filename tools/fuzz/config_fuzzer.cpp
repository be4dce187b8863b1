// libFuzzer target for the configuration loaders. The first byte picks the
// kind ('s' ship, 'm' mount, 'p' projectile, any other byte by its value);
// the rest is the JSON text of that kind's first file. The loader runs in a
// scratch copy of the shipped files, so the fuzzed file is the only bad one.
// An exception is the loader's answer to bad input; anything else is a fault.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <string_view>

#include "core/asset_helpers/asset_helpers.h"
#include "fuzz_support.h"

namespace {

enum class Kind { Ship, Mount, Projectile };

Kind kind_of(std::uint8_t byte) {
    switch (byte) {
        case 's': return Kind::Ship;
        case 'm': return Kind::Mount;
        case 'p': return Kind::Projectile;
        default: return static_cast<Kind>(byte % 3);
    }
}

// The first file each loader reads, so no other file is read before it.
std::filesystem::path fuzzed_file(Kind kind) {
    switch (kind) {
        case Kind::Ship: return "build/assets/ships/frigate_one/frigate_one.json";
        case Kind::Mount: return "build/assets/mounts/mount_small_one/mount_small_one.json";
        case Kind::Projectile: break;
    }
    return "build/assets/projectiles/projectile_small_one/projectile_small_one.json";
}

void load(Kind kind) {
    switch (kind) {
        case Kind::Ship: load_ship_configs(); return;
        case Kind::Mount: load_mount_configs(); return;
        case Kind::Projectile: load_projectile_configs(); return;
    }
}

// The shipped JSON files under build/assets of a scratch directory.
struct AssetCopy {
    ScratchDirectory scratch;

    AssetCopy() {
        silence_logging();
        const std::filesystem::path shipped = VOIDLANCE_SOURCE_DIR "/src/assets";
        for (const auto& entry : std::filesystem::recursive_directory_iterator(shipped)) {
            if (entry.path().extension() != ".json") continue;
            const std::filesystem::path copy =
                scratch.path / "build/assets" / std::filesystem::relative(entry.path(), shipped);
            std::filesystem::create_directories(copy.parent_path());
            std::filesystem::copy_file(entry.path(), copy);
        }
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const AssetCopy assets;
    if (size == 0) return 0;
    const Kind kind = kind_of(data[0]);
    write_file(assets.scratch.path / fuzzed_file(kind),
               std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1));
    const WorkingDirectoryChange in_scratch(assets.scratch.path);
    try {
        load(kind);
    } catch (const std::exception&) {
    }
    return 0;
}
