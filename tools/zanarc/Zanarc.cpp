#include "zanarc/Zanarc.h"

#include <filesystem>
#include <iomanip>
#include <optional>

#include "base/ByteReader.h"
#include "base/DiagnosticLog.h"
#include "base/ShiftJis.h"
#include "data/Archive.h"
#include "data/DefinitionFiles.h"
#include "data/LibScramble.h"
#include "data/TextFields.h"
#include "platform/Files.h"
#include "script/SaveFile.h"
#include "zanarc/ArchiveWriter.h"
#include "zanarc/LibShow.h"

namespace zan {
namespace {

namespace fs = std::filesystem;

constexpr int kOk = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;

struct Arguments {
  std::string command;
  std::optional<std::string> key;
  bool store = false;
  bool compress = false;
  std::optional<std::string> outDir;
  std::optional<std::string> as;
  std::vector<std::string> positional;
};

struct Context {
  std::ostream& out;
  std::ostream& err;
  int Fail(const std::string& message, int code = kFailed) {
    err << "zanarc: " << message << "\n";
    return code;
  }
};

std::optional<Arguments> Parse(const std::vector<std::string>& args, Context& c) {
  Arguments a;
  a.command = args.front();
  bool optionsEnded = false;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto value = [&]() -> std::optional<std::string> {
      if (i + 1 >= args.size()) {
        c.Fail(arg + " needs a value", kUsage);
        return std::nullopt;
      }
      return args[++i];
    };
    if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
      a.positional.push_back(arg);
    } else if (arg == "--") {
      optionsEnded = true;
    } else if (arg == "--key") {
      if (!(a.key = value())) return std::nullopt;
    } else if (arg == "--store") {
      a.store = true;
    } else if (arg == "--compress") {
      a.compress = true;
    } else if (arg == "-o") {
      if (!(a.outDir = value())) return std::nullopt;
    } else if (arg == "--as") {
      if (!(a.as = value())) return std::nullopt;
    } else {
      c.Fail("unknown option " + arg + " (see zanarc --help)", kUsage);
      return std::nullopt;
    }
  }
  const bool packOnly = a.store || a.compress;
  const bool extractOnly = a.outDir.has_value();
  const bool keyed = a.command == "pack" || a.command == "list" || a.command == "extract" ||
                     a.command == "verify";
  if ((packOnly && a.command != "pack") || (extractOnly && a.command != "extract") ||
      (a.key && !keyed) || (a.as && a.command != "lib-show")) {
    c.Fail("an option does not apply to " + a.command + " (see zanarc --help)", kUsage);
    return std::nullopt;
  }
  if (a.store && a.compress) {
    c.Fail("--store and --compress exclude each other", kUsage);
    return std::nullopt;
  }
  return a;
}

// The key given, else the one of the archive's slot.
std::optional<std::string> KeyFor(const Arguments& a, const std::string& archive, Context& c) {
  if (a.key) {
    if (Status ok = CheckArchiveKey(*a.key); !ok) {
      c.Fail(ok.error().message, kUsage);
      return std::nullopt;
    }
    return a.key;
  }
  const std::string fileName = fs::path(archive).filename().string();
  auto key = DefaultArchiveKey(fileName);
  if (!key) c.Fail("no default key for " + fileName + ": give --key", kUsage);
  return key;
}

std::string Utf8Name(const IndexEntry& entry) { return SjisToUtf8(CText(entry.name)); }

// Loads the archive named by the first positional argument.
std::optional<Archive> OpenFor(const Arguments& a, Context& c, int* code) {
  *code = kUsage;
  if (a.positional.empty()) {
    c.Fail(a.command + " needs an archive (see zanarc --help)", kUsage);
    return std::nullopt;
  }
  auto key = KeyFor(a, a.positional[0], c);
  if (!key) return std::nullopt;
  Archive archive;
  archive.SetKey(*key);
  if (Status s = archive.Load(a.positional[0]); !s) {
    *code = c.Fail(s.error().message);
    return std::nullopt;
  }
  *code = kOk;
  return archive;
}

