// The settings dialog in-process, on a real main window: its layout, what it
// shows at opening, its pages, and its apply steps.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <tuple>

#include "app/korvan_main.h"
#include "app/settings_table.h"
#include "controls/url_link.h"
#include "framework/application.h"
#include "framework/win10_api.h"
#include "settings_ui/korvan_prop.h"
#include "settings_ui/task_form.h"
#include "tests/support/test_support.h"
#include "wallpaper/folder_watch.h"

using namespace testing_support;

namespace {

// 96-DPI layout rectangles relative to the parent's client area.
struct Box {
    int left, top, width, height;
};

RECT ClientRectInParent(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

::testing::AssertionResult At(HWND window, Box box) {
    const RECT expected = ScaledBounds(box.left, box.top, box.width, box.height);
    const RECT actual = ClientRectInParent(window);
    if (EqualRect(&expected, &actual))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << ClassNameOf(window) << " '" << WindowText(window) << "' at ("
                                         << actual.left << "," << actual.top << "," << actual.right << ","
                                         << actual.bottom << ") instead of (" << expected.left << ","
                                         << expected.top << "," << expected.right << "," << expected.bottom << ")";
}

// Every visible child lies inside its parent's client area: nothing is cut.
void ExpectInsideParents(HWND parent) {
    RECT client;
    GetClientRect(parent, &client);
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const RECT rect = ClientRectInParent(child);
        EXPECT_TRUE(rect.left >= 0 && rect.top >= 0 && rect.right <= client.right && rect.bottom <= client.bottom)
            << ClassNameOf(child) << " '" << WindowText(child) << "' reaches out of its parent";
        ExpectInsideParents(child);
    }
}

HWND GroupOf(HWND control) {
    return GetParent(control);
}

// The hotkey calls this program makes, seen by patching its import table:
// Wine replaces a second registration under the same window and id where
// Windows keeps both, so only the calls tell an index registered twice.
struct HotKeyCall {
    HWND window;
    bool registering;
    int id;
    UINT modifiers;
    bool succeeded;
};
std::vector<HotKeyCall> hotKeyCalls;
decltype(&RegisterHotKey) realRegister = nullptr;
decltype(&UnregisterHotKey) realUnregister = nullptr;

BOOL WINAPI RecordRegister(HWND window, int id, UINT modifiers, UINT key) {
    const BOOL result = realRegister(window, id, modifiers, key);
    hotKeyCalls.push_back({window, true, id, modifiers, result != FALSE});
    return result;
}

BOOL WINAPI RecordUnregister(HWND window, int id) {
    const BOOL result = realUnregister(window, id);
    hotKeyCalls.push_back({window, false, id, 0, result != FALSE});
    return result;
}

// What the tray was handed and which messages were let through UIPI: Wine's
// tray shows any icon and Wine has no UIPI, so only the calls tell.
std::vector<LONG> trayIconWidths;
std::vector<HICON> trayIcons;
std::vector<std::pair<HWND, UINT>> allowedMessages;
decltype(&Shell_NotifyIconA) realNotify = nullptr;
decltype(&GetProcAddress) realLookup = nullptr;

BOOL WINAPI RecordNotify(DWORD message, PNOTIFYICONDATAA data) {
    ICONINFO info = {};
    if (message != NIM_DELETE && GetIconInfo(data->hIcon, &info)) {
        BITMAP bitmap = {};
        GetObjectA(info.hbmColor, sizeof(bitmap), &bitmap);
        trayIconWidths.push_back(bitmap.bmWidth);
        trayIcons.push_back(data->hIcon);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
    }
    return realNotify(message, data);
}

BOOL WINAPI RecordFilter(HWND window, UINT message, DWORD action, PCHANGEFILTERSTRUCT) {
    if (action == MSGFLT_ALLOW)
        allowedMessages.emplace_back(window, message);
    return TRUE;
}

// Windows 10 and 11 as the program sees them, where Wine has no task bar
// scale, no cloaked windows, no virtual desktops and no high contrast: the
// test's windows tell in their titles what Windows would report of them.
UINT taskbarDpi = 0;  // 0: a Windows without GetDpiForWindow
bool highContrast = false;
std::vector<DWORD> foregroundAllowed;  // before the task bar is asked to close
decltype(&GetWindowThreadProcessId) realThreadProcess = nullptr;
decltype(&CoCreateInstance) realCreate = nullptr;
decltype(&SystemParametersInfoA) realParameters = nullptr;

bool Titled(HWND window, const char* word) {
    char title[64] = {};
    return GetWindowTextA(window, title, sizeof(title)) && std::strstr(title, word);
}
UINT WINAPI FakeDpiForWindow(HWND window) {
    return window == FindWindowA("Shell_TrayWnd", nullptr) ? taskbarDpi : 96;
}
HRESULT WINAPI FakeWindowAttribute(HWND window, DWORD attribute, void* value, DWORD) {
    *static_cast<DWORD*>(value) = attribute == kDwmwaCloaked && Titled(window, "cloaked") ? 2 : 0;
    return S_OK;
}
DWORD WINAPI FakeThreadProcess(HWND window, LPDWORD process) {
    const DWORD thread = realThreadProcess(window, process);
    if (process && Titled(window, "Other"))
        *process += 4;
    return thread;
}
struct FakeDesktops : IVirtualDesktopManager {
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE IsWindowOnCurrentVirtualDesktop(HWND window, BOOL* current) override {
        *current = !Titled(window, "elsewhere");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetWindowDesktopId(HWND, GUID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE MoveWindowToDesktop(HWND, REFGUID) override { return E_NOTIMPL; }
} fakeDesktops;
HRESULT WINAPI FakeCreate(REFCLSID classId, LPUNKNOWN outer, DWORD context, REFIID iid, LPVOID* object) {
    if (!IsEqualCLSID(classId, kClsidVirtualDesktopManager))
        return realCreate(classId, outer, context, iid, object);
    *object = static_cast<IVirtualDesktopManager*>(&fakeDesktops);
    return S_OK;
}
BOOL WINAPI RecordAllowForeground(DWORD process) {
    MSG close;
    if (!PeekMessageA(&close, FindWindowA("Shell_TrayWnd", nullptr), WM_CLOSE, WM_CLOSE, PM_NOREMOVE))
        foregroundAllowed.push_back(process);
    return TRUE;
}
BOOL WINAPI FakeParameters(UINT action, UINT number, PVOID value, UINT flags) {
    const BOOL result = realParameters(action, number, value, flags);
    if (action == SPI_GETHIGHCONTRAST && highContrast)
        static_cast<HIGHCONTRASTA*>(value)->dwFlags |= HCF_HIGHCONTRASTON;
    return result;
}

// The functions of later systems are looked up at run time.
FARPROC WINAPI RecordLookup(HMODULE module, LPCSTR name) {
    const std::pair<const char*, void*> fakes[] = {
        {"ChangeWindowMessageFilterEx", reinterpret_cast<void*>(RecordFilter)},
        {"DwmGetWindowAttribute", reinterpret_cast<void*>(FakeWindowAttribute)},
        {"GetDpiForWindow", taskbarDpi ? reinterpret_cast<void*>(FakeDpiForWindow) : nullptr}};
    for (const auto& [fakeName, fake] : fakes)
        if (HIWORD(reinterpret_cast<ULONG_PTR>(name)) != 0 && lstrcmpA(name, fakeName) == 0)
            return reinterpret_cast<FARPROC>(fake);
    return realLookup(module, name);
}

// Points this program's import of a system function at the replacement, the
// real function kept in *real where asked for, and back when destroyed.
class ImportPatch {
public:
    ImportPatch(const char* library, const char* name, void* replacement, void* real) {
        auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
        const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
            base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
        const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        for (auto* dll = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); dll->Name; ++dll) {
            if (lstrcmpiA(reinterpret_cast<const char*>(base + dll->Name), library) != 0)
                continue;
            auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->OriginalFirstThunk);
            auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->FirstThunk);
            for (; names->u1.AddressOfData; ++names, ++slots) {
                if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                    continue;
                const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
                if (lstrcmpA(reinterpret_cast<const char*>(byName->Name), name) == 0)
                    slot_ = &slots->u1.Function;
            }
        }
        if (slot_) {
            previous_ = *slot_;
            if (real)
                *static_cast<ULONG_PTR*>(real) = previous_;
            Write(reinterpret_cast<ULONG_PTR>(replacement));
        }
    }
    ~ImportPatch() {
        if (slot_)
            Write(previous_);
    }
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;
    bool Patched() const { return slot_ != nullptr; }

private:
    void Write(ULONG_PTR value) {
        DWORD protection = 0;
        VirtualProtect(slot_, sizeof(*slot_), PAGE_READWRITE, &protection);
        *slot_ = value;
        VirtualProtect(slot_, sizeof(*slot_), protection, &protection);
    }
    ULONG_PTR* slot_ = nullptr;
    ULONG_PTR previous_ = 0;
};

