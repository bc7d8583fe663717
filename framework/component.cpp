#include "framework/component.h"

#include <algorithm>
#include <iterator>

TComponent::TComponent(TComponent* owner) : owner_(owner) {
    if (owner_)
        owner_->components_.push_back(this);
}

TComponent::~TComponent() {
    DestroyComponents();
    if (owner_) {
        // Searched from the end, where the newest and the next to go are.
        auto& siblings = owner_->components_;
        const auto it = std::find(siblings.rbegin(), siblings.rend(), this);
        if (it != siblings.rend())
            siblings.erase(std::next(it).base());
    }
}

void TComponent::DestroyComponents() {
    while (!components_.empty())
        delete components_.back();
}
