#include "client/ui/pages/login/login.h"

#include <gtest/gtest.h>

#include "client/ui/support/ui_support.h"

namespace {

class LoginTest : public ui_test::ManagerTest {
protected:
    void SetUp() override {
        ManagerTest::SetUp();
        manager->show_view(RmlView::login);
        draw_frame();
    }

    Rml::Element* field(const char* id) { return element(manager->login.document, id); }

    // The text the field's inner input holds.
    Rml::String shown_text(const char* id) {
        Rml::Element* outer = field(id);
        for (int idx = 0; outer && idx < outer->GetNumChildren(); ++idx) {
            if (outer->GetChild(idx)->GetTagName() == "input") {
                return outer->GetChild(idx)->GetAttribute<Rml::String>("value", "");
            }
        }
        return "<no input>";
    }

    const UI::Login::ViewModel& vm() const { return manager->login.vm; }
};

TEST_F(LoginTest, KeepsWhatIsTypedInEachFieldApart) {
    click(field("username"));
    type("ace");
    type(" pilot");
    click(field("password"));
    type("s3cret");
    draw_frame();
    EXPECT_EQ(vm().username, "ace pilot");
    EXPECT_EQ(vm().password, "s3cret");
    EXPECT_EQ(shown_text("username"), "ace pilot");

    // Each change replaces the stored text as a whole.
    click(field("username"));
    press_key(SDLK_END);
    press_key(SDLK_BACKSPACE);
    draw_frame();
    EXPECT_EQ(vm().username, "ace pilo");
    EXPECT_EQ(vm().password, "s3cret");
}

TEST_F(LoginTest, AnEmptiedPasswordIsStoredEmpty) {
    click(field("password"));
    type("x");
    press_key(SDLK_BACKSPACE);
    EXPECT_EQ(vm().password, "");
    EXPECT_EQ(vm().username, "");
}

TEST_F(LoginTest, AChangeWithoutValueStoresAnEmptyText) {
    manager->login.vm.username = "before";
    field("username")->DispatchEvent("change", {});
    EXPECT_EQ(vm().username, "");
}

TEST_F(LoginTest, ARefusedModelLeavesThePageWithoutDocument) {
    UI::Login::Page page;
    page.initialize(manager->context);
    EXPECT_EQ(page.document, nullptr);
    page.show();
    page.hide();
}

}  // namespace