// The indexes of the window registered again while they still held a combination.
std::vector<int> RegisteredTwice(HWND window) {
    std::vector<int> twice;
    bool held[6] = {};
    for (const HotKeyCall& call : hotKeyCalls) {
        if (call.window != window || call.id < 1 || call.id > 5)
            continue;
        if (call.registering && held[call.id])
            twice.push_back(call.id);
        if (call.succeeded)
            held[call.id] = call.registering;
    }
    return twice;
}

// Runs a script on the settings dialog once its modal loop has started.
std::function<void(TKorvanProp&)> dialogScript;

void CALLBACK RunDialogScript(HWND, UINT, UINT_PTR timer, DWORD) {
    if (!KorvanProp || !IsWindowVisible(KorvanProp->Handle()))
        return;
    KillTimer(nullptr, timer);
    dialogScript(*KorvanProp);
}

// The texts of the message boxes dismissed while a script ran.
std::vector<std::string> boxesSeen;

void CALLBACK DismissBoxes(HWND, UINT, UINT_PTR, DWORD) {
    for (HWND box : FindTopWindows("#32770", nullptr, GetCurrentProcessId()))
        if (IsWindowVisible(box)) {
            boxesSeen.push_back(MessageBoxText(box));
            SendMessageA(box, WM_COMMAND, IDOK, 0);
        }
}

// The "設定" command with a script for the dialog it opens; returns the texts
// of the boxes it showed, which a timer dismisses so that none can block.
std::vector<std::string> UseDialog(TKorvanMain& main, const std::function<void(TKorvanProp&)>& script) {
    dialogScript = script;
    boxesSeen.clear();
    SetTimer(nullptr, 0, 10, RunDialogScript);
    const UINT_PTR guard = SetTimer(nullptr, 0, 100, DismissBoxes);
    main.N1Click(main.N1);
    KillTimer(nullptr, guard);
    return boxesSeen;
}

