#pragma once
// How the story's scene changes: "Update" shows the scene the image commands built since the
// last one, through the transition it names, and a new or restored game fades its first
// scene in from the picture on the screen. While a transition runs the story is held out of
// the task list, and the transition draws the scene in its place; at its end the story runs
// again from the next frame. Without a transition (skip mode, effects off, an unknown kind,
// one that cannot start, no player attached) the new scene shows at once and the story goes
// on.

#include <cstdint>
#include <functional>
#include <string_view>

namespace zan {

class GameData;
class GameTask;
class ImageLayers;
class Surface;
class TransitionPlayer;
struct TransitionParams;

// What "Update" asks for: a kind, a duration in milliseconds and, by kind, a picture (the
// mask or the pattern), a direction ("ImageCross") or the pattern's geometry.
struct UpdateRequest {
  std::string_view kind;
  int32_t duration = 0;
  std::string_view picture;
  std::string_view direction;
  int32_t patternFrames = 0;  // the script gives this minus 1
  int32_t cellWidth = 0;
  int32_t cellHeight = 0;
};

class SceneTransitions {
 public:
  // `story` is held while a transition runs; `resume` starts it again at the end.
  SceneTransitions(ImageLayers& layers, GameData& data, GameTask& story, std::function<void()> resume);

  // The player that runs the transitions; without one every change shows at once.
  void Attach(TransitionPlayer& player) { player_ = &player; }

  // "Update": every image animation ends, the scene shown until now becomes the old scene
  // and the stage takes the new one; then, unless `atOnce`, the transition. True when one
  // runs (the story is held).
  bool Update(const UpdateRequest& request, bool atOnce);
  // A cross-fade of `milliseconds` from the picture on the screen now to the stage brought
  // up to date. True when it runs (the story is held).
  bool CrossFromScreen(int32_t milliseconds);
  // The story ends: a transition it waits for stops where it is, without resuming it.
  void Abandon();

 private:
  // The scene as the last frame showed it, into `old`.
  void CaptureShownScene(Surface& old);
  bool Play(const TransitionParams& params, const Surface& old);

  ImageLayers& layers_;
  GameData& data_;
  GameTask& story_;
  std::function<void()> resume_;
  TransitionPlayer* player_ = nullptr;
};

}  // namespace zan
