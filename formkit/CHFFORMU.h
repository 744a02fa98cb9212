#pragma once
// The skinned form: the base of the game's kit windows. It keeps the layer's window with its border
// style and sizing border, takes the layer's caption buttons and system menu away, and paints the
// whole non-client area itself from the skin module: the frame picture with fixed borders, the title
// bar cell with the window icon and a caption in up to three colour passes, and the caption buttons
// (close, maximise or restore, minimise or restore, help) cut from the button skin with their glyphs.
// A right click on the title bar or Alt+Space opens one of four popup menus in place of the system
// menu.
//
// The non-client area is a small tree of parts: the frame owns the title bar, which owns the four
// caption buttons and the window icon. Each part is a rectangle in window coordinates (relative to
// the window's top-left corner) that lays itself out, paints itself from a skin source, hit-tests a
// point and follows the mouse; parts report to their form through three events (capture, repaint,
// click). The choice of visible parts, the layout and the popup menus' rules work from plain values
// (UpdateParts, Layout over a TCHF_Geometry, SysMenuRules), so they run without a window.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "formkit/Chdrwtl.h"
#include "platform/core/Form.h"
#include "platform/core/Menus.h"

namespace vdmq {

class TBcWriter;
class TCHF_Image;

// A colour table of three passes in two states: face, highlight, shadow of the first state (active
// caption, enabled glyph), then of the second (inactive caption, disabled glyph). clNone skips a pass.
using TCHF_ColorTable = std::array<TColor, 6>;
// Active: white with a black shadow; inactive: black with a silver shadow.
inline constexpr TCHF_ColorTable kCHF_CaptionColors{clWhite, clNone, clBlack, clBlack, clNone, clSilver};
// Enabled: silver; disabled: black.
inline constexpr TCHF_ColorTable kCHF_GlyphColors{clSilver, clNone, clNone, clBlack, clNone, clNone};

// The fixed borders of a caption button's face when it is drawn with CHDrawFixBitmap.
struct TCHF_FixEdge {
  int AX = 2, BX = 2, AY = 2, BY = 2;
};

// The settings of a kit form's parts: switches, margins, the frame's fixed borders and the colour
// tables, with the geometry and the allowed buttons that Layout and UpdateParts work out.
struct TCHF_FrameSettings {
  // --- computed ---
  TRect WindowRect;   // screen coordinates
  TRect ClientRect;   // window coordinates
  TRect VScrollRect;  // always empty: layer windows have no scroll bars
  TRect HScrollRect;
  bool CloseAllowed = false, MinimizeAllowed = false, MaximizeAllowed = false, HelpAllowed = false;
  // --- switches ---
  bool IconSwitch = true;
  bool CaptionSwitch = true;
  bool GlyphSwitch = true;
  bool ButtonFixEdge = false;  // faces drawn with fixed borders instead of stretched
  // --- sizes ---
  int IconMargin = 2;         // between the title bar's left edge and the icon
  int IconSizeRule = -2;      // 0 or less: caption height plus the rule; above 0: the size itself
  int CaptionFontRule = -4;   // above 0: the font height; else the caption height plus the rule
  int ButtonRightMargin = 2;  // between the close button and the title bar's right edge
  int CaptionMargin = 2;      // between the icon (or the bar's left edge) and the caption text
  // The frame picture's fixed borders: top, bottom, left, right.
  int FrameAY = 3, FrameBY = 20, FrameAX = 3, FrameBX = 20;
  TCHF_FixEdge HelpEdge{1, 1, 1, 1};
  TCHF_FixEdge ButtonEdge{2, 2, 2, 2};
  TCHF_ColorTable CaptionColors = kCHF_CaptionColors;
  TCHF_ColorTable GlyphColors = kCHF_GlyphColors;
};

// What Layout reads of a window.
struct TCHF_Geometry {
  TRect Window;                      // screen coordinates
  TRect Client;                      // window coordinates
  std::uint32_t Style = 0;           // style bits: WS_THICKFRAME, WS_MINIMIZE, WS_MAXIMIZE
  int FrameX = 4, FrameY = 4;        // sizing border (SM_CXFRAME, SM_CYFRAME)
  int DlgFrameX = 3, DlgFrameY = 3;  // fixed border (SM_CXDLGFRAME, SM_CYDLGFRAME)
};
// The geometry of a layer window from the layer's window queries.
TCHF_Geometry WindowGeometry(const TForm& form);

enum TCHF_PartKind { pkFrame, pkCaption, pkIcon, pkClose, pkMaximize, pkMinimize, pkHelp };

using TCHF_CaptureEvent = std::function<void(TCHF_Image* part)>;
using TCHF_RepaintEvent = std::function<void(TCHF_Image* part)>;
using TCHF_ClickEvent = std::function<void(TCHF_Image* part, TMouseButton button, int x, int y)>;

// One rectangle of the non-client area. Points are window coordinates.
class TCHF_Image {
 public:
  // form: the window whose caption, font and icon the parts draw (may be null without a window).
  TCHF_Image(TForm* form, TCHF_PartKind kind);
  TCHF_Image(const TCHF_Image&) = delete;
  TCHF_Image& operator=(const TCHF_Image&) = delete;
  virtual ~TCHF_Image() = default;

