#include "zanarc/LzssEncoder.h"

#include <algorithm>
#include <cstring>

#include "data/Lzss.h"

namespace zan {
namespace {

constexpr size_t kWindow = kLzssRingSize;
constexpr int kHashBits = 15;
constexpr uint32_t kHashMask = (1u << kHashBits) - 1;
constexpr size_t kChainSlots = 2 * kWindow;  // positions within a window never share a slot
constexpr int kMaxChain = 96;                // candidates looked at per position

struct Match {
  size_t length = 0;
  size_t from = 0;
};

// Works on the window's initial zeros followed by the input, so position p of this buffer
// is ring slot (0xFEE + p) & 0xFFF.
class Encoder {
 public:
  explicit Encoder(std::span<const uint8_t> input) : buffer_(kWindow + input.size(), 0) {
    std::memcpy(buffer_.data() + kWindow, input.data(), input.size());
    head_.assign(size_t{1} << kHashBits, -1);
    prev_.assign(kChainSlots, -1);
  }

  std::vector<uint8_t> Run() {
    const size_t end = buffer_.size();
    // The zeros the ring starts with can be matched like earlier output.
    for (size_t p = 0; p < kWindow; ++p) Insert(p);

    size_t pos = kWindow;
    Match next = Find(pos);
    while (pos < end) {
      Match here = next;
      if (here.length >= kLzssMinMatch && here.length < kLzssMaxMatch && pos + 1 < end) {
        Insert(pos);
        next = Find(pos + 1);
        if (next.length > here.length) {
          // A longer match starts one byte later: emit this byte as a literal.
          Literal(buffer_[pos]);
          ++pos;
          continue;
        }
        EmitMatch(here);
        for (size_t p = pos + 1; p < pos + here.length; ++p) Insert(p);
        pos += here.length;
      } else if (here.length >= kLzssMinMatch) {
        EmitMatch(here);
        for (size_t p = pos; p < pos + here.length; ++p) Insert(p);
        pos += here.length;
      } else {
        Literal(buffer_[pos]);
        Insert(pos);
        ++pos;
      }
      if (pos < end) next = Find(pos);
    }
    return std::move(out_);
  }

 private:
  uint32_t Hash(size_t p) const {
    return ((uint32_t{buffer_[p]} << 10) ^ (uint32_t{buffer_[p + 1]} << 5) ^ buffer_[p + 2]) &
           kHashMask;
  }

  void Insert(size_t p) {
    if (p + kLzssMinMatch > buffer_.size()) return;
    uint32_t h = Hash(p);
    prev_[p % kChainSlots] = head_[h];
    head_[h] = static_cast<int64_t>(p);
  }

  Match Find(size_t pos) const {
    Match best;
    const size_t limit = std::min<size_t>(kLzssMaxMatch, buffer_.size() - pos);
    if (limit < kLzssMinMatch) return best;
    const uint8_t* here = buffer_.data() + pos;
    int64_t candidate = head_[Hash(pos)];
    for (int chain = 0; chain < kMaxChain && candidate >= 0; ++chain) {
      const auto from = static_cast<size_t>(candidate);
      // Distances 1 to 4096 are reachable in the ring; chains only get older.
      if (from >= pos || pos - from > kWindow) break;
      const uint8_t* there = buffer_.data() + from;
      // best.length < limit here, so this byte is inside both strings.
      if (there[best.length] == here[best.length]) {
        size_t n = 0;
        while (n < limit && there[n] == here[n]) ++n;
        if (n > best.length) {
          best = {n, from};
          if (n == limit) break;
        }
      }
      const int64_t older = prev_[from % kChainSlots];
      if (older >= candidate) break;  // the slot was reused by a newer position
      candidate = older;
    }
    if (best.length < kLzssMinMatch) best.length = 0;
    return best;
  }

  void StartToken(bool literal) {
    if (bit_ == 8) {
      flagAt_ = out_.size();
      out_.push_back(0);
      bit_ = 0;
    }
    if (literal) out_[flagAt_] = static_cast<uint8_t>(out_[flagAt_] | (1u << bit_));
    ++bit_;
  }

  void Literal(uint8_t c) {
    StartToken(true);
    out_.push_back(c);
  }

  void EmitMatch(const Match& m) {
    StartToken(false);
    const uint32_t ring = static_cast<uint32_t>((kLzssRingStart + m.from) & 0xFFF);
    out_.push_back(static_cast<uint8_t>(ring & 0xFF));
    out_.push_back(static_cast<uint8_t>(((ring >> 4) & 0xF0) | (m.length - kLzssMinMatch)));
  }

  std::vector<uint8_t> buffer_;
  std::vector<int64_t> head_;
  std::vector<int64_t> prev_;
  std::vector<uint8_t> out_;
  size_t flagAt_ = 0;
  int bit_ = 8;
};

}  // namespace

std::vector<uint8_t> LzssEncode(std::span<const uint8_t> input) {
  if (input.empty()) return {};
  return Encoder(input).Run();
}

}  // namespace zan
