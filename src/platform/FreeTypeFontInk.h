#pragma once
// FreeTypeFontInk: the font ink service of both backends. Faces are found through fontconfig;
// glyphs are rendered by FreeType as monochrome bitmaps without hinting and kept per
// character, cell height, face and writing direction, so a page draws each glyph once.
//
// A face name the game data gives (Windows names such as "ＭＳ ゴシック") is used when a font of
// that family is installed; otherwise it stands for IPA Gothic, the Japanese TrueType face
// whose widths match it. The cell of a character is the face's ascent plus descent, scaled
// to the requested height, with the baseline at the scaled ascent.

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/FontInk.h"

namespace zan {

class FreeTypeFontInk : public FontInk {
 public:
  FreeTypeFontInk();
  ~FreeTypeFontInk() override;
  FreeTypeFontInk(const FreeTypeFontInk&) = delete;
  FreeTypeFontInk& operator=(const FreeTypeFontInk&) = delete;

  Status OpenFace(std::string_view face) override;
  const GlyphInk& Ink(const InkRequest& request) override;

  // The font file a face name resolved to (empty when it did not); for diagnostics.
  std::string FaceFile(std::string_view face);
  // Glyphs kept so far.
  size_t CachedGlyphs() const { return glyphs_.size(); }

  // The family every Japanese face name falls back to.
  static constexpr const char* kFallbackFamily = "IPAGothic";

 private:
  struct Face;
  struct Library;

  // The index of the face a name resolves to, or -1 (the error in `error`).
  int32_t FaceIndex(std::string_view face, std::string* error);
  GlyphInk Render(Face& face, const InkRequest& request);

  std::unique_ptr<Library> library_;
  std::vector<std::unique_ptr<Face>> faces_;
  // Requested name -> face index (-1: cannot be drawn, with the reason).
  std::unordered_map<std::string, int32_t> byName_;
  std::unordered_map<std::string, std::string> errors_;
  std::unordered_map<uint64_t, GlyphInk> glyphs_;
  GlyphInk empty_;
};

}  // namespace zan
