// The shadow's decisions against recorded stand-in windows: the owner's
// position notifications are delivered through the form's window procedure,
// as the real view does.
#include "decor/form_shadow.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace zsetup {
namespace {

constexpr unsigned kOtherMessage = 0x0111;  // WM_COMMAND

struct Placement {
    bool below_owner;
    int x, y, width, height;
    unsigned flags;
    bool operator==(const Placement& o) const {
        return below_owner == o.below_owner && x == o.x && y == o.y && width == o.width && height == o.height &&
               flags == o.flags;
    }
};

class RecordedWindows : public ShadowWindows {
public:
    bool exists = true;
    WindowState state = WindowState::Normal;
    OwnerBounds bounds{200, 100, 100, 50};
    std::vector<unsigned> owner_updates;
    std::vector<Placement> placements;
    std::vector<BlendFunction> pushes;
    int outlines = 0;

    bool OwnerExists(const ui::Form&) const override { return exists; }
    WindowState OwnerState(const ui::Form&) const override { return state; }
    OwnerBounds Bounds(const ui::Form&) const override { return bounds; }
    WindowPosition ReadWindowPos(std::intptr_t lparam) const override {
        return *reinterpret_cast<const WindowPosition*>(lparam);
    }
    void UpdateOwner(const ui::Form& owner, unsigned flags) override {
        owner_updates.push_back(flags);
        Notify(owner, {0, 0, flags});
    }
    void PlaceShadow(const ui::Form&, bool below, int x, int y, int w, int h, unsigned flags) override {
        placements.push_back({below, x, y, w, h, flags});
    }
    void DrawOutline(const ui::Form&, BgraImage& mask) override {
        ++outlines;
        FillMask(mask, {0, 0, mask.width(), mask.height()}, 0);
        FillMask(mask, {16, 16, 16 + bounds.width, 16 + bounds.height}, 255);
    }
    void PushImage(const BgraImage&, const BlendFunction& blend) override { pushes.push_back(blend); }

    // What the system sends the owner on a SetWindowPos.
    static void Notify(const ui::Form& owner, WindowPosition pos) {
        owner.window_proc()({kWmWindowPosChanging, 0, reinterpret_cast<std::intptr_t>(&pos)});
        owner.window_proc()({kWmWindowPosChanged, 0, reinterpret_cast<std::intptr_t>(&pos)});
    }
};

class FormShadowTest : public ::testing::Test {
protected:
    FormShadowTest() : form("Owner") {
        form.SetWindowProc([this](const ui::Message& m) {
            seen.push_back(m);
            return std::intptr_t{42};
        });
        auto recorded = std::make_unique<RecordedWindows>();
        windows = recorded.get();
        shadow = std::make_unique<TFormShadow>(std::move(recorded));
    }
    void Attach() {
        shadow->SetForm(&form);
        shadow->SetActive(true);
        windows->placements.clear();
        windows->owner_updates.clear();
    }
    // The owner moved or was sized: the notifications with the new place.
    void Moved(int x, int y, unsigned flags = 0) {
        windows->bounds.left = x;
        windows->bounds.top = y;
        RecordedWindows::Notify(form, {x, y, flags});
    }

    ui::Form form;
    std::vector<ui::Message> seen;
    RecordedWindows* windows;
    std::unique_ptr<TFormShadow> shadow;
};

TEST_F(FormShadowTest, StartsDetachedInactiveAndDueForABuild) {
    EXPECT_EQ(shadow->form(), nullptr);
    EXPECT_FALSE(shadow->active());
    EXPECT_TRUE(shadow->needs_rebuild());
    EXPECT_EQ(shadow->shadow_bitmap().width(), 0);
    EXPECT_EQ(TFormShadow::ShadowOffset, 3);
    EXPECT_EQ(TFormShadow::ShadowColor, 0x00DE9B86u);
    const BlendFunction& b = shadow->blend();
    EXPECT_EQ(b.BlendOp, 0);
    EXPECT_EQ(b.BlendFlags, 0);
    EXPECT_EQ(b.SourceConstantAlpha, 0);
    EXPECT_EQ(b.AlphaFormat, 1);
}

TEST_F(FormShadowTest, AttachingAnInactiveShadowPlacesItHiddenBelowTheOwnerWithoutBuilding) {
    shadow->SetForm(&form);
    EXPECT_EQ(windows->owner_updates, std::vector<unsigned>{0x37});
    const std::vector<Placement> expected = {{true, 187, 87, 0, 0, 0x10}, {false, 0, 0, 0, 0, 0x97}};
    EXPECT_EQ(windows->placements, expected);
    EXPECT_EQ(windows->outlines, 0);
    EXPECT_TRUE(shadow->needs_rebuild());
}

TEST_F(FormShadowTest, SwitchingOnBuildsTheImageAndShowsItBelowTheOwner) {
    shadow->SetForm(&form);
    windows->placements.clear();
    shadow->SetActive(true);
    const std::vector<Placement> expected = {{true, 187, 87, 132, 82, 0x10}, {false, 0, 0, 0, 0, 0x57}};
    EXPECT_EQ(windows->placements, expected);
    EXPECT_EQ(shadow->builds(), 1);
    ASSERT_EQ(windows->pushes.size(), 1u);
    EXPECT_EQ(windows->pushes[0].SourceConstantAlpha, 255);
    BgraImage expected_image = BuildRectShadowMask(100, 50);
    PremultiplyShadow(expected_image, TFormShadow::ShadowColor);
    EXPECT_EQ(shadow->shadow_bitmap().pixels(), expected_image.pixels());
}

TEST_F(FormShadowTest, TheCurrentFormOrStateChangesNothing) {
    Attach();
    shadow->SetForm(&form);
    shadow->SetActive(true);
    EXPECT_TRUE(windows->owner_updates.empty());
    EXPECT_TRUE(windows->placements.empty());
    EXPECT_EQ(shadow->builds(), 1);
}

TEST_F(FormShadowTest, OtherMessagesPassUnchangedToTheOwnersProcedure) {
    Attach();
    seen.clear();
    EXPECT_EQ(form.window_proc()({kOtherMessage, 7, 9}), 42);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].id, kOtherMessage);
    EXPECT_EQ(seen[0].wparam, 7u);
    EXPECT_EQ(seen[0].lparam, 9);
    EXPECT_TRUE(windows->placements.empty());
}

