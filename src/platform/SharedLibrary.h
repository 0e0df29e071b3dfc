#pragma once
// SharedLibrary: a shared library loaded while the program runs, by its file name (the
// soname, looked up where the dynamic linker looks), for code that many runs never need:
// a program that does not link it at start maps none of it, nor what it pulls in. Once
// loaded, a library stays for the rest of the run (the object only lets go of its handle).

#include <string>

namespace zan {

class SharedLibrary {
 public:
  SharedLibrary() = default;
  ~SharedLibrary();
  SharedLibrary(const SharedLibrary&) = delete;
  SharedLibrary& operator=(const SharedLibrary&) = delete;

  // Loads `soname`; false when it cannot (Error() says why).
  bool Open(const std::string& soname);
  bool IsOpen() const { return handle_ != nullptr; }
  // The address of the function or variable `name`; nullptr when the library has none
  // or is not open (Error() says why).
  void* Symbol(const char* name);
  // The reason of the last failure, as the dynamic linker gave it.
  const std::string& Error() const { return error_; }

 private:
  void* handle_ = nullptr;
  std::string error_;
};

}  // namespace zan
