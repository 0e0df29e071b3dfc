#include "platform/FreeTypeFontInk.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H
#include FT_TRUETYPE_TAGS_H

#include <cmath>
#include <span>

#include "base/DiagnosticLog.h"
#include "base/ShiftJis.h"
#include "base/TextCase.h"

namespace zan {
namespace {

// More glyphs than a few pages of every size need; past it the cache starts over.
constexpr size_t kMaxCachedGlyphs = 8192;

// Big-endian reads of a font table; a read outside the table gives 0.
class TableReader {
 public:
  explicit TableReader(std::span<const uint8_t> table) : t_(table) {}
  uint16_t U16(size_t at) const {
    if (at + 2 > t_.size() || at + 2 < at) return 0;
    return static_cast<uint16_t>((t_[at] << 8) | t_[at + 1]);
  }
  uint32_t U32(size_t at) const { return (uint32_t{U16(at)} << 16) | U16(at + 2); }

 private:
  std::span<const uint8_t> t_;
};

// The glyphs of an OpenType coverage table, in coverage order (at most 65536).
std::vector<uint16_t> ReadCoverage(const TableReader& r, size_t at) {
  std::vector<uint16_t> glyphs;
  const uint16_t format = r.U16(at);
  const uint16_t count = r.U16(at + 2);
  if (format == 1) {
    for (size_t i = 0; i < count; ++i) glyphs.push_back(r.U16(at + 4 + 2 * i));
  } else if (format == 2) {
    for (size_t i = 0; i < count; ++i) {
      const size_t record = at + 4 + 6 * i;
      const uint16_t first = r.U16(record);
      const uint16_t last = r.U16(record + 2);
      for (uint32_t g = first; g <= last && glyphs.size() < 65536; ++g)
        glyphs.push_back(static_cast<uint16_t>(g));
    }
  }
  return glyphs;
}

// The vertical forms of a face: glyph -> glyph from the single substitutions of the GSUB
// feature "vert" (or "vrt2" when the face has no "vert").
std::unordered_map<uint32_t, uint32_t> ReadVerticalForms(FT_Face face) {
  std::unordered_map<uint32_t, uint32_t> forms;
  FT_ULong length = 0;
  if (FT_Load_Sfnt_Table(face, TTAG_GSUB, 0, nullptr, &length) != 0 || length == 0) return forms;
  std::vector<uint8_t> table(length);
  if (FT_Load_Sfnt_Table(face, TTAG_GSUB, 0, table.data(), &length) != 0) return forms;
  const TableReader r(table);
  const size_t featureList = r.U16(6);
  const size_t lookupList = r.U16(8);

  auto lookupsOf = [&](uint32_t wanted) {
    std::vector<uint16_t> lookups;
    const uint16_t features = r.U16(featureList);
    for (size_t i = 0; i < features; ++i) {
      const size_t record = featureList + 2 + 6 * i;
      if (r.U32(record) != wanted) continue;
      const size_t feature = featureList + r.U16(record + 4);
      const uint16_t count = r.U16(feature + 2);
      for (size_t k = 0; k < count; ++k) lookups.push_back(r.U16(feature + 4 + 2 * k));
    }
    return lookups;
  };
  std::vector<uint16_t> lookups = lookupsOf(FT_MAKE_TAG('v', 'e', 'r', 't'));
  if (lookups.empty()) lookups = lookupsOf(FT_MAKE_TAG('v', 'r', 't', '2'));

  const uint16_t lookupCount = r.U16(lookupList);
  for (uint16_t index : lookups) {
    if (index >= lookupCount) continue;
    const size_t lookup = lookupList + r.U16(lookupList + 2 + 2 * size_t{index});
    const uint16_t type = r.U16(lookup);
    const uint16_t subtables = r.U16(lookup + 4);
    for (size_t s = 0; s < subtables; ++s) {
      size_t sub = lookup + r.U16(lookup + 6 + 2 * s);
      uint16_t subType = type;
      if (type == 7) {  // extension: the real subtable lies further on
        subType = r.U16(sub + 2);
        sub += r.U32(sub + 4);
      }
      if (subType != 1) continue;
      const uint16_t format = r.U16(sub);
      const std::vector<uint16_t> covered = ReadCoverage(r, sub + r.U16(sub + 2));
      if (format == 1) {
        const auto delta = static_cast<int16_t>(r.U16(sub + 4));
        for (uint16_t g : covered) forms.try_emplace(g, static_cast<uint16_t>(g + delta));
      } else if (format == 2) {
        const size_t count = std::min<size_t>(r.U16(sub + 4), covered.size());
        for (size_t k = 0; k < count; ++k) forms.try_emplace(covered[k], r.U16(sub + 6 + 2 * k));
      }
    }
  }
  return forms;
}

// The file and face index fontconfig gives for `family`, when the match really is that
// family and can draw Japanese.
bool MatchFamily(FcConfig* config, const std::string& family, std::string* file, int* index) {
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddBool(pattern, FC_OUTLINE, FcTrue);
  FcConfigSubstitute(config, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(config, pattern, &result);
  FcPatternDestroy(pattern);
  if (match == nullptr) return false;
  bool found = false;
  FcChar8* name = nullptr;
  for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &name) == FcResultMatch; ++i) {
    if (EqualsNoCase(reinterpret_cast<const char*>(name), family)) found = true;
  }
  FcLangSet* langs = nullptr;
  if (found && FcPatternGetLangSet(match, FC_LANG, 0, &langs) == FcResultMatch &&
      FcLangSetHasLang(langs, reinterpret_cast<const FcChar8*>("ja")) == FcLangDifferentLang)
    found = false;
  FcChar8* path = nullptr;
  if (found && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch) {
    *file = reinterpret_cast<const char*>(path);
    if (FcPatternGetInteger(match, FC_INDEX, 0, index) != FcResultMatch) *index = 0;
  } else {
    found = false;
  }
  FcPatternDestroy(match);
  return found;
}

uint64_t GlyphKey(int32_t face, const InkRequest& r) {
  uint32_t code = static_cast<unsigned char>(r.character[0]);
  if (r.character.size() >= 2) code = (code << 8) | static_cast<unsigned char>(r.character[1]);
  return (uint64_t{static_cast<uint32_t>(face)} << 40) | (uint64_t{static_cast<uint32_t>(r.cellHeight)} << 24) |
         (uint64_t{r.vertical} << 17) | (uint64_t{r.bold} << 16) | code;
}

// A bitmap of FreeType (1 bit or 8 bits a pixel) as ink of the cell: bitmap_left from the
// pen, the rows below the baseline at `baseline`.
GlyphInk InkOfBitmap(const FT_GlyphSlot slot, int32_t baseline) {
  GlyphInk ink;
  const FT_Bitmap& b = slot->bitmap;
  ink.left = slot->bitmap_left;
  ink.top = baseline - slot->bitmap_top;
  ink.width = static_cast<int32_t>(b.width);
  ink.height = static_cast<int32_t>(b.rows);
  ink.bits.assign(static_cast<size_t>(ink.width) * static_cast<size_t>(ink.height), 0);
  for (int32_t y = 0; y < ink.height; ++y) {
    const uint8_t* row = b.buffer + static_cast<ptrdiff_t>(y) * b.pitch;
    for (int32_t x = 0; x < ink.width; ++x) {
      const bool set = b.pixel_mode == FT_PIXEL_MODE_MONO ? ((row[x >> 3] >> (7 - (x & 7))) & 1) != 0
                                                          : row[x] >= 128;
      ink.bits[static_cast<size_t>(y * ink.width + x)] = set ? 1 : 0;
    }
  }
  return ink;
}

// Heavy weights: every stroke one sample wider to the right (overstrike).
GlyphInk Embolden(const GlyphInk& in) {
  GlyphInk out = in;
  if (in.width == 0) return out;
  out.width = in.width + 1;
  out.bits.assign(static_cast<size_t>(out.width) * static_cast<size_t>(out.height), 0);
  for (int32_t y = 0; y < in.height; ++y)
    for (int32_t x = 0; x < out.width; ++x)
      out.bits[static_cast<size_t>(y * out.width + x)] =
          (in.At(in.left + x, in.top + y) || in.At(in.left + x - 1, in.top + y)) ? 1 : 0;
  return out;
}

// The ink turned a quarter clockwise inside a cell `cell` samples tall: (x, y) -> (cell - 1 - y, x).
GlyphInk QuarterClockwise(const GlyphInk& in, int32_t cell) {
  GlyphInk out;
  out.left = cell - in.top - in.height;
  out.top = in.left;
  out.width = in.height;
  out.height = in.width;
  out.bits.assign(in.bits.size(), 0);
  for (int32_t y = 0; y < out.height; ++y)
    for (int32_t x = 0; x < out.width; ++x)
      out.bits[static_cast<size_t>(y * out.width + x)] =
          in.bits[static_cast<size_t>((in.height - 1 - x) * in.width + y)];
  return out;
}

}  // namespace