TEST_F(FormShadowTest, PositionMessagesReachTheOwnersProcedureFirst) {
    Attach();
    seen.clear();
    WindowPosition pos{0, 0, 0};
    const std::intptr_t lparam = reinterpret_cast<std::intptr_t>(&pos);
    EXPECT_EQ(form.window_proc()({kWmWindowPosChanging, 0, lparam}), 42);
    EXPECT_EQ(form.window_proc()({kWmWindowPosChanged, 0, lparam}), 42);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].id, kWmWindowPosChanging);
    EXPECT_EQ(seen[1].id, kWmWindowPosChanged);
}

TEST_F(FormShadowTest, DetachingRestoresTheOwnersProcedureAndLeavesTheWindowAlone) {
    Attach();
    shadow->SetForm(nullptr);
    EXPECT_TRUE(windows->owner_updates.empty());
    seen.clear();
    Moved(300, 300);
    EXPECT_EQ(seen.size(), 2u);
    EXPECT_TRUE(windows->placements.empty());
    EXPECT_TRUE(shadow->needs_rebuild());
}

TEST_F(FormShadowTest, ReattachingToAnotherFormRestoresTheFirst) {
    Attach();
    ui::Form other("Other");
    int other_seen = 0;
    other.SetWindowProc([&](const ui::Message&) { return std::intptr_t{++other_seen}; });
    shadow->SetForm(&other);
    seen.clear();
    other_seen = 0;  // the attach's own notifications went through it
    form.window_proc()({kOtherMessage, 0, 0});
    EXPECT_EQ(seen.size(), 1u);
    other.window_proc()({kOtherMessage, 0, 0});
    EXPECT_EQ(other_seen, 1);
    EXPECT_EQ(windows->owner_updates, std::vector<unsigned>{0x37});
    shadow->SetForm(nullptr);  // before the owner goes: detaching writes into it
}

TEST_F(FormShadowTest, DestroyingTheShadowDetachesIt) {
    Attach();
    shadow.reset();
    seen.clear();
    form.window_proc()({kOtherMessage, 0, 0});
    EXPECT_EQ(seen.size(), 1u);
}

TEST_F(FormShadowTest, WithoutAnOwnerWindowNothingIsRequested) {
    windows->exists = false;
    shadow->SetForm(&form);
    shadow->SetActive(true);
    EXPECT_TRUE(windows->owner_updates.empty());
    EXPECT_TRUE(windows->placements.empty());
}

TEST_F(FormShadowTest, AMoveTakesTheImageAlong) {
    Attach();
    Moved(250, 120);
    const std::vector<Placement> expected = {{true, 237, 107, 132, 82, 0x10}, {false, 0, 0, 0, 0, 0x57}};
    EXPECT_EQ(windows->placements, expected);
    EXPECT_EQ(shadow->builds(), 1);
}

TEST_F(FormShadowTest, WithoutAMoveThePlaceIsTheOwners) {
    Attach();
    windows->bounds.left = 50;
    windows->bounds.top = 60;
    RecordedWindows::Notify(form, {999, 999, swp::NoMove | swp::NoSize});
    EXPECT_EQ(windows->placements[0], (Placement{true, 37, 47, 132, 82, 0x10}));
}

