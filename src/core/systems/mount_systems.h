#pragma once

// Mount attachment and mount turning.

#include <cmath>
#include <concepts>
#include <cstddef>
#include <cstdint>

#include "core/components/mounts/mounts.h"
#include "core/dense_list_keyed/dense_list_keyed.h"

template <typename T>
concept ParentStorage = requires(T& s, std::size_t i) {
    { s.x[i] } -> std::convertible_to<float>;
    { s.y[i] } -> std::convertible_to<float>;
    { s.rot[i] } -> std::convertible_to<float>;
};

template <typename T>
concept ChildStorage = requires(T& s, std::size_t i) {
    { s.size() } -> std::convertible_to<std::size_t>;
    { s.parent_key[i] } -> std::same_as<DenseListKey&>;
    { s.parent_rot[i] } -> std::same_as<float&>;
    { s.rot[i] } -> std::same_as<float&>;
    { s.local_x[i] } -> std::convertible_to<float>;
    { s.local_y[i] } -> std::convertible_to<float>;
    { s.x[i] } -> std::same_as<float&>;
    { s.y[i] } -> std::same_as<float&>;
};

// Places every child at its slot on its parent and turns it by the parent's
// change of rotation since the last call. A child whose parent is gone keeps its pose.
template <ParentStorage Parent, ChildStorage Child>
void update_child(DenseListKeyed<Child>& child_store, DenseListKeyed<Parent>& parent_store) {
    Child& children = child_store.dense_list;
    const Parent& parents = parent_store.dense_list;
    for (std::uint32_t idx = 0; idx < children.size(); ++idx) {
        const auto parent_index = parent_store.get_index_by_key(children.parent_key[idx]);
        if (!parent_index) {
            continue;
        }
        const float p = parents.rot[*parent_index];
        const float parent_delta_rot = p - children.parent_rot[idx];
        children.parent_rot[idx] = p;
        children.rot[idx] = children.rot[idx] + parent_delta_rot;
        const float c = std::cos(p);
        const float s = std::sin(p);
        const float local_x = children.local_x[idx];
        const float local_y = children.local_y[idx];
        children.x[idx] = (local_x * c + parents.x[*parent_index]) - local_y * s;
        children.y[idx] = (local_x * s + parents.y[*parent_index]) + local_y * c;
    }
}

// Turns every mount toward its target_rot at its turn speed, the shorter way;
// within 0.01 rad it snaps onto the target.
void rotate_mount(DenseListKeyed<Mounts>& mounts);
