#include "platform/core/Component.h"

#include <algorithm>
#include <cctype>

#include "platform/core/Application.h"

namespace vdmq {

TComponent::TComponent(TComponent* owner) {
  if (owner) owner->Insert(this);
}

TComponent::~TComponent() {
  BeginDestroy();
  DestroyComponents();
  if (owner_) owner_->Remove(this);
}

void TComponent::BeginDestroy() { destroying_ = true; }

void TComponent::DestroyComponents() {
  while (!components_.empty()) {
    TComponent* c = components_.back();
    delete c;  // its destructor removes it from this list
  }
}

void TComponent::Insert(TComponent* c) {
  c->owner_ = this;
  components_.push_back(c);
  for (TComponent* other : components_)
    if (other != c) other->Notification(c, opInsert);
}

void TComponent::Remove(TComponent* c) {
  auto it = std::find(components_.begin(), components_.end(), c);
  if (it == components_.end()) return;
  components_.erase(it);
  c->owner_ = nullptr;
  if (!destroying_) {
    Notification(c, opRemove);
    for (TComponent* other : components_) other->Notification(c, opRemove);
  }
}

TComponent* TComponent::FindComponent(std::string_view name) const {
  auto eq = [](std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
      if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
        return false;
    return true;
  };
  for (TComponent* c : components_)
    if (eq(c->Name, name)) return c;
  return nullptr;
}

// The creation and destruction handlers run inside the exception display, like every event: what
// they throw is shown and the program goes on.
TDataModule::~TDataModule() {
  BeginDestroy();
  if (OnDestroy) App().SafeCall([this] { OnDestroy(this); });
}

void TDataModule::AfterConstruction() {
  for (int i = 0; i < ComponentCount(); ++i) Components(i)->Loaded();
  if (OnCreate) App().SafeCall([this] { OnCreate(this); });
}

}  // namespace vdmq