  TRect Rect;
  const TCHF_PartKind Kind;
  // The writer whose reader supplies the picture, or none.
  TBcWriter* Source = nullptr;
  TCHF_CaptureEvent OnCapture;  // the part takes the mouse (part) or lets it go (nullptr)
  TCHF_RepaintEvent OnRepaint;
  TCHF_ClickEvent OnClick;
  bool Down = false;  // pressed inside the part
  bool Visible() const { return visible_; }
  virtual void SetVisible(bool value) { visible_ = value; }
  TForm* Form() const { return form_; }

  // Stretches the source's cell over Rect, or fills it with clBtnFace without one.
  virtual void Paint(TCanvas& canvas);
  // Runs before a press; true consumes it.
  virtual bool MouseDownHook(TMouseButton button, TPoint p);
  virtual void Click(TMouseButton button, TPoint p);
  // The part itself when it is visible and Rect holds p, else none.
  virtual TCHF_Image* HitTest(TPoint p);
  // A press not consumed by the hook sets Down and takes the mouse.
  virtual void MouseDown(TMouseButton button, TPoint p);
  // Lets the mouse go, clears Down and clicks when the part was down and p still hits.
  virtual void MouseUp(TMouseButton button, TPoint p);
  virtual void MouseMove(TShiftState keys, TPoint p);

 protected:
  // The source's reader, or none.
  TCHBcReader* Reader() const;
  // The source's bitmap when it has pixels, else none.
  TBitmap* SourceBitmap() const;
  void Capture(TCHF_Image* part) {
    if (OnCapture) OnCapture(part);
  }

 private:
  TForm* form_;
  bool visible_ = false;
};

enum TCHF_Glyph { cgClose, cgMinimize, cgRestore, cgMaximize, cgHelp };
enum TCHF_ButtonState { cbUp, cbDisabled, cbPressed };

// A caption button: its face is the column of its state in its glyph's row of the button skin, and
// its glyph a letter of the caption glyph font.
class TCHF_Button : public TCHF_Image {
 public:
  TCHF_Button(TForm* form, TCHF_Glyph glyph, TCHF_PartKind kind);
  // Changing the glyph or the state fires OnRepaint.
  TCHF_Glyph Glyph() const { return glyph_; }
  void SetGlyph(TCHF_Glyph value);
  TCHF_ButtonState State() const { return state_; }
  void SetState(TCHF_ButtonState value);
  bool Enabled() const { return state_ != cbDisabled; }
  // Disables the button, or enables a disabled one (a pressed button stays pressed).
  void Enable(bool value);
  // The glyph font's letter of a glyph: "r021s".
  static char GlyphChar(TCHF_Glyph glyph);

