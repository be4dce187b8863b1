#pragma once

#include <functional>
#include <iterator>
#include <memory>
#include <typeindex>
#include <unordered_map>
#include <vector>

#include <spdlog/spdlog.h>

#include "lib/rml/types/types.h"
#include "lib/rml/variant/variant.h"

namespace Rml {

enum class DataVariableType { Scalar, Array, Struct, Function };

class VariableDefinition;

// A typed view of one value inside a data model: its definition and address.
struct DataVariable {
    VariableDefinition* definition = nullptr;
    void* ptr = nullptr;
    explicit operator bool() const { return definition != nullptr; }
};

class VariableDefinition {
public:
    explicit VariableDefinition(DataVariableType type) : type_(type) {}
    virtual ~VariableDefinition() = default;
    DataVariableType Type() const { return type_; }
    virtual bool Get(void* ptr, Variant& out);
    virtual bool Set(void* ptr, const Variant& in);
    virtual int Size(void* ptr);
    virtual DataVariable Member(void* ptr, const String& name);
    virtual DataVariable Element(void* ptr, int index);

private:
    DataVariableType type_;
};

template <typename T>
concept DataScalar = std::is_arithmetic_v<T> || std::same_as<T, String>;

template <DataScalar T>
class ScalarDefinition final : public VariableDefinition {
public:
    ScalarDefinition() : VariableDefinition(DataVariableType::Scalar) {}
    bool Get(void* ptr, Variant& out) override {
        out = Variant(*static_cast<T*>(ptr));
        return true;
    }
    bool Set(void* ptr, const Variant& in) override { return in.GetInto(*static_cast<T*>(ptr)); }
};

template <typename Container>
class ArrayDefinition final : public VariableDefinition {
public:
    explicit ArrayDefinition(VariableDefinition* element) : VariableDefinition(DataVariableType::Array), element_(element) {}
    int Size(void* ptr) override { return static_cast<int>(static_cast<Container*>(ptr)->size()); }
    DataVariable Element(void* ptr, int index) override {
        auto& container = *static_cast<Container*>(ptr);
        if (index < 0 || index >= static_cast<int>(container.size())) return {};
        return {element_, &*std::next(container.begin(), index)};
    }

private:
    VariableDefinition* element_;
};

class StructDefinition final : public VariableDefinition {
public:
    using Resolver = std::function<void*(void*)>;
    StructDefinition() : VariableDefinition(DataVariableType::Struct) {}
    bool AddMember(const String& name, VariableDefinition* definition, Resolver resolver);
    DataVariable Member(void* ptr, const String& name) override;

private:
    struct MemberEntry {
        VariableDefinition* definition;
        Resolver resolver;
    };
    std::unordered_map<String, MemberEntry> members_;
};

using DataGetFunc = std::function<void(Variant&)>;
using DataSetFunc = std::function<void(const Variant&)>;

class FuncDefinition final : public VariableDefinition {
public:
    FuncDefinition(DataGetFunc get, DataSetFunc set)
        : VariableDefinition(DataVariableType::Function), get_(std::move(get)), set_(std::move(set)) {}
    bool Get(void* ptr, Variant& out) override;
    bool Set(void* ptr, const Variant& in) override;

private:
    DataGetFunc get_;
    DataSetFunc set_;
};

// The types one data model knows; scalars are known without registration.
class TypeRegister {
public:
    template <typename T>
    VariableDefinition* GetDefinition() {
        if constexpr (DataScalar<T>) {
            auto& slot = definitions_[typeid(T)];
            if (!slot) slot = std::make_unique<ScalarDefinition<T>>();
            return slot.get();
        } else {
            const auto it = definitions_.find(typeid(T));
            return it == definitions_.end() ? nullptr : it->second.get();
        }
    }

    template <typename T>
    StructDefinition* RegisterStruct() {
        auto& slot = definitions_[typeid(T)];
        if (slot) {
            SPDLOG_ERROR("Data type is already registered in this model");
            return nullptr;
        }
        auto definition = std::make_unique<StructDefinition>();
        StructDefinition* raw = definition.get();
        slot = std::move(definition);
        return raw;
    }

    template <typename Container>
    bool RegisterArray() {
        using Value = typename Container::value_type;
        VariableDefinition* element = GetDefinition<Value>();
        if (!element) {
            SPDLOG_ERROR("Array element type must be registered before its array");
            return false;
        }
        auto& slot = definitions_[typeid(Container)];
        if (slot) return true;
        slot = std::make_unique<ArrayDefinition<Container>>(element);
        return true;
    }

private:
    std::unordered_map<std::type_index, std::unique_ptr<VariableDefinition>> definitions_;
};

}  // namespace Rml
