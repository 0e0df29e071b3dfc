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
  Recorder(std::string name, std::vector<std::string>* log, bool answer = false)
      : EventReceiver(std::move(name)), log_(log), answer_(answer) {}
  bool HandleEvent(const InputEvent&) override {
    log_->push_back(Name());
    if (onMessage) onMessage();
    return answer_;
  }
  std::function<void()> onMessage;

 private:
  std::vector<std::string>* log_;
  bool answer_;
};

const InputEvent kMove = InputEvent::PointerMove(0, 0);

TEST(ListenerListTest, OffersInRegistrationOrderUntilOneAnswers) {
  std::vector<std::string> log;
  Recorder a("a", &log), b("b", &log, true), c("c", &log);
  ReceiverList list;
  list.RegisterReceiver(&a);
  list.RegisterReceiver(&b);
  list.RegisterReceiver(&c);
  bool defaulted = false;
  EXPECT_TRUE(list.OfferEvent(kMove, [&](const InputEvent&) {
    defaulted = true;
    return false;
  }));
  EXPECT_EQ(log, (std::vector<std::string>{"a", "b"}));
  EXPECT_FALSE(defaulted);
}

TEST(ListenerListTest, UnansweredMessageGetsTheDefaultHandling) {
  std::vector<std::string> log;
  Recorder a("a", &log);
  ReceiverList list;
  list.RegisterReceiver(&a);
  EXPECT_TRUE(list.OfferEvent(kMove, [](const InputEvent&) { return true; }));
  EXPECT_FALSE(list.OfferEvent(kMove, [](const InputEvent&) { return false; }));
}

TEST(ListenerListTest, RemovedReceiversAreSkippedPurgedAndCanComeBack) {
  std::vector<std::string> log;
  Recorder a("a", &log), b("b", &log);
  ReceiverList list;
  list.RegisterReceiver(&a);
  list.RegisterReceiver(&b);
  a.MarkRemoved();
  list.OfferEvent(kMove, nullptr);
  EXPECT_EQ(log, (std::vector<std::string>{"b"}));
  EXPECT_EQ(list.Count(), 1u);
  EXPECT_EQ(a.IsRemoved(), 0);  // the purge clears the flag

  // Marked removed but not yet purged: registering again only clears the mark.
  b.MarkRemoved();
  EXPECT_TRUE(list.RegisterReceiver(&b));
  EXPECT_EQ(list.Count(), 1u);
  list.RegisterReceiver(&a);
  log.clear();
  list.OfferEvent(kMove, nullptr);
  EXPECT_EQ(log, (std::vector<std::string>{"b", "a"}));
}

TEST(ListenerListTest, The257thReceiverIsRefused) {
  std::vector<std::string> log;
  std::vector<std::unique_ptr<Recorder>> receivers;
  ReceiverList list;
  for (int i = 0; i < 256; ++i) {
    receivers.push_back(std::make_unique<Recorder>("r", &log));
    ASSERT_TRUE(list.RegisterReceiver(receivers.back().get()));
  }
  Recorder extra("extra", &log);
  EXPECT_FALSE(list.RegisterReceiver(&extra));
  EXPECT_EQ(list.Count(), 256u);
}

TEST(ListenerListTest, AReceiverMayRegisterAnotherDuringADispatch) {
  std::vector<std::string> log;
  Recorder a("a", &log), late("late", &log);
  ReceiverList list;
  a.onMessage = [&] { list.RegisterReceiver(&late); };
  list.RegisterReceiver(&a);
  list.OfferEvent(kMove, nullptr);
  EXPECT_EQ(log, (std::vector<std::string>{"a", "late"}));
}

}  // namespace
}  // namespace zan
