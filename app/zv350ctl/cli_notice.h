#pragma once
// The command-line front end's user notices: printed to standard error, answered with
// the box's first button.

#include "base/user_notice.h"

namespace zv {

class CliNotice final : public UserNotice {
 public:
  NoticeAnswer show(const Notice& notice) override;
  void show_progress(const std::string& text) override;
};

}  // namespace zv