int Pack(const Arguments& a, Context& c) {
  if (a.positional.empty()) return c.Fail("pack needs OUT.arc and the files", kUsage);
  const std::string& target = a.positional[0];
  auto key = KeyFor(a, target, c);
  if (!key) return kUsage;
  std::vector<ArchiveInput> files;
  uint64_t total = 0;
  for (size_t i = 1; i < a.positional.size(); ++i) {
    const std::string& path = a.positional[i];
    const std::string name = fs::path(path).filename().string();
    auto sjis = TryUtf8ToSjis(name);
    if (!sjis) return c.Fail(path + ": the name has no Shift-JIS form");
    if (sjis->size() >= kArchiveNameSize) {
      return c.Fail(path + ": the name is " + std::to_string(sjis->size()) +
                    " bytes in Shift-JIS; at most 31 fit in an archive");
    }
    auto bytes = ReadWholeFile(path);
    if (!bytes) return c.Fail(bytes.error().message);
    if (bytes->empty()) c.err << "zanarc: warning: " << path << " is empty; the game reads it as absent\n";
    total += bytes->size();
    files.push_back({std::move(*sjis), std::move(*bytes)});
  }
  const BodyForm form = a.store ? BodyForm::kStored
                        : a.compress ? BodyForm::kCompressed
                                     : BodyForm::kSmaller;
  auto archive = BuildArchive(files, *key, form);
  if (!archive) return c.Fail(archive.error().message);
  if (Status s = WriteFileAtomic(target, *archive); !s) return c.Fail(s.error().message);
  const bool compressed = LoadU32(archive->data() + 4) != 0;
  c.out << target << ": " << files.size() << " files, " << total << " bytes packed into "
        << archive->size() << (compressed ? " (compressed)\n" : " (stored)\n");
  return kOk;
}

int List(const Arguments& a, Context& c) {
  int code;
  auto archive = OpenFor(a, c, &code);
  if (!archive) return code;
  c.out << std::setw(10) << "unpacked" << std::setw(11) << "stored" << std::setw(11) << "offset"
        << "  name\n";
  uint64_t unpacked = 0;
  size_t files = 0;
  archive->ForEachEntry([&](const IndexEntry& e, uint32_t) {
    c.out << std::setw(10) << e.unpackedSize << std::setw(11) << e.storedSize << std::setw(11)
          << e.offset << "  " << Utf8Name(e) << (e.storedSize == 0 ? "  (absent)" : "") << "\n";
    unpacked += e.unpackedSize;
    ++files;
  });
  c.out << files << " names (" << archive->EntryCount() << " index records), " << unpacked
        << " bytes unpacked, " << (archive->CompressionFlag() ? "compressed" : "stored") << "\n";
  return kOk;
}

// The name as a file name in the target folder, or why it cannot be one.
Result<std::string> SafeFileName(const IndexEntry& entry) {
  const std::string_view sjis = CText(entry.name);
  const std::string utf8 = SjisToUtf8(sjis);
  if (TryUtf8ToSjis(utf8) != std::optional<std::string>(sjis)) {
    return MakeError(utf8 + ": the name is not valid Shift-JIS");
  }
  if (utf8.empty() || utf8 == "." || utf8 == ".." || utf8.find('/') != std::string::npos ||
      utf8.find('\\') != std::string::npos) {
    return MakeError(utf8 + ": not usable as a file name");
  }
  return utf8;
}

int Extract(const Arguments& a, Context& c) {
  int code;
  auto archive = OpenFor(a, c, &code);
  if (!archive) return code;
  const std::string folder = a.outDir.value_or(".");
  if (!CreateFolder(folder)) return c.Fail("cannot create " + folder);

  std::vector<const IndexEntry*> chosen;
  int result = kOk;
  if (a.positional.size() > 1) {
    for (size_t i = 1; i < a.positional.size(); ++i) {
      auto sjis = TryUtf8ToSjis(a.positional[i]);
      const IndexEntry* entry = sjis ? archive->FindEntry(*sjis) : nullptr;
      if (!entry) {
        result = c.Fail(a.positional[i] + ": not in the archive (or damaged)");
        continue;
      }
      chosen.push_back(entry);
    }
  } else {
    archive->ForEachEntry([&](const IndexEntry& e, uint32_t) {
      if (e.storedSize == 0) return;
      if (const IndexEntry* found = archive->FindEntry(CText(e.name))) {
        chosen.push_back(found);
      } else {
        result = c.Fail(Utf8Name(e) + ": damaged; " + archive->CheckEntry(e).error().message);
      }
    });
  }
  for (const IndexEntry* entry : chosen) {
    auto name = SafeFileName(*entry);
    if (!name) {
      result = c.Fail(name.error().message);
      continue;
    }
    std::vector<uint8_t> bytes(entry->unpackedSize);
    if (Status s = archive->ReadIndexEntry(*entry, bytes); !s) {
      result = c.Fail(s.error().message);
      continue;
    }
    if (Status s = WriteFileAtomic(JoinPath(folder, *name), bytes); !s) {
      result = c.Fail(s.error().message);
      continue;
    }
    c.out << *name << "\n";
  }
  return result;
}

