#include "core/TaskScheduler.h"
#include "platform/VirtualClock.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zan {
namespace {

// A task that logs "name:phase" each time a phase runs.
class LogTask : public Task {
 public:
  LogTask(std::string name, std::vector<std::string>* log) : Task(name) {
    for (int phase = 0; phase < 2; ++phase) {
      SetHandler(phase, [this, log, name, phase] {
        log->push_back(name + ":" + std::to_string(phase));
        if (onPhase) onPhase(phase);
      });
    }
  }
  std::function<void(int)> onPhase;
};

std::vector<std::string> Order(const TaskScheduler& m) {
  std::vector<std::string> names;
  m.ForEachTask([&](const Task& t) { names.push_back(t.Description()); });
  return names;
}

TEST(TaskSchedulerTest, SentinelsFrameAnEmptyList) {
  VirtualClock clock;
  TaskScheduler m{clock};
  EXPECT_EQ(Order(m), (std::vector<std::string>{"HeadTask", "TailTask"}));
  EXPECT_EQ(m.HeadTask().OrderKey(), 0u);
  EXPECT_EQ(m.TailTask().OrderKey(), 0xFFFFFFFFu);
}

TEST(TaskSchedulerTest, KeysSortUnsignedAndEqualKeysRunNewestFirst) {
  std::vector<std::string> log;
  VirtualClock clock;
  TaskScheduler m{clock};
  LogTask draw("draw", &log), message("message", &log), low("low", &log), game("game", &log),
      title("title", &log), zero("zero", &log);
  EXPECT_EQ(m.AddTask(&draw, kOrderDraw), LinkResult::kLinked);
  EXPECT_EQ(m.AddTask(&message, kOrderMessage), LinkResult::kLinked);
  EXPECT_EQ(m.AddTask(&game, kOrderScreen), LinkResult::kLinked);
  EXPECT_EQ(m.AddTask(&low, 0x7FFFFFFF), LinkResult::kLinked);
  EXPECT_EQ(m.AddTask(&title, kOrderScreen), LinkResult::kLinked);
  EXPECT_EQ(m.AddTask(&zero, 0), LinkResult::kLinked);
  EXPECT_EQ(Order(m), (std::vector<std::string>{"HeadTask", "zero", "low", "title", "game", "message",
                                                "draw", "TailTask"}));
}

TEST(TaskSchedulerTest, AddAndRemoveAnswerWhatTheyDid) {
  std::vector<std::string> log;
  VirtualClock clock;
  TaskScheduler m{clock};
  LogTask a("a", &log), never("never", &log);
  EXPECT_EQ(m.AddTask(&a, kOrderTail), LinkResult::kRefused);
  EXPECT_FALSE(m.IsRunning(&a));
  EXPECT_EQ(m.AddTask(&a, kOrderScreen), LinkResult::kLinked);
  EXPECT_EQ(m.AddTask(&a, kOrderMessage), LinkResult::kAlreadyLinked);
  EXPECT_EQ(a.OrderKey(), kOrderScreen);
  EXPECT_EQ(m.RemoveTask(&m.HeadTask()), UnlinkResult::kRefusedHead);
  EXPECT_EQ(m.RemoveTask(&m.TailTask()), UnlinkResult::kNotLinked);
  EXPECT_EQ(m.RemoveTask(&never), UnlinkResult::kNotLinked);
  EXPECT_EQ(m.RemoveTask(&a), UnlinkResult::kUnlinked);
  EXPECT_FALSE(m.IsRunning(&a));
  EXPECT_EQ(Order(m), (std::vector<std::string>{"HeadTask", "TailTask"}));
}

TEST(TaskSchedulerTest, RemovingAnAlreadyRemovedTaskLeavesOthersLinked) {
  std::vector<std::string> log;
  VirtualClock clock;
  TaskScheduler m{clock};
  LogTask a("a", &log), b("b", &log), c("c", &log);
  m.AddTask(&a, 1);
  m.AddTask(&b, 2);
  m.AddTask(&c, 3);
  ASSERT_EQ(m.RemoveTask(&b), UnlinkResult::kUnlinked);
  LogTask x("x", &log);
  m.AddTask(&x, 2);  // now sits where b was; b still points at a and c
  EXPECT_EQ(m.RemoveTask(&b), UnlinkResult::kNotLinked);
  EXPECT_EQ(Order(m), (std::vector<std::string>{"HeadTask", "a", "x", "c", "TailTask"}));
}

TEST(TaskSchedulerTest, ATaskEndedInPhaseZeroIsGoneBeforePhaseOne) {
  std::vector<std::string> log;
  VirtualClock clock;
  TaskScheduler m{clock};
  LogTask a("a", &log), b("b", &log);
  m.AddTask(&a, 1);
  m.AddTask(&b, 2);
  a.onPhase = [&](int phase) {
    if (phase == 0) a.SetEnded(true);
  };
  m.RunFrame();
  EXPECT_EQ(log, (std::vector<std::string>{"a:0", "b:0", "b:1"}));
  EXPECT_FALSE(m.IsRunning(&a));
  EXPECT_FALSE(a.Ended());  // the sweep clears it, so the task can start again
}

TEST(TaskSchedulerTest, AnEndedTaskIsSkippedForTheRestOfTheWalk) {
  std::vector<std::string> log;
  VirtualClock clock;
  TaskScheduler m{clock};
  LogTask a("a", &log), b("b", &log);
  m.AddTask(&a, 1);
  m.AddTask(&b, 2);
  a.onPhase = [&](int) { b.SetEnded(true); };
  m.RunPhase(0);
  EXPECT_EQ(log, (std::vector<std::string>{"a:0"}));
  EXPECT_FALSE(m.IsRunning(&b));
  EXPECT_FALSE(b.Ended());  // swept: the flag cleared
}

TEST(TaskSchedulerTest, TasksAddedDuringAWalkRunWhenTheyLandAhead) {
  std::vector<std::string> log;
  VirtualClock clock;
  TaskScheduler m{clock};
  LogTask a("a", &log), later("later", &log), earlier("earlier", &log);
  m.AddTask(&a, 10);
  a.onPhase = [&](int phase) {
    if (phase != 0) return;
    m.AddTask(&later, 20);
    m.AddTask(&earlier, 5);
  };
  m.RunPhase(0);
  EXPECT_EQ(log, (std::vector<std::string>{"a:0", "later:0"}));
}

TEST(TaskSchedulerTest, AWalkStandingOnARemovedTaskReachesTheRest) {
  std::vector<std::string> log;
  VirtualClock clock;
  TaskScheduler m{clock};
  LogTask a("a", &log), b("b", &log);
  m.AddTask(&a, 1);
  m.AddTask(&b, 2);
  a.onPhase = [&](int) { m.RemoveTask(&a); };
  m.RunPhase(0);
  EXPECT_EQ(log, (std::vector<std::string>{"a:0", "b:0"}));
}

TEST(TaskTest, AnEndedTaskRunsNoHandler) {
  Task t("t");
  int runs = 0;
  t.SetHandler(3, [&] { ++runs; });
  t.Dispatch(3);
  t.Dispatch(4);  // an empty slot is a no-op
  t.Dispatch(Task::kPhaseCount);  // outside the slots too
  EXPECT_EQ(runs, 1);
  t.SetEnded(true);
  t.Dispatch(3);
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(Task().Description(), "DefaultName");
}

}  // namespace
}  // namespace zan
