#pragma once
// Components: named objects with an owner that frees them, a Tag, a class name and the list of
// owned components in creation order (which the game's class-and-tag look-ups walk).

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vdmq {

class TComponent;
using TNotifyEvent = std::function<void(TComponent* sender)>;
enum TOperation { opInsert, opRemove };

class TComponent {
 public:
  explicit TComponent(TComponent* owner);
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;
  virtual ~TComponent();

  virtual const char* ClassName() const { return "TComponent"; }
  TComponent* Owner() const { return owner_; }
  int ComponentCount() const { return static_cast<int>(components_.size()); }
  TComponent* Components(int i) const { return components_.at(static_cast<size_t>(i)); }
  // The owned component of that name (case-insensitive, like the class library), or nullptr.
  TComponent* FindComponent(std::string_view name) const;
  bool Destroying() const { return destroying_; }

  // Called once the owner's construction is complete (layout loaded).
  virtual void Loaded() {}
  // Told to every component of the same owner when one is inserted or removed.
  virtual void Notification(TComponent* /*component*/, TOperation /*op*/) {}
  // Frees every owned component, newest first.
  void DestroyComponents();

  std::string Name;
  int Tag = 0;

 protected:
  // Derived destructors call this first so that owned components see a live owner type.
  void BeginDestroy();

 private:
  void Insert(TComponent* c);
  void Remove(TComponent* c);

  TComponent* owner_ = nullptr;
  std::vector<TComponent*> components_;
  bool destroying_ = false;
};

// A non-visual container of components (the skin data module and similar).
class TDataModule : public TComponent {
 public:
  explicit TDataModule(TComponent* owner) : TComponent(owner) {}
  ~TDataModule() override;
  const char* ClassName() const override { return "TDataModule"; }
  // Runs OnCreate; the application calls it after the module's pointer is stored.
  virtual void AfterConstruction();
  TNotifyEvent OnCreate, OnDestroy;
};

}  // namespace vdmq