struct FreeTypeFontInk::Library {
  FT_Library freetype = nullptr;
  FcConfig* config = nullptr;
  ~Library() {
    if (config) FcConfigDestroy(config);
    if (freetype) FT_Done_FreeType(freetype);
  }
};

struct FreeTypeFontInk::Face {
  FT_Face face = nullptr;
  std::string file;
  std::unordered_map<uint32_t, uint32_t> verticalForms;
  ~Face() {
    if (face) FT_Done_Face(face);
  }
};

FreeTypeFontInk::FreeTypeFontInk() = default;
FreeTypeFontInk::~FreeTypeFontInk() {
  glyphs_.clear();
  faces_.clear();
  library_.reset();
}

int32_t FreeTypeFontInk::FaceIndex(std::string_view requested, std::string* error) {
  const std::string key(requested);
  if (auto it = byName_.find(key); it != byName_.end()) {
    if (it->second < 0 && error) *error = errors_[key];
    return it->second;
  }
  auto refuse = [&](std::string why) {
    byName_[key] = -1;
    if (error) *error = why;
    errors_[key] = std::move(why);
    return -1;
  };
  if (!library_) {
    library_ = std::make_unique<Library>();
    if (FT_Init_FreeType(&library_->freetype) != 0) library_->freetype = nullptr;
    library_->config = FcInitLoadConfigAndFonts();
  }
  if (!library_->freetype || !library_->config) return refuse("FreeType or fontconfig cannot start");

  // A face name with an at sign is the vertical variant of the same family.
  std::string family = SjisToUtf8(requested);
  if (!family.empty() && family[0] == '@') family.erase(0, 1);
  std::string file;
  int index = 0;
  if (family.empty() || !MatchFamily(library_->config, family, &file, &index)) {
    if (!MatchFamily(library_->config, kFallbackFamily, &file, &index))
      return refuse("no Japanese TrueType font for the face \"" + family +
                    "\": install IPA Gothic (Debian package fonts-ipafont-gothic)");
  }
  for (size_t i = 0; i < faces_.size(); ++i) {
    if (faces_[i]->file == file) return byName_[key] = static_cast<int32_t>(i);
  }
  auto face = std::make_unique<Face>();
  face->file = file;
  if (FT_New_Face(library_->freetype, file.c_str(), index, &face->face) != 0 ||
      !FT_IS_SCALABLE(face->face))
    return refuse("the font file " + file + " cannot be read");
  face->verticalForms = ReadVerticalForms(face->face);
  faces_.push_back(std::move(face));
  return byName_[key] = static_cast<int32_t>(faces_.size() - 1);
}

