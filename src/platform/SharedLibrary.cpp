#include "platform/SharedLibrary.h"

#include <dlfcn.h>

namespace zan {

SharedLibrary::~SharedLibrary() {
  if (handle_ != nullptr) dlclose(handle_);
}

bool SharedLibrary::Open(const std::string& soname) {
  if (handle_ != nullptr) {
    error_ = "a library is already open";
    return false;
  }
  // Symbols stay local: each user looks them up here, and no later library binds to them.
  // Never unloaded: many libraries (and what they pull in) keep memory or threads from
  // their start-up that their unloading would strand.
  handle_ = dlopen(soname.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
  if (handle_ == nullptr) {
    const char* reason = dlerror();
    error_ = reason != nullptr ? reason : soname + ": cannot be loaded";
    return false;
  }
  error_.clear();
  return true;
}

void* SharedLibrary::Symbol(const char* name) {
  if (handle_ == nullptr) {
    error_ = std::string(name) + ": no library is open";
    return nullptr;
  }
  dlerror();  // clears an older failure, so that a null address below is told from one
  void* address = dlsym(handle_, name);
  if (address == nullptr) {
    const char* reason = dlerror();
    error_ = reason != nullptr ? reason : std::string(name) + ": null address";
  }
  return address;
}

}  // namespace zan
