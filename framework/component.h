// Owned objects: an owner destroys what it owns, newest first.
#pragma once

#include <functional>
#include <string>
#include <vector>

class TComponent {
public:
    explicit TComponent(TComponent* owner);
    virtual ~TComponent();
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return owner_; }
    std::size_t ComponentCount() const { return components_.size(); }

    std::string Name;

protected:
    // Destroys what this object owns now, before a derived destructor goes on.
    void DestroyComponents();

private:
    TComponent* owner_;
    std::vector<TComponent*> components_;
};

using TNotifyEvent = std::function<void(TComponent* Sender)>;