  bool GlyphSwitch = true;
  bool FixEdge = false;
  TCHF_FixEdge Edge;
  TCHF_ColorTable GlyphColors = kCHF_GlyphColors;

  void Paint(TCanvas& canvas) override;
  bool MouseDownHook(TMouseButton button, TPoint p) override;
  void Click(TMouseButton button, TPoint p) override;
  void MouseUp(TMouseButton button, TPoint p) override;
  void MouseMove(TShiftState keys, TPoint p) override;

 private:
  TCHF_Glyph glyph_;
  TCHF_ButtonState state_ = cbUp;
};

class TCHF_TitleBar : public TCHF_Image {
 public:
  explicit TCHF_TitleBar(TForm* form);
  TCHF_Button& CloseButton() { return *close_; }
  TCHF_Button& MaximizeButton() { return *maximize_; }
  TCHF_Button& MinimizeButton() { return *minimize_; }
  TCHF_Button& HelpButton() { return *help_; }
  TCHF_Image& IconPart() { return *icon_; }
  // Close, maximise, minimise, help.
  std::array<TCHF_Button*, 4> Buttons() const { return {close_.get(), maximize_.get(), minimize_.get(), help_.get()}; }

  bool Active = false;  // selects the cell and the caption colours; set without repainting
  bool CaptionSwitch = true;
  int CaptionFontRule = -4;
  TCHF_ColorTable CaptionColors = kCHF_CaptionColors;
  TRect CaptionRect;  // window coordinates

  // Paints the bar off-screen (cell, icon, caption), copies it around the visible buttons, then
  // paints the buttons.
  void Paint(TCanvas& canvas) override;
  bool MouseDownHook(TMouseButton button, TPoint p) override;
  void Click(TMouseButton button, TPoint p) override;
  TCHF_Image* HitTest(TPoint p) override;
  void MouseMove(TShiftState keys, TPoint p) override;

 private:
  std::unique_ptr<TCHF_Button> close_, maximize_, minimize_, help_;
  std::unique_ptr<TCHF_Image> icon_;
  TBitmap bar_;  // the off-screen picture, kept between paints
};

class TCHF_Frame : public TCHF_Image {
 public:
  TCHF_Frame(TForm* form, TCHF_FrameSettings& settings);
  TCHF_TitleBar& TitleBar() { return *titleBar_; }
  TCHF_FrameSettings& Settings() { return settings_; }
  // The frame and the title bar are shown and hidden together.
  void SetVisible(bool value) override;

  // Which parts a border style and icon set show, and which buttons they allow.
  void UpdateParts(TFormBorderStyle style, TBorderIcons icons);
  // Copies the settings' colours, switches and fixed borders into the parts.
  void ApplySettings();
  // Places the title bar, the buttons (with their glyphs and states) and the icon.
  void Layout(const TCHF_Geometry& g);
  // Title bar and buttons first, then the frame around them, never over the client area.
  void Paint(TCanvas& canvas) override;

 private:
  TCHF_FrameSettings& settings_;
  std::unique_ptr<TCHF_TitleBar> titleBar_;
};

// The popup menu a kit window opens, with the states of its items.
enum class TCHF_SysMenu { Sizeable, Dialog, Single, SizeTool };
struct TCHF_SysMenuRules {
  TCHF_SysMenu Menu = TCHF_SysMenu::Dialog;
  // Restore, minimise and maximise are items of the sizeable menu; move, size and close belong to
  // the menu chosen (the dialog and single menus have no size item).
  bool Restore = false, Move = false, Size = false, Minimize = false, Maximize = false, Close = false;
  // The sizeable menu's default item: restore, else close.
  bool RestoreIsDefault = false;
};
TCHF_SysMenuRules SysMenuRules(TFormBorderStyle style, TBorderIcons icons, TWindowState state, TSize window,
                               TSize screen);

class TCHF_Form : public TForm {
 public:
  explicit TCHF_Form(TComponent* owner);
  ~TCHF_Form() override;
  const char* ClassName() const override { return "TCHF_Form"; }

