// A full message page: 400 cells of mixed kanji and kana at size 24, appended (automatic
// breaks and the line-breaking rules), laid out and rendered into an 800 x 600 glyph surface
// in the outlined smooth style, once with an empty glyph cache (every glyph rendered by
// FreeType) and once with a warm one. Also the per-frame cost of copying a fully shown page
// to the screen, the work the message window does every frame.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "base/ShiftJis.h"
#include "surface/Surface.h"
#include "message/GlyphRasterizer.h"
#include "message/MessageLayout.h"
#include "message/TextBuffer.h"
#include "platform/FreeTypeFontInk.h"

namespace {

using namespace zan;

// Mixed kanji and kana with punctuation, enough for 400 cells: about two hundred different
// kanji, each followed by a kana, a comma or a full stop now and then (some 260 glyphs).
std::string PageText() {
  const std::string kanji = Sjis(
      "夜空流星数灯台光海波音町明消静残遠近祖母家辺最後夏休丘人待岬白立百年照子供窓外通見安心眠"
      "落電標識役目譲回覧板書話聞浴衣着全力逃今星群天気予報晴流願事秘密来年指折速拾空落浜旅人追"
      "返約束手紙言葉声笑顔涙風冷砂足跡貝殻青赤黄緑紫黒茶色朝昼晩月火水木金土曜日時分秒春秋冬雪"
      "雨雲雷霧虹太陽地球宇宙銀河北南東西右左上下前横内中高低長短新古大小多少早遅強弱深浅広狭軽"
      "重暑寒温熱涼暖楽苦悲喜怒驚恐怖愛恋友達先生学校教室勉強試験宿題");
  const std::string kana = Sjis("あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわをん");
  std::string text;
  for (size_t i = 0, k = 0; text.size() < 1200; i += 2, k += 2) {
    text += kanji.substr(i % kanji.size(), 2);
    text += kana.substr(k % kana.size(), 2);
    if (i % 22 == 20) text += Sjis("、");
    if (i % 58 == 56) text += Sjis("。");
  }
  return text;
}

struct Page {
  explicit Page(FontInk& fonts, int32_t format) : layout(&rasterizer, nullptr) {
    (void)rasterizer.InitRasterizer(fonts);
    surface.CreateInFormat(800, 600, format);
    LayoutSettings& s = layout.Settings();
    s.style = 4;
    s.fontSize = 24;
    s.xOffset = 16;
    s.yOffset = 16;
    s.faceName = GlyphRasterizer::DefaultFace();
    buffer = std::make_unique<TextBuffer>();
  }
  // Appends the page (400 cells), lays it out and renders it.
  void Build(const std::string& text) {
    buffer->Clear();
    buffer->AppendText(text, TextBuffer::kCells, layout.Settings());
    buffer->RenderText(surface, 0, 0, false, true, layout);
  }

  GlyphRasterizer rasterizer;
  MessageLayout layout;
  Surface surface;
  std::unique_ptr<TextBuffer> buffer;
};

void BM_PageColdGlyphs(benchmark::State& state) {
  const std::string text = PageText();
  for (auto _ : state) {
    state.PauseTiming();
    auto fonts = std::make_unique<FreeTypeFontInk>();
    (void)fonts->OpenFace(GlyphRasterizer::DefaultFace());  // the face opens once per run
    Page page(*fonts, static_cast<int32_t>(state.range(0)));
    state.ResumeTiming();
    page.Build(text);
    benchmark::DoNotOptimize(page.buffer->Count());
  }
}
BENCHMARK(BM_PageColdGlyphs)->Arg(8888)->Arg(565)->Unit(benchmark::kMillisecond);

void BM_PageWarmGlyphs(benchmark::State& state) {
  const std::string text = PageText();
  FreeTypeFontInk fonts;
  Page page(fonts, static_cast<int32_t>(state.range(0)));
  page.Build(text);
  state.counters["cells"] = page.buffer->Count();
  state.counters["glyphs_cached"] = static_cast<double>(fonts.CachedGlyphs());
  for (auto _ : state) {
    page.Build(text);
    benchmark::DoNotOptimize(page.buffer->Count());
  }
}
BENCHMARK(BM_PageWarmGlyphs)->Arg(8888)->Arg(565)->Unit(benchmark::kMillisecond);

void BM_ShownPageToScreen(benchmark::State& state) {
  FreeTypeFontInk fonts;
  Page page(fonts, 8888);
  page.Build(PageText());
  page.buffer->ShowAll();
  Surface screen;
  screen.CreateInFormat(800, 600, 8888);
  for (auto _ : state) {
    page.buffer->DrawFadeIn(screen, 0, 0, page.surface, 255, page.layout.Settings());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_ShownPageToScreen)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
