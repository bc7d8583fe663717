#include "settings_ui/folder_dialog.h"

#include <memory>

#include "framework/application.h"
#include "framework/failure.h"
#include "framework/handles.h"
#include "framework/window.h"
#include "resources/texts.h"

namespace {

// Memory of the shell's task allocator, given back to it.
struct TaskMemoryFree {
    IMalloc* allocator;
    void operator()(void* memory) const { allocator->Free(memory); }
};
template <typename T>
using task_ptr = std::unique_ptr<T, TaskMemoryFree>;

bool FolderExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

TFolderDialog::TFolderDialog(TComponent* owner) : TComponent(owner), Title(texts::FolderTitle) {}

bool TFolderDialog::Execute() {
    bool result = false;
    // Released once when Execute ends, whichever way; declared first, so
    // the memory below goes back to it before.
    com_ptr<IMalloc> allocator;
    Shell.GetMalloc(allocator.put());
    if (!allocator)
        return false;
    task_ptr<char> buffer(static_cast<char*>(allocator->Alloc(MAX_PATH)), TaskMemoryFree{allocator.get()});
    if (!buffer)
        return false;
    auto* window = dynamic_cast<TWinControl*>(Owner());
    if (!window)
        throw EFailure(texts::InvalidTypecast);
    PIDLIST_ABSOLUTE rootList = nullptr;
    if (FAILED(Shell.GetSpecialFolderLocation(window->Handle(), CSIDL_DRIVES, &rootList)))
        return false;
    task_ptr<ITEMIDLIST> root(rootList, TaskMemoryFree{allocator.get()});

    BROWSEINFOA info = {};
    info.hwndOwner = window->Handle();
    info.pidlRoot = root.get();
    info.pszDisplayName = buffer.get();
    info.lpszTitle = Title.c_str();
    // Alone, so that items without a file-system path can be confirmed too.
    info.ulFlags = BIF_STATUSTEXT;
    info.lpfn = BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(this);
    task_ptr<ITEMIDLIST> item(Shell.BrowseForFolder(&info), TaskMemoryFree{allocator.get()});
    if (item) {
        result = true;
        if (Shell.GetPathFromIDList(item.get(), buffer.get()))
            Directory = buffer.get();
        item.reset();
    }
    // The root list, then the buffer, then the allocator, in that order.
    return result;
}

int CALLBACK TFolderDialog::BrowseCallback(HWND window, UINT message, LPARAM lParam, LPARAM data) {
    try {
        auto* self = reinterpret_cast<TFolderDialog*>(data);
        char text[512] = {};
        if (message == BFFM_INITIALIZED && FolderExists(self->Directory))
            SendMessageA(window, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(self->Directory.c_str()));
        if (message == BFFM_SELCHANGED)
            self->Shell.GetPathFromIDList(reinterpret_cast<PCIDLIST_ABSOLUTE>(lParam), text);
        SendMessageA(window, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(text));
    } catch (...) {
        Application->HandleException();
    }
    return 0;
}
