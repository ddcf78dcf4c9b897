#include "transport/nic_record.h"

namespace zv {

const char* adapter_kind_name(std::int32_t kind) {
  static const char* const kTexts[] = {
      "Adapter",
      "USB",
      "HomePlug Turbo Device",
      "HomePlug 1.0 Device",
      "1x00 电力线以太网适配器",
      "2400 电力线以太网适配器",
  };
  if (kind < 0 || kind >= static_cast<std::int32_t>(std::size(kTexts))) return kTexts[0];
  return kTexts[kind];
}

}  // namespace zv
