#include <gtest/gtest.h>

#include "lib/rml/rml_fixture.h"
#include "support/log_capture.h"

namespace {

using Rml::EventPhase;
using Rml::String;

struct Call {
    String element;
    EventPhase phase;
    bool operator==(const Call&) const = default;
};

// Notes each call; can stop the event or throw on request.
class Probe : public Rml::EventListener {
public:
    explicit Probe(std::vector<Call>& calls) : calls_(calls) {}
    void ProcessEvent(Rml::Event& event) override {
        calls_.push_back({event.GetCurrentElement()->GetId(), event.GetPhase()});
        last_value = event.GetParameter<int>("value", -1);
        target = event.GetTargetElement();
        if (stop) event.StopPropagation();
        if (stop_immediately) event.StopImmediatePropagation();
        if (fail) throw std::runtime_error("listener broke");
    }
    bool stop = false;
    bool stop_immediately = false;
    bool fail = false;
    int last_value = 0;
    Rml::Element* target = nullptr;

private:
    std::vector<Call>& calls_;
};

class Events : public rml_test::RmlFixture {
protected:
    void SetUp() override {
        RmlFixture::SetUp();
        document_ = LoadBody(R"(<div id="root"><div id="mid"><div id="leaf"/></div></div>)");
        root_ = document_->GetElementById("root");
        mid_ = document_->GetElementById("mid");
        leaf_ = document_->GetElementById("leaf");
    }
    Rml::ElementDocument* document_ = nullptr;
    Rml::Element* root_ = nullptr;
    Rml::Element* mid_ = nullptr;
    Rml::Element* leaf_ = nullptr;
    std::vector<Call> calls_;
    // Listeners outlive the document, which goes at tear-down.
    Probe& NewProbe() { return *probes_.emplace_back(std::make_unique<Probe>(calls_)); }
    std::vector<std::unique_ptr<Probe>> probes_;
};

TEST_F(Events, CaptureThenTargetThenBubble) {
    Probe& capture = NewProbe();
    Probe& bubble = NewProbe();
    Probe& at_target = NewProbe();
    root_->AddEventListener("click", &capture, true);
    mid_->AddEventListener("click", &capture, true);
    root_->AddEventListener("click", &bubble);
    mid_->AddEventListener("click", &bubble);
    leaf_->AddEventListener("click", &at_target);
    leaf_->AddEventListener("click", &capture, true);
    EXPECT_TRUE(leaf_->DispatchEvent("click", {{"value", Rml::Variant(3)}}));
    const std::vector<Call> expected = {{"root", EventPhase::Capture}, {"mid", EventPhase::Capture},
                                        {"leaf", EventPhase::Target},  {"leaf", EventPhase::Target},
                                        {"mid", EventPhase::Bubble},   {"root", EventPhase::Bubble}};
    EXPECT_EQ(calls_, expected);
    EXPECT_EQ(bubble.last_value, 3);
    EXPECT_EQ(bubble.target, leaf_);
}

TEST_F(Events, StoppingInCaptureKeepsTheEventFromTheTarget) {
    Probe& capture = NewProbe();
    Probe& at_target = NewProbe();
    capture.stop = true;
    mid_->AddEventListener("change", &capture, true);
    leaf_->AddEventListener("change", &at_target);
    EXPECT_FALSE(leaf_->DispatchEvent("change", {}));
    EXPECT_EQ(calls_, (std::vector<Call>{{"mid", EventPhase::Capture}}));
}

TEST_F(Events, StopPropagationLetsTheCurrentElementFinish) {
    Probe& first = NewProbe();
    Probe& second = NewProbe();
    Probe& above = NewProbe();
    first.stop = true;
    leaf_->AddEventListener("mousedown", &first);
    leaf_->AddEventListener("mousedown", &second);
    root_->AddEventListener("mousedown", &above);
    leaf_->DispatchEvent("mousedown", {});
    EXPECT_EQ(calls_.size(), 2u);
    calls_.clear();
    first.stop_immediately = true;
    leaf_->DispatchEvent("mousedown", {});
    EXPECT_EQ(calls_.size(), 1u);
}

TEST_F(Events, FocusAndBlurDoNotBubble) {
    Probe& capture = NewProbe();
    Probe& bubble = NewProbe();
    root_->AddEventListener("focus", &capture, true);
    root_->AddEventListener("focus", &bubble);
    leaf_->DispatchEvent("focus", {});
    EXPECT_EQ(calls_, (std::vector<Call>{{"root", EventPhase::Capture}}));
    EXPECT_FALSE(Rml::EventBubbles("blur"));
    EXPECT_TRUE(Rml::EventBubbles("keydown"));
    EXPECT_TRUE(Rml::EventBubbles("change"));
}

TEST_F(Events, AThrowingListenerIsLoggedAndTheOthersStillRun) {
    test_support::LogCapture log;
    Probe& broken = NewProbe();
    Probe& next = NewProbe();
    broken.fail = true;
    leaf_->AddEventListener("click", &broken);
    mid_->AddEventListener("click", &next);
    EXPECT_NO_THROW(leaf_->DispatchEvent("click", {}));
    EXPECT_EQ(calls_.size(), 2u);
    EXPECT_EQ(log.count(spdlog::level::err, "Listener for 'click' on <div> failed: listener broke"), 1);
}

// Removes the element it listens on while the event travels.
class Destroyer : public Rml::EventListener {
public:
    void ProcessEvent(Rml::Event& event) override { event.GetCurrentElement()->GetParentNode()->SetInnerRML(""); }
};

TEST_F(Events, AnElementDestroyedByItsListenerEndsItsPartSafely) {
    static Destroyer destroyer;
    Probe& after = NewProbe();
    Probe& above = NewProbe();
    leaf_->AddEventListener("click", &destroyer);
    leaf_->AddEventListener("click", &after);
    root_->AddEventListener("click", &above);
    leaf_->DispatchEvent("click", {});
    EXPECT_EQ(mid_->GetNumChildren(), 0);
    // The leaf's later listener is skipped; the bubble still reaches the living ancestors.
    EXPECT_EQ(calls_, (std::vector<Call>{{"root", EventPhase::Bubble}}));
}

}  // namespace