int Verify(const Arguments& a, Context& c) {
  int code;
  auto archive = OpenFor(a, c, &code);
  if (!archive) return code;
  size_t files = 0;
  size_t damaged = 0;
  archive->ForEachEntry([&](const IndexEntry& e, uint32_t) {
    if (e.storedSize == 0) return;
    ++files;
    std::vector<uint8_t> bytes;
    Status s = archive->CheckEntry(e);
    if (s) {
      bytes.resize(e.unpackedSize);
      s = archive->ReadIndexEntry(e, bytes);
    }
    if (!s) {
      ++damaged;
      c.err << "zanarc: damaged: " << s.error().message << "\n";
    }
  });
  const std::string& path = a.positional[0];
  if (damaged != 0) {
    return c.Fail(path + ": " + std::to_string(damaged) + " of " + std::to_string(files) +
                  " files damaged");
  }
  c.out << path << ": " << files << " files ok\n";
  return kOk;
}

int Lib(const Arguments& a, Context& c, bool encode) {
  if (a.positional.size() != 2) return c.Fail(a.command + " needs IN and OUT", kUsage);
  const std::string& in = a.positional[0];
  const std::string& out = a.positional[1];
  std::error_code ec;
  if (in == out || fs::equivalent(in, out, ec)) return c.Fail("IN and OUT are the same file", kUsage);
  auto bytes = ReadWholeFile(in);
  if (!bytes) return c.Fail(bytes.error().message);
  if (encode) {
    ScrambleLib(*bytes, LibKey());
  } else {
    UnscrambleLib(*bytes, LibKey());
  }
  if (Status s = WriteFileAtomic(out, *bytes); !s) return c.Fail(s.error().message);
  return kOk;
}

int LibShow(const Arguments& a, Context& c) {
  if (a.positional.size() != 1) return c.Fail("lib-show needs one FILE", kUsage);
  if (a.as && !FindDefinitionFile(*a.as)) {
    return c.Fail(*a.as + " is not the name of a definition file (see zanarc --help)", kUsage);
  }
  const std::string& path = a.positional[0];
  auto bytes = ReadWholeFile(path);
  if (!bytes) return c.Fail(bytes.error().message);
  return ShowDefinitionFile(a.as.value_or(fs::path(path).filename().string()), *bytes, c.out, c.err);
}

int SaveInfo(const Arguments& a, Context& c) {
  if (a.positional.size() != 1) return c.Fail("save-info needs one FILE", kUsage);
  const std::string& path = a.positional[0];
  auto bytes = ReadWholeFile(path);
  if (!bytes) return c.Fail(bytes.error().message);
  auto save = DecodeSaveFile(*bytes);
  if (!save) return c.Fail(path + " is not a valid save: " + save.error().message);
  const SaveFile& s = *save;
  int32_t sounding = 0;
  for (const SoundChannelRecord& r : s.sounds) sounding += r.file.empty() ? 0 : 1;
  c.out << "date: " << s.time.Text() << "\n"
        << "scene: " << SjisToUtf8(s.scene) << "\n"
        << "script: " << SjisToUtf8(s.script) << "\n"
        << "position: " << s.readPosition << "\n"
        << "calls: " << s.calls.size() << "\n"
        << "choice open: " << (s.choice.open ? "yes" : "no") << ", mask choice open: " << (s.mask.open ? "yes" : "no")
        << "\n"
        << "message area: " << s.currentArea << "\n"
        << "image slots: " << s.slots.size() << "\n"
        << "zoom windows: " << s.zooms.size() << "\n"
        << "sound channels with a file: " << sounding << " of " << s.sounds.size() << "\n"
        << "integer variables: " << s.ints.size() << "\n"
        << "string variables: " << s.strings.size() << "\n"
        << "page text:\n";
  // The page's lines, each indented.
  std::string page = SjisToUtf8(s.pageText);
  for (size_t at = 0; (at = page.find("\r\n", at)) != std::string::npos; at += 3) page.replace(at, 2, "\n  ");
  c.out << "  " << page << "\n";
  return kOk;
}

}  // namespace

