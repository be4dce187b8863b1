#include "client/ui/rml.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "client/input/input.h"
#include "client/ui/support/ui_support.h"
#include "client/ui/ui_fixture.h"
#include "core/engine/engine.h"
#include "core/sdl_helpers/sdl_helpers.h"

namespace {

using spdlog::level::err;
using spdlog::level::warn;
using ui_test::shown;

TimeTracker::Clock::time_point fake_now;
TimeTracker::Clock::time_point read_fake_clock() { return fake_now; }

struct ViewDocument {
    RmlView view;
    const char* path;
};

const std::vector<ViewDocument> view_documents = {
    {RmlView::login, "build/assets/ui/pages/login/login.rml"},
    {RmlView::buy_loadout, "build/assets/ui/pages/buy_loadout/buy_loadout.rml"},
    {RmlView::view_loadouts, "build/assets/ui/pages/view_loadouts/view_loadouts.rml"},
    {RmlView::edit_loadout, "build/assets/ui/pages/edit_loadout/edit_loadout.rml"},
    {RmlView::match_finder, "build/assets/ui/pages/match_finder/match_finder.rml"},
    {RmlView::loading_match, "build/assets/ui/pages/loading_match/loading_match.rml"},
    {RmlView::ship_editor, "build/assets/ui/pages/ship_editor/ship_editor.rml"},
    {RmlView::mount_editor, "build/assets/ui/pages/mount_editor/mount_editor.rml"},
    {RmlView::projectile_editor, "build/assets/ui/pages/projectile_editor/projectile_editor.rml"},
    {RmlView::server_browser, "build/assets/ui/pages/server_browser/server_browser.rml"},
    {RmlView::server_lobby, "build/assets/ui/pages/server_lobby/server_lobby.rml"},
    {RmlView::admin_menu, "build/assets/ui/pages/admin_menu/admin_menu.rml"},
};

class RmlManagerTest : public ui_test::ManagerTest {
protected:
    Rml::ElementDocument* document_of(RmlView view) {
        for (const ViewDocument& entry : view_documents) {
            if (entry.view == view) {
                return loaded_document(entry.path);
            }
        }
        return nullptr;
    }

    Rml::ElementDocument* loaded_document(const std::string& path) {
        for (int idx = 0; idx < manager->context->GetNumDocuments(); ++idx) {
            Rml::ElementDocument* document = manager->context->GetDocument(idx);
            if (document->GetSourceURL() == path) {
                return document;
            }
        }
        return nullptr;
    }