  // The skin sources: owned writers reading the skin module's frame, title bar and button skins.
  TBcWriter* CHF_FrameWriter = nullptr;
  TBcWriter* CHF_TitleBarWriter = nullptr;
  TBcWriter* CHF_BcButtonWriter = nullptr;
  // The menus that stand in for the system menu.
  TPopupMenu* CHF_POPUP_SIZEABLE = nullptr;
  TMenuItem *miRESTORE = nullptr, *miMOVE = nullptr, *miSIZE = nullptr, *miMINIMIZE = nullptr, *miMAXIMIZE = nullptr,
            *K1 = nullptr, *miClose = nullptr;
  TPopupMenu* CHF_POPUP_DIALOG = nullptr;
  TMenuItem *miMove3 = nullptr, *miClose3 = nullptr;
  TPopupMenu* CHF_POPUP_SINGLE = nullptr;
  TMenuItem *miMOVE2 = nullptr, *MenuItem6 = nullptr, *miClose2 = nullptr;
  TPopupMenu* CHF_POPUP_SIZETOOL = nullptr;
  TMenuItem *miMove4 = nullptr, *miSize4 = nullptr, *miClose4 = nullptr;

  // The border icons the form was designed with. The layer's own set stays empty, so the layer
  // draws no caption buttons and offers no system menu of its own.
  TBorderIcons BorderIcons() const { return kitIcons_; }
  void SetBorderIcons(TBorderIcons icons) override;
  void SetBorderStyle(TFormBorderStyle s) override;
  // An unchanged text changes nothing; a new one repaints the whole window.
  void SetCaption(const std::string& text) override;

  TCHF_Frame& Frame() { return *frame_; }
  TCHF_TitleBar& TitleBar() { return frame_->TitleBar(); }
  TCHF_FrameSettings& FrameSettings() { return settings_; }
  // The part holding the mouse, or none.
  TCHF_Image* CapturedPart() const { return captured_; }

  void Dispatch(TMessage& m) override;
  // The title bar moves the OS window outside its caption buttons and icon.
  TWindowFrameMap WindowFrameMap() override;

  // --- part events ---
  void PartCapture(TCHF_Image* part);
  void PartRepaint(TCHF_Image* part);
  void TitleBarClick(TCHF_Image* part, TMouseButton button, int x, int y);
  // Starts moving the window with the mouse, unless it is maximised over the whole screen.
  void StartCaptionDrag(int x, int y);
  // Opens the popup menu for the window's style and state at window point (x, y).
  void PopupSysMenu(int x, int y);

  // --- menu handlers ---
  void miRESTOREClick(TComponent* sender);
  void miMOVEClick(TComponent* sender);
  void miSIZEClick(TComponent* sender);
  void miMINIMIZEClick(TComponent* sender);
  void miMAXIMIZEClick(TComponent* sender);
  void miCloseClick(TComponent* sender);

 private:
  static constexpr int kReady = 67;
  void LayoutParts();
  // Lays the parts out and paints the whole non-client area.
  void PaintFrame();
  void Minimize();
  bool NcButtonDown(TMessage& m, TMouseButton button);
  bool NcButtonUp(TMessage& m, TMouseButton button);
  bool NcDoubleClick(TMessage& m);
  TPoint WindowPointOfScreen(std::intptr_t lParam) const;
  TPoint WindowPointOfClient(std::intptr_t lParam) const;
  TMenuItem* AddItem(TPopupMenu* menu, const char* name, const std::string& caption,
                     void (TCHF_Form::*handler)(TComponent*));

  int ready_ = 0;
  TCHF_FrameSettings settings_;
  std::unique_ptr<TCHF_Frame> frame_;
  TCHF_Image* captured_ = nullptr;
  TBorderIcons kitIcons_ = 0;
  bool paintingFrame_ = false;
};

}  // namespace vdmq
