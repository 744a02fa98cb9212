#include "platform/headless/TestKit.h"

#include "platform/headless/PngFile.h"

namespace vdmq {

namespace {
THeadlessBackend* CurrentBackend() {
  return App().HasBackend() ? dynamic_cast<THeadlessBackend*>(&App().Backend()) : nullptr;
}
}  // namespace

std::vector<TCanvasOp> TCanvasLog::Of(TCanvasOpKind kind, const TPixmap* target) const {
  std::vector<TCanvasOp> out;
  for (const TCanvasOp& op : Ops)
    if (op.Kind == kind && (!target || op.Target == static_cast<const void*>(target->Data()))) out.push_back(op);
  return out;
}

THeadlessSession::THeadlessSession(TSize screen) : Backend(screen) {
  App().Shutdown();
  App().Initialize(Backend);
  App().SetMediaService(&Media);
  Backend.Describe = [] { return App().DescribeState(); };
}

THeadlessSession::~THeadlessSession() { App().Shutdown(); }

TComponent* FindComponentDeep(TComponent* root, std::string_view name) {
  if (!root) return nullptr;
  if (TComponent* c = root->FindComponent(name)) return c;
  for (int i = 0; i < root->ComponentCount(); ++i)
    if (TComponent* c = FindComponentDeep(root->Components(i), name)) return c;
  return nullptr;
}

void InjectMouse(TInputEvent::Kind kind, TPoint p, int button) {
  THeadlessBackend* b = CurrentBackend();
  if (!b) return;
  TInputEvent ev;
  ev.kind = kind;
  ev.x = p.X;
  ev.y = p.Y;
  ev.button = button;
  b->Inject(ev);
}

void WheelAt(TControl* c, int x, int y, int notches, bool process) {
  THeadlessBackend* b = CurrentBackend();
  if (!c || !b) return;
  InjectMouse(TInputEvent::MouseMove, c->ClientToScreen({x, y}), 0);
  TInputEvent ev;
  ev.kind = TInputEvent::Wheel;
  ev.x = notches;
  b->Inject(ev);
  if (process) App().ProcessMessages();
}

void ClickAt(TControl* c, int x, int y, TMouseButton button, bool process) {
  if (!c) return;
  const TPoint p = c->ClientToScreen({x, y});
  InjectMouse(TInputEvent::MouseMove, p, 0);
  InjectMouse(TInputEvent::MouseDown, p, static_cast<int>(button));
  InjectMouse(TInputEvent::MouseUp, p, static_cast<int>(button));
  if (process) App().ProcessMessages();
}

void Click(TControl* c, TMouseButton button, bool process) {
  if (!c) return;
  ClickAt(c, c->ClientWidth() / 2, c->ClientHeight() / 2, button, process);
}

void PressKey(unsigned vk, unsigned mods, bool process) {
  THeadlessBackend* b = CurrentBackend();
  if (!b) return;
  TInputEvent ev;
  ev.kind = TInputEvent::KeyDown;
  ev.vk = vk;
  ev.mods = mods;
  b->Inject(ev);
  if (vk >= 0x20 && vk < 0x7F && !(mods & (kModAlt | kModCtrl))) {
    ev.kind = TInputEvent::Char;
    b->Inject(ev);
  }
  ev.kind = TInputEvent::KeyUp;
  b->Inject(ev);
  if (process) App().ProcessMessages();
}

TForm* TopModal() {
  TForm* f = App().Desktop().ActiveForm();
  return f && f->IsModal() ? f : nullptr;
}

TForm* WaitForModal(std::string_view className, std::uint64_t budgetMs) {
  const std::uint64_t start = App().NowMs();
  for (;;) {
    TForm* f = TopModal();
    if (f && className == f->ClassName()) return f;
    if (App().NowMs() - start > budgetMs)
      throw EStall("no modal form of class " + std::string(className) + "\n" + App().DescribeState());
    App().HandleMessage();
  }
}

bool SaveScreen(const std::string& path) {
  App().PaintAndPresent();
  return SavePng(path, App().Desktop().Screen());
}

bool SaveWindow(const TForm& f, const std::string& path) { return SavePng(path, f.Store()); }

}  // namespace vdmq
