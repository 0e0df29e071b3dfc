// Game data benchmarks: LZSS decoding throughput (bytes of output per second) on
// script-like text and BMP-like pictures, the plain ring decoder as the reference, the
// encoder, and an archive open followed by 10,000 name lookups.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <unistd.h>

#include "TestArchiveWriter.h"
#include "base/DiagnosticLog.h"
#include "data/Archive.h"
#include "data/Lzss.h"
#include "zanarc/ArchiveWriter.h"
#include "zanarc/LzssEncoder.h"

namespace {

using Bytes = std::vector<uint8_t>;

const Bytes& Input(int kind) {
  static const Bytes text = zan::testing::ScriptLikeText(4 << 20, 1);   // 4 MiB
  static const Bytes bmp = zan::testing::BmpLikeData(1024, 1024, 2);  // 3 MiB
  return kind == 0 ? text : bmp;
}

const Bytes& Packed(int kind) {
  static const Bytes text = zan::LzssEncode(Input(0));
  static const Bytes bmp = zan::LzssEncode(Input(1));
  return kind == 0 ? text : bmp;
}

template <bool (*Decode)(std::span<const uint8_t>, std::span<uint8_t>)>
void Decoding(benchmark::State& state) {
  const int kind = static_cast<int>(state.range(0));
  const Bytes& packed = Packed(kind);
  Bytes out(Input(kind).size());
  for (auto _ : state) {
    bool ok = Decode(packed, out);
    benchmark::DoNotOptimize(ok);
    benchmark::DoNotOptimize(out.data());
  }
  if (out != Input(kind)) state.SkipWithError("decoded bytes differ");
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * out.size()));
  state.SetLabel(std::string(kind == 0 ? "script text" : "BMP") + ", packed to " +
                 std::to_string(packed.size() * 100 / out.size()) + "%");
}

void BM_LzssDecode(benchmark::State& state) { Decoding<zan::LzssDecode>(state); }
void BM_LzssDecodeReference(benchmark::State& state) { Decoding<zan::LzssDecodeReference>(state); }
BENCHMARK(BM_LzssDecode)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LzssDecodeReference)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_LzssEncode(benchmark::State& state) {
  const Bytes& input = Input(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(zan::LzssEncode(input));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * input.size()));
}
BENCHMARK(BM_LzssEncode)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// An archive of 2,000 small files, opened and asked for 10,000 names (a tenth absent,
// half in upper case) per iteration.
void BM_ArchiveOpenAndLookups(benchmark::State& state) {
  const std::string path = (std::filesystem::temp_directory_path() /
                            ("zan_bench_" + std::to_string(::getpid()) + "_msg.arc")).string();
  std::vector<zan::ArchiveInput> files;
  for (int i = 0; i < 2000; ++i) files.push_back({"file" + std::to_string(i) + ".txt", {1, 2, 3}});
  if (!zan::WriteArchive(path, files, "Rod7Q", zan::BodyForm::kCompressed)) {
    state.SkipWithError("cannot write the archive");
    return;
  }
  std::vector<std::string> requests;
  for (int i = 0; i < 10000; ++i) {
    std::string name = "file" + std::to_string((i * 7919) % 2200) + ".txt";
    if (i % 2) name = "FILE" + name.substr(4);
    requests.push_back(name);
  }
  int found = 0;
  for (auto _ : state) {
    zan::Archive archive;
    archive.SetKey("Rod7Q");
    archive.OpenArchive(path);
    for (const std::string& name : requests) found += archive.FindEntry(name) != nullptr;
  }
  benchmark::DoNotOptimize(found);
  std::filesystem::remove(path);
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * requests.size()));
}
BENCHMARK(BM_ArchiveOpenAndLookups)->Unit(benchmark::kMillisecond);

}  // namespace
