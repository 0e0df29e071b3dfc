// The demo game's text sources checked against the formats the engine reads and against
// each other: every jump lands on a label, every picture, sound, icon, abbreviation and
// variable the scripts name exists, pages fit the message window, and the tables and
// definition files follow their grammars.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Pictures.h"
#include "Sounds.h"
#include "base/ShiftJis.h"
#include "data/ButtonTable.h"
#include "sound/Mp3Decoder.h"
#include "sound/OggVorbisDecoder.h"

namespace {

namespace fs = std::filesystem;
using zan::assetgen::Box;

fs::path U8Path(const std::string& s) { return fs::path(reinterpret_cast<const char8_t*>(s.c_str())); }

std::string ReadText(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), {}};
}

fs::path Source(const std::string& relative) { return fs::path(ZAN_GAME_SOURCE_DIR) / U8Path(relative); }

std::vector<std::string> Split(const std::string& s, char sep) {
  std::vector<std::string> out;
  std::string cur;
  for (char c : s) {
    if (c == sep) {
      out.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  out.push_back(cur);
  return out;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines = Split(text, '\n');
  if (!lines.empty() && lines.back().empty()) lines.pop_back();
  return lines;
}

// Trims blanks and the full-width space, as the engine trims arguments.
std::string Trim(std::string s) {
  auto blank = [&](size_t at) {
    if (at < s.size() && (s[at] == ' ' || s[at] == '\t' || s[at] == '\r' || s[at] == '\n')) return 1;
    if (s.compare(at, 3, "\u3000") == 0) return 3;
    return 0;
  };
  while (int n = blank(0)) s.erase(0, n);
  for (;;) {
    if (!s.empty() && blank(s.size() - 1) == 1) {
      s.pop_back();
    } else if (s.size() >= 3 && s.compare(s.size() - 3, 3, "\u3000") == 0) {
      s.resize(s.size() - 3);
    } else {
      break;
    }
  }
  return s;
}

size_t SjisSize(const std::string& utf8) {
  auto s = zan::TryUtf8ToSjis(utf8);
  return s ? s->size() : 9999;
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

bool EndsWithTxt(const std::string& s) { return s.size() > 4 && Lower(s.substr(s.size() - 4)) == ".txt"; }

struct Element {
  bool tag = false;
  std::string text;  // message text, or the whole tag
  std::string name;  // command name of a tag
  std::vector<std::string> args;
  int line = 0;
};

struct Script {
  std::string name;
  std::vector<Element> elements;
  std::vector<std::string> labels;
};

// Reads a script the way the engine's loader does: comments, labels, tags with their
// arguments, and the message text between them.
Script Parse(const std::string& name, const std::string& s) {
  Script sc{name, {}, {}};
  std::string text;
  int line = 1, textLine = 1;
  auto flush = [&] {
    if (!text.empty()) sc.elements.push_back({false, text, "", {}, textLine});
    text.clear();
  };
  for (size_t i = 0; i < s.size();) {
    if (s.compare(i, 2, "//") == 0) {
      while (i < s.size() && s[i] != '\n') ++i;
      continue;
    }
    if (s.compare(i, 2, "/*") == 0) {
      size_t e = s.find("*/", i + 2);
      for (size_t k = i; k < std::min(e, s.size()); ++k) line += s[k] == '\n';
      i = e == std::string::npos ? s.size() : e + 2;
      continue;
    }
    if (s[i] == '[') {
      size_t e = s.find(']', i);
      sc.labels.push_back(s.substr(i + 1, e - i - 1));
      i = e + 1;
      continue;
    }
    if (s[i] == '<') {
      flush();
      size_t k = i + 1;
      bool paren = false;
      while (k < s.size() && (s[k] != '>' || paren)) {
        if (s[k] == '(') paren = true;
        if (s[k] == ')') paren = false;
        ++k;
      }
      Element e{true, s.substr(i, k - i + 1), "", {}, line};
      std::string inner = s.substr(i + 1, k - i - 1);
      size_t nameEnd = inner.find_first_of(" \t\r\n");
      e.name = inner.substr(0, nameEnd);
      if (nameEnd != std::string::npos) {
        for (std::string& a : Split(inner.substr(nameEnd), ',')) e.args.push_back(Trim(a));
      }
      sc.elements.push_back(e);
      for (size_t q = i; q <= k && q < s.size(); ++q) line += s[q] == '\n';
      i = k + 1;
      textLine = line;
      continue;
    }
    if (text.empty()) textLine = line;
    if (s[i] == '\n') ++line;
    text += s[i++];
  }
  flush();
  return sc;
}

std::vector<std::string> ScriptNames() {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(Source("msg"))) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::map<std::string, Script> Scripts() {
  std::map<std::string, Script> all;
  for (const std::string& n : ScriptNames()) all[Lower(n)] = Parse(n, ReadText(Source("msg/" + n)));
  return all;
}

std::string Arg(const Element& e, size_t i) { return i < e.args.size() ? e.args[i] : std::string(); }

// Rows of a CSV table after its header lines.
std::vector<std::vector<std::string>> Table(const std::string& relative, int headerLines) {
  std::vector<std::vector<std::string>> rows;
  std::vector<std::string> lines = Lines(ReadText(Source(relative)));
  for (size_t i = headerLines; i < lines.size(); ++i) rows.push_back(Split(lines[i], ','));
  return rows;
}

bool PictureExists(const std::string& name) {
  return fs::exists(fs::path(ZAN_DEMO_STAGE_DIR) / "gra" / U8Path(name)) || fs::exists(Source("gra/" + name));
}
bool StagedFile(const std::string& dir, const std::string& name) {
  return fs::exists(fs::path(ZAN_DEMO_STAGE_DIR) / dir / U8Path(name)) || fs::exists(Source(dir + "/" + name));
}

TEST(GameSources, TextFilesAreCp932ConvertibleWithLfLinesAndShortNames) {
  for (const char* dir : {"msg", "dat", "system"}) {
    for (const auto& e : fs::directory_iterator(Source(dir))) {
      std::string name = e.path().filename().string();
      SCOPED_TRACE(name);
      std::string text = ReadText(e.path());
      EXPECT_TRUE(zan::TryUtf8ToSjis(text).has_value()) << "a character has no Shift-JIS form";
      EXPECT_EQ(text.find('\r'), std::string::npos) << "CR in the repository";
      EXPECT_TRUE(!text.empty() && text.back() == '\n');
      EXPECT_LE(SjisSize(name), 31u);
    }
  }
}

TEST(GameSources, ScriptElementsFitTheLoader) {
  for (const auto& [key, sc] : Scripts()) {
    SCOPED_TRACE(sc.name);
    for (const Element& e : sc.elements) {
      if (e.tag) {
        EXPECT_LE(SjisSize(e.text), 259u) << "line " << e.line;
        EXPECT_LE(e.args.size(), 50u);
        EXPECT_EQ(e.text.back(), '>') << "unclosed tag at line " << e.line;
      } else {
        EXPECT_LE(SjisSize(e.text), 1023u) << "line " << e.line;
      }
    }
    std::set<std::string> seen;
    for (const std::string& l : sc.labels) {
      EXPECT_LE(SjisSize(l), 63u);
      EXPECT_TRUE(seen.insert(Lower(l)).second) << "label twice: " << l;
    }
  }
}

TEST(GameSources, EveryJumpLandsOnALabel) {
  std::map<std::string, Script> all = Scripts();
  auto hasLabel = [&](const std::string& script, const std::string& label) {
    auto it = all.find(Lower(script));
    if (it == all.end()) return false;
    for (const std::string& l : it->second.labels)
      if (Lower(l) == Lower(label)) return true;
    return false;
  };
  std::set<std::string> reached = {"main.txt"};
  for (const auto& [key, sc] : all) {
    SCOPED_TRACE(sc.name);
    for (const Element& e : sc.elements) {
      if (!e.tag) continue;
      std::string script = sc.name, label;
      std::string n = Lower(e.name);
      if (n == "jump" || n == "jumpr" || n == "sltruncd3" || n == "sltruncd5") {
        if (!Arg(e, 1).empty()) script = Arg(e, 0), label = Arg(e, 1);
        else label = Arg(e, 0);
      } else if (n == "if") {
        if (EndsWithTxt(Arg(e, 0))) script = Arg(e, 0), label = Arg(e, 1);
        else label = Arg(e, 0);
      } else if (n == "sltadd") {
        if (e.args.size() == 4) script = Arg(e, 1), label = Arg(e, 2);
        else label = Arg(e, 1);
      } else if (n == "sltmaskadd") {
        if (EndsWithTxt(Arg(e, 1))) script = Arg(e, 1), label = Arg(e, 2);
        else label = Arg(e, 1);
      } else {
        continue;
      }
      EXPECT_TRUE(hasLabel(script, label)) << e.text << " at line " << e.line;
      reached.insert(Lower(script));
    }
  }
  for (const auto& [key, sc] : all) EXPECT_TRUE(reached.count(key)) << sc.name << " is never reached";
}

TEST(GameSources, EverythingTheScriptsNameExists) {
  std::set<std::string> abbreviations, icons, variables;
  for (const auto& row : Table("dat/省略.csv", 1)) abbreviations.insert(row[0]);
  for (const auto& row : Table("dat/iconlist.csv", 1)) icons.insert(row.at(1));
  for (const auto& row : Table("dat/variable.csv", 1)) variables.insert(Lower(row.at(1)));
  for (const auto& [key, sc] : Scripts()) {
    SCOPED_TRACE(sc.name);
    for (const Element& e : sc.elements) {
      if (!e.tag) continue;
      std::string n = Lower(e.name);
      auto picture = [&](const std::string& f) { EXPECT_TRUE(PictureExists(f)) << f << " at line " << e.line; };
      if (n == "imageload" || n == "imageloadinit" || n == "imageparts" || n == "sltmaskoverset") picture(Arg(e, 1));
      if (n == "winimage" || n == "sltmaskhitset") picture(Arg(e, 0));
      if (n == "update" && (Arg(e, 0) == "MaskCross" || Arg(e, 0) == "MaskCrossR")) picture(Arg(e, 2));
      if (n == "imageloadeye" && Arg(e, 1) != "OFF") EXPECT_TRUE(StagedFile("dat", Arg(e, 1))) << Arg(e, 1);
      if (n == "soundplay" || n == "soundload") EXPECT_TRUE(StagedFile("snd", Arg(e, 1))) << Arg(e, 1);
      if (n == "image") EXPECT_TRUE(abbreviations.count(Arg(e, 1))) << Arg(e, 1);
      if (n == "winemo") EXPECT_TRUE(icons.count(Arg(e, 0))) << Arg(e, 0);
      static const std::set<std::string> arithmetic = {"mov", "add", "sub", "mul", "div", "mod", "inc", "dec", "rnd", "winnumber", "winstring"};
      if (arithmetic.count(n)) EXPECT_TRUE(variables.count(Lower(Arg(e, 0)))) << e.text;
      if (n == "if") {
        for (size_t i = EndsWithTxt(Arg(e, 0)) ? 2 : 1; i < e.args.size(); i += 2) {
          std::string cond = Arg(e, i);
          size_t op = cond.find_first_of("!<>=");
          ASSERT_NE(op, std::string::npos) << e.text;
          std::string left = cond.substr(0, op);
          left.erase(std::remove_if(left.begin(), left.end(), [](char c) { return c == '(' || c == ' '; }), left.end());
          EXPECT_TRUE(variables.count(Lower(left))) << e.text;
          // A greater-than sign outside parentheses would end the tag early.
          if (cond.find('>') != std::string::npos) EXPECT_EQ(cond.front(), '(') << e.text;
        }
      }
    }
  }
}

TEST(GameSources, OverlaysEyesAndLoopPointsMatchTheGeneratedAssets) {
  auto faceOf = [](const std::string& picture) -> const Box* {
    if (picture.rfind("akari_", 0) == 0) return &zan::assetgen::kAkariFace;
    if (picture.rfind("noel_", 0) == 0) return &zan::assetgen::kNoelFace;
    return nullptr;
  };
  for (const auto& row : Table("dat/省略.csv", 1)) {
    SCOPED_TRACE(row[0]);
    ASSERT_EQ(row.size(), 6u);
    EXPECT_TRUE(PictureExists(row[2]));
    if (row[3].empty()) continue;
    EXPECT_TRUE(PictureExists(row[3]));
    const Box* face = faceOf(row[3]);
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(std::stoi(row[4]), face->x);
    EXPECT_EQ(std::stoi(row[5]), face->y);
  }
  std::map<int, int> loopPos;  // channel -> ms
  for (const auto& [key, sc] : Scripts()) {
    SCOPED_TRACE(sc.name);
    std::optional<std::pair<int, int>> frame;
    for (const Element& e : sc.elements) {
      if (!e.tag) continue;
      std::string n = Lower(e.name);
      if (n == "imageparts") {
        const Box* face = faceOf(Arg(e, 1));
        ASSERT_NE(face, nullptr) << e.text;
        EXPECT_EQ(std::stoi(Arg(e, 2)), face->x) << e.text;
        EXPECT_EQ(std::stoi(Arg(e, 3)), face->y) << e.text;
      }
      if (n == "imageloadeye" && Arg(e, 1) != "OFF") {
        const Box& eyes = Arg(e, 1) == "akari_eye.dat" ? zan::assetgen::kAkariEyes : zan::assetgen::kNoelEyes;
        EXPECT_EQ(std::stoi(Arg(e, 2)), eyes.x) << e.text;
        EXPECT_EQ(std::stoi(Arg(e, 3)), eyes.y) << e.text;
      }
      // The zoom window's frame lies 5 pixels around the window that follows it.
      if (n == "imageload" && Arg(e, 1) == "zoom_frame.bmp") frame = {std::stoi(Arg(e, 2)), std::stoi(Arg(e, 3))};
      if (n == "zoomdst" && frame) {
        EXPECT_EQ(std::stoi(Arg(e, 1)), frame->first + 5) << e.text;
        EXPECT_EQ(std::stoi(Arg(e, 2)), frame->second + 5) << e.text;
        EXPECT_EQ(std::stoi(Arg(e, 3)), zan::assetgen::kZoomFrameW - 10) << e.text;
        EXPECT_EQ(std::stoi(Arg(e, 4)), zan::assetgen::kZoomFrameH - 10) << e.text;
        frame.reset();
      }
      if (n == "soundlooppos") loopPos[std::stoi(Arg(e, 0))] = std::stoi(Arg(e, 1));
      if (n == "soundplay" && Arg(e, 1).find("bgm") != std::string::npos) {
        int want = Arg(e, 1) == "title_bgm.ogg" ? zan::assetgen::kTitleLoopMs : zan::assetgen::kNightLoopMs;
        EXPECT_EQ(loopPos[std::stoi(Arg(e, 0))], want) << e.text << " at line " << e.line;
      }
    }
  }
}

// Width of a text in full-width units (a double-byte character 1, a single-byte one 0.5).
double Units(const std::string& utf8) {
  double u = 0;
  auto sjis = zan::TryUtf8ToSjis(utf8);
  if (!sjis) return 99;
  for (size_t i = 0; i < sjis->size(); ++i) {
    if (zan::IsSjisLeadByte(static_cast<unsigned char>((*sjis)[i]))) {
      u += 1;
      ++i;
    } else {
      u += 0.5;
    }
  }
  return u;
}

TEST(GameSources, PagesFitTheirWindow) {
  // The main window shows three lines of up to 30 full-width characters; the narration
  // window is taller; the vertical letter has short columns.
  const int maxLines[3] = {3, 9, 6};
  const double maxUnits[3] = {30, 30, 12};
  for (const auto& [key, sc] : Scripts()) {
    SCOPED_TRACE(sc.name);
    int area = 0;
    std::string page;
    int pageLine = 0;
    for (const Element& e : sc.elements) {
      if (!e.tag) {
        std::string t = e.text;
        if (page.empty()) t.erase(0, t.find_first_not_of('\n') == std::string::npos ? t.size() : t.find_first_not_of('\n'));
        if (page.empty() && t.rfind("【", 0) == 0) {
          size_t close = t.find("】");
          t = t.substr(close + 3);
          if (!t.empty() && t[0] == '\n') t.erase(0, 1);
        }
        if (page.empty()) pageLine = e.line;
        page += t;
        continue;
      }
      std::string n = Lower(e.name);
      if (n == "wincurrent") area = std::stoi(Arg(e, 0));
      if (n == "winrubi") page += Arg(e, 0);
      if (n == "winemo" || n == "winnumber") page += "\u3000";
      if (n == "kw") {
        std::vector<std::string> lines = Split(page, '\n');
        EXPECT_LE(static_cast<int>(lines.size()), maxLines[area]) << "page at line " << pageLine;
        for (const std::string& l : lines) EXPECT_LE(Units(l), maxUnits[area]) << "line " << l;
      }
      if (n == "winclear") page.clear();
    }
  }
}

const std::set<std::string> kActions = {"決定", "決定2", "取消", "ウィンドウ消去", "フロー", "マップ", "オート", "スキップ", "セーブ", "ロード",
                                        "クイックセーブ", "クイックロード", "メニュー", "メニューを閉じる", "コンフィグ", "履歴スクロール",
                                        "バックログ", "履歴上へ", "履歴下へ", "タイトルへ戻る", "ゲーム終了", "パニックボタン", "サーフェイスビュア",
                                        "サウンドビュア", "スクリプトビュア", "タスクビュア", "直前選択肢へ", "画面変更", "最小化", "ボイス再生",
                                        "好感度"};

TEST(GameSources, KeyMapBindsTheDocumentedKeys) {
  std::vector<std::string> lines = Lines(ReadText(Source("system/system2.lib")));
  ASSERT_EQ(lines.size(), 37u);  // a header and inputs 0 to 35
  std::vector<std::string> action;
  for (size_t k = 1; k < lines.size(); ++k) {
    size_t comma = lines[k].find(',');
    ASSERT_NE(comma, std::string::npos) << lines[k];
    action.push_back(lines[k].substr(comma + 1));
    if (!action.back().empty()) EXPECT_TRUE(kActions.count(action.back())) << lines[k];
  }
  const std::pair<int, const char*> bindings[] = {{2, "決定"},  {4, "決定"},   {3, "取消"},   {6, "スキップ"}, {7, "オート"},
                                                  {5, "ウィンドウ消去"}, {0, "バックログ"}, {28, "セーブ"}, {29, "ロード"}, {30, "コンフィグ"}};
  for (const auto& [input, name] : bindings) EXPECT_EQ(action[input], name) << "input " << input;
}

TEST(GameSources, SystemButtonsFollowTheSectionedGrammar) {
  std::vector<std::string> lines = Lines(ReadText(Source("system/system1.lib")));
  size_t i = 2, pictures = 0;
  for (; i < lines.size() && lines[i].rfind("□画像定義終了", 0) != 0; ++i) {
    ++pictures;
    EXPECT_TRUE(PictureExists(Split(lines[i], ',').at(1)));
  }
  ASSERT_LT(i, lines.size());
  EXPECT_EQ(pictures, 1u);
  i += 1 + 9;  // the marker and nine heading lines
  int buttons = 0, absolute = 0;
  for (; i < lines.size() && lines[i].rfind("□定義終了", 0) != 0; i += 6, ++buttons) {
    ASSERT_LE(i + 6, lines.size());
    std::vector<std::string> head = Split(lines[i], ',');
    ASSERT_EQ(head.size(), 6u) << lines[i];
    if (head[4] == "絶対") ++absolute;
    if (head[1] == "○") EXPECT_TRUE(kActions.count(head[2])) << head[2];
    for (int s = 0; s < 5; ++s) {
      std::vector<std::string> st = Split(lines[i + 1 + s], ',');
      ASSERT_EQ(st.size(), 8u) << lines[i + 1 + s];
      int picture = std::stoi(st[1]);
      if (picture == 0) {  // within sysbtn.bmp (256 × 294)
        EXPECT_LE(std::stoi(st[4]) + std::stoi(st[6]), 256);
        EXPECT_LE(std::stoi(st[5]) + std::stoi(st[7]), 294);
      }
    }
  }
  ASSERT_LT(i, lines.size()) << "no end line";
  EXPECT_EQ(buttons, 8);
  EXPECT_EQ(absolute, 1);
  // Buttons 9 and 20 are never drawn by the engine; the set stays below them.
  EXPECT_LT(buttons, 9);
}

// The save and load screen's tables read as the game reads them, placed as the generated
// button pictures are drawn (Pictures.h): every look inside the picture and clear of the page
// digits and the empty slot, the slots where the pictures put their frames and above the
// preview at (70, 428), no two items overlapping, and the second table on the same places.
TEST(GameSources, SaveScreenTablesMatchTheGeneratedPictures) {
  using namespace zan::assetgen;
  auto read = [](const char* file, zan::DefinitionFileId id) {
    const auto text = zan::TryUtf8ToSjis(ReadText(Source(std::string("system/") + file)));
    EXPECT_TRUE(text.has_value()) << file;
    return zan::ReadButtonTable(text.value_or(""), zan::Definition(id));
  };
  const zan::ButtonTable table = read("system5-1.lib", zan::DefinitionFileId::kSaveLoad);
  const zan::ButtonTable spots = read("system5-2.lib", zan::DefinitionFileId::kSaveLoadSpots);
  ASSERT_EQ(table.Count(), 23);
  ASSERT_EQ(spots.Count(), 23);
  EXPECT_TRUE(table.problems.empty());
  EXPECT_TRUE(spots.problems.empty());
  auto overlap = [](const zan::ButtonRect& a, const zan::ButtonRect& b) {
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
  };
  const zan::ButtonRect digits{kSaveDigitsX, 0, 320, 32}, empty{kSaveEmptyX, kSaveEmptyY, 128, 96};
  const zan::ButtonRect pageNumber{557, 28, 32, 32};
  for (int item = 1; item <= 23; ++item) {
    const zan::ButtonRow& row = table.Item(item);
    EXPECT_TRUE(row.HasArea()) << item;
    EXPECT_EQ(spots.Item(item).rect.x, row.rect.x) << item;
    EXPECT_EQ(spots.Item(item).rect.y, row.rect.y) << item;
    EXPECT_FALSE(overlap(row.rect, pageNumber)) << item;
    for (int other = item + 1; other <= 23; ++other) EXPECT_FALSE(overlap(row.rect, table.Item(other).rect)) << item << " " << other;
    for (int state = 0; state < 3; ++state) {
      const zan::ButtonRect look{row.sources[state].x, row.sources[state].y, row.rect.width, row.rect.height};
      EXPECT_LE(look.x + look.width, kSaveChipW) << item;
      EXPECT_LE(look.y + look.height, kSaveChipH) << item;
      if (item < 14) {
        EXPECT_FALSE(overlap(look, digits)) << item;
        EXPECT_FALSE(overlap(look, empty)) << item;
      }
    }
  }
  EXPECT_EQ(table.Item(1).sources[0].x, kSaveNextX);
  EXPECT_EQ(table.Item(2).sources[1].x, kSavePreviousX + 40);
  EXPECT_EQ(table.Item(3).sources[2].y, kSaveBackY);
  for (int s = 0; s < 10; ++s) {
    EXPECT_EQ(table.Item(4 + s).sources[0].y, kSaveDeleteY) << s;
    const zan::ButtonRow& frame = table.Item(14 + s);
    const Box want = SaveSlotFrame(s);
    EXPECT_EQ(frame.rect.x, want.x) << s;
    EXPECT_EQ(frame.rect.y, want.y) << s;
    EXPECT_EQ(frame.rect.width, want.w) << s;
    EXPECT_EQ(frame.rect.height, want.h) << s;
    EXPECT_LT(frame.rect.y + frame.rect.height, 428) << s;
    EXPECT_EQ(frame.sources[0].x, kSaveFrameX) << s;
    EXPECT_EQ(frame.sources[0].y, kSaveFrameY) << s;
  }
}

TEST(GameSources, TablesNameExistingPicturesAndSaneVariables) {
  std::vector<std::vector<std::string>> cg = Table("dat/イベントＣＧリスト.csv", 3);
  EXPECT_FALSE(cg.empty());
  for (const auto& row : cg) EXPECT_TRUE(PictureExists(row[0])) << row[0];
  for (const auto& row : Table("dat/iconlist.csv", 1)) EXPECT_TRUE(PictureExists(row.at(2))) << row[2];
  for (const auto& row : Table("dat/variable.csv", 1)) {
    SCOPED_TRACE(row.at(1));
    EXPECT_LE(SjisSize(row[1]), 31u);
    if (row[0] == "STR") continue;
    ASSERT_EQ(row.size(), 5u);
    int init = std::stoi(row[2]), lo = std::stoi(row[3]), hi = std::stoi(row[4]);
    EXPECT_LE(lo, init);
    EXPECT_LE(init, hi);
  }
}

}  // namespace

namespace {

std::vector<uint8_t> StagedBytes(const std::string& relative) {
  std::string s = ReadText(fs::path(ZAN_DEMO_STAGE_DIR) / U8Path(relative));
  return {s.begin(), s.end()};
}

bool Sounds(const std::vector<uint8_t>& pcm) {
  for (size_t i = 0; i + 1 < pcm.size(); i += 2)
    if (std::abs(static_cast<int16_t>(pcm[i] | pcm[i + 1] << 8)) > 300) return true;
  return false;
}

// Every sound the scripts play, opened the way the engine's channels open them (as a
// stream: the Ogg decoder first, then the decoder for MP3 and WAVE).
TEST(GameSources, EverySoundOpensAsTheEngineStreamsIt) {
  std::set<std::string> played;
  for (const auto& [key, sc] : Scripts())
    for (const Element& e : sc.elements)
      if (e.tag && (Lower(e.name) == "soundplay" || Lower(e.name) == "soundload")) played.insert(Arg(e, 1));
  ASSERT_GE(played.size(), 10u);
  for (const std::string& name : played) {
    SCOPED_TRACE(name);
    std::vector<uint8_t> file = StagedBytes("snd/" + name);
    ASSERT_FALSE(file.empty());
    // The first quarter of a second (the footsteps begin after 0.15 s).
    std::vector<uint8_t> pcm;
    zan::OggVorbisDecoder ogg;
    if (ogg.Open(file.data(), static_cast<uint32_t>(file.size())) == zan::OggResult::kOk) {
      EXPECT_EQ(ogg.PcmFormat().samplesPerSec, 44100u);
      pcm.resize(ogg.PcmFormat().blockAlign * 11025u);
      EXPECT_NE(ogg.Fill(pcm.data(), static_cast<uint32_t>(pcm.size()), 0), zan::FillResult::kEnded);
    } else {
      zan::Mp3Decoder mp3;
      ASSERT_EQ(mp3.Open(file.data(), static_cast<uint32_t>(file.size())), zan::Mp3Result::kOk);
      EXPECT_EQ(mp3.PcmFormat().samplesPerSec, 44100u);
      pcm.resize(mp3.PcmFormat().blockAlign * 11025u);
      EXPECT_NE(mp3.CopyPcm(pcm.data(), static_cast<uint32_t>(pcm.size()), 0), zan::FillResult::kEnded);
    }
    EXPECT_TRUE(Sounds(pcm)) << "silent";
  }
}

}  // namespace
