#include "cli_notice.h"

#include <cstdio>

namespace zv {

NoticeAnswer CliNotice::show(const Notice& notice) {
  std::fprintf(stderr, "[%s] %s\n", notice.caption.c_str(), notice.text.c_str());
  return default_answer(notice.buttons);
}

void CliNotice::show_progress(const std::string& text) {
  std::fprintf(stderr, "%s\n", text.c_str());
}

}  // namespace zv
