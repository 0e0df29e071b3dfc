// The frame compositor: the order of its places whatever the order layers are added in,
// layers shown only while their task runs, a screen in place of the story's layers, the
// compositor's own place last in phase 1, and what it says of changes.

#include "frame/FrameCompositor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/TaskScheduler.h"
#include "platform/VirtualClock.h"
#include "surface/Surface.h"

namespace zan {
namespace {

using Log = std::vector<std::string>;

class Recorder : public FrameLayer {
 public:
  Recorder(Log& log, std::string name) : log_(log), name_(std::move(name)) {}
  void Draw(Surface& frame) override {
    log_.push_back(name_);
    frame_ = &frame;
  }
  bool Changed() const override { return changed; }

  bool changed = true;
  Surface* frame_ = nullptr;

 private:
  Log& log_;
  std::string name_;
};

class FrameCompositorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (Task* task : {&story, &window, &dialog, &screen}) tasks.AddTask(task, kOrderScreen);
  }
  Log Compose() {
    log.clear();
    compositor.Compose();
    return log;
  }
  // The story's layers as the game adds them, a dialog and the authors' overlay.
  void AddStory() {
    compositor.Add(Layer::kStage, scene, story);
    compositor.Add(Layer::kSlotOverlays, overlays, window);
    compositor.Add(Layer::kMessageAreas, areas, window);
    compositor.Add(Layer::kChoices, choices, window);
    compositor.Add(Layer::kEffects, rain, story);
    compositor.Add(Layer::kDialogs, dialogs, dialog);
    compositor.Add(Layer::kOverlay, debug, dialog);
  }

  VirtualClock clock;
  TaskScheduler tasks{clock};
  Surface frame;
  FrameCompositor compositor{tasks, frame};
  Task story{"story"};
  Task window{"window"};
  Task dialog{"dialog"};
  Task screen{"screen"};
  Log log;
  Recorder scene{log, "scene"}, overlays{log, "overlays"}, areas{log, "areas"},
      choices{log, "choices"}, rain{log, "rain"}, dialogs{log, "dialogs"}, debug{log, "debug"};
};

TEST_F(FrameCompositorTest, PlacesDrawBottomUpAndAPlaceInTheOrderItsLayersCame) {
  Recorder hover(log, "hover"), snow(log, "snow");
  // Added top first, and two places with two layers each.
  compositor.Add(Layer::kOverlay, debug, story);
  compositor.Add(Layer::kDialogs, dialogs, dialog);
  compositor.Add(Layer::kEffects, rain, story);
  compositor.Add(Layer::kChoices, choices, window);
  compositor.Add(Layer::kMessageAreas, areas, window);
  compositor.Add(Layer::kSlotOverlays, overlays, window);
  compositor.Add(Layer::kStage, scene, story);
  compositor.Add(Layer::kStage, hover, story);
  compositor.Add(Layer::kEffects, snow, story);
  EXPECT_EQ(Compose(), (Log{"scene", "hover", "overlays", "areas", "choices", "rain", "snow",
                            "dialogs", "debug"}));
  EXPECT_EQ(scene.frame_, &frame);

  compositor.Remove(rain);
  compositor.Remove(hover);
  EXPECT_EQ(Compose(), (Log{"scene", "overlays", "areas", "choices", "snow", "dialogs", "debug"}));
}

TEST_F(FrameCompositorTest, ALayerShowsOnlyWhileItsTaskRuns) {
  compositor.Add(Layer::kStage, scene, story);
  compositor.Add(Layer::kMessageAreas, areas, window);
  EXPECT_EQ(Compose(), (Log{"scene", "areas"}));
  // Ended: no longer shown, even before the sweep unlinks it.
  story.SetEndValue(1);
  EXPECT_EQ(Compose(), Log{"areas"});
  tasks.SweepEndedTasks();
  EXPECT_EQ(Compose(), Log{"areas"});
  tasks.RemoveTask(&window);
  EXPECT_EQ(Compose(), Log{});
  tasks.AddTask(&story, kOrderScreen);
  EXPECT_EQ(Compose(), Log{"scene"});
}

TEST_F(FrameCompositorTest, AScreenReplacesTheStorysLayersWhileItsTaskRuns) {
  Recorder save(log, "save");
  AddStory();
  compositor.AddScreen(save, screen);
  EXPECT_EQ(Compose(), (Log{"save", "dialogs", "debug"}));
  tasks.RemoveTask(&screen);
  EXPECT_EQ(Compose(), (Log{"scene", "overlays", "areas", "choices", "rain", "dialogs", "debug"}));
}

// A task whose phase-1 handler notes the frame's place, to see where composing falls.
class Noter : public Task {
 public:
  Noter(Log& log, const char* name) : Task(name) {
    SetHandler(0, [&log, name] {
      log.push_back(std::string(name) + "/0");
      return 0;
    });
    SetHandler(1, [&log, name] {
      log.push_back(std::string(name) + "/1");
      return 0;
    });
  }
};

TEST_F(FrameCompositorTest, ItComposesOnceAFrameLastInPhaseOneAheadOfTheDisplay) {
  Recorder compose(log, "compose");
  compositor.Add(Layer::kStage, compose, story);
  Noter interpreter(log, "interpreter"), dialogTask(log, "dialog"), display(log, "display");
  tasks.AddTask(&interpreter, kOrderScreen);
  tasks.AddTask(&dialogTask, kOrderDialog);
  tasks.AddTask(&display, kOrderDraw);
  tasks.AddTask(&compositor, kOrderDraw);
  log.clear();
  tasks.RunFrame();
  EXPECT_EQ(log, (Log{"interpreter/0", "dialog/0", "display/0", "interpreter/1", "dialog/1",
                      "compose", "display/1"}));
  EXPECT_EQ(compositor.Description(), "FrameCompositor");
}

TEST_F(FrameCompositorTest, TheFrameChangedWhenAShownLayerSaysSo) {
  compositor.Add(Layer::kStage, scene, story);
  compositor.Add(Layer::kMessageAreas, areas, window);
  Compose();
  EXPECT_TRUE(compositor.FrameChanged());
  scene.changed = false;
  Compose();
  EXPECT_TRUE(compositor.FrameChanged());
  areas.changed = false;
  EXPECT_EQ(Compose(), (Log{"scene", "areas"}));  // still drawn: every frame is composed whole
  EXPECT_FALSE(compositor.FrameChanged());
  // A layer that does not show says nothing.
  scene.changed = true;
  tasks.RemoveTask(&story);
  Compose();
  EXPECT_FALSE(compositor.FrameChanged());
}

}  // namespace
}  // namespace zan
