#include "base/user_notice.h"

namespace zv {

NoticeAnswer default_answer(NoticeButtons buttons) {
  switch (buttons) {
    case NoticeButtons::Ok:
    case NoticeButtons::OkCancel:
      return NoticeAnswer::Ok;
    case NoticeButtons::YesNo:
    case NoticeButtons::YesNoCancel:
      return NoticeAnswer::Yes;
    case NoticeButtons::RetryCancel:
      return NoticeAnswer::Retry;
  }
  return NoticeAnswer::Ok;
}

NoticeAnswer RecordingNotice::show(const Notice& notice) {
  shown.push_back(notice);
  if (scriptedAnswers.empty()) return default_answer(notice.buttons);
  const NoticeAnswer answer = scriptedAnswers.front();
  scriptedAnswers.erase(scriptedAnswers.begin());
  return answer;
}

}  // namespace zv
