#include "transport/pcap_backend.h"

#include <net/if.h>
#include <net/if_arp.h>
#include <pcap/pcap.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <ctime>

#include "transport/management_filter.h"

namespace zv {

namespace {

struct PcapCloser {
  void operator()(pcap_t* p) const { pcap_close(p); }
};
using PcapPtr = std::unique_ptr<pcap_t, PcapCloser>;

struct FdCloser {
  int fd;
  ~FdCloser() {
    if (fd >= 0) ::close(fd);
  }
};

class PcapHandle final : public CaptureHandle {
 public:
  explicit PcapHandle(PcapPtr pcap) : pcap_(std::move(pcap)), fd_(pcap_get_selectable_fd(pcap_.get())) {}

  bool send(std::span<const std::uint8_t> frame) override {
    return pcap_sendpacket(pcap_.get(), frame.data(), static_cast<int>(frame.size())) == 0;
  }

  int receive(std::vector<std::uint8_t>& frame) override {
    frame_ = &frame;
    const int n = pcap_dispatch(pcap_.get(), 1, &PcapHandle::on_packet,
                                reinterpret_cast<u_char*>(this));
    frame_ = nullptr;
    if (n < 0) return -1;
    return n > 0 ? 1 : 0;
  }

  int selectable_fd() const { return fd_; }

 private:
  static void on_packet(u_char* user, const pcap_pkthdr* header, const u_char* bytes) {
    auto* self = reinterpret_cast<PcapHandle*>(user);
    self->frame_->assign(bytes, bytes + header->caplen);
  }

  PcapPtr pcap_;
  int fd_;
  std::vector<std::uint8_t>* frame_ = nullptr;
};

OpenFailure failure_of(int status) {
  switch (status) {
    case PCAP_ERROR_PERM_DENIED:
    case PCAP_ERROR_PROMISC_PERM_DENIED:
      return OpenFailure::NoPermission;
    case PCAP_ERROR_NO_SUCH_DEVICE:
      return OpenFailure::NoSuchDevice;
    default:
      return OpenFailure::Other;
  }
}

}  // namespace

bool PcapBackend::read_address(const std::string& name, MacAddress& mac) {
  ifreq request{};
  if (name.size() >= sizeof request.ifr_name) return false;
  std::memcpy(request.ifr_name, name.c_str(), name.size() + 1);
  FdCloser sock{::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0)};
  if (sock.fd < 0 || ::ioctl(sock.fd, SIOCGIFHWADDR, &request) != 0) return false;
  if (request.ifr_hwaddr.sa_family != ARPHRD_ETHER) return false;
  std::memcpy(mac.data(), request.ifr_hwaddr.sa_data, mac.size());
  return true;
}

bool PcapBackend::list_interfaces(std::vector<InterfaceInfo>& out) {
  out.clear();
  char error[PCAP_ERRBUF_SIZE] = {};
  pcap_if_t* list = nullptr;
  if (pcap_findalldevs(&list, error) != 0) return false;
  for (pcap_if_t* dev = list; dev != nullptr; dev = dev->next) {
    if ((dev->flags & PCAP_IF_LOOPBACK) != 0 || (dev->flags & PCAP_IF_UP) == 0) continue;
    MacAddress mac{};
    if (!read_address(dev->name, mac)) continue;
    out.push_back({dev->name, dev->description ? dev->description : ""});
  }
  pcap_freealldevs(list);
  return true;
}

std::unique_ptr<CaptureHandle> PcapBackend::open(const std::string& name, OpenFailure& why,
                                                 std::string& detail) {
  char error[PCAP_ERRBUF_SIZE] = {};
  PcapPtr pcap(pcap_create(name.c_str(), error));
  if (!pcap) {
    why = OpenFailure::Other;
    detail = error;
    return nullptr;
  }
  // Immediate mode: a frame is handed over as soon as it arrives instead of waiting for
  // the buffer to fill or the read time-out to run out.
  pcap_set_snaplen(pcap.get(), 65536);
  pcap_set_promisc(pcap.get(), 0);
  pcap_set_timeout(pcap.get(), 1);
  pcap_set_immediate_mode(pcap.get(), 1);
  const int status = pcap_activate(pcap.get());
  if (status < 0) {
    why = failure_of(status);
    detail = pcap_geterr(pcap.get());
    return nullptr;
  }
  if (pcap_datalink(pcap.get()) != DLT_EN10MB) {
    why = OpenFailure::Other;
    detail = "not an Ethernet interface";
    return nullptr;
  }
  // Our own requests would otherwise come back to us as if an adapter had sent them.
  pcap_setdirection(pcap.get(), PCAP_D_IN);
  if (pcap_setnonblock(pcap.get(), 1, error) != 0) {
    why = OpenFailure::Other;
    detail = error;
    return nullptr;
  }
  if (pcap_setfilter(pcap.get(), const_cast<bpf_program*>(&management_filter_program())) != 0) {
    why = OpenFailure::FilterRejected;
    detail = pcap_geterr(pcap.get());
    return nullptr;
  }
  why = OpenFailure::None;
  return std::make_unique<PcapHandle>(std::move(pcap));
}

void PcapBackend::wait_readable(std::span<CaptureHandle* const> handles, std::uint64_t timeout_us) {
  pollfd fds[8];
  nfds_t count = 0;
  for (CaptureHandle* handle : handles) {
    const int fd = static_cast<PcapHandle*>(handle)->selectable_fd();
    if (fd >= 0 && count < 8) fds[count++] = {fd, POLLIN, 0};
  }
  const timespec timeout{static_cast<time_t>(timeout_us / 1000000u),
                         static_cast<long>(timeout_us % 1000000u) * 1000};
  ::ppoll(fds, count, &timeout, nullptr);
}

}  // namespace zv
