#include "screens/ScreenParts.h"

#include <charconv>
#include <limits>

#include "formkit/Chbcbtn.h"
#include "platform/base/Sjis.h"
#include "platform/core/StdCtrls.h"
#include "qolib/graphics/QoTDib.h"
#include "screens/Main.h"

namespace vdmq {

void BindSurface(TQoTrueDib& surface, TImage& image) {
  surface.SetImage(&image);
  surface.Loaded();
  TQoTrueDib* s = &surface;
  image.OnImageRemoved = [s](IPixelHolder* i) { s->ImageNotification(i, TQoOperation::opRemove); };
}

TFont ScreenFont(int height, bool bold, TColor color) {
  TFont f;
  f.Name = SJS("ＭＳ ゴシック");
  f.Height = height;
  f.Bold = bold;
  f.Color = color;
  return f;
}

TCHBcBitBtn* MakeCommandButton(TComponent* owner, TControl* parent, const std::string& name, TPlace place,
                               const std::string& caption, TCHBmpContainer* faces, int glyph) {
  auto* b = new TCHBcBitBtn(owner);
  b->Name = name;
  b->SetParent(parent);
  b->SetBounds(place.Left, place.Top, place.Width, place.Height);
  b->SetCaption(caption);
  b->SetFont(ScreenFont(12, false, clAqua));
  TCHBtnCaptionColor& cc = b->CaptionColor();
  cc.SetEnabled(true);
  cc.SetClDisabledFace(clGray);
  cc.SetClDisabledHighlight(clNone);
  cc.SetClDisabledShadow(clNone);
  cc.SetClDownFace(clAqua);
  cc.SetClDownHighlight(clNone);
  cc.SetClDownShadow(clNone);
  cc.SetClUpFace(clAqua);
  cc.SetClUpHighlight(clNone);
  cc.SetClUpShadow(clNone);
  SetCommandFaces(b, faces, glyph);
  return b;
}

void SetCommandFaces(TCHBcBitBtn* button, TCHBmpContainer* faces, int glyph) {
  if (faces == nullptr) return;
  button->Glyph().SetBmpContainer(faces);
  button->Glyph().SetSrcIndex(glyph);
  button->SetNumGlyphs(3);
}

TCHBmpContainer* CommandFaces() { return fmMain != nullptr ? fmMain->bc86_28_2 : nullptr; }

std::optional<int> WholeNumber(std::string_view text) {
  const bool negative = !text.empty() && text.front() == '-';
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) text.remove_prefix(1);
  if (text.empty() || text.front() < '0' || text.front() > '9') return std::nullopt;
  long long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (negative) value = -value;
  if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max()) return std::nullopt;
  return static_cast<int>(value);
}

}  // namespace vdmq
