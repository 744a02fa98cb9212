// The skinned form and its frame parts: which parts a style shows and where the layout puts them,
// the caption buttons and the title bar under the mouse, the popup menus' rules, the form's message
// map, the layer facts the kit relies on, and what the parts paint (recorded, and pixel by pixel
// from coordinate-coded skins).
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <sstream>

#include "KitTestSupport.h"
#include "formkit/CHFDATAU.h"
#include "formkit/CHFFORMU.h"
#include "formkit/KitPictures.h"
#include "platform/core/WindowInfo.h"
#include "platform/headless/PngFile.h"
#include "platform/headless/TestKit.h"
#include "platform/sys/HelpViewer.h"
#include "platform/sys/Services.h"

using namespace vdmq;
using namespace vdmq::test;

namespace {

constexpr TBorderIcons kAllIcons = biSystemMenu | biMinimize | biMaximize | biHelp;
constexpr TBorderIcons kMainIcons = biSystemMenu | biMinimize | biMaximize;
const TFormBorderStyle kStyles[] = {bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin};
const TWindowState kStates[] = {wsNormal, wsMinimized, wsMaximized};

std::string Box(const TRect& r) {
  return std::to_string(r.Left) + "," + std::to_string(r.Top) + " " + std::to_string(r.Width()) + "x" +
         std::to_string(r.Height());
}

// The layout as text: every visible button (rectangle, glyph letter, state), the caption's left and
// right, the icon's rectangle.
std::string Describe(TCHF_Frame& f) {
  if (!f.Visible()) return "hidden";
  static const char* kKinds[] = {"frame", "bar", "icon", "close", "max", "min", "help"};
  static const char* kButtonStates[] = {"up", "off", "down"};
  std::ostringstream o;
  TCHF_TitleBar& bar = f.TitleBar();
  for (TCHF_Button* b : bar.Buttons())
    if (b->Visible())
      o << kKinds[b->Kind] << ' ' << Box(b->Rect) << ' ' << TCHF_Button::GlyphChar(b->Glyph()) << ' '
        << kButtonStates[b->State()] << "; ";
  o << "caption " << bar.CaptionRect.Left << ".." << bar.CaptionRect.Right << "; icon "
    << (bar.IconPart().Visible() && !bar.IconPart().Rect.IsEmpty() ? Box(bar.IconPart().Rect) : "-");
  return o.str();
}

// A window's geometry as the layer gives it, at (100, 50).
TCHF_Geometry Geometry(TFormBorderStyle style, TWindowState state, TSize size, int clientTop = -1) {
  const TFrameMetrics m = FrameMetricsFor(style);
  TCHF_Geometry g;
  g.Window = Bounds(100, 50, size.cx, size.cy);
  g.Client = Bounds(m.ClientLeft(), clientTop < 0 ? m.ClientTop() : clientTop, size.cx - m.ExtraWidth(),
                    size.cy - m.ExtraHeight());
  g.Style = ((style == bsSizeable || style == bsSizeToolWin) ? WS_THICKFRAME : 0) |
            (state == wsMinimized ? WS_MINIMIZE : 0) | (state == wsMaximized ? WS_MAXIMIZE : 0);
  return g;
}

// A frame without a window, laid out for a style, icon set and geometry.
struct TLaidOut {
  TCHF_FrameSettings settings;
  TCHF_Frame frame{nullptr, settings};
  void Lay(TFormBorderStyle style, TBorderIcons icons, const TCHF_Geometry& g) {
    frame.UpdateParts(style, icons);
    frame.Layout(g);
  }
};

struct TLayoutCase {
  TFormBorderStyle style;
  TBorderIcons icons;
  TWindowState state;
  TSize size;
  int clientTop;  // -1: the layer's
  const char* layout;
};

// Captions are shown as laid out with the caption switch off (its right edge 2 left of the buttons).
const TLayoutCase kLayouts[] = {
    // Buttons 16 x 14, 2 below the bar's top; close 2 from the right, maximise 2 left of close,
    // minimise directly left of maximise.
    {bsSizeable,
     kMainIcons,
     wsNormal,
     {400, 300},
     -1,
     "close 378,6 16x14 r up; max 360,6 16x14 1 up; min 344,6 16x14 0 up; caption 24..342; icon 6,5 16x16"},
    // Zoomed: the restore glyph on maximise, enabled without biMaximize.
    {bsSizeable,
     biSystemMenu | biMinimize,
     wsMaximized,
     {400, 300},
     -1,
     "close 378,6 16x14 r up; max 360,6 16x14 2 up; min 344,6 16x14 0 up; caption 24..342; icon 6,5 16x16"},
    // Iconic: the fixed border, the caption from the window's height, the restore glyph on minimise.
    {bsSizeable,
     biSystemMenu | biMaximize,
     wsMinimized,
     {160, 24},
     -1,
     "close 139,5 16x14 r up; max 121,5 16x14 1 up; min 105,5 16x14 2 up; caption 23..103; icon 5,4 16x16"},
    // Single border with the system menu only: close alone, the caption ending 2 left of it.
    {bsSingle, biSystemMenu, wsNormal, {406, 185}, -1, "close 385,5 16x14 r up; caption 23..383; icon 5,4 16x16"},
    {bsSingle, 0, wsNormal, {400, 300}, -1, "caption 23..395; icon 5,4 16x16"},
    // Dialog with biMinimize: close and maximise disabled, minimise enabled, no icon.
    {bsDialog,
     biMinimize,
     wsNormal,
     {400, 300},
     -1,
     "close 379,5 16x14 r off; max 361,5 16x14 1 off; min 345,5 16x14 0 up; caption 5..343; icon -"},
    {bsDialog,
     biSystemMenu | biHelp,
     wsNormal,
     {400, 300},
     -1,
     "close 379,5 16x14 r up; help 361,5 16x14 s up; caption 5..359; icon -"},
    // Tool windows: a caption of 15, only close.
    {bsToolWindow, kAllIcons, wsNormal, {400, 300}, -1, "close 382,5 13x11 r up; caption 5..380; icon -"},
    {bsSizeToolWin, kAllIcons, wsNormal, {400, 300}, -1, "close 381,6 13x11 r up; caption 6..379; icon -"},
    {bsNone, kAllIcons, wsNormal, {400, 300}, -1, "hidden"},
    // A caption of 4 has no room for buttons or the icon.
    {bsSizeable, kMainIcons, wsNormal, {400, 300}, 9, "caption 6..394; icon -"},
};

TEST(FrameLayoutTest, ButtonsCaptionAndIconForStylesIconsAndStates) {
  for (const TLayoutCase& c : kLayouts) {
    TLaidOut l;
    l.settings.CaptionSwitch = false;
    l.Lay(c.style, c.icons, Geometry(c.style, c.state, c.size, c.clientTop));
    EXPECT_EQ(Describe(l.frame), c.layout) << "style " << c.style << " icons " << c.icons << " state " << c.state;
  }
  // With the caption switch on (the default) the caption rectangle is empty: the text is painted to
  // the bar's right edge and the buttons clip it.
  TLaidOut l;
  l.Lay(bsSizeable, kMainIcons, Geometry(bsSizeable, wsNormal, {400, 300}));
  EXPECT_EQ(l.frame.TitleBar().CaptionRect, (TRect{24, 4, 24, 22}));
}

TEST(FrameLayoutTest, EveryStyleIconSetAndStateLeavesNoStaleButtonAndHitsWhatItShows) {
  for (TFormBorderStyle style : kStyles)
    for (TBorderIcons icons = 0; icons < 16; ++icons)
      for (TWindowState state : kStates) {
        const std::string what =
            "style " + std::to_string(style) + " icons " + std::to_string(icons) + " state " + std::to_string(state);
        const TCHF_Geometry g = Geometry(style, state, state == wsMinimized ? TSize{160, 24} : TSize{400, 300});
        TLaidOut fresh, reused;
        fresh.Lay(style, icons, g);
        // The same frame first showed all four buttons: the new layout hides what it does not place.
        reused.Lay(bsDialog, kAllIcons, Geometry(bsDialog, wsNormal, {400, 300}));
        reused.Lay(style, icons, g);
        EXPECT_EQ(Describe(reused.frame), Describe(fresh.frame)) << what;

        TCHF_TitleBar& bar = fresh.frame.TitleBar();
        const TRect& r = bar.Rect;
        if (!bar.Visible()) {
          EXPECT_EQ(bar.HitTest({r.Left + 1, r.Top + 1}), nullptr) << what;
          continue;
        }
        EXPECT_EQ(bar.HitTest({r.Left, r.Top}), &bar) << what;  // the icon is part of the bar
        EXPECT_EQ(bar.HitTest({r.Right, r.Top}), nullptr) << what;
        EXPECT_EQ(bar.HitTest({r.Left, r.Bottom}), nullptr) << what;
        TRect taken;
        for (TCHF_Button* b : bar.Buttons()) {
          if (!b->Visible()) continue;
          const TRect& br = b->Rect;
          EXPECT_EQ(Intersect(br, r), br) << what;
          EXPECT_TRUE(Intersect(br, taken).IsEmpty()) << what;  // buttons lie right to left
          taken = UnionBounds(taken, br);
          EXPECT_EQ(bar.HitTest({br.Left, br.Top}), b) << what;
          EXPECT_EQ(bar.HitTest({br.Right - 1, br.Bottom - 1}), b) << what;
          EXPECT_NE(bar.HitTest({br.Left, br.Bottom}), b) << what;
          EXPECT_NE(bar.HitTest({br.Right, br.Top}), b) << what;
        }
      }
}

TEST(FrameLayoutTest, TinyButtonsDrawNoGlyphAndAHiddenPartLetsTheMouseGo) {
  // A caption of 7: buttons 5 x 3, whose glyph would be -1 high.
  TLaidOut l;
  l.Lay(bsSizeable, kMainIcons, Geometry(bsSizeable, wsNormal, {400, 300}, 12));
  TCHF_Button& close = l.frame.TitleBar().CloseButton();
  ASSERT_EQ(Box(close.Rect), "389,6 5x3");
  TPixmap store(400, 300);
  TCanvas canvas;
  canvas.Bind(store);
  TCanvasLog log;
  canvas.SetRecorder(&log);
  l.frame.Paint(canvas);
  EXPECT_EQ(log.Of(TCanvasOpKind::DrawText).size(), 0u);
  EXPECT_FALSE(log.Of(TCanvasOpKind::FillRect).empty());

  std::vector<TCHF_Image*> captures;
  close.OnCapture = [&](TCHF_Image* part) { captures.push_back(part); };
  close.MouseDown(mbLeft, {390, 7});
  close.SetVisible(false);
  close.MouseUp(mbLeft, {390, 7});
  EXPECT_EQ(captures, (std::vector<TCHF_Image*>{&close, nullptr}));
  EXPECT_FALSE(close.Down);
}

// ---------------------------------------------------------------------------------------------
// Popup menu rules

std::string Describe(const TCHF_SysMenuRules& r) {
  auto flag = [](bool on, char c) { return on ? c : '-'; };
  std::string s;
  switch (r.Menu) {
    case TCHF_SysMenu::Sizeable:
      s = std::string("sizeable ") + flag(r.Restore, 'R') + flag(r.Move, 'M') + flag(r.Size, 'S') +
          flag(r.Minimize, 'N') + flag(r.Maximize, 'X') + flag(r.Close, 'C') + (r.RestoreIsDefault ? " R" : " C");
      break;
    case TCHF_SysMenu::Single: s = std::string("single ") + flag(r.Move, 'M') + flag(r.Close, 'C'); break;
    case TCHF_SysMenu::SizeTool:
      s = std::string("sizetool ") + flag(r.Move, 'M') + flag(r.Size, 'S') + flag(r.Close, 'C');
      break;
    case TCHF_SysMenu::Dialog: s = std::string("dialog ") + flag(r.Move, 'M') + flag(r.Close, 'C'); break;
  }
  return s;
}

struct TMenuCase {
  TFormBorderStyle style;
  TBorderIcons icons;
  TWindowState state;
  TSize window;
  const char* menu;  // menu, items (R restore, M move, S size, N minimise, X maximise, C close), default
};

const TMenuCase kMenus[] = {
    {bsSizeable, kMainIcons, wsNormal, {400, 300}, "sizeable -MSNXC C"},
    {bsSizeable, biSystemMenu, wsNormal, {400, 300}, "sizeable -MS--C C"},
    {bsSizeable, biMinimize | biMaximize, wsMinimized, {400, 300}, "sizeable RM--X- R"},
    // Maximised beyond the screen less 16 in both directions: no move; at the boundary it moves.
    {bsSizeable, kMainIcons, wsMaximized, {808, 608}, "sizeable R--N-C R"},
    {bsSizeable, kMainIcons, wsMaximized, {784, 608}, "sizeable RM-N-C R"},
    {bsSizeable, kMainIcons, wsMaximized, {808, 584}, "sizeable RM-N-C R"},
    {bsSingle, biSystemMenu, wsNormal, {400, 300}, "single MC"},
    {bsSingle, 0, wsMaximized, {808, 608}, "single M-"},
    {bsSingle, biSystemMenu | biMinimize, wsNormal, {400, 300}, "sizeable -M-N-C C"},
    {bsSingle, biSystemMenu, wsMinimized, {400, 300}, "sizeable RM---C R"},
    {bsSizeToolWin, biSystemMenu, wsNormal, {400, 300}, "sizetool MSC"},
    {bsSizeToolWin, kMainIcons, wsMaximized, {808, 608}, "sizeable R--N-C C"},
    {bsSizeToolWin, 0, wsMinimized, {400, 300}, "sizeable RM---- R"},
    {bsDialog, kAllIcons, wsNormal, {400, 300}, "dialog MC"},
    {bsToolWindow, kAllIcons, wsMaximized, {808, 608}, "dialog MC"},
    {bsNone, biMinimize, wsMinimized, {400, 300}, "dialog M-"},
};

TEST(SysMenuRulesTest, MenuItemsAndDefaultByStyleIconsStateAndSize) {
  for (const TMenuCase& c : kMenus)
    EXPECT_EQ(Describe(SysMenuRules(c.style, c.icons, c.state, c.window, {800, 600})), c.menu)
        << "style " << c.style << " icons " << c.icons << " state " << c.state << " size " << c.window.cx << "x"
        << c.window.cy;
}

// ---------------------------------------------------------------------------------------------
// Kit forms in the headless window layer

struct KitFormTest : ::testing::Test {
  THeadlessSession session;
  TCHF_Form* form = nullptr;

