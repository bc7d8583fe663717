// The framework's behaviour that the program relies on.
#include <gtest/gtest.h>

#include "framework/application.h"
#include "framework/failure.h"
#include "framework/form.h"
#include "framework/ini_file.h"
#include "framework/menu.h"
#include "framework/timer.h"
#include "tests/support/test_support.h"

using namespace testing_support;

namespace {

class TProbeForm : public TForm {
public:
    TProbeForm() : TForm(nullptr) {
        OnCreate = [this](TComponent*) { created = true; };
        CreateForm(0, WS_OVERLAPPEDWINDOW, 200, 120, "probe", Application->Handle());
        DoCreate();
    }
    bool created = false;
    std::function<void()> onUser;

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_USER && onUser) {
            onUser();
            return 0;
        }
        return TForm::WndProc(message, wParam, lParam);
    }
};

class TCounted : public TComponent {
public:
    TCounted(TComponent* owner, std::vector<int>& log, int id) : TComponent(owner), log_(log), id_(id) {}
    ~TCounted() override { log_.push_back(id_); }

private:
    std::vector<int>& log_;
    int id_;
};

}  // namespace

TEST(Framework, WindowClassIsTheCxxClassNameAndOnCreateRunsAfterTheWindowExists) {
    TProbeForm form;
    EXPECT_TRUE(form.created);
    EXPECT_EQ(ClassNameOf(form.Handle()), "TProbeForm");
    EXPECT_EQ(form.ClassName(), "TProbeForm");
    EXPECT_EQ(GetWindow(form.Handle(), GW_OWNER), Application->Handle()) << "owned by the hidden application window";
}

TEST(Framework, OwnerDestroysWhatItOwnsNewestFirstEachAfterItsOwnDestructor) {
    std::vector<int> log;
    {
        TComponent owner(nullptr);
        new TCounted(&owner, log, 1);
        auto* second = new TCounted(&owner, log, 2);
        new TCounted(second, log, 3);
        new TCounted(&owner, log, 4);
        EXPECT_EQ(owner.ComponentCount(), 3u);
    }
    EXPECT_EQ(log, (std::vector<int>{4, 2, 3, 1}));
}

TEST(Framework, FailureBoxAppendsAFullStopAfterCharactersThatSortAfterIt) {
    EXPECT_EQ(FailureBoxText("abc"), "abc.");
    EXPECT_EQ(FailureBoxText("abc."), "abc.");
    EXPECT_EQ(FailureBoxText("abc!"), "abc!");
    EXPECT_EQ(FailureBoxText(""), "");
    // A double-byte last character: its lead byte sorts after ".", and a
    // trail byte that looks like "!" or "." must not be taken for one.
    EXPECT_EQ(FailureBoxText("エラー"), "エラー.");
    EXPECT_EQ(FailureBoxText("\x81\x2E"), "\x81\x2E.");
}

TEST(Framework, FailureInAWindowProcedureReachesTheFailureBoxAndTheLoopGoesOn) {
    TProbeForm form;
    int calls = 0;
    form.onUser = [&] {
        ++calls;
        throw EFailure("C:\\x.ini に書き込めません");
    };
    BoxWatcher watcher;
    PostMessageA(form.Handle(), WM_USER, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return calls == 1; }));
    watcher.Join();
    EXPECT_EQ(watcher.caption, "Yorunel");
    EXPECT_EQ(watcher.text, "C:\\x.ini に書き込めません.");
    form.onUser = [&] { ++calls; };
    PostMessageA(form.Handle(), WM_USER, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return calls == 2; }));
}

TEST(Framework, ModalRunGivesItsOwnerBackAlsoWhenItsCloseHandlerThrows) {
    TProbeForm owner;
    ShowWindow(owner.Handle(), SW_SHOW);
    TProbeForm dialog;
    dialog.OnClose = [](TComponent*) { throw EFailure("closing failed"); };
    dialog.onUser = [&] { dialog.ModalResult = mrOk; };
    PostMessageA(dialog.Handle(), WM_USER, 0, 0);
    EXPECT_THROW(dialog.ShowModal(), EFailure);
    EXPECT_TRUE(IsWindowEnabled(owner.Handle())) << "the owner blocked for good";
    EXPECT_FALSE(dialog.Visible());
    EXPECT_FALSE(dialog.Modal());
}

TEST(Framework, TimerTicksStopsAtZeroAndRaisesWhenRestartedWithoutATimerToGive) {
    TTimer timer(nullptr);
    int ticks = 0;
    timer.OnTimer = [&](TComponent*) { ++ticks; };
    timer.SetInterval(20);
    EXPECT_EQ(timer.Interval(), 20u);
    ASSERT_TRUE(WaitUntil([&] { return ticks >= 2; }));
    timer.SetInterval(0);
    PumpMessages();
    const int stopped = ticks;
    // A live timer of the same length shows that nothing is pending from the stopped one.
    TTimer probe(nullptr);
    int probeTicks = 0;
    probe.OnTimer = [&](TComponent*) { ++probeTicks; };
    probe.SetInterval(20);
    ASSERT_TRUE(WaitUntil([&] { return probeTicks >= 3; }));
    EXPECT_EQ(ticks, stopped);
}

TEST(Framework, IniFileReadsCutsAt2047AndRaisesWhenTheWriteIsRefused) {
    TempFolder folder;
    const TIniFile ini(folder.File("test.ini"));
    ini.WriteString("S", "Long", std::string(3000, 'x'));
    ini.WriteInteger("S", "Number", -42);
    ini.WriteBool("S", "Flag", true);
    EXPECT_EQ(ini.ReadString("S", "Long", "").size(), 2047u);
    EXPECT_EQ(ini.ReadInteger("S", "Number", 0), -42);
    EXPECT_EQ(ini.ReadString("S", "Flag", ""), "1");
    EXPECT_EQ(ini.ReadString("S", "Missing", "dflt"), "dflt");

    HANDLE held = CreateFileA(ini.FileName().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    try {
        ini.WriteString("S", "Other", "v");
        ADD_FAILURE() << "the write was refused but reported as done";
    } catch (const EFailure& failure) {
        EXPECT_EQ(failure.Message(), ini.FileName() + " に書き込めません");
    }
    CloseHandle(held);
}

TEST(Framework, PopupMenuRunsTheChosenItemAndSubmenusAppearOnlyWithItems) {
    TProbeForm form;
    ShowWindow(form.Handle(), SW_SHOW);
    TPopupMenu menu(nullptr);
    std::vector<std::string> clicked;
    auto record = [&](TComponent* sender) { clicked.push_back(static_cast<TMenuItem*>(sender)->Caption); };
    TMenuItem* sub = menu.Items.Add("sub");
    menu.Items.Add("first", record);
    menu.Items.Add("-");
    menu.Items.Add("last", record);
    sub->Add("inner", record);
    SetForegroundWindow(form.Handle());
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == form.Handle(); }));
    // Keys queued before the menu opens are read by its loop: Down (sub), Down (first), Enter.
    PressKeys({VK_DOWN});
    PressKeys({VK_DOWN});
    PressKeys({VK_RETURN});
    menu.Popup(form.Handle(), 100, 100);
    EXPECT_EQ(clicked, std::vector<std::string>{"first"});

    PressKeys({VK_DOWN});
    PressKeys({VK_RIGHT});
    PressKeys({VK_RETURN});
    menu.Popup(form.Handle(), 100, 100);
    EXPECT_EQ(clicked, (std::vector<std::string>{"first", "inner"}));

    sub->Clear();
    EXPECT_EQ(sub->Count(), 0);
}
