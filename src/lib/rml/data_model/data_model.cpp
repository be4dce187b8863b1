#include "lib/rml/data_model/data_model.h"

#include <algorithm>

#include "lib/rml/data_view/data_view.h"
#include "lib/rml/element/element.h"

namespace Rml {

bool DataModelHandle::IsVariableDirty(const String& variable_name) const {
    return model_ && model_->IsVariableDirty(variable_name);
}

void DataModelHandle::DirtyVariable(const String& variable_name) {
    if (model_) model_->DirtyVariable(variable_name);
}

void DataModelHandle::DirtyAllVariables() {
    if (model_) model_->DirtyAllVariables();
}

bool DataModelConstructor::BindFunc(const String& name, DataGetFunc get_func, DataSetFunc set_func) {
    return model_ && model_->BindFunc(name, std::move(get_func), std::move(set_func));
}

bool DataModelConstructor::BindEventCallback(const String& name, DataEventFunc event_func) {
    return model_ && model_->BindEventCallback(name, std::move(event_func));
}

DataModel::DataModel(String name) : name_(std::move(name)) {}

DataModel::~DataModel() = default;

bool DataModel::BindVariable(const String& name, DataVariable variable) {
    if (!variables_.emplace(name, variable).second) {
        SPDLOG_ERROR("Data model '{}': variable '{}' is already bound", name_, name);
        return false;
    }
    return true;
}

bool DataModel::BindFunc(const String& name, DataGetFunc get, DataSetFunc set) {
    if (!get) {
        SPDLOG_ERROR("Data model '{}': function variable '{}' has no getter", name_, name);
        return false;
    }
    auto definition = std::make_unique<FuncDefinition>(std::move(get), std::move(set));
    if (!BindVariable(name, DataVariable{definition.get(), nullptr})) return false;
    functions_.push_back(std::move(definition));
    return true;
}

bool DataModel::BindEventCallback(const String& name, DataEventFunc callback) {
    if (!callback || !events_.emplace(name, std::move(callback)).second) {
        SPDLOG_ERROR("Data model '{}': event callback '{}' is empty or already bound", name_, name);
        return false;
    }
    return true;
}

DataVariable DataModel::GetVariable(const String& name) const {
    const auto it = variables_.find(name);
    return it == variables_.end() ? DataVariable{} : it->second;
}

const DataEventFunc* DataModel::GetEventCallback(const String& name) const {
    const auto it = events_.find(name);
    return it == events_.end() ? nullptr : &it->second;
}

void DataModel::DirtyAllVariables() {
    for (const auto& [name, variable] : variables_) dirty_.insert(name);
}

void DataModel::RegisterView(DataView* view, const StringList& dependencies) {
    live_views_[view] = dependencies;
    for (const String& name : dependencies) views_by_variable_[name].push_back(view);
    pending_views_.push_back(view);
}

void DataModel::UnregisterView(DataView* view) {
    const auto it = live_views_.find(view);
    if (it == live_views_.end()) return;
    for (const String& name : it->second) {
        auto& views = views_by_variable_[name];
        std::erase(views, view);
    }
    live_views_.erase(it);
    std::erase(pending_views_, view);
}

bool DataModel::Update() {
    constexpr int kMaxRounds = 10;
    bool changed = false;
    for (int round = 0; round < kMaxRounds; ++round) {
        if (dirty_.empty() && pending_views_.empty()) return changed;
        changed = true;
        std::vector<DataView*> views = std::move(pending_views_);
        pending_views_.clear();
        for (const String& name : dirty_) {
            if (auto it = views_by_variable_.find(name); it != views_by_variable_.end()) {
                views.insert(views.end(), it->second.begin(), it->second.end());
            }
        }
        dirty_.clear();
        std::sort(views.begin(), views.end());
        views.erase(std::unique(views.begin(), views.end()), views.end());
        // Parents first: a data-for or data-if settles before the views inside it.
        std::vector<std::pair<int, DataView*>> ordered;
        ordered.reserve(views.size());
        for (DataView* view : views) ordered.emplace_back(view->GetElement()->GetDepth(), view);
        std::stable_sort(ordered.begin(), ordered.end(), [](const auto& a, const auto& b) {
            return a.first != b.first ? a.first < b.first : a.second->GetSequence() < b.second->GetSequence();
        });
        for (const auto& [depth, view] : ordered) {
            if (!live_views_.contains(view)) continue;
            try {
                view->Update();
            } catch (const std::exception& error) {
                SPDLOG_ERROR("{}: data binding update failed: {}", view->Where(), error.what());
            }
        }
    }
    SPDLOG_WARN("Data model '{}' was still changing after {} update rounds", name_, kMaxRounds);
    return changed;
}

}  // namespace Rml