class SettingsDialog : public ::testing::Test {
protected:
    void SetUp() override {
        hotKeyCalls.clear();
        trayIconWidths.clear();
        trayIcons.clear();
        allowedMessages.clear();
        foregroundAllowed.clear();
        taskbarDpi = 0;
        highContrast = false;
        const std::tuple<const char*, const char*, void*, void*> patches[] = {
            {"user32.dll", "RegisterHotKey", reinterpret_cast<void*>(RecordRegister), &realRegister},
            {"user32.dll", "UnregisterHotKey", reinterpret_cast<void*>(RecordUnregister), &realUnregister},
            {"shell32.dll", "Shell_NotifyIconA", reinterpret_cast<void*>(RecordNotify), &realNotify},
            {"kernel32.dll", "GetProcAddress", reinterpret_cast<void*>(RecordLookup), &realLookup},
            {"user32.dll", "GetWindowThreadProcessId", reinterpret_cast<void*>(FakeThreadProcess), &realThreadProcess},
            {"ole32.dll", "CoCreateInstance", reinterpret_cast<void*>(FakeCreate), &realCreate},
            {"user32.dll", "AllowSetForegroundWindow", reinterpret_cast<void*>(RecordAllowForeground), nullptr},
            {"user32.dll", "SystemParametersInfoA", reinterpret_cast<void*>(FakeParameters), &realParameters},
        };
        for (const auto& [library, name, replacement, real] : patches) {
            patches_.push_back(std::make_unique<ImportPatch>(library, name, replacement, real));
            ASSERT_TRUE(patches_.back()->Patched()) << name;
        }
        ini_ = ChangeFileExtension(ProgramFileName());
        WriteFileBytes(ini_, "[HotKey]\r\nPaint=Ctrl+Alt+P\r\nScreenSaver=Shift+Ctrl+S\r\nApplication1=Title one\r\n"
                             "WallPaperPath=\r\nTime=75\r\n[Operate]\r\nMouse=1\r\n");
        main_ = new TKorvanMain(Application);
        GetCurrentDirectoryA(MAX_PATH, startDirectory_);
    }
    void TearDown() override {
        delete dialog_;
        delete main_;
        DeleteFileA(ini_.c_str());
        SetCurrentDirectoryA(startDirectory_);
        patches_.clear();
    }
    static std::string ChangeFileExtension(const std::string& path) {
        return path.substr(0, path.rfind('.')) + ".ini";
    }
    TKorvanProp& Open() {
        dialog_ = new TKorvanProp(Application);
        KorvanProp = dialog_;
        dialog_->Show();
        return *dialog_;
    }
    std::vector<TPanel*> Pages() const {
        return {dialog_->Panel1, dialog_->Panel2, dialog_->Panel3, dialog_->Panel4,
                dialog_->Panel5, dialog_->Panel6, dialog_->Panel7};
    }
    std::vector<TPanel*> VisiblePages() const {
        std::vector<TPanel*> visible;
        for (TPanel* page : Pages())
            if (IsWindowVisible(page->Handle()))
                visible.push_back(page);
        return visible;
    }

    std::vector<std::unique_ptr<ImportPatch>> patches_;
    std::string ini_;
    char startDirectory_[MAX_PATH] = {};
    TKorvanMain* main_ = nullptr;
    TKorvanProp* dialog_ = nullptr;
};

}  // namespace

