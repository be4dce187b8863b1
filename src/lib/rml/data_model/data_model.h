#pragma once

#include <functional>
#include <memory>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include <spdlog/spdlog.h>

#include "lib/rml/data_variable/data_variable.h"
#include "lib/rml/event/event.h"
#include "lib/rml/types/types.h"
#include "lib/rml/variant/variant.h"

namespace Rml {

class DataModel;
class DataView;

// A light handle on a model through which the game marks variables changed.
class DataModelHandle {
public:
    DataModelHandle() = default;
    explicit DataModelHandle(DataModel* model) : model_(model) {}
    bool IsVariableDirty(const String& variable_name) const;
    void DirtyVariable(const String& variable_name);
    void DirtyAllVariables();
    explicit operator bool() const { return model_ != nullptr; }

private:
    DataModel* model_ = nullptr;
};

using DataEventFunc = std::function<void(DataModelHandle, Event&, const VariantList&)>;

// Variables, event callbacks and the views bound to them for one "data-model" name.
class DataModel {
public:
    explicit DataModel(String name);
    ~DataModel();
    DataModel(const DataModel&) = delete;
    DataModel& operator=(const DataModel&) = delete;

    const String& GetName() const { return name_; }
    TypeRegister& Types() { return types_; }

    bool BindVariable(const String& name, DataVariable variable);
    bool BindFunc(const String& name, DataGetFunc get, DataSetFunc set);
    bool BindEventCallback(const String& name, DataEventFunc callback);
    DataVariable GetVariable(const String& name) const;
    bool HasVariable(const String& name) const { return variables_.contains(name); }
    const DataEventFunc* GetEventCallback(const String& name) const;

    void DirtyVariable(const String& name) { dirty_.insert(name); }
    bool IsVariableDirty(const String& name) const { return dirty_.contains(name); }
    void DirtyAllVariables();

    // A new view is refreshed on the next update, then whenever one of its variables is dirty.
    void RegisterView(DataView* view, const StringList& dependencies);
    void UnregisterView(DataView* view);
    // Refreshes the views of the dirty variables; false when nothing was to do.
    bool Update();

private:
    String name_;
    TypeRegister types_;
    std::unordered_map<String, DataVariable> variables_;
    std::vector<std::unique_ptr<FuncDefinition>> functions_;
    std::unordered_map<String, DataEventFunc> events_;
    std::unordered_set<String> dirty_;
    std::unordered_map<String, std::vector<DataView*>> views_by_variable_;
    std::unordered_map<DataView*, StringList> live_views_;
    std::vector<DataView*> pending_views_;
};

template <typename Object>
class StructHandle {
public:
    StructHandle(TypeRegister* types, StructDefinition* definition) : types_(types), definition_(definition) {}

    template <typename MemberType>
    StructHandle<Object>& RegisterMember(const String& name, MemberType Object::*member_ptr) {
        if (!definition_) return *this;
        VariableDefinition* member_definition = types_->GetDefinition<MemberType>();
        if (!member_definition) {
            SPDLOG_ERROR("Member '{}' has a type that is not registered in the data model", name);
            return *this;
        }
        const bool added = definition_->AddMember(name, member_definition, [member_ptr](void* object) -> void* {
            return &(static_cast<Object*>(object)->*member_ptr);
        });
        if (!added) SPDLOG_ERROR("Member '{}' is registered twice", name);
        return *this;
    }

    explicit operator bool() const { return definition_ != nullptr; }

private:
    TypeRegister* types_;
    StructDefinition* definition_;
};

// Builds a data model; invalid (false) when the context refused the name.
class DataModelConstructor {
public:
    DataModelConstructor() = default;
    explicit DataModelConstructor(DataModel* model) : model_(model) {}
    explicit operator bool() const { return model_ != nullptr; }

    template <typename T>
    bool Bind(const String& name, T* ptr) {
        if (!model_) return false;
        if (!ptr) {
            SPDLOG_ERROR("Data model '{}': variable '{}' bound to a null pointer", model_->GetName(), name);
            return false;
        }
        VariableDefinition* definition = model_->Types().GetDefinition<T>();
        if (!definition) {
            SPDLOG_ERROR("Data model '{}': the type of variable '{}' is not registered", model_->GetName(), name);
            return false;
        }
        return model_->BindVariable(name, DataVariable{definition, ptr});
    }

    bool BindFunc(const String& name, DataGetFunc get_func, DataSetFunc set_func = {});
    bool BindEventCallback(const String& name, DataEventFunc event_func);

    template <typename T>
    StructHandle<T> RegisterStruct() {
        if (!model_) return StructHandle<T>(nullptr, nullptr);
        return StructHandle<T>(&model_->Types(), model_->Types().RegisterStruct<T>());
    }

    template <typename Container>
    bool RegisterArray() {
        return model_ && model_->Types().RegisterArray<Container>();
    }

    DataModelHandle GetModelHandle() const { return DataModelHandle(model_); }

private:
    DataModel* model_ = nullptr;
};

}  // namespace Rml