Status FreeTypeFontInk::OpenFace(std::string_view face) {
  std::string error;
  if (FaceIndex(face, &error) < 0) return MakeError(error);
  return {};
}

std::string FreeTypeFontInk::FaceFile(std::string_view face) {
  const int32_t index = FaceIndex(face, nullptr);
  return index < 0 ? std::string() : faces_[static_cast<size_t>(index)]->file;
}

const GlyphInk& FreeTypeFontInk::Ink(const InkRequest& request) {
  if (request.character.empty() || request.cellHeight < 1 || request.cellHeight > kMaxCellHeight)
    return empty_;
  std::string error;
  const int32_t face = FaceIndex(request.face, &error);
  if (face < 0) {
    // Once per face name: later requests find it refused without a word.
    if (!error.empty() && errors_.count("logged:" + std::string(request.face)) == 0) {
      errors_["logged:" + std::string(request.face)] = error;
      ZAN_WARN("text: %s", error.c_str());
    }
    return empty_;
  }
  const uint64_t key = GlyphKey(face, request);
  if (auto it = glyphs_.find(key); it != glyphs_.end()) return it->second;
  if (glyphs_.size() >= kMaxCachedGlyphs) glyphs_.clear();
  return glyphs_.emplace(key, Render(*faces_[static_cast<size_t>(face)], request)).first->second;
}

GlyphInk FreeTypeFontInk::Render(Face& face, const InkRequest& request) {
  FT_Face f = face.face;
  const char32_t codePoint = SjisCodePoint(request.character);
  if (codePoint == 0) return {};
  FT_UInt glyph = FT_Get_Char_Index(f, codePoint);
  if (glyph == 0) return {};
  const bool fullWidth = request.character.size() >= 2;
  if (request.vertical && fullWidth) {
    if (auto it = face.verticalForms.find(glyph); it != face.verticalForms.end()) glyph = it->second;
  }
  // The cell (ascent + descent) scaled to the requested height; the em follows from it.
  const int64_t ascent = f->ascender;
  const int64_t extent = f->ascender - f->descender;
  if (ascent <= 0 || extent <= 0) return {};
  const int64_t em64 = (int64_t{request.cellHeight} * 64 * f->units_per_EM + extent / 2) / extent;
  if (FT_Set_Char_Size(f, 0, static_cast<FT_F26Dot6>(em64), 72, 72) != 0) return {};
  if (FT_Load_Glyph(f, glyph, FT_LOAD_NO_BITMAP | FT_LOAD_NO_HINTING | FT_LOAD_TARGET_MONO) != 0 ||
      FT_Render_Glyph(f->glyph, FT_RENDER_MODE_MONO) != 0)
    return {};
  const auto baseline =
      static_cast<int32_t>((int64_t{request.cellHeight} * ascent + extent / 2) / extent);
  GlyphInk ink = InkOfBitmap(f->glyph, baseline);
  if (request.bold) ink = Embolden(ink);
  if (request.vertical && !fullWidth) ink = QuarterClockwise(ink, request.cellHeight);
  return ink;
}

}  // namespace zan
