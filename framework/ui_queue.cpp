#include "framework/ui_queue.h"

#include "framework/application.h"
#include "framework/handles.h"

namespace {

constexpr UINT WM_UITASK = WM_APP + 2;

}  // namespace

TUiQueue::TUiQueue(TComponent* owner) : TComponent(owner) {
    InitializeCriticalSection(&lock_);
    window_ = new TUtilityWindow(this, [this](UINT message, WPARAM, LPARAM, LRESULT& result) {
        if (message != WM_UITASK)
            return false;
        RunTasks();
        result = 0;
        return true;
    });
}

TUiQueue::~TUiQueue() {
    DestroyComponents();
    DeleteCriticalSection(&lock_);
}

void TUiQueue::PostTask(std::unique_ptr<TTask> task) {
    {
        section_lock lock(lock_);
        tasks_.push_back(std::move(task));
    }
    // A message lost to a full queue is made up for by the next one: each runs every task waiting.
    PostMessageA(window_->Handle(), WM_UITASK, 0, 0);
}

void TUiQueue::RunTasks() {
    // One at a time: a task's failure box runs messages, and the tasks taken
    // in its loop must still come after the ones before them.
    for (;;) {
        std::unique_ptr<TTask> task;
        {
            section_lock lock(lock_);
            if (tasks_.empty())
                return;
            task = std::move(tasks_.front());
            tasks_.erase(tasks_.begin());
        }
        try {
            task->Run();
        } catch (...) {
            Application->HandleException();
        }
    }
}
