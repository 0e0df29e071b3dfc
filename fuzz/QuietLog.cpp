// Linked into every fuzz target: the framework log stays off stderr (its lines still reach
// the log's last message and its file mode, as in the program).

#include "base/DiagnosticLog.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  zan::Diagnostics().SetEcho(false);
  return 0;
}
