#pragma once
// A classic pcap file (microsecond stamps, Ethernet link type) that every frame of both
// directions is appended to. Each record is flushed, so the file can be read while the
// simulator runs and is complete when it is killed.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>

namespace zv::sim {

class PcapWriter {
 public:
  // Creates (truncates) the file and writes the global header; throws std::runtime_error
  // naming the path when it cannot.
  explicit PcapWriter(const std::string& path);
  // Appends one frame seen at `timeUs` (microseconds since the epoch or any origin).
  void write(std::uint64_t timeUs, std::span<const std::uint8_t> frame);

 private:
  struct Closer {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };
  std::unique_ptr<std::FILE, Closer> file_;
};

}  // namespace zv::sim
