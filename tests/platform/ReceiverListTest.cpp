#include "platform/ReceiverList.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace zan {
namespace {

// A receiver that records what it saw and answers a fixed result.
class Recorder : public EventReceiver {
 public:
  Recorder(std::string name, std::vector<std::string>* log, int32_t answer = 0)
      : EventReceiver(std::move(name)), log_(log), answer_(answer) {}
  int32_t HandleMessage(const WindowMessage&) override {
    log_->push_back(Name());
    if (onMessage) onMessage();
    return answer_;
  }
  std::function<void()> onMessage;

 private:
  std::vector<std::string>* log_;
  int32_t answer_;
};

const WindowMessage kMove{WM_MOUSEMOVE, 0, 0};

TEST(ListenerListTest, OffersInRegistrationOrderUntilOneAnswers) {
  std::vector<std::string> log;
  Recorder a("a", &log), b("b", &log, 7), c("c", &log);
  ReceiverList list;
  list.RegisterReceiver(&a);
  list.RegisterReceiver(&b);
  list.RegisterReceiver(&c);
  bool defaulted = false;
  EXPECT_EQ(list.OfferMessage(kMove, [&](const WindowMessage&) {
    defaulted = true;
    return 99;
  }), 7);
  EXPECT_EQ(log, (std::vector<std::string>{"a", "b"}));
  EXPECT_FALSE(defaulted);
}

TEST(ListenerListTest, UnansweredMessageGetsTheDefaultHandling) {
  std::vector<std::string> log;
  Recorder a("a", &log);
  ReceiverList list;
  list.RegisterReceiver(&a);
  EXPECT_EQ(list.OfferMessage(kMove, [](const WindowMessage&) { return 5; }), 5);
}

TEST(ListenerListTest, RemovedReceiversAreSkippedPurgedAndCanComeBack) {
  std::vector<std::string> log;
  Recorder a("a", &log), b("b", &log);
  ReceiverList list;
  list.RegisterReceiver(&a);
  list.RegisterReceiver(&b);
  a.MarkRemoved();
  list.OfferMessage(kMove, nullptr);
  EXPECT_EQ(log, (std::vector<std::string>{"b"}));
  EXPECT_EQ(list.Count(), 1u);
  EXPECT_EQ(a.IsRemoved(), 0);  // the purge clears the flag

  // Marked removed but not yet purged: registering again only clears the mark.
  b.MarkRemoved();
  EXPECT_EQ(list.RegisterReceiver(&b), 1);
  EXPECT_EQ(list.Count(), 1u);
  list.RegisterReceiver(&a);
  log.clear();
  list.OfferMessage(kMove, nullptr);
  EXPECT_EQ(log, (std::vector<std::string>{"b", "a"}));
}

TEST(ListenerListTest, The257thReceiverIsRefused) {
  std::vector<std::string> log;
  std::vector<std::unique_ptr<Recorder>> receivers;
  ReceiverList list;
  for (int i = 0; i < 256; ++i) {
    receivers.push_back(std::make_unique<Recorder>("r", &log));
    ASSERT_EQ(list.RegisterReceiver(receivers.back().get()), 1);
  }
  Recorder extra("extra", &log);
  EXPECT_EQ(list.RegisterReceiver(&extra), 0);
  EXPECT_EQ(list.Count(), 256u);
}

TEST(ListenerListTest, AReceiverMayRegisterAnotherDuringADispatch) {
  std::vector<std::string> log;
  Recorder a("a", &log), late("late", &log);
  ReceiverList list;
  a.onMessage = [&] { list.RegisterReceiver(&late); };
  list.RegisterReceiver(&a);
  list.OfferMessage(kMove, nullptr);
  EXPECT_EQ(log, (std::vector<std::string>{"a", "late"}));
}

}  // namespace
}  // namespace zan