TEST_F(SettingsDialog, ControlsLieWhereTheLayoutPutsThemAtTheScreensDpi) {
    if (const char* dpi = std::getenv("YORUNEL_EXPECT_DPI")) {
        ASSERT_EQ(ScreenDpi(), std::atoi(dpi)) << "the session's display runs at another DPI";
    }
    TKorvanProp& d = Open();
    WaitPainted(d.Handle());
    SaveScreenshot("settings_at_" + std::to_string(ScreenDpi()) + "dpi");
    RECT outer;
    GetWindowRect(d.Handle(), &outer);
    EXPECT_EQ(outer.right - outer.left, ScaleToDpi(546));
    EXPECT_EQ(outer.bottom - outer.top, ScaleToDpi(221));
    EXPECT_EQ(WindowText(d.Handle()), "設定");
    EXPECT_EQ(ClassNameOf(d.Handle()), "TKorvanProp");
    const LONG style = GetWindowLongA(d.Handle(), GWL_STYLE);
    EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) << "a fixed dialog frame";

    EXPECT_TRUE(At(d.TreeView1->Handle(), {8, 8, 185, 177}));
    EXPECT_TRUE(At(d.Button1->Handle(), {456, 8, 75, 25}));
    EXPECT_TRUE(At(d.Button3->Handle(), {456, 40, 75, 25}));
    EXPECT_TRUE(At(d.Button4->Handle(), {456, 72, 75, 25}));
    EXPECT_TRUE(At(d.Button2->Handle(), {456, 104, 75, 25}));
    for (TPanel* page : Pages()) {
        EXPECT_TRUE(At(page->Handle(), {200, 3, 249, 186}));
        HWND frame = GetWindow(page->Handle(), GW_CHILD);
        EXPECT_TRUE(At(frame, {page == d.Panel3 ? 8 : 0, 0, 241, 183}));
    }
    EXPECT_TRUE(At(GroupOf(d.HotKey1->Handle()), {8, 24, 225, 57}));
    EXPECT_TRUE(At(d.HotKey1->Handle(), {16, 31, 193, 18}));
    EXPECT_TRUE(At(GroupOf(d.HotKey2->Handle()), {8, 88, 225, 57}));
    EXPECT_TRUE(At(d.HotKey2->Handle(), {16, 32, 193, 18}));
    EXPECT_TRUE(At(GroupOf(d.HotKey3->Handle()), {8, 24, 225, 57}));
    EXPECT_TRUE(At(d.HotKey3->Handle(), {16, 31, 193, 18}));
    EXPECT_TRUE(At(GroupOf(d.HotKey5->Handle()), {8, 24, 225, 57}));
    EXPECT_TRUE(At(d.HotKey5->Handle(), {16, 31, 193, 18}));
    EXPECT_TRUE(At(GroupOf(d.Edit1->Handle()), {8, 24, 225, 65}));
    EXPECT_TRUE(At(d.Edit1->Handle(), {16, 16, 153, 20}));
    EXPECT_TRUE(At(d.Edit2->Handle(), {16, 40, 153, 20}));
    EXPECT_TRUE(At(d.Button7->Handle(), {174, 16, 43, 17}));
    EXPECT_TRUE(At(d.Button5->Handle(), {174, 40, 43, 17}));
    EXPECT_TRUE(At(GroupOf(d.HotKey4->Handle()), {8, 96, 225, 57}));
    EXPECT_TRUE(At(d.HotKey4->Handle(), {16, 31, 193, 18}));
    EXPECT_TRUE(At(d.RadioGroup1->Handle(), {8, 16, 225, 65}));
    EXPECT_TRUE(At(d.Edit3->Handle(), {8, 120, 169, 20}));
    EXPECT_TRUE(At(d.Button8->Handle(), {184, 120, 33, 21}));
    // The spin edit is its field and its arrows together.
    RECT field = ClientRectInParent(d.SpinEdit1->Handle());
    const RECT arrows = ClientRectInParent(d.SpinEdit1->ButtonHandle());
    RECT spin;
    UnionRect(&spin, &field, &arrows);
    const RECT expected = ScaledBounds(8, 88, 65, 21);
    EXPECT_TRUE(EqualRect(&spin, &expected)) << spin.left << "," << spin.top << "," << spin.right << "," << spin.bottom;
    // A drop-down list is as high as its font makes it; each item and each caption fits.
    for (const auto& [combo, groupTop] : {std::make_pair(d.ComboBox1, 16), std::make_pair(d.ComboBox2, 60)}) {
        EXPECT_TRUE(At(GroupOf(combo->Handle()), {8, groupTop, 225, 41}));
        const RECT box = ClientRectInParent(combo->Handle());
        EXPECT_TRUE(box.left == ScaleToDpi(16) && box.top == ScaleToDpi(14) && box.right == ScaleToDpi(16 + 193));
        COMBOBOXINFO info = {};
        info.cbSize = sizeof(info);
        ASSERT_TRUE(GetComboBoxInfo(combo->Handle(), &info));
        const window_dc dc(combo->Handle());
        const selected_object font(dc.get(), reinterpret_cast<HGDIOBJ>(SendMessageA(combo->Handle(), WM_GETFONT, 0, 0)));
        for (int item = 0; item < combo->Count(); ++item) {
            char text[64] = {};
            SIZE size = {};
            GetTextExtentPoint32A(dc.get(), text, SendMessageA(combo->Handle(), CB_GETLBTEXT, item, reinterpret_cast<LPARAM>(text)), &size);
            EXPECT_LE(size.cx, info.rcItem.right - info.rcItem.left) << text;
        }
    }
    for (const auto& [box, top] : {std::make_pair(d.CheckBox1, 108), std::make_pair(d.CheckBox2, 128), std::make_pair(d.CheckBox3, 156)}) {
        EXPECT_TRUE(At(box->Handle(), {16, top, 209, 17}));
        SIZE ideal = {};
        SendMessageA(box->Handle(), BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal));
        EXPECT_TRUE(ideal.cx > 0 && ideal.cx <= ScaleToDpi(209) && ideal.cy <= ScaleToDpi(17)) << WindowText(box->Handle());
    }
    d.TreeView1Changing(d.TreeView1);
    d.TreeView1Change(d.TreeView1, "詳細設定");
    WaitPainted(d.Handle());
    SaveScreenshot("settings_more_at_" + std::to_string(ScreenDpi()) + "dpi");

    ExpectInsideParents(d.Handle());
    RECT client;
    GetClientRect(d.Handle(), &client);
    EXPECT_GE(client.bottom, ScaleToDpi(3 + 186)) << "the pages fit the client area";
}

TEST_F(SettingsDialog, OpensOnTheVersionPageWithNoNodeSelectedAndTheFocusInTheRedrawHotKey) {
    TKorvanProp& d = Open();
    EXPECT_EQ(d.TreeView1->Selected(), nullptr);
    EXPECT_EQ(VisiblePages().size(), 7u) << "all pages stay visible, one on another";
    RECT page = ClientRectInParent(d.Panel5->Handle());
    const POINT centre = {(page.left + page.right) / 2, (page.top + page.bottom) / 2};
    EXPECT_EQ(ChildWindowFromPointEx(d.Handle(), centre, CWP_SKIPINVISIBLE), d.Panel5->Handle())
        << "the version page lies on top";
    SetForegroundWindow(d.Handle());
    ASSERT_TRUE(WaitUntil([&] { return GetFocus() == d.HotKey1->Handle(); }));

    PressKeys({VK_CONTROL, VK_MENU, 'A'});
    EXPECT_TRUE(WaitUntil([&] { return d.HotKey1->HotKey() == 0xC041; }));
    EXPECT_EQ(d.TreeView1->Selected(), nullptr) << "still no page chosen";
}

