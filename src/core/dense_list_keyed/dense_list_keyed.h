#pragma once

#include <concepts>
#include <cstdint>
#include <optional>
#include <queue>
#include <unordered_map>
#include <vector>

#include <spdlog/spdlog.h>

// Refers to one entity of a keyed list: its stable id, and the row and that
// row's generation when the key was made or last refreshed. Id 0 means none.
struct DenseListKey {
    std::uint32_t id = 0;
    std::uint32_t index = 0;
    std::uint32_t gen = 0;

    bool operator==(const DenseListKey&) const = default;
};

// What the keyed list needs of a structure-of-arrays component store.
template <typename T>
concept DenseStore = std::default_initializable<T> &&
                     requires(T& store, const T& const_store, std::uint32_t idx) {
                         { const_store.size() } -> std::same_as<std::uint32_t>;
                         store.push_back();
                         { store.pop_back() } -> std::same_as<bool>;
                         { store.swap_remove(idx) } -> std::same_as<bool>;
                     };

// A component store whose rows stay dense (0 to size() - 1), with stable ids
// on top. A row number is valid only until the next removal; code that must
// survive removals keeps an id or a DenseListKey.
template <DenseStore T>
class DenseListKeyed {
public:
    static constexpr std::uint32_t max_id = 4999;

    DenseListKeyed() {
        for (std::uint32_t id = 1; id <= max_id; ++id) {
            available_ids.push(id);
        }
    }

    std::uint32_t size() const { return dense_list.size(); }

    // Appends one row of defaults under `seed_id`, or under the oldest free id
    // when `seed_id` is -1. An id that is live already, or no free id left,
    // adds nothing and returns a key with id 0.
    DenseListKey push_back(int seed_id) {
        const std::optional<std::uint32_t> id =
            seed_id == -1 ? take_free_id() : check_given_id(static_cast<std::uint32_t>(seed_id));
        if (!id) {
            return {};
        }
        dense_list.push_back();
        const std::uint32_t row = size() - 1;
        id_index_map[*id] = row;
        index_id_map[row] = *id;
        generation_index.push_back(1);
        return {*id, row, 1};
    }

    bool remove_by_idx(std::uint32_t idx) {
        if (idx >= size()) {
            SPDLOG_WARN("Failed to remove invalid index: {}", idx);
            return false;
        }
        return idx == size() - 1 ? pop_back() : swap_remove(idx);
    }

    bool remove_by_id(std::uint32_t id) {
        const std::optional<std::uint32_t> row = get_index_by_id(id);
        return row && remove_by_idx(*row);
    }

    // The key's current row. When the row's generation no longer matches, the
    // key is re-resolved by its id and refreshed in place.
    std::optional<std::uint32_t> get_index_by_key(DenseListKey& key) const {
        const std::optional<std::uint32_t> gen = get_gen_by_index(key.index);
        if (gen && key.gen == *gen) {
            return key.index;
        }
        const std::optional<std::uint32_t> row = gen ? get_index_by_id(key.id) : std::nullopt;
        if (!row) {
            SPDLOG_WARN("No index found for key with id: {}", key.id);
            return std::nullopt;
        }
        key.index = *row;
        key.gen = generation_index[*row];
        return row;
    }

    std::optional<std::uint32_t> get_index_by_id(std::uint32_t id) const {
        const auto found = id_index_map.find(id);
        if (found == id_index_map.end()) {
            SPDLOG_WARN("No index found for id: {}", id);
            return std::nullopt;
        }
        return found->second;
    }

    std::optional<std::uint32_t> get_id_by_index(std::uint32_t idx) const {
        const auto found = index_id_map.find(idx);
        if (found == index_id_map.end()) {
            SPDLOG_WARN("No id found for index: {}", idx);
            return std::nullopt;
        }
        return found->second;
    }

    std::optional<std::uint32_t> get_gen_by_index(std::uint32_t idx) const {
        if (idx >= size()) {
            SPDLOG_WARN("No gen found for index: {}", idx);
            return std::nullopt;
        }
        return generation_index[idx];
    }

    std::optional<DenseListKey> make_key_for_id(std::uint32_t id) const {
        const std::optional<std::uint32_t> row = get_index_by_id(id);
        if (!row) {
            SPDLOG_WARN("Could not make key for invalid id: {}", id);
            return std::nullopt;
        }
        return DenseListKey{id, *row, generation_index[*row]};
    }

    // Expects a live row: for any other idx it warns and throws
    // std::bad_optional_access.
    std::optional<DenseListKey> make_key_for_index(std::uint32_t idx) const {
        const std::uint32_t gen = get_gen_by_index(idx).value();
        const std::uint32_t id = get_id_by_index(idx).value();
        return DenseListKey{id, idx, gen};
    }

    // True from a push_back that found no free id until one is handed out
    // again, so that a shortage is reported when it starts and not at every
    // attempt while it lasts.
    bool out_of_free_ids() const { return free_ids_ran_out; }

    T dense_list;

private:
    // A given id may also wait in the free queue; such a stale entry is
    // dropped here and comes back when that id's row is removed.
    std::optional<std::uint32_t> take_free_id() {
        while (!available_ids.empty()) {
            const std::uint32_t id = available_ids.front();
            available_ids.pop();
            if (!id_index_map.contains(id)) {
                free_ids_ran_out = false;
                return id;
            }
        }
        if (!free_ids_ran_out) {
            SPDLOG_WARN("push_back: no free id left; no row added");
        }
        free_ids_ran_out = true;
        return std::nullopt;
    }

    std::optional<std::uint32_t> check_given_id(std::uint32_t id) const {
        if (id_index_map.contains(id)) {
            SPDLOG_WARN("push_back: id {} is already live; no row added", id);
            return std::nullopt;
        }
        return id;
    }

    bool pop_back() {
        if (size() == 0) {
            SPDLOG_WARN("Can't pop_back empty");
            return false;
        }
        const std::uint32_t idx = size() - 1;
        const std::uint32_t id = index_id_map.at(idx);
        const bool ok = dense_list.pop_back();
        if (ok) {
            index_id_map.erase(idx);
            id_index_map.erase(id);
            available_ids.push(id);
            generation_index.pop_back();
        }
        return ok;
    }

    // Moves the last row into row idx; the moved row's generation grows so
    // that keys still pointing at row idx re-resolve by id.
    bool swap_remove(std::uint32_t idx) {
        if (idx >= size()) {
            SPDLOG_WARN("Can't swap remove out of bounds index: {}", idx);
            return false;
        }
        const std::uint32_t last = size() - 1;
        const std::uint32_t removed_id = index_id_map.at(idx);
        const std::uint32_t moved_id = index_id_map.at(last);
        const bool ok = dense_list.swap_remove(idx);
        if (ok) {
            index_id_map.erase(last);
            index_id_map[idx] = moved_id;
            id_index_map.erase(removed_id);
            id_index_map[moved_id] = idx;
            available_ids.push(removed_id);
            generation_index.pop_back();
            ++generation_index[idx];
        }
        return ok;
    }

    std::queue<std::uint32_t> available_ids;
    std::unordered_map<std::uint32_t, std::uint32_t> id_index_map;
    std::unordered_map<std::uint32_t, std::uint32_t> index_id_map;
    std::vector<std::uint32_t> generation_index;
    bool free_ids_ran_out = false;
};
