#include "platform/core/MessageDialog.h"

#include <memory>

#include "platform/base/Sjis.h"
#include "platform/core/Application.h"
#include "platform/core/Desktop.h"

namespace vdmq {

namespace {
constexpr int kIcon = 32;
constexpr int kMargin = 12;
constexpr int kButtonW = 75, kButtonH = 23, kButtonGap = 8;
}  // namespace

TMessageForm::TMessageForm(TComponent* owner, std::string_view text, std::string_view caption, unsigned flags)
    : TForm(owner), flags_(flags), icon_(flags & 0xF0) {
  Name = "MessageBox";
  SetBorderStyle(bsDialog);
  SetBorderIcons(biSystemMenu);
  Position = poScreenCenter;
  TFont f;
  f.Height = -12;
  f.Color = clWindowText;
  SetFont(f);
  SetCaption(std::string(caption));
  KeyPreview = true;

  auto* label = new TLabel(this);
  label->Name = "Message";
  label->SetParent(this);
  label->SetCaption(std::string(text));
  label->ShowAccelChar = false;
  label->AdjustBounds();

  const unsigned kind = flags & 0xF;
  const char* captions[2] = {"OK", nullptr};
  int results[2] = {mrOk, mrCancel};
  if (kind == MB_OKCANCEL) {
    captions[1] = nullptr;
    captions[0] = "OK";
    buttonCount_ = 2;
  } else if (kind == MB_YESNO) {
    buttonCount_ = 2;
    results[0] = mrYes;
    results[1] = mrNo;
  } else {
    buttonCount_ = 1;
  }
  static const std::string okText = "OK";
  static const std::string cancelText = Utf8ToSjis("キャンセル");
  static const std::string yesText = Utf8ToSjis("はい(&Y)");
  static const std::string noText = Utf8ToSjis("いいえ(&N)");
  for (int i = 0; i < buttonCount_; ++i) {
    auto* b = new TButton(this);
    b->SetParent(this);
    b->Name = i == 0 ? "OK" : "Cancel";
    if (kind == MB_YESNO) b->Name = i == 0 ? "Yes" : "No";
    b->SetCaption(kind == MB_YESNO ? (i == 0 ? yesText : noText) : (i == 0 ? okText : cancelText));
    b->ModalResult = results[i];
    b->Default = i == 0;
    buttons_[i] = b;
  }
  (void)captions;

  // Layout: icon, text, then the buttons centred below.
  const int textLeft = kMargin + (icon_ ? kIcon + kMargin : 0);
  const int textW = label->Width(), textH = label->Height();
  const int buttonsW = buttonCount_ * kButtonW + (buttonCount_ - 1) * kButtonGap;
  int clientW = std::max(textLeft + textW + kMargin, buttonsW + 2 * kMargin);
  clientW = std::max(clientW, 160);
  const int bodyH = std::max(textH, icon_ ? kIcon : 0);
  const int clientH = kMargin + bodyH + kMargin + kButtonH + kMargin;
  const TSize screen = App().Desktop().ScreenSize();
  clientW = std::min(clientW, screen.cx - 8);
  SetClientSize(clientW, clientH);
  label->SetBounds(textLeft, kMargin + (bodyH - textH) / 2, textW, textH);
  int bx = (clientW - buttonsW) / 2;
  for (int i = 0; i < buttonCount_; ++i, bx += kButtonW + kButtonGap)
    buttons_[i]->SetBounds(bx, clientH - kMargin - kButtonH, kButtonW, kButtonH);
  ActiveControl = buttons_[0];

  OnKeyDown = [this](TComponent*, unsigned& key, TShiftState) {
    if (key == VK_RETURN) {
      ModalResult = buttons_[0]->ModalResult;
      key = 0;
    } else if (key == VK_ESCAPE) {
      ModalResult = mrCancel;
      key = 0;
    }
  };
}

int TMessageForm::Answer(int modalResult) const {
  const unsigned kind = flags_ & 0xF;
  if (kind == MB_OKCANCEL) return modalResult == mrOk ? IDOK : IDCANCEL;
  if (kind == MB_YESNO) return modalResult == mrYes ? IDYES : IDNO;
  return IDOK;  // a box with one button answers OK however it is closed
}

void TMessageForm::Paint(TCanvas& c) {
  if (icon_ != MB_ICONSTOP && icon_ == 0) return;
  const int x0 = kMargin, y0 = kMargin;
  const int r = kIcon / 2;
  // A red disc with a white cross (stop), or a blue disc with a white mark (other icons).
  const TColor disc = icon_ == MB_ICONSTOP ? clRed : icon_ == MB_ICONEXCLAMATION ? clOlive : clBlue;
  for (int y = 0; y < kIcon; ++y)
    for (int x = 0; x < kIcon; ++x) {
      const int dx = 2 * x + 1 - kIcon, dy = 2 * y + 1 - kIcon;
      if (dx * dx + dy * dy <= 4 * r * r) c.SetPixel(x0 + x, y0 + y, disc);
    }
  if (icon_ == MB_ICONSTOP) {
    for (int i = 9; i < kIcon - 9; ++i)
      for (int k = 0; k < 3; ++k) {
        c.SetPixel(x0 + i + k - 1, y0 + i, clWhite);
        c.SetPixel(x0 + kIcon - 1 - i - k + 1, y0 + i, clWhite);
      }
  } else {
    c.FillRectColor(Bounds(x0 + r - 2, y0 + 7, 4, 12), clWhite);
    c.FillRectColor(Bounds(x0 + r - 2, y0 + 22, 4, 4), clWhite);
  }
}

int ShowMessageDialog(std::string_view text, std::string_view caption, unsigned flags) {
  std::unique_ptr<TMessageForm> f = std::make_unique<TMessageForm>(&App(), text, caption, flags);
  const int result = f->ShowModal();
  return f->Answer(result);
}

}  // namespace vdmq