std::string ZanarcHelp() {
  return R"(zanarc: packs and inspects the game's archives (.arc) and definition files (.lib),
and shows what a save file holds

usage:
  zanarc pack [--key K] [--store|--compress] OUT.arc FILE...
      Packs the files under their own names: UTF-8 on disk, stored as Shift-JIS, at most
      31 bytes. An archive compresses all its bodies with LZSS or none: by default they
      are compressed unless that makes them larger in all (files compressed already, such
      as Ogg, MP3, PNG or MPEG, grow under LZSS); --store and --compress decide instead.
      OUT.arc is written to a temporary file and renamed, so a failed pack leaves any old
      archive in place.
  zanarc list [--key K] ARC
      Lists the index: unpacked size, stored size, body offset and name.
  zanarc extract [--key K] ARC [NAME...] [-o DIR]
      Writes every file (or the NAMEs, matched ignoring ASCII case) into DIR (default:
      the current folder) under its name in UTF-8.
  zanarc verify [--key K] ARC
      Reads and decodes every file; reports each damaged one and exits 1 if any is.
  zanarc lib-encode IN OUT
  zanarc lib-decode IN OUT
      Scrambles a definition file as the game stores it, or unscrambles it (every byte
      shifted by the first byte of the key "ぬらり" in Shift-JIS). IN and OUT must differ.
  zanarc lib-show [--as NAME] FILE
      Prints the rows of a definition file with their meaning: the items of a screen's
      button table (rectangle, picture sources of each state, what the item does), the
      pictures and buttons of system1.lib, the action of each input of system2.lib; then
      every problem with its line, row and field (a field that is not a number, a row
      of the wrong length, a row the screen never reads, a name that is no action...).
      The file's name chooses how it is read (system1.lib, system2.lib, system3-1.lib,
      system4.lib, system5-1.lib, system5-2.lib, system6-1.lib ... system6-4.lib);
      --as NAME reads it as that file. FILE may be scrambled (from the archive),
      unscrambled Shift-JIS, or a UTF-8 game source. Exits 1 when it has problems.
  zanarc save-info FILE
      Prints a save file's header: the date, the scene name, the script and the place in
      it, the counts of calls, image slots, zoom windows, sound channels and variables,
      and the page text. A file that is not a valid save is named with the exact reason
      (its size against the counts it states, a count out of range, a name without its
      terminator...) and exits 1.
  zanarc --help

The key defaults from the archive's file name: msg.arc, gra.arc, snd.arc, dat.arc and
gra2.arc take "Rod7Q", system.arc takes "plume"; other names need --key.

exit status: 0 done, 1 failed (unreadable input, damage found), 2 bad command line.
)";
}

int RunZanarc(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  Context c{out, err};
  if (args.empty()) {
    err << ZanarcHelp();
    return kUsage;
  }
  if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    out << ZanarcHelp();
    return kOk;
  }
  auto parsed = Parse(args, c);
  if (!parsed) return kUsage;
  // Reasons come back to this tool; the framework log would repeat them.
  Diagnostics().SetEcho(false);
  const Arguments& a = *parsed;
  if (a.command == "pack") return Pack(a, c);
  if (a.command == "list") return List(a, c);
  if (a.command == "extract") return Extract(a, c);
  if (a.command == "verify") return Verify(a, c);
  if (a.command == "lib-encode") return Lib(a, c, true);
  if (a.command == "lib-decode") return Lib(a, c, false);
  if (a.command == "lib-show") return LibShow(a, c);
  if (a.command == "save-info") return SaveInfo(a, c);
  return c.Fail("unknown command " + a.command + " (see zanarc --help)", kUsage);
}

}  // namespace zan
