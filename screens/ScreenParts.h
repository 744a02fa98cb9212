#pragma once
// What the game's screens share: binding a drawing surface to the image control that shows it,
// the screens' font, and the command buttons on the main window's faces.

#include <optional>
#include <string>
#include <string_view>

#include "platform/core/Canvas.h"

namespace vdmq {

class TCHBcBitBtn;
class TCHBmpContainer;
class TComponent;
class TControl;
class TImage;
class TQoTrueDib;

// Binds surface to image: the control shows the surface's pixel memory 1:1 (made now when the
// surface has none), and when the control goes first the surface is told and keeps its own memory.
void BindSurface(TQoTrueDib& surface, TImage& image);

// The screens' font: "ＭＳ ゴシック" of that height (cell pixels), bold or not, in a colour.
TFont ScreenFont(int height, bool bold, TColor color);

// One place of a control in a form's layout table.
struct TPlace {
  int Left, Top, Width, Height;
};

// A command button owned by owner on parent, with the faces of row glyph of a face container (three
// faces; the standard face without a container), its caption in aqua and grey when disabled, font
// "ＭＳ ゴシック" height 12.
TCHBcBitBtn* MakeCommandButton(TComponent* owner, TControl* parent, const std::string& name, TPlace place,
                               const std::string& caption, TCHBmpContainer* faces, int glyph);
// Gives a command button the faces of row glyph of a container (nothing without one).
void SetCommandFaces(TCHBcBitBtn* button, TCHBmpContainer* faces, int glyph);
// The number an edit line holds: an optional sign and decimal digits, nothing else, within the range
// of int; nullopt for any other text (empty, blanks, letters, a fraction, too large).
std::optional<int> WholeNumber(std::string_view text);

// The main window's command-button faces ("bc86_28_2"), or null before the main window exists.
TCHBmpContainer* CommandFaces();

}  // namespace vdmq
