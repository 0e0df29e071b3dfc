#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/VirtualClock.h"
#include "platform/headless/HeadlessAudioOut.h"

namespace zan {
namespace {

TEST(HeadlessAudioOutTest, OpenAnswersWhetherItOpenedAndASecondOpenChangesNothing) {
  VirtualClock clock;
  HeadlessAudioOut out(clock);
  int first = 0, second = 0;
  EXPECT_EQ(out.Open([&](int16_t*, size_t frames) { first += static_cast<int>(frames); }),
            AudioOpenResult::kOpened);
  EXPECT_EQ(out.Open([&](int16_t*, size_t frames) { second += static_cast<int>(frames); }),
            AudioOpenResult::kAlreadyOpen);
  clock.Sleep(100);  // 100 ms at 44100 frames a second
  EXPECT_EQ(first, 4410);
  EXPECT_EQ(second, 0);
  out.Close();
  EXPECT_EQ(out.Open([](int16_t*, size_t) {}), AudioOpenResult::kOpened);  // open again
}

TEST(AudioOpenResultTest, EveryResultHasItsOwnName) {
  const std::vector<AudioOpenResult> all = {AudioOpenResult::kOpened, AudioOpenResult::kNoAudioSystem,
                                            AudioOpenResult::kNoDevice, AudioOpenResult::kAlreadyOpen};
  for (size_t i = 0; i < all.size(); ++i) {
    for (size_t j = i + 1; j < all.size(); ++j)
      EXPECT_STRNE(AudioOpenResultName(all[i]), AudioOpenResultName(all[j]));
  }
}

}  // namespace
}  // namespace zan
