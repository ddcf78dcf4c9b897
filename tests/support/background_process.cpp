#include "support/background_process.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

namespace zv::test {

BackgroundProcess::BackgroundProcess(const std::vector<std::string>& argv) {
  int pipeFds[2];
  if (argv.empty() || ::pipe(pipeFds) != 0) throw std::runtime_error("cannot start a process");
  pid_ = ::fork();
  if (pid_ < 0) throw std::runtime_error("cannot fork");
  if (pid_ == 0) {
    ::dup2(pipeFds[1], STDOUT_FILENO);
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
    std::vector<char*> args;
    for (const auto& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    ::execvp(args[0], args.data());
    ::_exit(127);
  }
  ::close(pipeFds[1]);
  stdout_ = pipeFds[0];
}

BackgroundProcess::~BackgroundProcess() {
  stop();
  if (stdout_ >= 0) ::close(stdout_);
}

int BackgroundProcess::stop() {
  if (pid_ <= 0) return -1;
  ::kill(pid_, SIGTERM);
  int status = 0;
  ::waitpid(pid_, &status, 0);
  pid_ = -1;
  return status;
}

bool BackgroundProcess::wait_for(const std::string& text, int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (output_.find(text) == std::string::npos) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd p{stdout_, POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) return false;
    char chunk[512];
    const ssize_t n = ::read(stdout_, chunk, sizeof chunk);
    if (n <= 0) return false;
    output_.append(chunk, static_cast<std::size_t>(n));
  }
  return true;
}

}  // namespace zv::test