TEST_F(FormShadowTest, ABeingHiddenOwnerHidesTheShadowBelowIt) {
    Attach();
    WindowPosition pos{0, 0, swp::HideWindow};
    form.window_proc()({kWmWindowPosChanging, 0, reinterpret_cast<std::intptr_t>(&pos)});
    EXPECT_EQ(windows->placements, std::vector<Placement>{(Placement{true, 0, 0, 0, 0, 0x93})});
}

struct TriggerCase {
    const char* name;
    void (*change)(TFormShadow&, RecordedWindows&, ui::Form&);
    int builds_after;  // one build from switching on
};

void Notify(RecordedWindows& w, ui::Form& f) { RecordedWindows::Notify(f, {w.bounds.left, w.bounds.top, 0}); }

const TriggerCase kTriggers[] = {
    {"OnePixelWider", [](TFormShadow&, RecordedWindows& w, ui::Form& f) { ++w.bounds.width, Notify(w, f); }, 2},
    {"OnePixelTaller", [](TFormShadow&, RecordedWindows& w, ui::Form& f) { ++w.bounds.height, Notify(w, f); }, 2},
    {"Moved", [](TFormShadow&, RecordedWindows& w, ui::Form& f) { w.bounds.left += 40, Notify(w, f); }, 1},
    {"RegionChanged",
     [](TFormShadow&, RecordedWindows& w, ui::Form& f) {
         f.SetRegion({1, 1, 99, 49, 8, 8});
         RecordedWindows::Notify(f, {w.bounds.left, w.bounds.top, swp::NoMove | swp::NoSize | swp::FrameChanged});
     },
     1},
    {"SwitchedOffAndOn",
     [](TFormShadow& s, RecordedWindows&, ui::Form&) {
         s.SetActive(false);
         s.SetActive(true);
     },
     1},
};

class RebuildTrigger : public FormShadowTest, public ::testing::WithParamInterface<TriggerCase> {};

TEST_P(RebuildTrigger, BuildsOnlyWhenDue) {
    Attach();
    GetParam().change(*shadow, *windows, form);
    EXPECT_EQ(shadow->builds(), GetParam().builds_after);
    EXPECT_EQ(shadow->shadow_bitmap().width(), windows->bounds.width + 32);
    EXPECT_EQ(shadow->shadow_bitmap().height(), windows->bounds.height + 32);
}

INSTANTIATE_TEST_SUITE_P(Changes, RebuildTrigger, ::testing::ValuesIn(kTriggers),
                         [](const ::testing::TestParamInfo<TriggerCase>& i) { return std::string(i.param.name); });

TEST_F(FormShadowTest, MinimizedHidesTheShadow) {
    Attach();
    windows->state = WindowState::Minimized;
    Moved(-32000, -32000);
    const std::vector<Placement> expected = {
        {true, 0, 0, 0, 0, 0x93}, {true, -32013, -32013, 132, 82, 0x10}, {false, 0, 0, 0, 0, 0x97}};
    EXPECT_EQ(windows->placements, expected);
}

TEST_F(FormShadowTest, MaximizedHidesWithoutBuildingAndNormalShowsAgain) {
    Attach();
    windows->state = WindowState::Maximized;
    windows->bounds = {0, 0, 1280, 1024};
    Moved(0, 0);
    EXPECT_EQ(shadow->builds(), 1);
    EXPECT_EQ(windows->placements.back().flags, 0x97u);
    EXPECT_EQ(windows->placements[1], (Placement{true, -13, -13, 132, 82, 0x10}));

    windows->placements.clear();
    windows->state = WindowState::Normal;
    windows->bounds = {200, 100, 100, 50};
    Moved(200, 100);
    EXPECT_EQ(shadow->builds(), 1);  // the same size as before
    EXPECT_EQ(windows->placements.back().flags, 0x57u);

    windows->state = WindowState::Maximized;
    Moved(0, 0);
    windows->state = WindowState::Normal;
    windows->bounds.width = 120;
    Moved(210, 110);
    EXPECT_EQ(shadow->builds(), 2);
    EXPECT_EQ(windows->placements.back().flags, 0x57u);
    EXPECT_EQ(windows->placements[windows->placements.size() - 2], (Placement{true, 197, 97, 152, 82, 0x10}));
}

TEST_F(FormShadowTest, SwitchedOffTheShadowIsKeptHidden) {
    Attach();
    shadow->SetActive(false);
    EXPECT_EQ(windows->owner_updates, std::vector<unsigned>{0x37});
    EXPECT_EQ(windows->placements.back().flags, 0x97u);
    ++windows->bounds.width;
    Moved(200, 100);
    EXPECT_EQ(shadow->builds(), 1);
}

}  // namespace
}  // namespace zsetup
