#pragma once
// The value checks of a version 4.4 parameter block, in the order they run. A check that
// depends on a condition passes when the condition does not hold; a list whose entries
// would reach past the block fails.

#include <cstdint>

#include "maintenance/pib_layout.h"
#include "maintenance/pib_record.h"

namespace zv {

using PibBlock = FixedRecord<kPibCheckedLength>;

struct PibValueCheck {
  int order;          // checks of one order share a purpose and a guard
  const char* name;   // the offsets it looks at, e.g. "552, 560"
  bool (*applies)(const PibBlock&);  // null: always; otherwise the order's guard
  bool (*passes)(const PibBlock&);
};

// The first check the block fails, or null when it passes them all.
const PibValueCheck* first_failed_pib_check(const PibBlock& block);

}  // namespace zv
