#include "state/state_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <memory>

#include "discovery/fixed_text.h"
#include "security/key_derivation.h"

namespace zv {
namespace {

// Owns a file descriptor; closing through close() reports its error.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }
  bool close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

bool write_all(int fd, const std::vector<std::uint8_t>& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// Reads at most `limit` bytes; false on a read error.
bool read_up_to(int fd, std::size_t limit, std::vector<std::uint8_t>& bytes) {
  bytes.resize(limit);
  std::size_t done = 0;
  while (done < limit) {
    const ssize_t n = ::read(fd, bytes.data() + done, limit - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  bytes.resize(done);
  return true;
}

// Makes a finished rename survive a crash as well.
void sync_folder(const std::filesystem::path& folder) {
  FileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd.get() >= 0) ::fsync(fd.get());
}

void show_unexpected_error(StateContext& context, const char* caption, NoticeIcon icon) {
  context.transport.notice().show(
      Notice{kUnexpectedErrorText, caption, icon, NoticeButtons::Ok, kMainPageOwner});
}

// Renames an unreadable file to "<name>.unreadable-YYYYMMDD-HHMMSS" (with "-2", "-3", ...
// when that exists); the path it got, or empty when it could not be renamed.
std::filesystem::path keep_aside(const std::filesystem::path& file) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  const std::string base = file.string() + kKeptAsideInfix + stamp;
  for (int n = 1; n < 1000; ++n) {
    const std::filesystem::path target = n == 1 ? base : base + "-" + std::to_string(n);
    // link + unlink never replaces a file that is already there; where the file system
    // has no hard links, rename after a look.
    if (::link(file.c_str(), target.c_str()) == 0) {
      ::unlink(file.c_str());
      return target;
    }
    if (errno == EEXIST) continue;
    std::error_code error;
    if (std::filesystem::exists(target, error)) continue;
    if (::rename(file.c_str(), target.c_str()) == 0) return target;
    break;
  }
  return {};
}

}  // namespace

SaveResult save_state(StateContext& context) {
  DiscoveryState& d = context.discovery;
  if (d.deviceCount == 0) return SaveResult::NothingToSave;
  const auto bytes = encode_state_file(context.transport.currentNic, d.stationBlocks, d.deviceCount,
                                       d.deviceRecords, context.deviceList.list_layout());
  // A count the file could not hold is never written: the file would not load again.
  if (bytes.empty()) return SaveResult::Failed;

  const std::filesystem::path temporary = context.stateFile.string() + ".tmp";
  ::unlink(temporary.c_str());  // a leftover of an interrupted save
  FileDescriptor fd(::open(temporary.c_str(),
                           O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600));
  if (fd.get() < 0) return SaveResult::Failed;
  if (::fchmod(fd.get(), 0600) != 0 || !write_all(fd.get(), bytes)) {
    fd.close();
    ::unlink(temporary.c_str());
    return SaveResult::Failed;
  }
  const bool synced = ::fsync(fd.get()) == 0;
  if (!fd.close() || !synced) {
    ::unlink(temporary.c_str());
    show_unexpected_error(context, "错误", NoticeIcon::Error);
    return SaveResult::Failed;
  }
  if (context.beforeReplace) context.beforeReplace();
  if (::rename(temporary.c_str(), context.stateFile.c_str()) != 0) {
    ::unlink(temporary.c_str());
    show_unexpected_error(context, "错误", NoticeIcon::Error);
    return SaveResult::Failed;
  }
  sync_folder(context.stateFile.parent_path().empty() ? "." : context.stateFile.parent_path());
  return SaveResult::Saved;
}

std::optional<StateFileFault> read_state_file(const std::filesystem::path& file, StateFile& state) {
  std::vector<std::uint8_t> bytes;
  {
    FileDescriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) return std::nullopt;
    // A read error counts as a file that ends there.
    if (!read_up_to(fd.get(), kStateFileMaxSize, bytes)) bytes.clear();
  }
  return decode_state_file(bytes, state);
}

LoadOutcome load_state(StateContext& context) {
  LoadOutcome outcome;
  auto file = std::make_unique<StateFile>();
  file->layout = context.deviceList.list_layout();
  const auto fault = read_state_file(context.stateFile, *file);
  if (!fault) {
    reset_state(context);
    return outcome;
  }
  outcome.fault = *fault;
  if (outcome.fault == StateFileFault::None) {
    DiscoveryState& d = context.discovery;
    context.transport.currentNic = file->currentNic;
    d.stationBlocks = file->stationBlocks;
    d.deviceCount = file->deviceCount;
    d.deviceRecords = file->deviceRecords;  // entries past the count were read as zero
    context.deviceList.apply_list_layout(file->layout);
    outcome.result = LoadResult::Loaded;
    return outcome;
  }

  outcome.result = LoadResult::KeptAside;
  outcome.keptAsidePath = keep_aside(context.stateFile);
  reset_state(context);
  if (outcome.fault == StateFileFault::OldVersion)
    show_unexpected_error(context, "注意!", NoticeIcon::Warning);
  else if (outcome.fault == StateFileFault::BadDeviceCount)
    show_unexpected_error(context, "错误", NoticeIcon::Warning);
  return outcome;
}

void reset_state(StateContext& context) {
  context.transport.open_all_nics();
  DiscoveryState& d = context.discovery;
  for (StationBlock& block : d.stationBlocks) {
    block = StationBlock{};
    set_fixed_text(block.networkName, kAvDefaultNetworkPassword);
    block.stationCount = 0;
  }
  std::fill(d.deviceRecords.begin(), d.deviceRecords.end(), DeviceRecord{});
  d.deviceCount = 0;
  context.transport.currentNic = 0;
}

}  // namespace zv
