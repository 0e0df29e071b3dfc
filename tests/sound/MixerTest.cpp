// The device's mixer: the volume and pan laws, saturation, resampling and cursors.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "platform/VirtualClock.h"
#include "sound/SoundDevice.h"

namespace zan {
namespace {

// A static buffer holding `frames` frames of the constant `value` (16-bit, mono or stereo).
std::unique_ptr<DeviceSoundBuffer> Constant(SoundDevice& device, int16_t value, uint16_t channels,
                                        uint32_t rate = 44100, uint32_t frames = 1000) {
  std::unique_ptr<DeviceSoundBuffer> b;
  const WaveFormat f = MakePcmFormat(channels, rate);
  EXPECT_EQ(device.CreateSoundBuffer(buffer_control::kVolume | buffer_control::kPan, f, frames * f.blockAlign, &b), DeviceResult::kOk);
  uint8_t *p1, *p2;
  uint32_t n1, n2;
  EXPECT_EQ(b->Lock(0, b->Size(), &p1, &n1, &p2, &n2), DeviceResult::kOk);
  for (uint32_t i = 0; i < n1 / 2; ++i) std::memcpy(p1 + 2 * i, &value, 2);
  EXPECT_EQ(b->Unlock(p1, n1, p2, n2), DeviceResult::kOk);
  return b;
}

TEST(MixerTest, VolumeAndPanLaws) {
  VirtualClock clock;
  auto device = SoundDevice::Create(clock);
  auto b = Constant(*device, 10000, 1);
  b->Play(true);
  int16_t out[2 * 16];
  struct Case {
    int32_t volume, pan;
    double left, right;  // expected amplitude factors
  };
  const Case cases[] = {
      {0, 0, 1, 1},
      {-600, 0, std::pow(10, -0.3), std::pow(10, -0.3)},
      {-2000, 0, 0.1, 0.1},
      {-10000, 0, 0, 0},
      {0, -10000, 1, 0},        // full left
      {0, 10000, 0, 1},         // full right
      {0, 2000, 0.1, 1},        // right: the left side 20 dB down
      {-600, -1000, std::pow(10, -0.3), std::pow(10, -0.8)},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(b->SetVolume(c.volume), DeviceResult::kOk);
    ASSERT_EQ(b->SetPan(c.pan), DeviceResult::kOk);
    device->Mix(out, 16);
    EXPECT_NEAR(out[30], 10000 * c.left, 1) << c.volume << " " << c.pan;
    EXPECT_NEAR(out[31], 10000 * c.right, 1) << c.volume << " " << c.pan;
  }
  EXPECT_EQ(b->SetVolume(1), DeviceResult::kInvalidArgument);
  EXPECT_EQ(b->SetVolume(-10001), DeviceResult::kInvalidArgument);
  EXPECT_EQ(b->SetPan(10001), DeviceResult::kInvalidArgument);
}

TEST(MixerTest, SumsSaturateAnd8BitIsCentred) {
  VirtualClock clock;
  auto device = SoundDevice::Create(clock);
  auto a = Constant(*device, 30000, 2);
  auto b = Constant(*device, 30000, 2);
  auto c = Constant(*device, -30000, 1);
  a->Play(true);
  b->Play(true);
  int16_t out[8];
  device->Mix(out, 4);
  EXPECT_EQ(out[6], 32767);
  a->Stop();
  b->Stop();
  auto d = Constant(*device, -30000, 1);
  c->Play(true);
  d->Play(true);
  device->Mix(out, 4);
  EXPECT_EQ(out[7], -32768);
  c->Stop();
  d->Stop();
  // 8-bit samples: 0x80 is silence, 0xC0 is +16384.
  std::unique_ptr<DeviceSoundBuffer> e;
  ASSERT_EQ(device->CreateSoundBuffer(buffer_control::kVolume, MakePcmFormat(1, 44100, 8), 100, &e), DeviceResult::kOk);
  uint8_t *p1, *p2;
  uint32_t n1, n2;
  ASSERT_EQ(e->Lock(0, 100, &p1, &n1, &p2, &n2), DeviceResult::kOk);
  std::memset(p1, 0xC0, n1);
  e->Unlock(p1, n1, p2, n2);
  e->Play(true);
  device->Mix(out, 4);
  EXPECT_EQ(out[0], 16384);
  EXPECT_EQ(out[1], 16384);
}

TEST(MixerTest, CursorsWrapLockRegionsAndANonLoopingBufferStopsAtItsEnd) {
  VirtualClock clock;
  auto device = SoundDevice::Create(clock);
  auto b = Constant(*device, 1000, 2, 22050, 1000);  // half rate: two outputs per frame
  uint32_t play, write;
  b->GetCurrentPosition(&play, &write);
  EXPECT_EQ(play, 0u);
  EXPECT_EQ(write, 0u);
  b->Play(true);
  std::vector<int16_t> out(2 * 1200);
  device->Mix(out.data(), 1200);
  b->GetCurrentPosition(&play, &write);
  EXPECT_EQ(play, 600u * 4);
  EXPECT_EQ(write, (600u + 220) * 4);  // 10 ms ahead while playing
  device->Mix(out.data(), 1200);  // 1200 frames of the source: wrapped once
  b->GetCurrentPosition(&play, &write);
  EXPECT_EQ(play, 200u * 4);
  // A span that wraps comes as two regions.
  uint8_t *p1, *p2;
  uint32_t n1, n2;
  ASSERT_EQ(b->Lock(3900, 200, &p1, &n1, &p2, &n2), DeviceResult::kOk);
  EXPECT_EQ(n1, 100u);
  EXPECT_EQ(n2, 100u);
  EXPECT_EQ(b->Unlock(p1, n1, p2, n2), DeviceResult::kOk);
  EXPECT_EQ(b->Lock(4000, 4, &p1, &n1, &p2, &n2), DeviceResult::kInvalidArgument);
  // Played once, the buffer stops at its end and rests silent.
  b->Stop();
  b->SetCurrentPosition(0);
  b->Play(false);
  std::vector<int16_t> once(2 * 2100);
  device->Mix(once.data(), 2100);
  EXPECT_FALSE(b->IsPlaying());
  EXPECT_EQ(once[2 * 1990], 1000);
  EXPECT_EQ(once[2 * 2050], 0);
}

TEST(MixerTest, FormatsTheDeviceRefuses) {
  VirtualClock clock;
  auto device = SoundDevice::Create(clock);
  std::unique_ptr<DeviceSoundBuffer> b;
  WaveFormat f = MakePcmFormat(6, 44100);
  EXPECT_EQ(device->CreateSoundBuffer(buffer_control::kVolume, f, 4800, &b), DeviceResult::kBadFormat);
  f = MakePcmFormat(2, 44100, 24);
  EXPECT_EQ(device->CreateSoundBuffer(buffer_control::kVolume, f, 4800, &b), DeviceResult::kBadFormat);
  f = MakePcmFormat(2, 50);
  EXPECT_EQ(device->CreateSoundBuffer(buffer_control::kVolume, f, 4800, &b), DeviceResult::kBadFormat);
  f = MakePcmFormat(2, 44100);
  EXPECT_EQ(device->CreateSoundBuffer(buffer_control::kVolume, f, 2, &b), DeviceResult::kInvalidArgument);
  device->SetRefusedFlags(buffer_control::kPan);
  EXPECT_EQ(device->CreateSoundBuffer(buffer_control::kVolume | buffer_control::kPan, f, 4800, &b), DeviceResult::kControlUnavailable);
  EXPECT_EQ(device->CreateSoundBuffer(buffer_control::kVolume, f, 4800, &b), DeviceResult::kOk);
  EXPECT_EQ(b->SetPan(100), DeviceResult::kControlUnavailable);
  EXPECT_EQ(device->BufferCount(), 1u);
  b.reset();
  EXPECT_EQ(device->BufferCount(), 0u);
}

}  // namespace
}  // namespace zan
