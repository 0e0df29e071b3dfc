#pragma once
// Runs a program as a test's child process without a shell: the arguments reach it as given
// (a path with blanks or quotes in it is one argument), its output goes to files, and it is
// killed when it outlives its time limit or when the test that started it ends early.

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

#include <cerrno>
#include <chrono>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace zan::testing {

// The words of `line`, split at blanks (option lists written in one string; a path with a
// blank must be passed as an argument of its own).
inline std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  std::istringstream in(line);
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

// A started child process: killed (SIGKILL) and reaped when it goes out of scope still
// running, so that a failed assertion never leaves it behind.
class ChildProcess {
 public:
  ChildProcess() = default;
  explicit ChildProcess(pid_t pid) : pid_(pid) {}
  ChildProcess(ChildProcess&& other) noexcept : pid_(std::exchange(other.pid_, -1)) {}
  ChildProcess& operator=(ChildProcess&&) = delete;
  ~ChildProcess() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      Wait();
    }
  }
  pid_t Pid() const { return pid_; }
  bool Started() const { return pid_ > 0; }
  // Sends `signal`; the child is still waited for.
  void Signal(int signal) const {
    if (pid_ > 0) ::kill(pid_, signal);
  }
  // Waits at most `limit` for the child to end; its wait status, or -1 when it had to be
  // killed (then it is reaped too).
  int Wait(std::chrono::milliseconds limit = std::chrono::minutes(2)) {
    if (pid_ <= 0) return -1;
    const auto end = std::chrono::steady_clock::now() + limit;
    int status = 0;
    for (;;) {
      const pid_t done = ::waitpid(pid_, &status, WNOHANG);
      if (done == pid_ || (done < 0 && errno != EINTR)) break;
      if (std::chrono::steady_clock::now() >= end) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, &status, 0);
        status = -1;
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    pid_ = -1;
    return status;
  }

 private:
  pid_t pid_ = -1;
};

struct ProgramOptions {
  std::string folder;                    // working folder; empty: the test's own
  std::vector<std::string> environment;  // NAME=VALUE added; NAME alone is removed
  std::string out = "/dev/null";         // where stdout goes
  std::string err = "/dev/null";         // where stderr goes
};

// Starts argv[0] (a path) with the arguments argv. Everything the child needs is made before
// the fork: between fork and exec it only changes folder and moves descriptors.
inline ChildProcess StartProgram(const std::vector<std::string>& argv, const ProgramOptions& options = {}) {
  std::vector<std::string> environment;
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string entry(*e);
    const std::string name = entry.substr(0, entry.find('='));
    bool replaced = false;
    for (const std::string& change : options.environment)
      replaced = replaced || change.substr(0, change.find('=')) == name;
    if (!replaced) environment.push_back(entry);
  }
  for (const std::string& change : options.environment)
    if (change.find('=') != std::string::npos) environment.push_back(change);
  std::vector<char*> args, env;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  for (const std::string& e : environment) env.push_back(const_cast<char*>(e.c_str()));
  env.push_back(nullptr);
  const int in = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
  const int out = ::open(options.out.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  // One file for both shares one offset, as "2>&1" would.
  const int err = options.err == options.out ? ::fcntl(out, F_DUPFD_CLOEXEC, 0)
                                              : ::open(options.err.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  pid_t pid = -1;
  if (in >= 0 && out >= 0 && err >= 0) pid = ::fork();
  if (pid == 0) {
    if (!options.folder.empty() && ::chdir(options.folder.c_str()) != 0) ::_exit(126);
    ::dup2(in, 0);
    ::dup2(out, 1);
    ::dup2(err, 2);
    ::execve(args[0], args.data(), env.data());
    ::_exit(127);
  }
  for (int fd : {in, out, err})
    if (fd >= 0) ::close(fd);
  return ChildProcess(pid);
}

// Runs the program to its end (killed after `limit`): its exit code, -1 when it did not exit
// by itself.
inline int RunProgram(const std::vector<std::string>& argv, const ProgramOptions& options = {},
                      std::chrono::milliseconds limit = std::chrono::minutes(2)) {
  ChildProcess child = StartProgram(argv, options);
  if (!child.Started()) return -1;
  const int status = child.Wait(limit);
  return status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace zan::testing
