#pragma once
// Helpers for headless tests of forms and game screens: a session that binds the application to
// a headless back end, control look-up by name, clicks and keys that go through hit testing (so
// disabling and capture are exercised), waiting for a modal form, and screenshots.

#include <string>
#include <string_view>
#include <vector>

#include "platform/core/Application.h"
#include "platform/core/Desktop.h"
#include "platform/core/Form.h"
#include "platform/headless/HeadlessBackend.h"

namespace vdmq {

// A canvas recorder that keeps every operation: attach it to one canvas (TCanvas::SetRecorder) or
// to all canvases at once (TCanvas::THookScope).
class TCanvasLog : public TCanvasRecorder {
 public:
  void Record(const TCanvasOp& op) override { Ops.push_back(op); }
  // The operations of one kind, in order; with a target, only those drawn on its pixels.
  std::vector<TCanvasOp> Of(TCanvasOpKind kind, const TPixmap* target = nullptr) const;
  std::vector<TCanvasOp> Ops;
};

// Binds the application to a fresh headless back end; frees every form at the end.
class THeadlessSession {
 public:
  explicit THeadlessSession(TSize screen = {800, 600});
  ~THeadlessSession();
  THeadlessSession(const THeadlessSession&) = delete;
  THeadlessSession& operator=(const THeadlessSession&) = delete;
  THeadlessBackend Backend;
  // Fake media devices on the virtual clock, installed as the application's media service.
  THeadlessMediaClock MediaClock{Backend};
  TFakeMediaService Media{MediaClock};
};

// The component of that name owned by root or, recursively, by its owned components.
TComponent* FindComponentDeep(TComponent* root, std::string_view name);
template <class T>
T* Find(TComponent* root, std::string_view name) {
  return dynamic_cast<T*>(FindComponentDeep(root, name));
}

// Queues mouse input at a screen point.
void InjectMouse(TInputEvent::Kind kind, TPoint screen, int button = 0);
// Moves the mouse to a point of a control's client area and turns the wheel by notches (positive
// away from the user), then (when process is set) lets the loop handle it.
void WheelAt(TControl* c, int x, int y, int notches, bool process = true);
// Press and release at a point of a control's client area (screen coordinates are derived),
// then (when process is set) lets the loop handle them.
void ClickAt(TControl* c, int x, int y, TMouseButton button = mbLeft, bool process = true);
// The same at the control's centre.
void Click(TControl* c, TMouseButton button = mbLeft, bool process = true);
// Key down, character (for printable keys) and key up.
void PressKey(unsigned vk, unsigned mods = 0, bool process = true);
// The active form when it is modal, else nullptr.
TForm* TopModal();
// Dispatches until the active form is a modal form of that class (throws EStall after the
// virtual-time budget).
TForm* WaitForModal(std::string_view className, std::uint64_t budgetMs = 60000);
// Screenshots as PNG files.
bool SaveScreen(const std::string& path);
bool SaveWindow(const TForm& f, const std::string& path);

}  // namespace vdmq