TEST_F(SettingsDialog, HotKeyFieldsDropAModifierThatIsMissingOrShiftAlone) {
    TKorvanProp& d = Open();
    SetForegroundWindow(d.Handle());
    ASSERT_TRUE(WaitUntil([&] { return GetFocus() == d.HotKey1->Handle(); }));
    PressKeys({'B'});
    EXPECT_TRUE(WaitUntil([&] { return d.HotKey1->HotKey() == 0x0042; }));
    PressKeys({VK_SHIFT, 'C'});
    EXPECT_TRUE(WaitUntil([&] { return d.HotKey1->HotKey() == 0x0043; }));
    PressKeys({VK_CONTROL, VK_SHIFT, 'D'});
    EXPECT_TRUE(WaitUntil([&] { return d.HotKey1->HotKey() == 0x6044; }));
}

TEST_F(SettingsDialog, EachNodeShowsItsPageAndOnlyThat) {
    TKorvanProp& d = Open();
    const std::vector<std::pair<std::string, TPanel*>> nodes = {
        {"バージョン情報", d.Panel5}, {"ホットキーの設定", d.Panel1}, {"ホットキーの設定２", d.Panel2},
        {"壁紙変更", d.Panel6},       {"詳細設定", d.Panel7},         {"パニック機能", d.Panel3},
        {"設定", d.Panel4},
    };
    HTREEITEM node = reinterpret_cast<HTREEITEM>(SendMessageA(d.TreeView1->Handle(), TVM_GETNEXTITEM, TVGN_ROOT, 0));
    for (const auto& [text, page] : nodes) {
        ASSERT_NE(node, nullptr);
        EXPECT_EQ(d.TreeView1->NodeText(node), text);
        d.TreeView1->Select(node);
        EXPECT_EQ(VisiblePages(), std::vector<TPanel*>{page}) << text;
        node = reinterpret_cast<HTREEITEM>(
            SendMessageA(d.TreeView1->Handle(), TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(node)));
    }
    EXPECT_EQ(node, nullptr) << "seven nodes";
}

TEST_F(SettingsDialog, ControlsShowTheRecordWithTheIntervalPulledIntoRange) {
    main_->Time = 75;
    TKorvanProp& d = Open();
    EXPECT_EQ(d.HotKey1->HotKey(), 0xC050);
    EXPECT_EQ(d.HotKey2->HotKey(), 0x6053);
    EXPECT_EQ(d.HotKey3->HotKey(), 0);
    EXPECT_EQ(d.Edit1->Text(), "Title one");
    EXPECT_EQ(d.Edit3->Text(), "");
    EXPECT_EQ(d.SpinEdit1->Text(), "59");
    EXPECT_EQ(d.RadioGroup1->ItemIndex(), 1) << "left button pauses";
    for (int index = 1; index <= 5; ++index)
        EXPECT_FALSE(main_->HookHotKey1->RemoveHotKey(index)) << "released at opening: " << index;
    EXPECT_FALSE(HotKeyTaken(MOD_CONTROL | MOD_ALT, 'P'));
    delete dialog_;
    main_->Time = -3;
    main_->Mouse = false;
    TKorvanProp& again = Open();
    EXPECT_EQ(again.SpinEdit1->Text(), "0");
    EXPECT_EQ(again.RadioGroup1->ItemIndex(), 0);
}

TEST_F(SettingsDialog, MissingFolderIsToldByTheDialogAndNothingIsApplied) {
    TKorvanProp& d = Open();
    d.Edit3->SetText("C:\\no such folder here");
    d.Edit1->SetText("changed");
    {
        BoxWatcher box;
        d.Button1Click(d.Button1);
        ASSERT_TRUE(box.Join());
        EXPECT_EQ(box.caption, "Yorunel");
        EXPECT_EQ(box.text, "指定されたフォルダが見つかりません。");
        EXPECT_EQ(box.owner, d.Handle());
        EXPECT_FALSE(box.hasIcon);
    }
    EXPECT_EQ(d.ModalResult, mrNone) << "the dialog stays open";
    EXPECT_EQ(main_->Application1, "Title one");
    EXPECT_FALSE(HotKeyTaken(MOD_CONTROL | MOD_ALT, 'P'));

    d.Edit3->SetText("");
    d.Button1Click(d.Button1);
    EXPECT_EQ(d.ModalResult, mrOk);
    EXPECT_EQ(main_->WallPaperPath, "");
    EXPECT_EQ(main_->Application1, "changed");
    EXPECT_TRUE(HotKeyTaken(MOD_CONTROL | MOD_ALT, 'P'));
}

TEST_F(SettingsDialog, RelativeFolderIsStoredWholeAndTheCurrentDirectoryIsPutBack) {
    TempFolder base;
    CreateDirectoryA(base.File("pictures").c_str(), nullptr);
    WriteFileBytes(base.File("pictures\\a.jpg"), "");
    SetCurrentDirectoryA(base.Path().c_str());
    TKorvanProp& d = Open();
    d.Edit3->SetText("pictures");
    d.Button4Click(d.Button4);
    EXPECT_EQ(main_->WallPaperPath, base.File("pictures"));
    EXPECT_TRUE(WaitUntil([&] { return main_->N4->Count() == 1; })) << "Update lists the new folder at once";
    char now[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, now);
    EXPECT_EQ(std::string(now), base.Path()) << "the folder is not held";
    // Checked again from where the program was: still found.
    d.Button4Click(d.Button4);
    EXPECT_EQ(main_->WallPaperPath, base.File("pictures"));
    // As typed when it already is whole, its closing separator included.
    d.Edit3->SetText(base.Path() + "\\");
    d.Button4Click(d.Button4);
    EXPECT_EQ(main_->WallPaperPath, base.Path() + "\\");
    SetCurrentDirectoryA(startDirectory_);
}