  TCHF_Form* Make(TFormBorderStyle style, TBorderIcons icons, TRect bounds) {
    auto* f = new TCHF_Form(&App());
    f->SetBorderStyle(style);
    f->SetBorderIcons(icons);
    f->SetBounds(bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
    f->Show();
    App().ProcessMessages();
    form = f;
    return f;
  }
  TPoint Screen(TPoint window) const { return {form->Left() + window.X, form->Top() + window.Y}; }
  static TPoint Centre(const TRect& r) { return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; }
  // Input at a window point; time moves on first, so that no two presses make a double click.
  void Mouse(TInputEvent::Kind kind, TPoint window, int button = 0) {
    if (kind == TInputEvent::MouseDown) session.Backend.Advance(1000);
    InjectMouse(kind, Screen(window), button);
    App().ProcessMessages();
  }

  // Runs fn; notes the popup menu that opens (and where) and answers it with a key (Escape closes
  // it, an item's letter chooses the item).
  struct TOpened {
    const TPopupMenu* menu = nullptr;
    TPoint at;
  };
  TOpened OpenedMenu(const std::function<void()>& fn, unsigned key = VK_ESCAPE) {
    TOpened seen;
    session.Backend.Driver = [&] {
      auto* w = dynamic_cast<TMenuWindow*>(Desktop().PopupWindow);
      if (!w || seen.menu) return false;
      seen.menu = &w->Menu();
      seen.at = {w->Left(), w->Top()};
      PressKey(key, 0, false);
      return true;
    };
    fn();
    session.Backend.Driver = nullptr;
    return seen;
  }
};

TEST_F(KitFormTest, CaptionButtonFollowsTheMouseAndClicksOnlyWhenReleasedOverItself) {
  Make(bsSizeable, kMainIcons, Bounds(100, 80, 400, 300));
  TCHF_Button& max = form->TitleBar().MaximizeButton();
  const TPoint in = Centre(max.Rect), out{in.X, in.Y + 60};  // out: over the client area
  // Moves and the release come to the form as client-area messages while the button holds the mouse.
  struct TStep {
    TInputEvent::Kind kind;
    TPoint at;
    TCHF_ButtonState state;
    bool held;  // the button holds the mouse
  };
  auto run = [&](std::initializer_list<TStep> steps) {
    for (const TStep& s : steps) {
      Mouse(s.kind, s.at);
      EXPECT_EQ(max.State(), s.state);
      EXPECT_EQ(form->CapturedPart(), s.held ? &max : nullptr);
      EXPECT_EQ(Desktop().Capture(), s.held ? form : nullptr);
    }
  };
  run({{TInputEvent::MouseMove, in, cbUp, false},
       {TInputEvent::MouseDown, in, cbPressed, true},
       {TInputEvent::MouseMove, out, cbUp, true},
       {TInputEvent::MouseMove, in, cbPressed, true},
       {TInputEvent::MouseUp, in, cbUp, false}});
  EXPECT_EQ(form->WindowState(), wsMaximized);
  EXPECT_EQ(max.Glyph(), cgRestore);
  // A press that comes before the paint after a change of state meets the new layout (the restored
  // window's button is back where it was); a release elsewhere without a move between clicks
  // nothing and brings the button up again.
  form->SetWindowState(wsNormal);
  run({{TInputEvent::MouseDown, in, cbPressed, true}, {TInputEvent::MouseUp, {in.X - 200, in.Y + 200}, cbUp, false}});
  EXPECT_EQ(form->WindowState(), wsNormal);
  EXPECT_EQ(max.Glyph(), cgMaximize);
}

TEST_F(KitFormTest, TitleBarIconPressRightClickAndDrag) {
  Make(bsSizeable, kMainIcons, Bounds(100, 80, 400, 300));
  TCHF_TitleBar& bar = form->TitleBar();
  // A left press on the icon opens the menu at the client area's corner at once.
  TOpened icon = OpenedMenu([&] { Mouse(TInputEvent::MouseDown, Centre(bar.IconPart().Rect)); });
  EXPECT_EQ(icon.menu, form->CHF_POPUP_SIZEABLE);
  EXPECT_EQ(icon.at, form->ClientOrigin());
  EXPECT_EQ(form->CapturedPart(), nullptr);
  Mouse(TInputEvent::MouseUp, Centre(bar.IconPart().Rect));

  // A right click on the caption opens it where the mouse was released.
  const TPoint caption{200, 10};
  Mouse(TInputEvent::MouseDown, caption, 1);
  EXPECT_EQ(form->CapturedPart(), &bar);
  TOpened right = OpenedMenu([&] { Mouse(TInputEvent::MouseUp, caption, 1); });
  EXPECT_EQ(right.menu, form->CHF_POPUP_SIZEABLE);
  EXPECT_EQ(right.at, Screen(caption));

  // A left press and a move start the window's own move, which follows the mouse from there.
  const TRect before = form->BoundsRect();
  Mouse(TInputEvent::MouseDown, caption);
  EXPECT_FALSE(Desktop().Tracking());
  Mouse(TInputEvent::MouseMove, {caption.X + 1, caption.Y});
  EXPECT_TRUE(Desktop().Tracking());
  EXPECT_EQ(form->CapturedPart(), nullptr);
  InjectMouse(TInputEvent::MouseMove, {Desktop().CursorPos().X + 37, Desktop().CursorPos().Y - 21});
  InjectMouse(TInputEvent::MouseUp, {Desktop().CursorPos().X + 37, Desktop().CursorPos().Y - 21});
  App().ProcessMessages();
  EXPECT_FALSE(Desktop().Tracking());
  EXPECT_EQ(form->BoundsRect(), before.Offset(37, -21));
}

TEST_F(KitFormTest, AltSpaceMenuAtTheClientCornerAndItsItems) {
  Make(bsSizeable, kMainIcons, Bounds(100, 80, 400, 300));
  auto choose = [&](unsigned key) { return OpenedMenu([] { PressKey(VK_SPACE, kModAlt); }, key); };
  ASSERT_EQ(choose('X').menu, form->CHF_POPUP_SIZEABLE);
  EXPECT_EQ(form->WindowState(), wsMaximized);
  // Maximised over the whole screen: no move from the menu, and the caption does not drag.
  const TOpened zoomed = choose(VK_ESCAPE);
  EXPECT_EQ(zoomed.at, form->ClientOrigin());
  EXPECT_FALSE(form->miMOVE->Enabled);
  EXPECT_TRUE(form->miRESTORE->Enabled && form->miRESTORE->Default && !form->miClose->Default);
  const TRect before = form->BoundsRect();
  Mouse(TInputEvent::MouseDown, {200, 10});
  Mouse(TInputEvent::MouseMove, {230, 40});
  EXPECT_FALSE(Desktop().Tracking());
  Mouse(TInputEvent::MouseUp, {230, 40});
  EXPECT_EQ(form->BoundsRect(), before);

  choose('R');
  EXPECT_EQ(form->WindowState(), wsNormal);
  // Move and size run from the keyboard until Escape puts the window back.
  for (unsigned key : {'M', 'S'}) {
    choose(key);
    EXPECT_TRUE(Desktop().Tracking()) << char(key);
    PressKey(VK_ESCAPE);
    EXPECT_FALSE(Desktop().Tracking()) << char(key);
  }
  choose('N');
  EXPECT_EQ(form->WindowState(), wsMinimized);
  form->SetWindowState(wsNormal);
  form->SetFocus();
  EXPECT_EQ(OpenedMenu([] { PressKey('A', kModAlt); }).menu, nullptr);  // only Alt+Space
  choose('C');
  EXPECT_FALSE(form->Visible());
  // The application's main form minimises the application.
  TCHF_Form* main = nullptr;
  App().CreateForm(main);
  form = main;
  main->SetBounds(100, 80, 400, 300);
  main->Show();
  choose('N');
  EXPECT_TRUE(session.Backend.Minimized());
  EXPECT_EQ(main->WindowState(), wsNormal);
}

TEST_F(KitFormTest, DoubleClickOnTheCaptionAndTheIcon) {
  struct TCase {
    TBorderIcons icons;
    TWindowState state;
    bool onIcon;
    const char* after;  // the window state, or "closed"
  };
  const TCase cases[] = {
      {kMainIcons, wsNormal, false, "maximized"}, {kMainIcons, wsMaximized, false, "normal"},
      {biSystemMenu, wsNormal, false, "normal"},  {kMainIcons, wsMinimized, false, "normal"},
      {kMainIcons, wsNormal, true, "closed"},     {biMinimize | biMaximize, wsNormal, true, "normal"},
      {kMainIcons, wsMinimized, true, "normal"},
  };
  static const char* kNames[] = {"normal", "minimized", "maximized"};
  // A small window, so that the minimised one (which keeps its size) has a title bar of 18.
  for (const TCase& c : cases) {
    Make(bsSizeable, c.icons, Bounds(100, 80, 160, 24));
    form->SetWindowState(c.state);
    form->Perform(WM_NCPAINT);
    const TPoint p = c.onIcon ? Centre(form->TitleBar().IconPart().Rect) : TPoint{40, 10};
    const TPoint s = Screen(p);
    form->Perform(WM_NCLBUTTONDBLCLK, HTCAPTION, MakeLParam(s.X, s.Y));
    EXPECT_EQ(form->Visible() ? kNames[form->WindowState()] : "closed", std::string(c.after))
        << "icons " << c.icons << " state " << c.state << " icon " << c.onIcon;
    delete form;
  }
  // On a caption button it is a press of the layer's, which has no buttons: nothing happens.
  Make(bsSizeable, kMainIcons, Bounds(100, 80, 160, 24));
  const TPoint b = Screen(Centre(form->TitleBar().MaximizeButton().Rect));
  form->Perform(WM_NCLBUTTONDBLCLK, HTCAPTION, MakeLParam(b.X, b.Y));
  EXPECT_EQ(form->WindowState(), wsNormal);
}

TEST_F(KitFormTest, AsTheOsWindowItsCaptionMovesTheWindowAndItsButtonsActOnIt) {
  session.Backend.HostMainWindow({1920, 1080});
  TCHF_Form* main = nullptr;
  App().CreateForm(main);
  main->SetBorderStyle(bsSizeable);
  main->SetBorderIcons(kMainIcons);
  main->SetBounds(40, 30, 800, 600);
  main->Show();
  App().ProcessMessages();
  form = main;
  EXPECT_EQ(main->BoundsRect(), Bounds(0, 0, 800, 600));
  TCHF_TitleBar& bar = main->TitleBar();
  auto hit = [&](TPoint p) { return FrameMapHit(session.Backend.FrameMap(), p); };
  // The buttons and the icon are the kit's; the rest of the bar moves the window, the border sizes it.
  for (TCHF_Button* b : bar.Buttons()) {
    if (b->Visible()) {
      EXPECT_EQ(hit(Centre(b->Rect)), HTCLIENT) << b->Kind;
    }
  }
  EXPECT_EQ(hit(Centre(bar.IconPart().Rect)), HTCLIENT);
  EXPECT_EQ(hit({bar.IconPart().Rect.Right, 10}), HTCAPTION);
  EXPECT_EQ(hit({bar.MinimizeButton().Rect.Left - 1, 10}), HTCAPTION);
  EXPECT_EQ(hit({bar.CloseButton().Rect.Right, 10}), HTCAPTION);
  EXPECT_EQ(hit({1, 300}), HTLEFT);
  EXPECT_EQ(hit({400, 300}), HTCLIENT);

  // The menu's move is asked of the window system, which moves the OS window from the keyboard;
  // nothing is tracked inside the window. A drag of the caption is the window system's alone, and
  // the maximised window's menu offers no move.
  const auto menuMove = [&](const std::function<void()>& open) {
    EXPECT_EQ(OpenedMenu(open, 'M').menu, main->CHF_POPUP_SIZEABLE);
  };
  const TPoint caption{300, 10};
  struct TMove {
    const char* how;
    std::function<void()> act;
    int asked;
  } moves[] = {
      {"Alt+Space, M", [&] { menuMove([] { PressKey(VK_SPACE, kModAlt); }); }, 1},
      {"a right click on the caption, M",
       [&] {
         Mouse(TInputEvent::MouseDown, caption, 1);
         menuMove([&] { Mouse(TInputEvent::MouseUp, caption, 1); });
       },
       1},
      {"a press and a drag on the caption",
       [&] {
         Mouse(TInputEvent::MouseDown, caption);
         Mouse(TInputEvent::MouseMove, {caption.X + 40, caption.Y + 20});
         Mouse(TInputEvent::MouseUp, {caption.X + 40, caption.Y + 20});
       },
       0},
      {"Alt+Space, Escape", [&] { EXPECT_NE(OpenedMenu([] { PressKey(VK_SPACE, kModAlt); }).menu, nullptr); }, 0},
      {"maximised, Alt+Space, M",
       [&] {
         session.Backend.WmMaximize();
         App().ProcessMessages();
         EXPECT_EQ(OpenedMenu([] { PressKey(VK_SPACE, kModAlt); }).menu, main->CHF_POPUP_SIZEABLE);
         EXPECT_FALSE(main->miMOVE->Enabled);
         session.Backend.WmRestore();
         App().ProcessMessages();
       },
       0},
  };
  for (const TMove& m : moves) {
    const int before = session.Backend.WindowMoves();
    m.act();
    EXPECT_EQ(session.Backend.WindowMoves() - before, m.asked) << m.how;
    EXPECT_FALSE(Desktop().Tracking()) << m.how;
    EXPECT_EQ(main->BoundsRect(), Bounds(0, 0, 800, 600)) << m.how;
  }

  // Maximised, the window takes the display's usable area (no limit of its own).
  struct TStep {
    const char* what;
    std::function<void()> act;
    TWindowState state;
    TSize size;
  } steps[] = {
      {"the maximise button",
       [&] {
         Mouse(TInputEvent::MouseDown, Centre(bar.MaximizeButton().Rect));
         Mouse(TInputEvent::MouseUp, Centre(bar.MaximizeButton().Rect));
       },
       wsMaximized,
       {1920, 1080}},
      {"the window manager restores", [&] { session.Backend.WmRestore(); }, wsNormal, {800, 600}},
      {"a caption double click whose first press moved the window",
       [&] {
         TInputEvent press;
         press.kind = TInputEvent::MouseDown;
         press.x = 300;
         press.y = 10;
         press.secondClick = true;
         session.Backend.Inject(press);
         Mouse(TInputEvent::MouseUp, {300, 10});
       },
       wsMaximized,
       {1920, 1080}},
      {"the restore button",
       [&] {
         Mouse(TInputEvent::MouseDown, Centre(bar.MaximizeButton().Rect));
         Mouse(TInputEvent::MouseUp, Centre(bar.MaximizeButton().Rect));
       },
       wsNormal,
       {800, 600}},
      {"the window manager maximises", [&] { session.Backend.WmMaximize(); }, wsMaximized, {1920, 1080}},
  };
  for (const TStep& s : steps) {
    s.act();
    App().ProcessMessages();
    EXPECT_EQ(main->WindowState(), s.state) << s.what;
    EXPECT_EQ(session.Backend.WindowMaximized(), s.state == wsMaximized) << s.what;
    EXPECT_EQ(main->BoundsRect(), Bounds(0, 0, s.size.cx, s.size.cy)) << s.what;
    // The glyph tells the window's state; a maximised window does not move by its caption.
    EXPECT_EQ(bar.MaximizeButton().Glyph(), s.state == wsMaximized ? cgRestore : cgMaximize) << s.what;
    EXPECT_EQ(hit({300, 10}), s.state == wsMaximized ? HTCLIENT : HTCAPTION) << s.what;
  }
  // The minimise button iconifies the window; close asks the form.
  Mouse(TInputEvent::MouseDown, Centre(bar.MinimizeButton().Rect));
  Mouse(TInputEvent::MouseUp, Centre(bar.MinimizeButton().Rect));
  EXPECT_TRUE(session.Backend.Minimized());
  bool asked = false;
  main->OnCloseQuery = [&](TComponent*, bool& can) {
    asked = true;
    can = false;
  };
  Mouse(TInputEvent::MouseDown, Centre(bar.CloseButton().Rect));
  Mouse(TInputEvent::MouseUp, Centre(bar.CloseButton().Rect));
  EXPECT_TRUE(asked);
  EXPECT_TRUE(main->Visible());
}

TEST_F(KitFormTest, LayerFactsTheKitReliesOn) {
  // Classic metrics: sizing border 4, fixed border 3, caption 19, which lays out a caption of 18.
  EXPECT_EQ(GetSystemMetrics(SM_CXFRAME), 4);
  EXPECT_EQ(GetSystemMetrics(SM_CYDLGFRAME), 3);
  EXPECT_EQ(GetSystemMetrics(SM_CYCAPTION), 19);
  for (TFormBorderStyle style : {bsSizeable, bsSingle, bsDialog}) {
    Make(style, kAllIcons, Bounds(100, 80, 400, 300));
    form->Perform(WM_NCPAINT);
    EXPECT_EQ(form->TitleBar().Rect.Height(), 18) << style;
    EXPECT_EQ(form->TitleBar().CloseButton().Rect.Width(), 16) << style;
    // The layer answers HTCAPTION over the whole title band, the kit's own buttons included.
    const TRect bar = form->TitleBar().Rect;
    int caption = 0;
    for (int y = bar.Top; y < bar.Bottom; ++y)
      for (int x = bar.Left; x < bar.Right; ++x) {
        const TPoint s = Screen({x, y});
        caption += form->Perform(WM_NCHITTEST, 0, MakeLParam(s.X, s.Y)) == HTCAPTION;
      }
    EXPECT_EQ(caption, bar.Width() * bar.Height()) << style;
    EXPECT_EQ(form->TForm::BorderIcons(), 0u);
    EXPECT_EQ(form->BorderIcons(), kAllIcons);
    delete form;
  }
  // A plain layer form maximises on a caption double click only while its own icons allow it.
  auto* plain = new TForm(&App());
  plain->SetBounds(100, 80, 400, 300);
  plain->Show();
  for (TBorderIcons icons : {TBorderIcons{0}, kMainIcons}) {
    plain->SetBorderIcons(icons);
    plain->Perform(WM_NCLBUTTONDBLCLK, HTCAPTION, MakeLParam(300, 90));
    EXPECT_EQ(plain->WindowState(), icons ? wsMaximized : wsNormal);
  }
}

TEST_F(KitFormTest, CaptionActivationIconAndHelp) {
  TFakeSysServices fakes;
  Make(bsDialog, biSystemMenu | biHelp, Bounds(100, 80, 400, 300));
  // An unchanged caption repaints nothing; a new one repaints the frame with it.
  form->SetCaption("A");
  App().ProcessMessages();
  form->SetCaption("A");
  EXPECT_FALSE(form->NeedsPaint());
  form->SetCaption("B");
  EXPECT_TRUE(form->NeedsPaint());
  TCanvasLog log;
  {
    TCanvas::THookScope hook(log);
    App().ProcessMessages();
  }
  const auto texts = log.Of(TCanvasOpKind::DrawText);
  EXPECT_TRUE(std::any_of(texts.begin(), texts.end(), [](const TCanvasOp& op) { return op.Text == "B"; }));

  // The kit answers the activation itself; the layer still raises OnActivate.
  int activations = 0;
  auto* other = new TCHF_Form(&App());
  other->OnActivate = [&](TComponent*) { ++activations; };
  other->Show();
  EXPECT_EQ(activations, 1);
  EXPECT_TRUE(other->TitleBar().Active);
  EXPECT_FALSE(form->TitleBar().Active);

  // The help button asks for context 0.
  form->SetFocus();
  const TPoint help = Centre(form->TitleBar().HelpButton().Rect);
  Mouse(TInputEvent::MouseDown, help);
  Mouse(TInputEvent::MouseUp, help);
  EXPECT_EQ(fakes.help->calls, std::vector<std::string>{"context 0"});
}

TEST_F(KitFormTest, KitIconsGoToTheTitleBarsAndTheWindowFromTheNextLoopTurn) {
  App().Shutdown();  // no back end bound
  InstallKitIcons();
  EXPECT_EQ(App().IconPtr()->Width(), 16);
  App().Initialize(session.Backend);
  EXPECT_EQ(session.Backend.IconCount(), 0);
  App().PaintAndPresent();
  ASSERT_EQ(session.Backend.IconCount(), 1);
  EXPECT_EQ(session.Backend.Icon().Width(), 32);
  EXPECT_EQ(ComparePixmaps(session.Backend.Icon(), App().WindowIcon()), 0);
  App().PaintAndPresent();
  EXPECT_EQ(session.Backend.IconCount(), 1);  // handed over once
  App().Shutdown();
  EXPECT_TRUE(App().IconPtr()->Empty());
  EXPECT_TRUE(App().WindowIcon().Empty());
}

// ---------------------------------------------------------------------------------------------
// Painting

struct KitPaintTest : KitFormTest {
  // Records the operations of one non-client paint.
  void PaintFrame(TCanvasLog& log) {
    TCanvas::THookScope hook(log);
    form->Perform(WM_NCPAINT);
  }
  // (destination, colour) of the text passes of one text.
  static std::vector<std::pair<TRect, TColor>> Passes(const TCanvasLog& log, const std::string& text) {
    std::vector<std::pair<TRect, TColor>> out;
    for (const TCanvasOp& op : log.Of(TCanvasOpKind::DrawText))
      if (op.Text == text) out.emplace_back(op.Dest, op.Color);
    return out;
  }
};

TEST_F(KitPaintTest, CaptionAndGlyphPassesByStateFontAndFlags) {
  Make(bsSizeable, biSystemMenu | biMinimize, Bounds(100, 80, 400, 300));
  form->SetCaption("Q");
  TCHF_TitleBar& bar = form->TitleBar();
  using TPasses = std::vector<std::pair<TRect, TColor>>;
  // The caption in bar coordinates, from its left to the bar's right edge; glyphs on their buttons.
  const TRect t{20, 0, 392, 18}, x = bar.MaximizeButton().Rect, n = bar.MinimizeButton().Rect;
  TCanvasLog log;
  PaintFrame(log);
  EXPECT_EQ(Passes(log, "Q"), (TPasses{{t.Offset(1, 1), clBlack}, {t, clWhite}}));
  EXPECT_EQ(Passes(log, "1"), (TPasses{{x, clBlack}}));  // disabled
  EXPECT_EQ(Passes(log, "0"), (TPasses{{n, clSilver}}));
  for (const TCanvasOp& op : log.Of(TCanvasOpKind::DrawText)) {
    const bool glyph = op.Text != "Q";
    EXPECT_EQ(op.Flags, glyph ? 37u : 0x8024u);
    EXPECT_EQ(op.Font.Height, glyph ? 10 : 14);
    EXPECT_EQ(op.Font.Name, glyph ? std::string(kCaptionGlyphFont) : form->Font().Name);
    EXPECT_EQ(op.Font.Charset, glyph ? 1 : form->Font().Charset);
  }
  form->Perform(WM_NCACTIVATE, 0);
  TCanvasLog inactive;
  PaintFrame(inactive);
  EXPECT_EQ(Passes(inactive, "Q"), (TPasses{{t.Offset(1, 1), clSilver}, {t, clBlack}}));

  // Full tables: the shadow right of and below, the highlight left of and above, then the face; a
  // pressed button's glyph one pixel right and down.
  form->FrameSettings().CaptionColors =
      form->FrameSettings().GlyphColors = {clRed, clLime, clBlue, clYellow, clAqua, clFuchsia};
  form->Frame().ApplySettings();
  bar.CloseButton().SetState(cbPressed);
  TCanvasLog full;
  PaintFrame(full);
  const TRect c = bar.CloseButton().Rect.Offset(1, 1);
  EXPECT_EQ(Passes(full, "Q"), (TPasses{{t.Offset(1, 1), clFuchsia}, {t.Offset(-1, -1), clAqua}, {t, clYellow}}));
  EXPECT_EQ(Passes(full, "r"), (TPasses{{c.Offset(1, 1), clBlue}, {c.Offset(-1, -1), clLime}, {c, clRed}}));
  EXPECT_EQ(Passes(full, "1"), (TPasses{{x.Offset(1, 1), clFuchsia}, {x.Offset(-1, -1), clAqua}, {x, clYellow}}));
}

TEST_F(KitPaintTest, TitleBarThenButtonsThenFrameAndNeverTheClientArea) {
  new TCHF_Data(&App());
  Make(bsSizeable, kMainIcons, Bounds(100, 80, 400, 300));
  form->SetCaption("Q");
  App().ProcessMessages();
  // Client pixels set aside before the paint stay as they were.
  TPixmap& store = const_cast<TPixmap&>(form->Store());
  const TRect client = form->WindowClientRect();
  store.Fill(client, 0x123456);
  TCanvasLog log;
  PaintFrame(log);
  int touched = 0;
  for (int y = client.Top; y < client.Bottom; ++y)
    for (int x = client.Left; x < client.Right; ++x) touched += store.Pixel(x, y) != 0x123456u;
  EXPECT_EQ(touched, 0);

  // On the window: the bar copied once under a clip without the buttons, the three buttons' faces,
  // then the frame under a clip without the bar and the client area.
  TCHF_TitleBar& bar = form->TitleBar();
  std::vector<std::string> order;
  for (const TCanvasOp& op : log.Ops) {
    if (op.Target != store.Data()) continue;
    if (op.Kind == TCanvasOpKind::SelectClipRegion && !op.NoRegion) {
      TRect bounds;
      for (const TRect& r : op.Region) bounds = UnionBounds(bounds, r);
      const bool onBar = bounds == bar.Rect;
      order.push_back(onBar ? "clip bar" : "clip frame");
      for (const TRect& r : op.Region) {
        for (TCHF_Button* b : bar.Buttons()) EXPECT_TRUE(Intersect(r, b->Rect).IsEmpty());
        if (!onBar) {
          EXPECT_TRUE(Intersect(r, bar.Rect).IsEmpty() && Intersect(r, client).IsEmpty());
        }
      }
    } else if (op.Kind == TCanvasOpKind::CopyRect) {
      if (op.Dest == bar.Rect) order.push_back("bar");
      for (TCHF_Button* b : bar.Buttons())
        if (op.Dest == b->Rect) order.push_back("button");
    }
  }
  EXPECT_EQ(order, (std::vector<std::string>{"clip bar", "bar", "button", "button", "button", "clip frame"}));

  // A paint of the client area alone is followed by a paint of the frame.
  form->Invalidate();
  TCanvasLog clientPaint;
  {
    TCanvas::THookScope hook(clientPaint);
    App().ProcessMessages();
  }
  const auto copies = clientPaint.Of(TCanvasOpKind::CopyRect);
  EXPECT_EQ(std::count_if(copies.begin(), copies.end(),
                          [&](const TCanvasOp& op) { return op.Target == store.Data() && op.Dest == bar.Rect; }),
            1);
}

// Coordinate-coded skins: every pixel of the frame, the title bar and the buttons of the main window,
// a close-only and a button-less window is checked against the source pixel the rules select,
// without depending on the art.
TEST_F(KitPaintTest, EveryNonClientPixelComesFromTheSourcePixelTheRulesSelect) {
  auto* skins = new TCHF_Data(&App());
  TBitmap frame, title, buttons;
  FillCoded(frame, 80, 80);
  FillCoded(title, 360, 40);
  FillCoded(buttons, 48, 70);
  skins->CHF_BcFrame->SetBitmap(frame);
  skins->CHF_BcTitlebar->SetBitmap(title);
  skins->CHF_BcButton->SetBitmap(buttons);
  // The frame: 60 leading and 20 trailing pixels 1:1, the middle repeating source 3..59.
  auto fix = [](int v, int size) { return v < 60 ? v : v >= size - 20 ? v - (size - 80) : 3 + (v - 60) % 57; };
  struct TWindow {
    TFormBorderStyle style;
    TBorderIcons icons;
    TSize size, client;
    int buttons;
  };
  const TWindow windows[] = {{bsSizeable, biSystemMenu | biMinimize, {800, 600}, {792, 573}, 3},
                             {bsSingle, biSystemMenu, {406, 185}, {400, 160}, 1},
                             {bsSingle, 0, {798, 598}, {792, 573}, 0}};
  for (const TWindow& w : windows) {
    Make(w.style, w.icons, Bounds(0, 0, w.size.cx, w.size.cy));
    ASSERT_EQ(form->WindowClientRect().Width(), w.client.cx);
    ASSERT_EQ(form->WindowClientRect().Height(), w.client.cy);
    form->FrameSettings().GlyphSwitch = false;
    form->Frame().ApplySettings();
    TCHF_TitleBar& bar = form->TitleBar();
    // Close up, maximise disabled, minimise pressed.
    if (w.buttons == 3) bar.MinimizeButton().SetState(cbPressed);
    for (bool active : {true, false}) {
      form->Perform(WM_NCACTIVATE, active);
      const TPixmap& store = form->Store();
      const std::string what =
          std::to_string(w.size.cx) + "x" + std::to_string(w.size.cy) + (active ? " active " : " inactive ");
      int checked = 0, buttonPixels = 0;
      for (int y = 0; y < w.size.cy; ++y)
        for (int x = 0; x < w.size.cx; ++x) {
          if (form->WindowClientRect().Contains(x, y)) continue;
          std::optional<TPoint> want;
          if (!bar.Rect.Contains(x, y)) want = TPoint{fix(x, w.size.cx), fix(y, w.size.cy)};
          for (TCHF_Button* b : bar.Buttons())
            if (b->Visible() && b->Rect.Contains(x, y)) {
              want = TPoint{16 * b->State() + x - b->Rect.Left, 14 * b->Glyph() + y - b->Rect.Top};
              ++buttonPixels;
            }
          // No icon is installed: the cell shows where it would be.
          if (!want) want = TPoint{(x - bar.Rect.Left) % 360, y - bar.Rect.Top + (active ? 0 : 20)};
          const std::optional<TPoint> got = SourceOf(store, x, y);
          ASSERT_TRUE(got.has_value()) << what << x << "," << y;
          ASSERT_EQ(*got, *want) << what << x << "," << y;
          ++checked;
        }
      EXPECT_EQ(checked, w.size.cx * w.size.cy - w.client.cx * w.client.cy) << what;
      EXPECT_EQ(buttonPixels, w.buttons * 16 * 14) << what;
      // Window (0, 0) shows frame (0, 0) and the bottom right corner frame (79, 79).
      EXPECT_EQ(*SourceOf(store, 0, 0), (TPoint{0, 0})) << what;
      EXPECT_EQ(*SourceOf(store, w.size.cx - 1, w.size.cy - 1), (TPoint{79, 79})) << what;
    }
    delete form;
  }
}

}  // namespace
