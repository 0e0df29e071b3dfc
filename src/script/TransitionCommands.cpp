// "Update" kind, duration, [picture], [direction, or pattern frames - 1, cell width, cell
// height]: the scene the image commands built shows through a transition. The frame ends
// here either way; while the transition runs the story is held.

#include <algorithm>
#include <cstdint>

#include "script/CommandFamilies.h"
#include "script/Options.h"
#include "script/SceneTransitions.h"
#include "script/VariableTable.h"

namespace zan {

void RegisterTransitionCommands(CommandTable& table, const TransitionCommandServices& services) {
  using S = TransitionCommandServices;
  SetHandlers(table, services, {
      {"Update", [](const S& s, const CommandCall& c) {
         UpdateRequest request;
         request.kind = c.Arg(0);
         request.duration = s.variables.Evaluate(c.Arg(1));
         request.picture = c.Arg(2);
         request.direction = c.Arg(3);
         request.patternFrames =
             static_cast<int32_t>(std::min<int64_t>(int64_t{s.variables.Evaluate(c.Arg(3))} + 1, INT32_MAX));
         request.cellWidth = s.variables.Evaluate(c.Arg(4));
         request.cellHeight = s.variables.Evaluate(c.Arg(5));
         const bool atOnce = s.options.skipMode != 0 || s.options.noEffects != 0;
         s.scenes.Update(request, atOnce);
         return DispatchResult::kStopFrame;
       }},
  });
}

}  // namespace zan
