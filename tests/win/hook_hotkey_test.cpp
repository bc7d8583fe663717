// The global hotkey component with real RegisterHotKey and SendInput.
#include <gtest/gtest.h>

#include "framework/form.h"
#include "hotkeys/hook_hotkey.h"
#include "tests/support/test_support.h"

using namespace testing_support;

namespace {

class TOwnerForm : public TForm {
public:
    TOwnerForm() : TForm(nullptr) {
        CreateForm(0, WS_OVERLAPPEDWINDOW, 200, 120, "owner", nullptr);
    }
};

// Counts the presses delivered, whether or not a handler is assigned.
class TCountingHotKey : public THookHotKey {
public:
    using THookHotKey::THookHotKey;
    int delivered = 0;

protected:
    void DoHotKey(int Index) override {
        ++delivered;
        THookHotKey::DoHotKey(Index);
    }
};

// A press of Ctrl+Alt+<key> as a user makes it.
void PressCtrlAlt(WORD key) {
    PressKeys({VK_CONTROL, VK_MENU, key});
}

}  // namespace

TEST(HookHotKey, PressRaisesTheEventWithItsIndexAndRemoveFreesTheCombination) {
    TOwnerForm owner;
    THookHotKey hotkeys(&owner);
    std::vector<int> pressed;
    hotkeys.Activate = false;
    hotkeys.OnHotKey = [&](THookHotKey* sender, int index) {
        EXPECT_EQ(sender, &hotkeys);
        pressed.push_back(index);
    };
    ASSERT_TRUE(hotkeys.AddHotKey(3, 0xC000 | 'K'));  // Ctrl+Alt+K
    EXPECT_TRUE(HotKeyTaken(MOD_CONTROL | MOD_ALT, 'K'));
    PressCtrlAlt('K');
    ASSERT_TRUE(WaitUntil([&] { return !pressed.empty(); }));
    EXPECT_EQ(pressed, std::vector<int>{3});

    EXPECT_TRUE(hotkeys.RemoveHotKey(3));
    EXPECT_FALSE(HotKeyTaken(MOD_CONTROL | MOD_ALT, 'K'));
    EXPECT_FALSE(hotkeys.RemoveHotKey(3)) << "a second release has nothing to release";
    EXPECT_FALSE(hotkeys.RemoveHotKey(4)) << "never registered";
}

TEST(HookHotKey, ModifiersMapToTheRegistrationMask) {
    TOwnerForm owner;
    THookHotKey hotkeys(&owner);
    ASSERT_TRUE(hotkeys.AddHotKey(1, 0x2000 | VK_F8));  // Shift+F8
    EXPECT_TRUE(HotKeyTaken(MOD_SHIFT, VK_F8));
    EXPECT_FALSE(HotKeyTaken(MOD_CONTROL, VK_F8));
    ASSERT_TRUE(hotkeys.AddHotKey(2, VK_F7));  // no modifier: a plain key
    EXPECT_TRUE(HotKeyTaken(0, VK_F7));
    ASSERT_TRUE(hotkeys.AddHotKey(5, 0x8000 | 0x4000 | 0x2000 | 'J'));
    EXPECT_TRUE(HotKeyTaken(MOD_SHIFT | MOD_CONTROL | MOD_ALT, 'J'));
}

TEST(HookHotKey, CombinationHeldElsewhereIsRefused) {
    TOwnerForm owner;
    THookHotKey first(&owner);
    THookHotKey second(&owner);
    ASSERT_TRUE(first.AddHotKey(1, 0xC000 | 'L'));
    EXPECT_FALSE(second.AddHotKey(1, 0xC000 | 'L'));
}

TEST(HookHotKey, DestroyingTheComponentReleasesItsHotKeys) {
    TOwnerForm owner;
    {
        THookHotKey hotkeys(&owner);
        ASSERT_TRUE(hotkeys.AddHotKey(1, 0xC000 | 'M'));
        ASSERT_TRUE(HotKeyTaken(MOD_CONTROL | MOD_ALT, 'M'));
    }
    EXPECT_FALSE(HotKeyTaken(MOD_CONTROL | MOD_ALT, 'M'));
}

TEST(HookHotKey, ActivateBringsTheOwnerForwardOnlyWhenAHandlerIsAssigned) {
    TOwnerForm owner;
    TOwnerForm other;
    ShowWindow(owner.Handle(), SW_SHOW);
    ShowWindow(other.Handle(), SW_SHOW);
    TCountingHotKey hotkeys(&owner);
    ASSERT_TRUE(hotkeys.Activate) << "true after construction";
    ASSERT_TRUE(hotkeys.AddHotKey(1, 0xC000 | 'N'));

    SetForegroundWindow(other.Handle());
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == other.Handle(); }));
    PressCtrlAlt('N');
    ASSERT_TRUE(WaitUntil([&] { return hotkeys.delivered == 1; }));
    EXPECT_EQ(GetForegroundWindow(), other.Handle()) << "no handler: no foreground change";

    int presses = 0;
    hotkeys.OnHotKey = [&](THookHotKey*, int) { ++presses; };
    PressCtrlAlt('N');
    ASSERT_TRUE(WaitUntil([&] { return presses == 1; }));
    EXPECT_EQ(GetForegroundWindow(), owner.Handle());
}
