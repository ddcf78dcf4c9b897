// Round trip of a management frame through the transport against the raw AF_PACKET floor,
// on a veth pair between two namespaces made here, with an immediate responder on the far
// end. Needs root. Usage: transport_roundtrip [exchanges]

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "base/bytes.h"
#include "base/clock.h"
#include "base/user_notice.h"
#include "support/memory_network.h"
#include "support/veth_network.h"
#include "transport/pcap_backend.h"
#include "transport/transport.h"

using namespace zv;
using Steady = std::chrono::steady_clock;

namespace {

double micros(Steady::duration d) { return std::chrono::duration<double, std::micro>(d).count(); }

struct Stats {
  double median, p99;
};

Stats stats_of(std::vector<double> samples) {
  std::sort(samples.begin(), samples.end());
  return {samples[samples.size() / 2], samples[samples.size() * 99 / 100]};
}

// Answers every management frame addressed to the peer with a 64-byte frame back.
void respond(int fd, const MacAddress& self, const std::atomic<bool>& stop) {
  std::uint8_t frame[2048];
  while (!stop) {
    const long n = test::raw_receive(fd, frame, sizeof frame, 50);
    if (n < 14 || get_be16(frame + 12) != 0x88E1 || !std::equal(self.begin(), self.end(), frame))
      continue;
    std::uint8_t answer[64] = {};
    std::copy(frame + 6, frame + 12, answer);
    std::copy(self.begin(), self.end(), answer + 6);
    put_be16(answer + 12, 0x88E1);
    answer[15] = frame[15] | 1;
    std::copy(frame + 20, frame + 24, answer + 20);  // sequence number back
    test::raw_send(fd, answer, sizeof answer);
  }
}

std::vector<std::uint8_t> request(const test::VethNetwork& veth, std::size_t length,
                                  std::uint32_t sequence) {
  auto frame = test::make_frame(veth.peerMac, veth.programMac, 0x88E1, length);
  put_le32(frame.data() + 20, sequence);
  return frame;
}

}  // namespace

int main(int argc, char** argv) {
  const int exchanges = argc > 1 ? std::atoi(argv[1]) : 1000;
  const std::string why = test::VethNetwork::unavailable_reason();
  if (!why.empty()) {
    std::printf("skipped: %s\n", why.c_str());
    return 0;
  }
  test::VethNetwork veth;
  std::atomic<bool> stop{false};
  const int peer = veth.open_peer_socket();
  std::thread responder(respond, peer, veth.peerMac, std::cref(stop));
  veth.enter_program_side();

  // Raw floor: the same exchange on a plain AF_PACKET socket.
  std::vector<double> raw;
  double rawBulk = 0;
  {
    const int fd = veth.open_program_socket();
    std::uint8_t answer[2048];
    auto once = [&](std::size_t length, std::uint32_t sequence) {
      const auto frame = request(veth, length, sequence);
      test::raw_send(fd, frame.data(), frame.size());
      for (;;) {
        const long n = test::raw_receive(fd, answer, sizeof answer, 1000);
        if (n < 0) return false;
        if (get_be16(answer + 12) == 0x88E1 && get_le32(answer + 20) == sequence) return true;
      }
    };
    for (int i = 0; i < 100; ++i) once(64, static_cast<std::uint32_t>(i));
    for (int i = 0; i < exchanges; ++i) {
      const auto t0 = Steady::now();
      once(64, static_cast<std::uint32_t>(1000000 + i));
      raw.push_back(micros(Steady::now() - t0));
    }
    const auto t0 = Steady::now();
    for (int i = 0; i < 1024; ++i) once(1056, static_cast<std::uint32_t>(2000000 + i));
    rawBulk = micros(Steady::now() - t0);
    close(fd);
  }

  RealClock clock;
  RecordingNotice notice;
  PcapBackend backend;
  Transport transport(backend, clock, notice);
  transport.open_all_nics();
  std::uint8_t buffer[1514];
  int length = 0;
  auto exchange = [&](std::size_t size, std::uint32_t sequence) {
    const auto frame = request(veth, size, sequence);
    transport.send_frame(0, frame.data(), frame.size());
    const auto deadline = clock.deadline_after_ms(1000);
    while (!clock.reached(deadline)) {
      if (transport.poll_management_frame(buffer, length)) {
        if (get_le32(buffer + 20) == sequence) return true;
        continue;
      }
      transport.pause(deadline);
    }
    return false;
  };
  std::vector<double> viaTransport;
  for (int i = 0; i < 100; ++i) exchange(64, static_cast<std::uint32_t>(3000000 + i));
  for (int i = 0; i < exchanges; ++i) {
    const auto t0 = Steady::now();
    if (!exchange(64, static_cast<std::uint32_t>(4000000 + i))) std::printf("lost exchange %d\n", i);
    viaTransport.push_back(micros(Steady::now() - t0));
  }
  const auto bulk0 = Steady::now();
  for (int i = 0; i < 1024; ++i) exchange(1056, static_cast<std::uint32_t>(5000000 + i));
  const double transportBulk = micros(Steady::now() - bulk0);

  // A 50 ms polling wait with nothing arriving.
  std::vector<double> waits;
  for (int i = 0; i < 20; ++i) {
    const auto t0 = Steady::now();
    const auto deadline = clock.deadline_after_ms(50);
    while (!clock.reached(deadline)) {
      if (!transport.poll_management_frame(buffer, length)) transport.pause(deadline);
    }
    waits.push_back(micros(Steady::now() - t0) / 1000.0);
  }
  transport.close_all_nics();
  stop = true;
  responder.join();
  close(peer);

  const Stats r = stats_of(raw), t = stats_of(viaTransport);
  std::printf("64-byte round trip over %d exchanges (microseconds)\n", exchanges);
  std::printf("  raw AF_PACKET : median %8.1f  p99 %8.1f\n", r.median, r.p99);
  std::printf("  transport     : median %8.1f  p99 %8.1f\n", t.median, t.p99);
  std::printf("  ratio         : median %.2f  p99 %.2f\n", t.median / r.median, t.p99 / r.p99);
  std::printf("1 MiB stop-and-wait, 1024 frames of 1056 bytes (ms)\n");
  std::printf("  raw AF_PACKET : %8.1f\n  transport     : %8.1f  (ratio %.2f)\n", rawBulk / 1000,
              transportBulk / 1000, transportBulk / rawBulk);
  std::printf("50 ms wait (ms): min %.3f  max %.3f\n", *std::min_element(waits.begin(), waits.end()),
              *std::max_element(waits.begin(), waits.end()));
  return 0;
}
