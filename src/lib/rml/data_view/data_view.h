#pragma once

#include <memory>

#include "lib/rml/types/types.h"

namespace Rml {

class DataModel;
class Element;

// Keeps one part of an element in step with the data model: text, an
// attribute, a class, a property, the children of a data-for, or an event
// callback. Views live with their element and leave their model with it.
class DataView {
public:
    DataView(Element* element, DataModel* model);
    virtual ~DataView();
    DataView(const DataView&) = delete;
    DataView& operator=(const DataView&) = delete;

    Element* GetElement() const { return element_; }
    DataModel* GetModel() const { return model_; }
    std::uint64_t GetSequence() const { return sequence_; }
    // Refreshes the element from the model.
    virtual void Update() = 0;
    // The document and line of the element, for log lines.
    String Where() const;

protected:
    // Registers with the model; the view then refreshes on the next update.
    void Register(const StringList& dependencies);
    // Logs an evaluation problem once for this view, with the document and line.
    void ReportOnce(const String& what, const String& problem);

private:
    Element* element_;
    DataModel* model_;
    std::uint64_t sequence_;
    bool registered_ = false;
    bool reported_ = false;
};

// Creates the views and controllers for the data attributes and {{ }} text of
// `root` and everything below it that is not bound yet.
void BindDataSubtree(Element& root);

}  // namespace Rml
