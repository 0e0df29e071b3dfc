#include "transition/TransitionPlayer.h"

#include <cstring>
#include <string_view>

#include "base/DiagnosticLog.h"
#include "core/TaskScheduler.h"
#include "frame/FrameCompositor.h"

namespace zan {

// A kind's task: while it runs, its layer draws the transition into the frame at the stage
// place, and ends the task when the final picture is drawn or the player clicked.
class TransitionPlayer::Task : public GameTask, public FrameLayer {
 public:
  Task(TaskScheduler& tasks, const char* name) : GameTask(tasks, name, name) {}

  const std::string& Name() const { return ClassName(); }
  bool Busy() const { return transition_ != nullptr; }

  void Abandon() {
    if (!transition_) return;
    transition_.reset();
    SetOnEnd({});
    End();
  }

  void Run(std::unique_ptr<Transition> transition, Surface& next, GameTask& caller, Callback onEnd) {
    transition_ = std::move(transition);
    next_ = &next;
    // Ended in this frame (abandoned, or finished with a callback that starts the next
    // transition), the task is still linked until the frame's sweep, which would unlink it
    // and leave this transition never drawn to its end: it is taken back instead.
    SetEnded(false);
    SetCaller(&caller);
    SetOnEnd(std::move(onEnd));
    Start(kOrderScreen);
    start_ = Manager().Now();
  }

  void Draw(Surface& frame) override {
    if (!transition_) return;
    bool done = false;
    if (Click().clicked != 0) {
      transition_->Finish(frame);
      // The circle and the wipe leave their last frame to the next scene drawing; the frame
      // is composed anew every frame, so the new scene is drawn here in its place.
      const TransitionKind kind = transition_->Kind();
      if (kind == TransitionKind::kCircle || kind == TransitionKind::kWipe)
        frame.Blt(0, 0, next_->Width(), next_->Height(), *next_, 0, 0, 0);
      done = true;
    } else {
      done = transition_->Draw(frame, Manager().Now() - start_);
    }
    if (!done) return;
    transition_.reset();
    End();
  }

 private:
  std::unique_ptr<Transition> transition_;
  Surface* next_ = nullptr;
  uint32_t start_ = 0;
};

TransitionPlayer::TransitionPlayer(TaskScheduler& tasks, FrameCompositor& frame, Surface& screen, int32_t width,
                                   int32_t height)
    : tasks_(tasks), frame_(frame), screen_(screen), tables_(width, height) {
  for (TransitionKind kind :
       {TransitionKind::kCross, TransitionKind::kMaskCross, TransitionKind::kCircle, TransitionKind::kBlind,
        TransitionKind::kWater, TransitionKind::kNoise, TransitionKind::kPictureCross,
        TransitionKind::kPictureCrossDirectional, TransitionKind::kPictureBlind, TransitionKind::kPattern}) {
    kindTasks_.push_back(std::make_unique<Task>(tasks_, TransitionTaskName(kind)));
    frame_.Add(Layer::kStage, *kindTasks_.back(), *kindTasks_.back());
  }
}

TransitionPlayer::~TransitionPlayer() {
  for (const auto& task : kindTasks_) frame_.Remove(*task);
}

Surface* TransitionPlayer::OldScene() {
  if (!oldScene_.View() && !oldScene_.Create(tables_.Width(), tables_.Height())) {
    ZAN_WARN("transitions: no memory for the old scene (%dx%d)", tables_.Width(), tables_.Height());
    return nullptr;
  }
  return &oldScene_;
}

bool TransitionPlayer::CaptureScreen() {
  Surface* old = OldScene();
  if (old == nullptr || !screen_.View()) return false;
  return old->Blt(0, 0, tables_.Width(), tables_.Height(), screen_, 0, 0, 0) == DrawResult::kOk;
}

bool TransitionPlayer::Play(const TransitionParams& params, const Surface& old, Surface& next, GameTask& caller,
                            GameTask::Callback onEnd) {
  Task* task = nullptr;
  const std::string_view name = TransitionTaskName(params.kind);
  for (const auto& t : kindTasks_)
    if (t->Name() == name) task = t.get();
  if (Running() || task == nullptr) {
    ZAN_WARN("transition %s: another transition is running; the new scene shows at once", name.data());
    return false;
  }
  Result<std::unique_ptr<Transition>> started = StartTransition(tables_, params, old, next);
  if (!started) return false;
  task->Run(std::move(*started), next, caller, std::move(onEnd));
  return true;
}

void TransitionPlayer::Abandon() {
  for (const auto& t : kindTasks_) t->Abandon();
}

bool TransitionPlayer::Running() const {
  for (const auto& t : kindTasks_)
    if (t->Busy()) return true;
  return false;
}

}  // namespace zan
