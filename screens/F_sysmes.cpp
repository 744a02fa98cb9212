#include "screens/F_sysmes.h"

#include "campaign/Character.h"
#include "campaign/FileKinds.h"
#include "campaign/Stdfunc.h"
#include "campaign/Story.h"
#include "formkit/Chbcbtn.h"
#include "platform/base/Sjis.h"
#include "platform/core/Application.h"
#include "platform/core/Desktop.h"
#include "platform/core/StdCtrls.h"
#include "qolib/graphics/Qograph_rap.h"
#include "screens/ScreenParts.h"

namespace vdmq {

TfmSysMes* fmSysMes = nullptr;

namespace {

constexpr const char* kBreak = "<BR>";

// The five text lines: name and top; all at x 156, 271 x 14.
struct TLinePlace {
  TLabel* TfmSysMes::*Field;
  const char* Name;
  int Top;
};
constexpr TLinePlace kLines[] = {
    {&TfmSysMes::lbLine0, "lbLine0", 45}, {&TfmSysMes::lbLine1, "lbLine1", 61}, {&TfmSysMes::lbLine2, "lbLine2", 77},
    {&TfmSysMes::lbLine3, "lbLine3", 93}, {&TfmSysMes::Label1, "Label1", 109},
};
constexpr TPlace kOkWithCancel{252, 160, 86, 28};
constexpr TPlace kSecondButton{344, 160, 86, 28};

// The segment cut to the line limit without splitting a double-byte letter.
std::string CutLine(std::string_view segment) { return std::string(SjisCut(segment, kSysMesLineBytes)); }

}  // namespace

std::array<std::string, 5> SplitSysMesLines(const std::string& text) {
  std::array<std::string, 5> lines;
  std::string_view rest = text;
  for (std::string& line : lines) {
    const size_t at = rest.find(kBreak);
    if (at == std::string_view::npos) {
      line = CutLine(rest);
      break;
    }
    line = CutLine(rest.substr(0, at));
    rest.remove_prefix(at + 4);
  }
  return lines;
}

TfmSysMes::TfmSysMes(TComponent* owner) : TForm(owner) {
  Name = "fmSysMes";
  SetBorderStyle(bsNone);
  Position = poScreenCenter;
  SetColor(clBlack);
  SetFont(ScreenFont(12, true, clWhite));
  SetClientSize(448, 197);

  imgBg = new TImage(this);
  imgBg->Name = "imgBg";
  imgBg->SetParent(this);
  imgBg->SetBounds(0, 0, 448, 197);
  BindSurface(QoBG, *imgBg);
  plCmd = new TPanel(this);
  plCmd->Name = "plCmd";
  plCmd->SetParent(this);
  plCmd->BevelOuter = bvNone;
  plCmd->SetColor(clBlack);
  plCmd->SetBounds(14, 36, 138, 138);
  imgCmd = new TImage(this);
  imgCmd->Name = "imgCmd";
  imgCmd->SetParent(plCmd);
  imgCmd->SetBounds(0, 0, 138, 138);
  BindSurface(QoCmd, *imgCmd);
  lbTitle = new TLabel(this);
  lbTitle->Name = "lbTitle";
  lbTitle->SetParent(this);
  lbTitle->Transparent = true;
  lbTitle->SetBounds(12, 8, 0, 0);
  int tag = 1;
  for (const TLinePlace& p : kLines) {
    auto* l = new TLabel(this);
    l->Name = p.Name;
    l->SetParent(this);
    l->SetAutoSize(false);
    l->SetBounds(156, p.Top, 271, 14);
    l->Transparent = true;
    l->SetFont(ScreenFont(14, true, clWhite));
    l->Tag = tag++;
    this->*p.Field = l;
  }
  btnOk = MakeCommandButton(this, this, "btnOk", kOkWithCancel, SJS("ＯＫ"), CommandFaces(), 0);
  btnCancel = MakeCommandButton(this, this, "btnCancel", kSecondButton, "Cancel", CommandFaces(), 1);

  OnCreate = [this](TComponent* s) { FormCreate(s); };
  OnShow = [this](TComponent* s) { FormShow(s); };
  btnOk->OnClick = [this](TComponent* s) { btnOkClick(s); };
  btnCancel->OnClick = [this](TComponent* s) { btnCancelClick(s); };
  imgBg->OnMouseDown = [this](TComponent* s, TMouseButton b, TShiftState sh, int x, int y) {
    imgBgMouseDown(s, b, sh, x, y);
  };
}

TfmSysMes::~TfmSysMes() {
  BeginDestroy();
  DestroyComponents();
  if (fmSysMes == this) fmSysMes = nullptr;
}

void TfmSysMes::FormCreate(TComponent*) {
  DrawBmpPackById(&QoBG, 0, 0, kFileKindMessageBoxBackground, -1);
  QoBG.Change();
}

void TfmSysMes::FormShow(TComponent*) {
  const std::array<std::string, 5> lines = SplitSysMesLines(Text);
  for (int i = 0; i < 5; ++i) {
    auto* label = dynamic_cast<TLabel*>(FindComponentByClass(this, "TLabel", i + 1));
    if (label != nullptr) label->SetCaption(lines[static_cast<size_t>(i)]);
  }
}

void TfmSysMes::btnOkClick(TComponent*) {
  Result = 1;
  ModalResult = mrOk;
}

void TfmSysMes::btnCancelClick(TComponent*) {
  Result = 2;
  ModalResult = mrCancel;
}

void TfmSysMes::imgBgMouseDown(TComponent*, TMouseButton, TShiftState, int, int y) {
  if (y >= 32) return;
  Desktop().ReleaseCapture();
  Perform(WM_SYSCOMMAND, 0xF012);
}

int SysMesEx(const std::string& text, const std::string& caption, int withCancel, int kind, int number) {
  TfmSysMes* box = fmSysMes;
  if (box == nullptr || box->Visible()) return 2;
  box->Result = 2;
  box->Text = text;
  if (withCancel == 1) {
    box->btnOk->SetBounds(kOkWithCancel.Left, kOkWithCancel.Top, kOkWithCancel.Width, kOkWithCancel.Height);
    box->btnCancel->SetVisible(true);
  } else {
    box->btnOk->SetBounds(kSecondButton.Left, kSecondButton.Top, kSecondButton.Width, kSecondButton.Height);
    box->btnCancel->SetVisible(false);
  }
  box->lbTitle->SetCaption(caption);
  if (DrawBmpPackById(&box->QoCmd, 0, 0, kind, number)) box->QoCmd.Change();
  box->ShowModal();
  return box->Result;
}

int SysMes(const std::string& text, const std::string& caption, int withCancel) {
  return SysMesEx(text, caption, withCancel, kFileKindCommanderPortrait, GetEventCharacterCg(GetFukukan()));
}

int SysMesBt(const std::string& text, const std::string& caption, int withCancel) {
  return SysMes(text, caption, withCancel);
}

}  // namespace vdmq
