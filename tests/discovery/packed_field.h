#pragma once
// Multi-byte fields of the packed records sit at unaligned offsets: tests read them by
// value (gtest's macros would bind references to them).

namespace zv::test {

template <typename T>
T field(T value) {
  return value;
}

}  // namespace zv::test
