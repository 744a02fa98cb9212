#include "ScreensTestSupport.h"

#include "campaign/GameHost.h"
#include "campaign/GameSave.h"
#include "campaign/Save.h"
#include "formkit/Chbcbtn.h"
#include "platform/base/Sjis.h"
#include "platform/core/MediaPlayer.h"
#include "platform/core/StdCtrls.h"
#include "screens/F_evmes.h"
#include "screens/F_save.h"
#include "screens/F_sysmes.h"
#include "screens/Main.h"
#include "screens/f_avi.h"

namespace vdmq::test {

std::string TBoxText::Joined() const {
  size_t n = lines.size();
  while (n > 0 && lines[n - 1].empty()) --n;
  std::string out;
  for (size_t i = 0; i < n; ++i) out += (i ? "|" : "") + lines[i];
  return out;
}

TBoxText SysMesText() {
  TBoxText t;
  if (fmSysMes == nullptr) return t;
  t.caption = SjisToUtf8(fmSysMes->lbTitle->Caption());
  TLabel* lines[] = {fmSysMes->lbLine0, fmSysMes->lbLine1, fmSysMes->lbLine2, fmSysMes->lbLine3, fmSysMes->Label1};
  for (size_t i = 0; i < t.lines.size(); ++i) t.lines[i] = SjisToUtf8(lines[i]->Caption());
  return t;
}

void AnswerSysMes(bool ok, bool process) {
  if (fmSysMes == nullptr) return;
  Click(ok ? static_cast<TControl*>(fmSysMes->btnOk) : fmSysMes->btnCancel, mbLeft, process);
}

std::string PlatformBoxText(TForm* f) {
  auto* label = f ? dynamic_cast<TLabel*>(f->FindComponent("Message")) : nullptr;
  return label ? SjisToUtf8(label->Caption()) : std::string();
}

std::string EventPageText() {
  const TEventPage& page = EventMesPage();
  std::string out;
  for (int i = 0; i < page.lineCount; ++i) out += (i ? "|" : "") + SjisToUtf8(page.lines[static_cast<size_t>(i)]);
  return out;
}

void AdvanceEventMes() { PressKey(VK_SPACE, 0, false); }

TScreenScript& TScreenScript::Then(std::string modalClass, TAction act) {
  steps_.push_back({std::move(modalClass), std::move(act), {}, {}});
  return *this;
}

TScreenScript& TScreenScript::Box(std::string caption, std::string text, bool ok) {
  return Then("TfmSysMes", [caption, text, ok](TForm*) {
    const TBoxText box = SysMesText();
    EXPECT_EQ(box.caption, caption) << box.Joined();
    EXPECT_NE(box.lines[0].find(text), std::string::npos) << "expected \"" << text << "\", shown: " << box.Joined();
    AnswerSysMes(ok);
  });
}

TScreenScript& TScreenScript::BoxesUntil(std::string caption, std::string text, bool ok) {
  steps_.push_back({"TfmSysMes",
                    [ok](TForm*) { AnswerSysMes(ok); },
                    [caption, text](const TBoxText& b) {
                      return b.caption == caption && b.lines[0].find(text) != std::string::npos;
                    },
                    {}});
  return *this;
}

TScreenScript& TScreenScript::Dialogue() {
  steps_.push_back({"TfmEventMes", [](TForm*) { AdvanceEventMes(); }, {}, {}, true, false});
  return *this;
}

TScreenScript& TScreenScript::NewGameToFirstTurn() {
  return Then("TfmSave", [](TForm* s) { ChooseNewGame(s); }).BoxesUntil("確認", "プレイヤーのターン");
}

TScreenScript& TScreenScript::Quit() {
  return Then("", [](TForm*) { fmMain->Close(); }).Box("確認", "ゲームを終了します。");
}

TScreenScript& TScreenScript::SkipMovie() {
  steps_.push_back({"TfmAvi",
                    [](TForm* top) { Click(static_cast<TfmAvi*>(top)->plAvi, mbLeft, false); },
                    {},
                    [](TForm* top) {
                      TMediaPlayer* mp = static_cast<TfmAvi*>(top)->mpAvi;
                      if (mp->IsOpen() && mp->Position() >= kAviSkipFrame) return true;
                      // Time moves by the frame while the movie waits for the click.
                      if (auto* b = dynamic_cast<THeadlessBackend*>(&App().Backend())) b->Advance(10);
                      return false;
                    }});
  return *this;
}

bool TScreenScript::operator()() {
  if (failed_) return false;
  TForm* top = TopModal();
  const std::string cls = top ? top->ClassName() : "";
  if (cls == "TfmSysMes") boxes.push_back(SysMesText());
  if (cls == "TfmEventMes") pages.push_back(EventPageText());
  // A dialogue step that has paged through its dialogue ends when something else shows.
  if (next_ < steps_.size() && steps_[next_].dialogue && steps_[next_].acted && cls != "TfmEventMes") ++next_;
  // Dialogue pages between the boxes of the turns.
  if (cls == "TfmEventMes" && next_ < steps_.size() && steps_[next_].until) {
    AdvanceEventMes();
    return true;
  }
  const bool stepExpects = next_ < steps_.size() && steps_[next_].modalClass == cls;
  // A movie plays to its end in virtual time unless a step takes it.
  if (cls == "TfmAvi" && !stepExpects) return false;
  if (stepExpects && steps_[next_].ready && !steps_[next_].ready(top)) return true;
  if (next_ == steps_.size()) {
    if (top == nullptr) return false;
    ADD_FAILURE() << "unexpected " << cls << (cls == "TfmSysMes" ? ": " + boxes.back().Joined() : "")
                  << (cls == "TMessageForm" ? ": " + PlatformBoxText(top) : "");
    failed_ = true;
    return false;
  }
  TStep& step = steps_[next_];
  if (step.modalClass != cls) {
    ADD_FAILURE() << "step " << next_ << " expects " << (step.modalClass.empty() ? "the main window" : step.modalClass)
                  << ", shown: " << (cls.empty() ? "the main window" : cls)
                  << (cls == "TfmSysMes" ? ": " + boxes.back().Joined() : "");
    failed_ = true;
    return false;
  }
  if (step.dialogue)
    step.acted = true;
  else if (!step.until || step.until(boxes.back()))
    ++next_;
  step.act(top);
  return true;
}

int TGameRun::Run(std::function<void(THeadlessSession&)> setUp) {
  kept_.reset();
  const int result = WinMain([this, setUp] {
    factoryCalled_ = true;
    auto s = std::make_shared<THeadlessSession>(screen_);
    s->Backend.StallBudgetMs = 60 * 1000;
    session_ = s.get();
    if (KeepSession) kept_ = s;
    if (setUp) setUp(*s);
    return std::static_pointer_cast<void>(s);
  });
  if (!KeepSession) session_ = nullptr;
  return result;
}

int TGameRun::Run(TScreenScript& script) {
  return Run([&script](THeadlessSession& s) { s.Backend.Driver = [&script] { return script(); }; });
}

bool SaveQuietly(int slot) {
  TGameHost* host = &GameHost();
  TGameHost quiet;
  SetGameHost(&quiet);
  const bool saved = SaveLoadGame(kSaveModeWrite, slot);
  SetGameHost(host);
  return saved;
}

void ChooseSlot(TForm* saveScreen, int slot) {
  auto* screen = dynamic_cast<TfmSave*>(saveScreen);
  ASSERT_NE(screen, nullptr);
  Click(screen->lbDat[slot], mbLeft, true);
  Click(screen->btnOk, mbLeft, false);
}

void ChooseNewGame(TForm* saveScreen) {
  auto* screen = dynamic_cast<TfmSave*>(saveScreen);
  ASSERT_NE(screen, nullptr);
  Click(screen->btnNewGame, mbLeft, false);
}

}  // namespace vdmq::test
