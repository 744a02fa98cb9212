// Popup menus and the media player control on the fake devices.
#include <gtest/gtest.h>

#include "platform/base/GameError.h"
#include "platform/base/Sjis.h"
#include "platform/core/MediaPlayer.h"
#include "platform/core/Menus.h"
#include "platform/core/StdCtrls.h"
#include "platform/headless/TestKit.h"

using namespace vdmq;

namespace {

struct MenuMediaTest : ::testing::Test {
  THeadlessSession session;
  TForm* form = nullptr;
  TPopupMenu* menu = nullptr;
  std::vector<std::string> clicks;
  void SetUp() override {
    App().CreateForm(form);
    form->SetBounds(100, 100, 300, 200);
    form->Show();
    menu = new TPopupMenu(form);
    for (const char* name : {"move", "-", "size", "close"}) {
      auto* it = new TMenuItem(form);
      it->Name = name;
      it->Caption = std::string(name) == "-" ? "-" : std::string("&") + name;
      it->OnClick = [this, name](TComponent*) { clicks.push_back(name); };
      menu->Add(it);
    }
    menu->Items[2]->Enabled = false;
    menu->Items[3]->Default = true;
    menu->Items[3]->ShortCut = kShortCutAltF4;
  }
};

TEST_F(MenuMediaTest, PopupMenuChoosesByMouseAndKeyAndIgnoresDisabledItems) {
  EXPECT_EQ(ShortCutToText(kShortCutAltF4), "Alt+F4");
  EXPECT_EQ(kShortCutAltF4, 32883u);
  int step = 0;
  session.Backend.Driver = [&] {
    auto* w = dynamic_cast<TMenuWindow*>(Desktop().PopupWindow);
    if (!w) return false;
    ++step;
    if (step == 1)
      ClickAt(w, 20, w->ItemRect(2).Top + 5, mbLeft, false);  // disabled: stays open
    else
      ClickAt(w, 20, w->ItemRect(3).Top + 5, mbLeft, false);
    return true;
  };
  EXPECT_EQ(menu->Popup(150, 150), menu->Items[3]);
  EXPECT_EQ(clicks, std::vector<std::string>{"close"});
  EXPECT_TRUE(form->Active());  // the menu never took the activation
  session.Backend.Driver = [&] {
    if (!Desktop().PopupWindow) return false;
    PressKey('M', 0, false);
    return true;
  };
  EXPECT_EQ(menu->Popup(150, 150), menu->Items[0]);
  session.Backend.Driver = [&] {
    if (!Desktop().PopupWindow) return false;
    InjectMouse(TInputEvent::MouseDown, {5, 5});  // outside: dismissed
    return true;
  };
  EXPECT_EQ(menu->Popup(150, 150), nullptr);
  EXPECT_EQ(clicks, (std::vector<std::string>{"close", "move"}));
}

TEST_F(MenuMediaTest, StopDuringPlayGivesAbortedThenTheStopsSuccessThroughTheQueue) {
  TFakeMedia cd;
  cd.trackMs = {1000, 60000, 60000};
  session.Media.SetMedia("D:", cd);
  auto* mp = new TMediaPlayer(form);
  mp->DeviceType = EMediaDeviceType::CdAudio;
  mp->FileName = "D:";
  std::vector<EMediaNotify> got;
  mp->OnNotify = [&](TComponent*) { got.push_back(mp->NotifyValue); };
  mp->Wait = true;
  mp->Open();
  mp->SetTimeFormat(EMediaTimeFormat::Tmsf);
  EXPECT_EQ(mp->Tracks(), 3);
  mp->SetStartPos(2);
  mp->SetEndPos(3);
  mp->Notify = true;
  mp->Play();
  App().ProcessMessages();
  EXPECT_TRUE(got.empty());
  mp->Notify = true;
  mp->Stop();
  App().ProcessMessages();
  EXPECT_EQ(got, (std::vector<EMediaNotify>{EMediaNotify::Aborted, EMediaNotify::Successful}));
  // A play to the end notifies success when virtual time gets there, through the loop's wait.
  got.clear();
  mp->SetStartPos(3);
  mp->Notify = true;
  mp->Play();
  TForm* box = nullptr;
  App().CreateForm(box);
  mp->OnNotify = [&](TComponent*) {
    got.push_back(mp->NotifyValue);
    box->ModalResult = mrOk;
  };
  EXPECT_EQ(box->ShowModal(), mrOk);
  EXPECT_EQ(got, std::vector<EMediaNotify>{EMediaNotify::Successful});
  EXPECT_GE(session.Backend.NowMs(), 60000u);
  mp->Close();
  EXPECT_THROW(mp->Play(), EGameError);
}

TEST_F(MenuMediaTest, OpeningAMissingFileRaisesForTheEvent) {
  auto* mp = new TMediaPlayer(form);
  mp->FileName = ".\\snd\\NOPE.WAV";
  std::vector<std::string> shown;
  App().OnException = [&](const std::string& s) { shown.push_back(s); };
  App().PostCall([&] { mp->Open(); });
  App().ProcessMessages();
  EXPECT_EQ(shown.size(), 1u);
  EXPECT_FALSE(mp->IsOpen());
}

}  // namespace
