// The kit's pieces of every window paint: one 86 x 28 cell-faced command button painted through
// its owner drawing (face copy and caption), the title bar's tiled cell (a 360 x 20 cell over a
// 792 x 18 bar), and the whole non-client paint of the 800 x 600 main window, which follows every
// client paint of a kit window (goal: under 0.3 ms).
#include <benchmark/benchmark.h>

#include "formkit/CHFDATAU.h"
#include "formkit/CHFFORMU.h"
#include "formkit/Chbcbtn.h"
#include "formkit/KitPictures.h"
#include "platform/base/Sjis.h"
#include "platform/headless/TestKit.h"

using namespace vdmq;

static void BM_CommandButtonOwnerDraw(benchmark::State& state) {
  THeadlessSession session;
  auto* form = new TForm(&App());
  TCHBmpContainer* faces = MakeFaceContainer(form, "bc86_28_2");
  auto* b = new TCHBcBitBtn(form);
  b->SetParent(form);
  b->SetBounds(0, 0, 86, 28);
  b->SetCaption(SJS("ターン終了"));
  TFont f;
  f.Name = SJS("ＭＳ ゴシック");
  f.Height = 12;
  b->SetFont(f);
  b->CaptionColor().SetEnabled(true);
  b->CaptionColor().SetClUpFace(clAqua);
  b->CaptionColor().SetClUpShadow(clNone);
  b->Glyph().SetBmpContainer(faces);
  b->Glyph().SetSrcIndex(0);
  b->SetNumGlyphs(3);
  TPixmap target(86, 28);
  TCanvas canvas;
  canvas.Bind(target);
  TDrawItemStruct dis{&canvas, {0, 0, 86, 28}, 0};
  for (auto _ : state) {
    b->Perform(CN_DRAWITEM, 0, reinterpret_cast<std::intptr_t>(&dis));
    benchmark::DoNotOptimize(target.Data());
  }
  // The caption's ink, so a run that drew no text shows.
  int ink = 0;
  for (int y = 0; y < 28; ++y)
    for (int x = 0; x < 86; ++x) ink += target.Pixel(x, y) == ColorToPixel(clAqua);
  state.counters["caption_pixels"] = ink;
}
BENCHMARK(BM_CommandButtonOwnerDraw)->Unit(benchmark::kMicrosecond);

static void BM_TitleBarTile(benchmark::State& state) {
  TBitmap cell;
  LoadKitPicture("CHF_BcTitlebar", cell);
  TPixmap bar(792, 18);
  TCanvas canvas;
  canvas.Bind(bar);
  for (auto _ : state) {
    CHDrawTileBitmap(&canvas, {0, 0, 792, 18}, &cell, {0, 0, 360, 20}, 0, 0, 0, 0);
    benchmark::DoNotOptimize(bar.Data());
  }
}
BENCHMARK(BM_TitleBarTile)->Unit(benchmark::kMicrosecond);

// Frame, title bar with icon and caption, close, maximise and minimise.
static void BM_KitFormNonClientPaint(benchmark::State& state) {
  THeadlessSession session;
  new TCHF_Data(&App());
  InstallKitIcons();
  auto* form = new TCHF_Form(&App());
  form->SetBorderIcons(biSystemMenu | biMinimize | biMaximize);
  form->SetClientSize(792, 573);
  form->SetColor(clBlack);
  TFont font;
  font.Name = SJS("ＭＳ ゴシック");
  form->SetFont(font);
  form->SetCaption(SJS("Veldmark Q 体験版"));
  form->Show();
  App().ProcessMessages();
  for (auto _ : state) {
    form->Perform(WM_NCPAINT);
    benchmark::DoNotOptimize(form->Store().Data());
  }
  state.counters["buttons"] = form->TitleBar().MinimizeButton().Visible() +
                              form->TitleBar().MaximizeButton().Visible() + form->TitleBar().CloseButton().Visible();
}
BENCHMARK(BM_KitFormNonClientPaint)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
