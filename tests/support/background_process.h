#pragma once
// A program run in the background for a test (a simulator daemon), stopped with SIGTERM
// when the test ends.

#include <string>
#include <vector>

namespace zv::test {

class BackgroundProcess {
 public:
  // Starts argv[0] (looked up in PATH) with its standard output readable by wait_for.
  explicit BackgroundProcess(const std::vector<std::string>& argv);
  ~BackgroundProcess();
  BackgroundProcess(const BackgroundProcess&) = delete;
  BackgroundProcess& operator=(const BackgroundProcess&) = delete;

  // True once the program printed `text`; false when it did not within `timeoutMs` or
  // ended first. What it printed so far is in output().
  bool wait_for(const std::string& text, int timeoutMs);
  const std::string& output() const { return output_; }
  // Sends SIGTERM and waits for the end; the wait status (as waitpid gives it), or -1 when
  // it was stopped already.
  int stop();

 private:
  int pid_ = -1;
  int stdout_ = -1;
  std::string output_;
};

}  // namespace zv::test