TEST_F(SettingsDialog, IntervalZeroStopsTheTimerAndALaterOneRestartsIt) {
    TKorvanProp& d = Open();
    d.SpinEdit1->SetValue(0);
    main_->MinuteCount = 4;
    d.Button4Click(d.Button4);
    EXPECT_EQ(main_->Timer1->Interval(), 0u);
    EXPECT_EQ(main_->Time, 0);
    EXPECT_EQ(main_->MinuteCount, 0);
    main_->MinuteCount = 2;
    d.SpinEdit1->SetValue(5);
    d.Button1Click(d.Button1);
    EXPECT_EQ(main_->Timer1->Interval(), 60000u);
    EXPECT_EQ(main_->Time, 5);
    EXPECT_EQ(main_->MinuteCount, 0);
}

TEST_F(SettingsDialog, IntervalTypedBeyondTheRangeIsPulledInBothOnLeavingAndOnApplying) {
    TKorvanProp& d = Open();
    // Typed and confirmed while the field still has the focus.
    SetFocus(d.SpinEdit1->Handle());
    d.SpinEdit1->SetText("75");
    d.Button1Click(d.Button1);
    EXPECT_EQ(main_->Time, 59);
    EXPECT_EQ(d.SpinEdit1->Text(), "59");
    d.SpinEdit1->SetText("x");
    EXPECT_EQ(d.SpinEdit1->Value(), 0) << "a text that is not a number counts as 0";
    d.SpinEdit1->SetText("-8");
    SetFocus(d.Edit3->Handle());
    EXPECT_EQ(d.SpinEdit1->Text(), "0") << "pulled into range when the focus leaves";
}

TEST_F(SettingsDialog, UpdateRegistersEveryTimeAndKeepsTheDialogOpen) {
    TKorvanProp& d = Open();
    d.HotKey3->SetHotKey(0xC058);  // Ctrl+Alt+X
    d.Button4Click(d.Button4);
    EXPECT_TRUE(HotKeyTaken(MOD_CONTROL | MOD_ALT, 'X'));
    EXPECT_TRUE(HotKeyTaken(MOD_CONTROL | MOD_ALT, 'P'));
    d.Button4Click(d.Button4);
    EXPECT_EQ(d.ModalResult, mrNone);
    EXPECT_EQ(main_->ExitDialog, "Ctrl+Alt+X");
    EXPECT_EQ(main_->ScreenSaver, "Shift+Ctrl+S");
    EXPECT_EQ(main_->WallPaper, "") << "an empty field is stored as the empty text";
}

TEST_F(SettingsDialog, WhilePausedApplyingRegistersNoHotKeyAndTellsWhatIsKnownWithoutRegistering) {
    main_->TogglePause();
    ASSERT_TRUE(main_->Paused);
    // Held by another program: only a registration could tell, and there is none.
    ASSERT_TRUE(RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_ALT, 'W'));
    TKorvanProp& d = Open();
    d.HotKey5->SetHotKey(0xC057);
    d.HotKey4->SetHotKey(0xC050);  // Ctrl+Alt+P, as 再描画
    {
        BoxWatcher box;
        d.Button1Click(d.Button1);
        ASSERT_TRUE(box.Join());
        EXPECT_EQ(box.caption, "Yorunel");
        EXPECT_EQ(box.owner, d.Handle());
        EXPECT_EQ(box.text, "次のホットキーは設定どおりに働きません。\r\n"
                            "\r\nパニック：「再描画」と同じキーのため、登録できません。");
    }
    UnregisterHotKey(nullptr, 1);
    EXPECT_EQ(d.ModalResult, mrOk) << "OK closes the dialog after the box";
    EXPECT_EQ(main_->WallPaper, "Ctrl+Alt+W");
    EXPECT_FALSE(HotKeyTaken(MOD_CONTROL | MOD_ALT, 'W'));
    EXPECT_FALSE(HotKeyTaken(MOD_CONTROL | MOD_ALT, 'P'));
    EXPECT_TRUE(main_->Paused);
}

