// Hands the GUI thread functions from any thread: each is queued and a
// message posted; the GUI thread runs them in the order they came.
#pragma once

#include <windows.h>

#include <memory>
#include <utility>
#include <vector>

#include "framework/window.h"

class TUiQueue : public TComponent {
public:
    // Made on the GUI thread, whose message loop runs the functions.
    explicit TUiQueue(TComponent* owner);
    ~TUiQueue() override;

    // Any thread. A failure the function raises goes to the failure box.
    template <typename F>
    void Post(F task) {
        PostTask(std::unique_ptr<TTask>(new TTaskOf<F>(std::move(task))));
    }

private:
    // A queued function. Not std::function: the i686 compiler's link-time
    // optimisation fails on its heap-held functions.
    struct TTask {
        virtual ~TTask() = default;
        virtual void Run() = 0;
    };
    template <typename F>
    struct TTaskOf : TTask {
        explicit TTaskOf(F task) : task_(std::move(task)) {}
        void Run() override { task_(); }
        F task_;
    };

    void PostTask(std::unique_ptr<TTask> task);
    void RunTasks();

    TUtilityWindow* window_;
    CRITICAL_SECTION lock_;
    std::vector<std::unique_ptr<TTask>> tasks_;
};
