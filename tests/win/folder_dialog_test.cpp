// The folder picker with the real shell browser, driven from a second thread
// while Execute runs modally, and its clean-up on the failure paths through
// a counting allocator.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "framework/application.h"
#include "framework/failure.h"
#include "framework/form.h"
#include "settings_ui/folder_dialog.h"
#include "tests/support/screenshot_check.h"
#include "tests/support/test_support.h"

using namespace testing_support;

namespace {

constexpr int kTreeId = 14145;
constexpr int kTitleId = 14146;
constexpr int kStatusId = 14147;

class TOwnerForm : public TForm {
public:
    TOwnerForm() : TForm(nullptr) {
        CreateForm(0, WS_OVERLAPPEDWINDOW, 420, 460, "owner", Application->Handle());
    }
};

// Tree items, read and operated from the driver thread.
std::string ItemText(HWND tree, HTREEITEM item) {
    char text[MAX_PATH] = {};
    TVITEMA query = {};
    query.mask = TVIF_TEXT;
    query.hItem = item;
    query.pszText = text;
    query.cchTextMax = sizeof(text);
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&query));
    return text;
}

HTREEITEM NextItem(HWND tree, UINT relation, HTREEITEM item) {
    return reinterpret_cast<HTREEITEM>(
        SendMessageA(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

// The child of an item whose text satisfies the test; the item is expanded
// first, since the browser lists a folder's children when it is expanded.
HTREEITEM FindChild(HWND tree, HTREEITEM parent, const std::function<bool(const std::string&)>& matches) {
    SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(parent));
    for (HTREEITEM child = NextItem(tree, TVGN_CHILD, parent); child; child = NextItem(tree, TVGN_NEXT, child))
        if (matches(ItemText(tree, child)))
            return child;
    return nullptr;
}

HTREEITEM DriveC(HWND tree) {
    return FindChild(tree, NextItem(tree, TVGN_ROOT, nullptr),
                     [](const std::string& text) { return text.find("(C:)") != std::string::npos; });
}

HTREEITEM FolderOnDriveC(HWND tree, const std::string& name) {
    HTREEITEM drive = DriveC(tree);
    return drive ? FindChild(tree, drive, [&](const std::string& text) { return text == name; }) : nullptr;
}

// Selects an item as a click on it does; the browser's notifications run.
bool Select(HWND tree, HTREEITEM item) {
    return item && SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
}

// What the browser shows.
struct BrowserView {
    std::string title;
    std::string status;
    bool statusVisible = false;
    std::string root;
    bool rootHasSiblings = true;
    std::string selected;
    std::string selectedParent;
};

BrowserView Look(HWND dialog) {
    BrowserView view;
    view.title = WindowText(GetDlgItem(dialog, kTitleId));
    HWND status = GetDlgItem(dialog, kStatusId);
    view.status = WindowText(status);
    view.statusVisible = status && IsWindowVisible(status);
    HWND tree = GetDlgItem(dialog, kTreeId);
    HTREEITEM root = NextItem(tree, TVGN_ROOT, nullptr);
    view.root = ItemText(tree, root);
    view.rootHasSiblings = NextItem(tree, TVGN_NEXT, root) != nullptr;
    if (HTREEITEM selected = NextItem(tree, TVGN_CARET, nullptr)) {
        view.selected = ItemText(tree, selected);
        view.selectedParent = ItemText(tree, NextItem(tree, TVGN_PARENT, selected));
    }
    return view;
}

std::string StatusText(HWND dialog) {
    return WindowText(GetDlgItem(dialog, kStatusId));
}

// Runs a script against the browser on a second thread once the browser is
// shown; the script records what it sees for the test thread to check after
// Execute has returned, and ends by pressing OK or Cancel.
class BrowserDriver {
public:
    using Script = std::function<void(HWND dialog)>;
    explicit BrowserDriver(Script script) : script_(std::move(script)) {
        thread_ = CreateThread(nullptr, 0, Run, this, 0, nullptr);
    }
    ~BrowserDriver() { Join(); }
    BrowserDriver(const BrowserDriver&) = delete;
    BrowserDriver& operator=(const BrowserDriver&) = delete;
    void Join() {
        if (thread_) {
            WaitForSingleObject(thread_, 30000);
            CloseHandle(thread_);
            thread_ = nullptr;
        }
    }
    bool found = false;

private:
    static DWORD WINAPI Run(LPVOID data) {
        auto* self = static_cast<BrowserDriver*>(data);
        HWND dialog = WaitForWindow("#32770", nullptr, GetCurrentProcessId(), 10000);
        if (dialog) {
            self->found = true;
            self->script_(dialog);
        }
        return 0;
    }
    Script script_;
    HANDLE thread_ = nullptr;
};

// The status and selection requests the browser window receives, in order,
// seen by a hook on the thread that runs the browser.
struct SentToBrowser {
    UINT message;
    WPARAM wParam;
    std::string text;
    bool operator==(const SentToBrowser& other) const {
        return message == other.message && wParam == other.wParam && text == other.text;
    }
};
std::vector<SentToBrowser> g_sent;

LRESULT CALLBACK RecordSends(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if ((call->message == BFFM_SETSTATUSTEXTA || call->message == BFFM_SETSELECTIONA) &&
            ClassNameOf(call->hwnd) == "#32770")
            g_sent.push_back({call->message, call->wParam, reinterpret_cast<const char*>(call->lParam)});
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

class SendRecorder {
public:
    SendRecorder() {
        g_sent.clear();
        hook_ = SetWindowsHookExA(WH_CALLWNDPROC, RecordSends, nullptr, GetCurrentThreadId());
    }
    ~SendRecorder() { UnhookWindowsHookEx(hook_); }
    SendRecorder(const SendRecorder&) = delete;
    SendRecorder& operator=(const SendRecorder&) = delete;

private:
    HHOOK hook_;
};

std::string MyComputerName() {
    PIDLIST_ABSOLUTE list = nullptr;
    SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &list);
    SHFILEINFOA info = {};
    SHGetFileInfoA(reinterpret_cast<const char*>(list), 0, &info, sizeof(info), SHGFI_PIDL | SHGFI_DISPLAYNAME);
    CoTaskMemFree(list);
    return info.szDisplayName;
}

// Folders at the root of drive C:, where the browser lists them under My
// Computer; the name has Japanese characters to show the path's bytes pass
// through unchanged.
class FolderDialogTest : public testing::Test {
protected:
    void SetUp() override {
        const std::string id = std::to_string(GetCurrentProcessId());
        folderName_ = "yorunel_フォルダ_" + id;
        otherName_ = "yorunel_other_" + id;
        folder_ = "C:\\" + folderName_;
        other_ = "C:\\" + otherName_;
        CreateDirectoryA(folder_.c_str(), nullptr);
        CreateDirectoryA(other_.c_str(), nullptr);
        file_ = folder_ + "\\picture.bmp";
        WriteFileBytes(file_, "BM");
    }
    void TearDown() override {
        RemoveTree(folder_);
        RemoveTree(other_);
    }

    // Selects a folder of drive C:, waits for the status line to show the
    // shell's path of it, and presses a button.
    BrowserDriver::Script ChooseFolder(const std::string& name, int button, std::string& statusSeen) {
        return [name, button, &statusSeen](HWND dialog) {
            HWND tree = GetDlgItem(dialog, kTreeId);
            if (Select(tree, FolderOnDriveC(tree, name)))
                WaitUntil([&] { return StatusText(dialog).find(name) != std::string::npos; });
            statusSeen = StatusText(dialog);
            ClickDialogButton(dialog, button);
        };
    }

    TOwnerForm form_;
    std::string folderName_;
    std::string otherName_;
    std::string folder_;
    std::string other_;
    std::string file_;
};

TEST_F(FolderDialogTest, OpensAtMyComputerWithTitleAndStatusLineAndGivesTheConfirmedFoldersPathExactly) {
    // Shown, as the settings dialog is when it opens the browser.
    ShowWindow(form_.Handle(), SW_SHOW);
    TFolderDialog dialog(&form_);
    BrowserView opened;
    std::string status;
    bool shownOnDisplay = false;
    BrowserDriver driver([&](HWND window) {
        opened = Look(window);
        HWND tree = GetDlgItem(window, kTreeId);
        Select(tree, FolderOnDriveC(tree, folderName_));
        WaitUntil([&] { return StatusText(window) == folder_; });
        status = StatusText(window);
        WaitPainted(window);
        shownOnDisplay = SaveScreenshotShowing("folder_dialog_selected", PointsOf(window));
        ClickDialogButton(window, IDOK);
    });
    EXPECT_TRUE(dialog.Execute());
    driver.Join();
    ASSERT_TRUE(driver.found) << "no browser appeared";
    EXPECT_EQ(opened.title, "フォルダー選択");
    EXPECT_EQ(opened.root, MyComputerName()) << "rooted at My Computer";
    EXPECT_FALSE(opened.rootHasSiblings);
    EXPECT_TRUE(opened.statusVisible);
    EXPECT_EQ(opened.status, "");
    EXPECT_EQ(status, folder_) << "the status line shows the selected folder's path";
    EXPECT_EQ(dialog.Directory, folder_);
    EXPECT_TRUE(shownOnDisplay);
}

TEST_F(FolderDialogTest, DriveGivesItsPathWithTheSeparatorTheShellWrites) {
    TFolderDialog dialog(&form_);
    std::string status;
    BrowserDriver driver([&](HWND window) {
        HWND tree = GetDlgItem(window, kTreeId);
        Select(tree, DriveC(tree));
        WaitUntil([&] { return !StatusText(window).empty(); });
        status = StatusText(window);
        ClickDialogButton(window, IDOK);
    });
    EXPECT_TRUE(dialog.Execute());
    driver.Join();
    EXPECT_EQ(status, "C:\\");
    EXPECT_EQ(dialog.Directory, "C:\\");
}

TEST_F(FolderDialogTest, CancelAfterAChangeOfSelectionLeavesDirectoryAsItWas) {
    TFolderDialog dialog(&form_);
    dialog.Directory = folder_;
    std::string status;
    BrowserDriver driver(ChooseFolder(otherName_, IDCANCEL, status));
    EXPECT_FALSE(dialog.Execute());
    driver.Join();
    EXPECT_EQ(status, other_) << "the selection had moved";
    EXPECT_EQ(dialog.Directory, folder_);
}

TEST_F(FolderDialogTest, SecondExecutePreselectsTheFirstOnesFolderBeforeTheEmptyStatusOfInitialisation) {
    TFolderDialog dialog(&form_);
    std::string status;
    {
        BrowserDriver driver(ChooseFolder(folderName_, IDOK, status));
        ASSERT_TRUE(dialog.Execute());
    }
    ASSERT_EQ(dialog.Directory, folder_);

    SendRecorder recorder;
    BrowserView opened;
    BrowserDriver driver([&](HWND window) {
        opened = Look(window);
        ClickDialogButton(window, IDCANCEL);
    });
    EXPECT_FALSE(dialog.Execute());
    driver.Join();
    EXPECT_EQ(opened.selected, folderName_);
    EXPECT_NE(opened.selectedParent.find("(C:)"), std::string::npos);
    ASSERT_FALSE(g_sent.empty());
    EXPECT_EQ(g_sent.front(), (SentToBrowser{BFFM_SETSELECTIONA, TRUE, folder_})) << "a path, not an item list";
    // Wine reports the selection change inside the selection request, so the
    // folder's status comes before the initialisation's own empty one.
    EXPECT_EQ(g_sent, (std::vector<SentToBrowser>{{BFFM_SETSELECTIONA, TRUE, folder_},
                                                  {BFFM_SETSTATUSTEXTA, 0, folder_},
                                                  {BFFM_SETSTATUSTEXTA, 0, ""}}));
    EXPECT_EQ(opened.status, "");
}

TEST_F(FolderDialogTest, FileMissingFolderOrEmptyDirectoryIsNotPreselected) {
    for (const std::string& given : {file_, folder_ + "\\missing", std::string()}) {
        SCOPED_TRACE(given);
        TFolderDialog dialog(&form_);
        dialog.Directory = given;
        SendRecorder recorder;
        BrowserView opened;
        BrowserDriver driver([&](HWND window) {
            opened = Look(window);
            ClickDialogButton(window, IDCANCEL);
        });
        EXPECT_FALSE(dialog.Execute());
        driver.Join();
        EXPECT_EQ(g_sent, (std::vector<SentToBrowser>{{BFFM_SETSTATUSTEXTA, 0, ""}}));
        EXPECT_NE(opened.selected, folderName_);
        EXPECT_EQ(dialog.Directory, given);
    }
}

TEST_F(FolderDialogTest, ConfirmingMyComputerCountsAsAChoiceButLeavesDirectory) {
    TFolderDialog dialog(&form_);
    dialog.Directory = folder_;
    std::string status = "unset";
    std::string selected;
    BrowserDriver driver([&](HWND window) {
        HWND tree = GetDlgItem(window, kTreeId);
        WaitUntil([&] { return StatusText(window).empty(); });
        Select(tree, NextItem(tree, TVGN_ROOT, nullptr));
        selected = Look(window).selected;
        status = StatusText(window);
        ClickDialogButton(window, IDOK);
    });
    EXPECT_TRUE(dialog.Execute());
    driver.Join();
    EXPECT_EQ(selected, MyComputerName());
    EXPECT_EQ(status, "") << "an item without a path empties the status line";
    EXPECT_EQ(dialog.Directory, folder_);
}

TEST_F(FolderDialogTest, EmptyTitleShowsNoTextAboveTheTree) {
    TFolderDialog dialog(&form_);
    dialog.Title.clear();
    BrowserView opened;
    opened.title = "unset";
    BrowserDriver driver([&](HWND window) {
        opened = Look(window);
        ClickDialogButton(window, IDCANCEL);
    });
    EXPECT_FALSE(dialog.Execute());
    driver.Join();
    EXPECT_EQ(opened.title, "");
}

// A task allocator that forwards to the real one and records what it is
// asked to do, in order.
class RecordingMalloc : public IMalloc {
public:
    using Event = std::pair<std::string, const void*>;
    std::vector<Event> events;
    std::vector<SIZE_T> sizes;
    bool failAlloc = false;
    ULONG references = 0;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (iid == IID_IUnknown || iid == IID_IMalloc) {
            *object = this;
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override {
        events.emplace_back("release", nullptr);
        return --references;
    }
    void* STDMETHODCALLTYPE Alloc(SIZE_T size) override {
        sizes.push_back(size);
        void* memory = failAlloc ? nullptr : CoTaskMemAlloc(size);
        events.emplace_back("alloc", memory);
        return memory;
    }
    void* STDMETHODCALLTYPE Realloc(void* memory, SIZE_T size) override { return CoTaskMemRealloc(memory, size); }
    void STDMETHODCALLTYPE Free(void* memory) override {
        events.emplace_back("free", memory);
        CoTaskMemFree(memory);
    }
    SIZE_T STDMETHODCALLTYPE GetSize(void*) override { return static_cast<SIZE_T>(-1); }
    int STDMETHODCALLTYPE DidAlloc(void*) override { return -1; }
    void STDMETHODCALLTYPE HeapMinimize() override {}

    const void* Allocated() const {
        for (const Event& event : events)
            if (event.first == "alloc")
                return event.second;
        return nullptr;
    }
};

// The shell calls seen through the dialog's seam: the real ones, recorded,
// unless a test makes one fail.
struct ShellRecord {
    RecordingMalloc* allocator = nullptr;
    bool failLocation = false;
    int locationCalls = 0;
    HWND locationOwner = nullptr;
    int locationFolder = -1;
    PIDLIST_ABSOLUTE root = nullptr;
    int browseCalls = 0;
    BROWSEINFOA info = {};
    std::string title;
    PIDLIST_ABSOLUTE item = nullptr;
};
ShellRecord g_shell;

HRESULT WINAPI RecordedGetMalloc(IMalloc** allocator) {
    if (!g_shell.allocator) {
        *allocator = nullptr;
        return E_FAIL;
    }
    g_shell.allocator->AddRef();
    *allocator = g_shell.allocator;
    return S_OK;
}

HRESULT WINAPI RecordedLocation(HWND owner, int folder, PIDLIST_ABSOLUTE* list) {
    ++g_shell.locationCalls;
    g_shell.locationOwner = owner;
    g_shell.locationFolder = folder;
    if (g_shell.failLocation) {
        *list = nullptr;
        return E_FAIL;
    }
    const HRESULT result = SHGetSpecialFolderLocation(owner, folder, list);
    g_shell.root = *list;
    return result;
}

PIDLIST_ABSOLUTE WINAPI RecordedBrowse(LPBROWSEINFOA info) {
    ++g_shell.browseCalls;
    g_shell.info = *info;
    g_shell.title = info->lpszTitle ? info->lpszTitle : "(null)";
    g_shell.item = SHBrowseForFolderA(info);
    return g_shell.item;
}

class FolderDialogCleanUpTest : public FolderDialogTest {
protected:
    void SetUp() override {
        FolderDialogTest::SetUp();
        g_shell = ShellRecord();
        g_shell.allocator = &allocator_;
    }
    void Recorded(TFolderDialog& dialog) {
        dialog.Shell.GetMalloc = RecordedGetMalloc;
        dialog.Shell.GetSpecialFolderLocation = RecordedLocation;
        dialog.Shell.BrowseForFolder = RecordedBrowse;
    }
    using Event = RecordingMalloc::Event;
    RecordingMalloc allocator_;
};

TEST_F(FolderDialogCleanUpTest, ConfirmedChoiceFreesTheItemTheRootAndTheBufferThenReleasesTheAllocator) {
    TFolderDialog dialog(&form_);
    Recorded(dialog);
    std::string status;
    BrowserDriver driver(ChooseFolder(folderName_, IDOK, status));
    EXPECT_TRUE(dialog.Execute());
    driver.Join();
    EXPECT_EQ(dialog.Directory, folder_);

    const void* buffer = allocator_.Allocated();
    ASSERT_NE(buffer, nullptr);
    ASSERT_NE(g_shell.item, nullptr);
    EXPECT_EQ(allocator_.sizes, std::vector<SIZE_T>{MAX_PATH});
    EXPECT_EQ(allocator_.events, (std::vector<Event>{{"alloc", buffer},
                                                     {"free", g_shell.item},
                                                     {"free", g_shell.root},
                                                     {"free", buffer},
                                                     {"release", nullptr}}));
    EXPECT_EQ(allocator_.references, 0u);
    EXPECT_EQ(g_shell.locationOwner, form_.Handle());
    EXPECT_EQ(g_shell.locationFolder, CSIDL_DRIVES);
    EXPECT_EQ(g_shell.info.hwndOwner, form_.Handle());
    EXPECT_EQ(g_shell.info.pidlRoot, g_shell.root);
    EXPECT_EQ(g_shell.info.pszDisplayName, buffer);
    EXPECT_EQ(g_shell.info.ulFlags, static_cast<UINT>(BIF_STATUSTEXT));
    EXPECT_EQ(g_shell.info.lParam, reinterpret_cast<LPARAM>(&dialog));
    EXPECT_EQ(g_shell.title, "フォルダー選択");
}

TEST_F(FolderDialogCleanUpTest, CancelFreesTheRootAndTheBufferAndAnEmptyTitleIsNoNullPointer) {
    TFolderDialog dialog(&form_);
    Recorded(dialog);
    dialog.Title.clear();
    BrowserDriver driver([](HWND window) { ClickDialogButton(window, IDCANCEL); });
    EXPECT_FALSE(dialog.Execute());
    driver.Join();
    const void* buffer = allocator_.Allocated();
    EXPECT_EQ(g_shell.item, nullptr);
    EXPECT_EQ(allocator_.events, (std::vector<Event>{{"alloc", buffer},
                                                     {"free", g_shell.root},
                                                     {"free", buffer},
                                                     {"release", nullptr}}));
    EXPECT_EQ(g_shell.title, "");
}

TEST_F(FolderDialogCleanUpTest, FailuresBeforeTheBrowserReleaseTheAllocatorOnceAndFreeTheBuffer) {
    {
        SCOPED_TRACE("no memory for the path");
        allocator_ = RecordingMalloc();
        allocator_.failAlloc = true;
        TFolderDialog dialog(&form_);
        Recorded(dialog);
        EXPECT_FALSE(dialog.Execute());
        EXPECT_EQ(allocator_.events, (std::vector<Event>{{"alloc", nullptr}, {"release", nullptr}}));
        EXPECT_EQ(g_shell.locationCalls, 0);
    }
    {
        SCOPED_TRACE("no My Computer list");
        allocator_ = RecordingMalloc();
        g_shell.failLocation = true;
        TFolderDialog dialog(&form_);
        Recorded(dialog);
        EXPECT_FALSE(dialog.Execute());
        const void* buffer = allocator_.Allocated();
        EXPECT_EQ(allocator_.events,
                  (std::vector<Event>{{"alloc", buffer}, {"free", buffer}, {"release", nullptr}}));
        g_shell.failLocation = false;
    }
    for (TComponent* owner : {static_cast<TComponent*>(Application), static_cast<TComponent*>(nullptr)}) {
        SCOPED_TRACE(owner ? "owner not windowed" : "no owner");
        allocator_ = RecordingMalloc();
        g_shell.locationCalls = 0;
        TFolderDialog dialog(owner);
        Recorded(dialog);
        try {
            dialog.Execute();
            ADD_FAILURE() << "no failure raised";
        } catch (const EFailure& failure) {
            EXPECT_EQ(failure.Message(), "無効なクラス型キャスト");
        }
        const void* buffer = allocator_.Allocated();
        EXPECT_EQ(allocator_.events,
                  (std::vector<Event>{{"alloc", buffer}, {"free", buffer}, {"release", nullptr}}));
        EXPECT_EQ(g_shell.locationCalls, 0);
    }
    {
        SCOPED_TRACE("no allocator");
        g_shell.allocator = nullptr;
        TFolderDialog dialog(&form_);
        Recorded(dialog);
        EXPECT_FALSE(dialog.Execute());
    }
    EXPECT_EQ(g_shell.browseCalls, 0) << "the browser never opened";
}

}  // namespace
