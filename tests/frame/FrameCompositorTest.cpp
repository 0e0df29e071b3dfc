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
  void Undrawn() override { ++undrawn; }

  bool changed = true;
  int undrawn = 0;
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
  struct Placed {
    Layer place;
    Recorder* layer;
    Task* task;
  };
  // The story's layers as the game adds them, a dialog and the authors' overlay.
  std::vector<Placed> Story() {
    return {{Layer::kStage, &scene, &story},         {Layer::kSlotOverlays, &overlays, &window},
            {Layer::kMessageAreas, &areas, &window}, {Layer::kChoices, &choices, &window},
            {Layer::kEffects, &rain, &story},        {Layer::kDialogs, &dialogs, &dialog},
            {Layer::kOverlay, &debug, &dialog}};
  }
  void Add(const std::vector<Placed>& layers) {
    for (const Placed& p : layers) compositor.Add(p.place, *p.layer, *p.task);
  }
  void AddStory() { Add(Story()); }

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
  // The story's layers in three orders, positions in Story(): as the game adds them, top
  // first, and shuffled. Then a second layer in two places, drawn after the first there.
  const std::vector<std::vector<size_t>> orders = {
      {0, 1, 2, 3, 4, 5, 6}, {6, 5, 4, 3, 2, 1, 0}, {3, 6, 0, 5, 2, 4, 1}};
  for (const std::vector<size_t>& order : orders) {
    SCOPED_TRACE(::testing::PrintToString(order));
    std::vector<Placed> layers;
    for (size_t i : order) layers.push_back(Story()[i]);
    layers.push_back({Layer::kStage, &hover, &story});
    layers.push_back({Layer::kEffects, &snow, &story});
    Add(layers);
    EXPECT_EQ(Compose(), (Log{"scene", "hover", "overlays", "areas", "choices", "rain", "snow",
                              "dialogs", "debug"}));
    EXPECT_EQ(scene.frame_, &frame);

    compositor.Remove(rain);
    compositor.Remove(hover);
    EXPECT_EQ(Compose(), (Log{"scene", "overlays", "areas", "choices", "snow", "dialogs", "debug"}));
    for (const Placed& p : layers) compositor.Remove(*p.layer);
    EXPECT_EQ(Compose(), Log{});
  }
}

TEST_F(FrameCompositorTest, ALayerShowsOnlyWhileItsTaskRuns) {
  compositor.Add(Layer::kStage, scene, story);
  compositor.Add(Layer::kMessageAreas, areas, window);
  EXPECT_EQ(Compose(), (Log{"scene", "areas"}));
  // Ended: no longer shown, even before the sweep unlinks it.
  story.SetEnded(true);
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
    SetHandler(0, [&log, name] { log.push_back(std::string(name) + "/0"); });
    SetHandler(1, [&log, name] { log.push_back(std::string(name) + "/1"); });
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
  // The tasks of this test go before the list outlives them.
  for (Task* task : {static_cast<Task*>(&interpreter), static_cast<Task*>(&dialogTask), static_cast<Task*>(&display)})
    tasks.RemoveTask(task);
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
  EXPECT_EQ(Compose(), Log{});  // nothing changed: the frame is left as it was
  EXPECT_FALSE(compositor.FrameChanged());
  EXPECT_EQ(compositor.UndrawnFrames(), 1u);
  EXPECT_EQ(scene.undrawn, 1);  // every shown layer hears of the frame that went by
  EXPECT_EQ(areas.undrawn, 1);
  // A layer that stops showing changes the frame; then a layer that does not show says nothing.
  scene.changed = true;
  tasks.RemoveTask(&story);
  EXPECT_EQ(Compose(), Log{"areas"});
  EXPECT_TRUE(compositor.FrameChanged());
  EXPECT_EQ(Compose(), Log{});
  EXPECT_FALSE(compositor.FrameChanged());
  // Full redraw composes every frame, changed or not.
  compositor.SetFullRedraw(true);
  EXPECT_EQ(Compose(), Log{"areas"});
  EXPECT_TRUE(compositor.FrameChanged());
}


// A layer that marks the frame's dirty rectangle where it draws; drawn again, it notes the
// area it was given and marks it.
class Painter : public FrameLayer {
 public:
  explicit Painter(DirtyRect area) : area(area) {}
  void Draw(Surface& frame) override {
    ++draws;
    frame.AddDirty(area.left, area.top, area.right, area.bottom);
  }
  bool Changed() const override { return changed; }
  bool DrawAgain(Surface& frame, const DirtyRect& given) override {
    if (!canAgain) return false;
    again.push_back(given);
    if (!given.Empty()) frame.AddDirty(given.left, given.top, given.right, given.bottom);
    return true;
  }
  bool MarksWhatItDraws() const override { return marks; }
  DirtyRect area;
  bool changed = true;
  bool canAgain = true;
  bool marks = true;
  int draws = 0;
  std::vector<DirtyRect> again;
};

TEST_F(FrameCompositorTest, AnUnchangedBottomLayerRedrawsOnlyWhereTheLayersAboveDrewLastTime) {
  Painter stage({0, 0, 800, 600}), text({10, 10, 20, 20}), icon({50, 5, 60, 8});
  compositor.Add(Layer::kStage, stage, story);
  compositor.Add(Layer::kMessageAreas, text, window);
  compositor.Add(Layer::kChoices, icon, window);
  compositor.Compose();
  EXPECT_EQ(stage.draws, 1);
  EXPECT_EQ(frame.GetDirty(), (DirtyRect{0, 0, 800, 600}));
  frame.ClearDirty();

  // The stage did not change: it is drawn again under what the two above drew, and the
  // frame is dirty only there and where they draw now.
  stage.changed = false;
  text.area = {30, 30, 40, 40};
  compositor.Compose();
  EXPECT_EQ(stage.draws, 1);
  ASSERT_EQ(stage.again.size(), 1u);
  EXPECT_EQ(stage.again[0], (DirtyRect{10, 5, 60, 20}));
  EXPECT_EQ(frame.GetDirty(), (DirtyRect{10, 5, 60, 40}));
  // What was dirty before the compose stays dirty.
  frame.ClearDirty();
  frame.AddDirty(700, 500, 710, 510);
  compositor.Compose();
  EXPECT_EQ(stage.again.back(), (DirtyRect{30, 5, 60, 40}));
  EXPECT_EQ(frame.GetDirty(), (DirtyRect{30, 5, 710, 510}));

  // Drawn whole: when it changed, when it cannot draw again, while a layer above does not
  // mark all it draws and in the frame after, when the layers shown are not the same, and
  // with full redraw.
  const auto drawnWhole = [&] {
    const int draws = stage.draws;
    compositor.Compose();
    return stage.draws == draws + 1;
  };
  stage.changed = true;
  EXPECT_TRUE(drawnWhole());
  stage.changed = false;
  stage.canAgain = false;
  EXPECT_TRUE(drawnWhole());
  stage.canAgain = true;
  EXPECT_FALSE(drawnWhole());
  icon.marks = false;
  EXPECT_TRUE(drawnWhole());
  icon.marks = true;
  EXPECT_TRUE(drawnWhole());
  EXPECT_FALSE(drawnWhole());
  tasks.RemoveTask(&window);
  EXPECT_TRUE(drawnWhole());
  EXPECT_FALSE(drawnWhole());  // nothing above it, and nothing changed: not composed at all
  compositor.SetFullRedraw(true);
  EXPECT_TRUE(drawnWhole());
}
}  // namespace
}  // namespace zan