TEST_F(SettingsDialog, EveryIndexIsReleasedBeforeItIsRegisteredAgain) {
    const HWND hotkeys = main_->HookHotKey1->Handle();
    ASSERT_TRUE(std::any_of(hotKeyCalls.begin(), hotKeyCalls.end(),
                            [&](const HotKeyCall& call) { return call.window == hotkeys && call.registering; }))
        << "the start-up registrations are seen";
    // Update with one combination, Update with another, then OK.
    EXPECT_EQ(UseDialog(*main_,
                        [](TKorvanProp& d) {
                            d.HotKey1->SetHotKey(0xC050);
                            d.Button4Click(d.Button4);
                            d.HotKey1->SetHotKey(0xC051);
                            d.Button4Click(d.Button4);
                            d.Button1Click(d.Button1);
                        }),
              std::vector<std::string>{})
        << "an index registered again is its own, never held elsewhere";
    EXPECT_EQ(main_->Paint, "Ctrl+Alt+Q");
    EXPECT_EQ(RegisteredTwice(hotkeys), std::vector<int>{});
    // Update, then Close.
    EXPECT_EQ(UseDialog(*main_,
                        [](TKorvanProp& d) {
                            d.Button4Click(d.Button4);
                            d.Button3Click(d.Button3);
                        }),
              std::vector<std::string>{});
    EXPECT_EQ(RegisteredTwice(hotkeys), std::vector<int>{});
    // A pause releases each index once; the resume registers it again.
    main_->TogglePause();
    main_->TogglePause();
    EXPECT_EQ(RegisteredTwice(hotkeys), std::vector<int>{});
    EXPECT_TRUE(HotKeyTaken(MOD_CONTROL | MOD_ALT, 'Q'));
    // Wine ignores the flag, so only the calls tell that a held key acts once.
    EXPECT_TRUE(std::all_of(hotKeyCalls.begin(), hotKeyCalls.end(), [&](const HotKeyCall& call) {
        return call.window != hotkeys || !call.registering || (call.modifiers & MOD_NOREPEAT);
    })) << "every registration asks for no auto-repeat";
}

TEST_F(SettingsDialog, TrayGetsTheSmallIconSizeInBothStatesAndFromANewTaskBarAndItsMessagesWhenElevated) {
    const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    for (UINT message : {WM_TRAYICON, taskbarCreated})
        EXPECT_NE(std::find(allowedMessages.begin(), allowedMessages.end(), std::make_pair(main_->Handle(), message)),
                  allowedMessages.end())
            << message;
    main_->TogglePause();
    main_->TogglePause();
    const HICON running = trayIcons.back();
    SendMessageA(main_->Handle(), taskbarCreated, 0, 0);
    // Added at the start, paused, running again, added to the new task bar.
    ASSERT_GE(trayIconWidths.size(), 4u);
    EXPECT_EQ(trayIcons.back(), running) << "at the same scale, the icon it had";
    EXPECT_EQ(std::count(trayIconWidths.begin(), trayIconWidths.end(), GetSystemMetrics(SM_CXSMICON)),
              static_cast<std::ptrdiff_t>(trayIconWidths.size()));
    // At the task bar's scale, handed over again when it changed (0: not); without the call, the system's.
    const std::tuple<UINT, UINT, LONG> scales[] = {{WM_DISPLAYCHANGE, 120, 20}, {WM_SETTINGCHANGE, 120, 0},
        {WM_SETTINGCHANGE, 144, 24}, {taskbarCreated, 120, 20}, {WM_DISPLAYCHANGE, 0, GetSystemMetrics(SM_CXSMICON)}};
    for (const auto& [message, dpi, width] : scales) {
        const std::size_t handed = trayIconWidths.size();
        taskbarDpi = dpi;
        SendMessageA(main_->Handle(), message, 0, 0);
        EXPECT_EQ(trayIconWidths.size() > handed ? trayIconWidths.back() : 0, width) << message << " " << dpi;
    }
}

TEST_F(SettingsDialog, ThePickerListsOnlyOtherProgramsWindowsThatTheUserCanSee) {
    Open();
    std::vector<unique_hwnd> windows;
    for (const char* title : {"Other", "Other cloaked", "Other cloaked elsewhere", "Own"})
        windows.emplace_back(CreateWindowExA(0, "STATIC", title, WS_POPUP | WS_VISIBLE, 0, 0, 9, 9, nullptr, nullptr,
                                             nullptr, nullptr));
    TTaskForm picker(Application);
    std::vector<std::string> listed;
    for (int i = 0; i < picker.ListBox1->Count(); ++i)
        listed.push_back(picker.ListBox1->Item(i));
    // The settings dialog it was opened from is this program's too.
    for (const auto& [title, count] : std::vector<std::pair<std::string, int>>{
             {"Other", 1}, {"Other cloaked", 0}, {"Other cloaked elsewhere", 1}, {"Own", 0}, {"設定", 0}})
        EXPECT_EQ(std::count(listed.begin(), listed.end(), title), count) << title;
}

TEST_F(SettingsDialog, TheShutDownHotKeyLetsTheTaskBarTakeTheForegroundBeforeItIsAsked) {
    WNDCLASSA taskbarClass = {0, DefWindowProcA, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, "Shell_TrayWnd"};
    RegisterClassA(&taskbarClass);
    // In front of the session's task bar, and another program's as far as the program can tell.
    const unique_hwnd taskbar(CreateWindowExA(WS_EX_TOPMOST, "Shell_TrayWnd", "Other", WS_POPUP, 0, 0, 9, 9, nullptr,
                                              nullptr, nullptr, nullptr));
    DWORD shell = 0;
    GetWindowThreadProcessId(taskbar.get(), &shell);
    main_->HookHotKey1HotKey(main_->HookHotKey1, hkExitDialog);
    EXPECT_EQ(foregroundAllowed, std::vector<DWORD>{shell});
    MSG close;
    EXPECT_TRUE(PeekMessageA(&close, taskbar.get(), WM_CLOSE, WM_CLOSE, PM_REMOVE));
}

TEST_F(SettingsDialog, LinksTakeTheHotTrackingColourInHighContrastAndTheirTipsTheTipColours) {
    for (const bool contrast : {false, true}) {
        highContrast = contrast;
        delete dialog_;
        for (const TURLLink* link : {Open().URLlink1, dialog_->URLlink2, dialog_->URLlink3}) {
            EXPECT_EQ(link->Font().Color(), contrast ? clHotLight : clBlue);
            EXPECT_EQ(link->HintFormFont().Color(), clInfoText);
        }
    }
}