    std::vector<RmlView> shown_views() {
        std::vector<RmlView> views;
        for (const ViewDocument& entry : view_documents) {
            if (shown(document_of(entry.view))) {
                views.push_back(entry.view);
            }
        }
        return views;
    }
};

TEST_F(RmlManagerTest, LoadsEveryPageHiddenIntoOneContextWithoutComplaint) {
    EXPECT_EQ(manager->context->GetName(), "main");
    EXPECT_EQ(manager->context->GetDimensions(), (Rml::Vector2i{1280, 720}));
    EXPECT_TRUE(log.contains("Initializing Rml context w, h: 1280 720"));
    EXPECT_EQ(manager->context->GetNumDocuments(), static_cast<int>(view_documents.size()));
    for (const ViewDocument& entry : view_documents) {
        Rml::ElementDocument* document = loaded_document(entry.path);
        ASSERT_NE(document, nullptr) << entry.path;
        EXPECT_FALSE(document->IsShown()) << entry.path;
    }
    // Laying every page out and drawing it reports nothing either.
    for (const ViewDocument& entry : view_documents) {
        manager->show_view(entry.view);
    }
    draw_frame();
    for (const auto& line : log.lines()) {
        EXPECT_LT(line.level, warn) << line.text;
    }
}

TEST_F(RmlManagerTest, EachViewShowsAndHidesExactlyItsOwnPage) {
    for (const ViewDocument& entry : view_documents) {
        manager->show_view(entry.view);
        EXPECT_EQ(shown_views(), std::vector<RmlView>{entry.view}) << entry.path;
        // Showing a shown page keeps it shown; hiding a hidden one keeps it hidden.
        manager->show_view(entry.view);
        EXPECT_EQ(shown_views(), std::vector<RmlView>{entry.view}) << entry.path;
        manager->hide_view(entry.view);
        EXPECT_TRUE(shown_views().empty()) << entry.path;
        manager->hide_view(entry.view);
        EXPECT_TRUE(shown_views().empty()) << entry.path;
    }
}

bool lies_within(const Rml::Element& element, const Rml::Rectanglef& area) {
    const Rml::Vector2f at = element.GetAbsoluteOffset(Rml::BoxArea::Border);
    const Rml::Vector2f size = element.GetBox().BorderSize();
    return at.x >= area.x && at.y >= area.y && at.x + size.x <= area.Right() && at.y + size.y <= area.Bottom();
}

// Every shown element below `parent` lies within `area`; what a box that scrolls holds is reached by scrolling.
void expect_within(const Rml::Element& parent, const Rml::Rectanglef& area, const std::string& page) {
    for (const auto& child : parent.GetChildren()) {
        if (!child->GetBox().rendered || !child->IsVisible() || dynamic_cast<Rml::ElementText*>(child.get())) continue;
        EXPECT_TRUE(lies_within(*child, area)) << page << ": <" << child->GetTagName() << " id='" << child->GetId()
                                               << "' class='" << child->GetClassNames() << "'>";
        if (child->GetComputedValues().overflow != Rml::Style::Overflow::Auto) expect_within(*child, area, page);
    }
}

// Down to the window's least size, 1024 x 600, each page's panel fits the
// window and all it shows lies inside the panel's content box.
TEST_F(RmlManagerTest, EveryPageFitsTheLeastWindow) {
    const Rml::Vector2i least{1024, 600};
    manager->context->SetDimensions(least);
    for (const ViewDocument& entry : view_documents) {
        manager->show_view(entry.view);
        draw_frame();
        const auto panels = ui_test::shown_with_class(document_of(entry.view), "panel");
        ASSERT_EQ(panels.size(), 1u) << entry.path;
        const Rml::Element& panel = *panels[0];
        EXPECT_TRUE(lies_within(panel, {0, 0, static_cast<float>(least.x), static_cast<float>(least.y)})) << entry.path;
        const Rml::Vector2f at = panel.GetAbsoluteOffset(Rml::BoxArea::Content);
        expect_within(panel, {at.x, at.y, panel.GetBox().content.x, panel.GetBox().content.y}, entry.path);
        manager->hide_view(entry.view);
    }
}

TEST_F(RmlManagerTest, NoneAndNumbersOutsideTheViewsChangeNothing) {
    manager->show_view(RmlView::login);
    for (const std::uint32_t number : {0u, 13u, 99u, 0xFFFFFFFFu}) {
        manager->show_view(static_cast<RmlView>(number));
        manager->hide_view(static_cast<RmlView>(number));
        EXPECT_EQ(shown_views(), std::vector<RmlView>{RmlView::login}) << number;
    }
    manager->hide_view(RmlView::none);
    EXPECT_EQ(shown_views(), std::vector<RmlView>{RmlView::login});
}

TEST_F(RmlManagerTest, SeveralPagesMayBeVisibleAtOnce) {
    manager->show_view(RmlView::admin_menu);
    manager->show_view(RmlView::server_lobby);
    EXPECT_EQ(shown_views(), (std::vector<RmlView>{RmlView::server_lobby, RmlView::admin_menu}));
}

TEST_F(RmlManagerTest, TwoDrainsInARowTheSecondEmpty) {
    manager->show_view(RmlView::admin_menu);
    draw_frame();
    click(element(manager->admin_menu.document, "close"));
    EXPECT_EQ(manager->drain_ui_events(), std::vector<UiEvent>{UiEvent::Close});
    EXPECT_TRUE(manager->drain_ui_events().empty());
}

// After shutdown the manager acts as one without a context: the toolkit has
// destroyed the documents its pages pointed at.
TEST_F(RmlManagerTest, AfterShutdownNothingReachesTheDestroyedDocuments) {
    manager->shutdown();
    EXPECT_EQ(manager->context, nullptr);
    EXPECT_EQ(manager->admin_menu.document, nullptr);
    EXPECT_EQ(manager->login.document, nullptr);
    SDL_Event motion = ui_test::mouse_motion(640, 360);
    EXPECT_TRUE(manager->handle_event(screen.window, motion));
    manager->show_view(RmlView::admin_menu);
    manager->hide_view(RmlView::admin_menu);
    manager->render();
    EXPECT_TRUE(manager->drain_ui_events().empty());
}

// A second manager while the first holds the toolkit gets no context: it
// loads nothing, passes every event through and says the debugger failed.
TEST_F(RmlManagerTest, SecondManagerGetsNoContextAndWarnsAboutTheDebugger) {
    RmlManager second(screen.window, screen.renderer, config.ship_configs, config.mount_configs,
                      config.projectile_configs);
    EXPECT_EQ(second.context, nullptr);
    EXPECT_EQ(second.admin_menu.document, nullptr);
    EXPECT_TRUE(log.contains(warn, "Failed to initialize Rml::Debugger"));
    SDL_Event motion = ui_test::mouse_motion(640, 360);
    EXPECT_TRUE(second.handle_event(screen.window, motion));
    second.show_view(RmlView::admin_menu);
    second.render();
    EXPECT_NE(manager->context, nullptr);
}

// As in the game: SDL's events are polled on every pass and reach the page at
// the next tick, by which time SDL has freed each earlier poll's text (here:
// scribbled over once its pass is done).
TEST_F(RmlManagerTest, TextTypedOverSeveralPassesReachesTheEditorFieldIntact) {
    Engine engine{config};
    engine.time_tracker = TimeTracker(&read_fake_clock);
    Input input;
    engine.bind_tick([&](std::vector<SDL_Event>& events) {
        input.read(manager.get(), screen.window, events, 0.0f, 0.0f);
    });
    manager->show_view(RmlView::ship_editor);
    draw_frame();
    click(element(manager->ship_editor.document, "max-speed")->GetChild(0));
    press_key(SDLK_END);
    const std::string before = manager->ship_editor.vm.max_speed;
    pump_sdl_events();
    engine.step();

    std::deque<std::string> freed_texts;
    for (const char* text : {"5", "é", "速", "🚀"}) {
        SDL_Event event{};
        event.type = SDL_EVENT_TEXT_INPUT;
        event.text.text = freed_texts.emplace_back(text).c_str();
        ASSERT_TRUE(SDL_PushEvent(&event)) << SDL_GetError();
        engine.send_sdl_events(pump_sdl_events());
        fake_now += std::chrono::milliseconds(1);
        engine.step();
        for (std::string& freed : freed_texts) {
            std::ranges::fill(freed, '\xBE');
        }
    }
    EXPECT_EQ(manager->ship_editor.vm.max_speed, before);
    fake_now += std::chrono::milliseconds(15);
    engine.step();
    EXPECT_EQ(manager->ship_editor.vm.max_speed, before + "5é速🚀");
}

TEST(RmlManagerWithoutInterface, PassesEventsThroughAndDrawsNothing) {
    client_test::OffscreenWindow screen;
    RmlManager manager;
    SDL_Event motion = ui_test::mouse_motion(10, 10);
    EXPECT_TRUE(manager.handle_event(screen.window, motion));
    manager.show_view(RmlView::admin_menu);
    manager.hide_view(RmlView::login);
    screen.clear();
    manager.render();
    EXPECT_EQ(screen.pixel(640, 360), 0x000000FFu);
    EXPECT_TRUE(manager.drain_ui_events().empty());
    manager.shutdown();
}

// Run from a directory without the game's documents: every page stays
// without one, and showing or hiding it does nothing.
TEST(RmlManagerWithoutDocuments, PagesWithoutDocumentsIgnoreShowAndHide) {
    client_test::OffscreenWindow screen;
    Config config = ui_test::game_config();
    const ui_test::ScopedAssetTree empty_dir({});
    test_support::LogCapture log;
    RmlManager manager(screen.window, screen.renderer, config.ship_configs,
                       config.mount_configs, config.projectile_configs);
    EXPECT_NE(manager.context, nullptr);
    EXPECT_EQ(manager.context->GetNumDocuments(), 0);
    EXPECT_EQ(manager.admin_menu.document, nullptr);
    EXPECT_EQ(manager.buy_loadout.document, nullptr);
    EXPECT_EQ(manager.ship_editor.document, nullptr);
    EXPECT_EQ(log.count_containing("cannot read the document"), 12);
    for (std::uint32_t view = 0; view <= 12; ++view) {
        manager.show_view(static_cast<RmlView>(view));
        manager.hide_view(static_cast<RmlView>(view));
    }
    manager.render();
    manager.shutdown();
}

}  // namespace