TEST_F(SettingsDialog, ChoicesShowTheRecordAndAValueNotKnownStaysAsWrittenUntilTheChoiceChanges) {
    using Record = std::tuple<int, std::string, bool, int>;  // Order, Style, SubFolders, Monitors
    using Items = std::tuple<int, int, bool, bool>;          // as the four controls show them
    // The record, what the page shows, what the user chooses, the record after Update.
    const std::tuple<Record, Items, Items, Record> rows[] = {
        {{7, "Zoom", false, 3}, {0, 0, false, false}, {0, 2, true, false}, {7, "Fit", true, 3}},
        {{1, "Span", true, 1}, {1, 6, true, true}, {2, 6, true, false}, {2, "Span", true, 0}}};
    for (const auto& [record, shown, chosen, stored] : rows) {
        std::tie(main_->Order, main_->Style, main_->SubFolders, main_->Monitors) = record;
        delete dialog_;
        TKorvanProp& d = Open();
        EXPECT_EQ(Items(d.ComboBox1->ItemIndex(), d.ComboBox2->ItemIndex(), d.CheckBox1->Checked(), d.CheckBox2->Checked()),
                  shown);
        d.ComboBox1->SetItemIndex(std::get<0>(chosen));
        d.ComboBox2->SetItemIndex(std::get<1>(chosen));
        d.CheckBox1->SetChecked(std::get<2>(chosen));
        d.CheckBox2->SetChecked(std::get<3>(chosen));
        // With subfolders and no folder the worker walks the whole drive: a
        // newer listing and the end give the walk up, or the end would
        // abandon the worker and end this program.
        d.Button4Click(d.Button4);
        EXPECT_EQ(Record(main_->Order, main_->Style, main_->SubFolders, main_->Monitors), stored);
    }
}

TEST_F(SettingsDialog, AStartupShortcutThatCannotBeMadeOrRemovedIsToldAndTheBoxShowsWhatTheFolderHolds) {
    char folder[MAX_PATH] = {};
    ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_STARTUP, nullptr, 0, folder), S_OK);
    const std::string link = std::string(folder) + "\\Yorunel.lnk";
    DeleteFileA(link.c_str());
    TKorvanProp& d = Open();
    const std::tuple<bool, DWORD, std::string> rows[] = {
        {true, 0, "スタートアップにショートカットを作成できません。\r\n"},
        {false, FILE_SHARE_READ, "スタートアップのショートカットを削除できません。\r\n"}};
    for (const auto& [on, sharing, told] : rows) {
        d.CheckBox3->SetChecked(!on);
        d.Button4Click(d.Button4);
        ASSERT_EQ(FileExists(link), !on);
        // A file of the shortcut's name that is not the program's stays; one held open by
        // another program without sharing cannot be deleted, as root too.
        unique_handle_t held(CreateFileA(link.c_str(), GENERIC_READ, sharing, nullptr, OPEN_ALWAYS, 0, nullptr));
        d.CheckBox3->SetChecked(on);
        BoxWatcher box;
        d.Button4Click(d.Button4);
        ASSERT_TRUE(box.Join()) << told;
        EXPECT_EQ(box.text.substr(0, told.size()), told);
        EXPECT_GT(box.text.size(), told.size()) << "with the system's reason";
        EXPECT_EQ(box.owner, d.Handle());
        EXPECT_EQ(d.CheckBox3->Checked(), !on) << "the box shows what the folder holds";
        held.reset();
        DeleteFileA(link.c_str());
    }
}

// A folder's watch asks to hear of its volume's removal only where the volume
// can go: Wine starts a thread in the program for the first registration.
namespace {
std::vector<HANDLE> removalsAsked;
int removalsDropped = 0;
HDEVNOTIFY WINAPI RecordRemovalAsked(HANDLE, LPVOID filter, DWORD) {
    removalsAsked.push_back(static_cast<DEV_BROADCAST_HANDLE*>(filter)->dbch_handle);
    return reinterpret_cast<HDEVNOTIFY>(1);
}
BOOL WINAPI RecordRemovalDropped(HDEVNOTIFY) {
    ++removalsDropped;
    return TRUE;
}
}  // namespace

TEST(FolderWatch, OnlyAFolderOffTheSystemsVolumeAsksToHearOfItsRemoval) {
    ImportPatch asking("user32.dll", "RegisterDeviceNotificationW", reinterpret_cast<void*>(RecordRemovalAsked), nullptr);
    ImportPatch dropping("user32.dll", "UnregisterDeviceNotification", reinterpret_cast<void*>(RecordRemovalDropped),
                         nullptr);
    ASSERT_TRUE(asking.Patched() && dropping.Patched());
    TFolderWatch watch;
    ASSERT_TRUE(watch.Open(u"C:\\windows\\system32", true, nullptr));
    EXPECT_TRUE(removalsAsked.empty());
    // Wine's Z: is the Unix root, a volume of its own.
    ASSERT_TRUE(watch.Open(u"Z:\\tmp", false, nullptr));
    ASSERT_EQ(removalsAsked.size(), 1u);
    EXPECT_NE(removalsAsked[0], nullptr);
    watch.Close();
    EXPECT_EQ(removalsDropped, 1);
}
