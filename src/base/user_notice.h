#pragma once
// The user-notice seam: every message box, the wait cursor and progress texts. The GUI
// shows real dialogs, the command-line front end prints, tests record and script answers.
// Texts are UTF-8.

#include <string>
#include <vector>

namespace zv {

enum class NoticeIcon { None, Error, Warning, Information, Question, Stop };
enum class NoticeButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
enum class NoticeAnswer { Ok, Cancel, Yes, No, Retry };

struct Notice {
  std::string text;
  std::string caption;
  NoticeIcon icon = NoticeIcon::None;
  NoticeButtons buttons = NoticeButtons::Ok;
  // Which window owns the box; empty for a box without owner window.
  std::string owner;
};

class UserNotice {
 public:
  virtual ~UserNotice() = default;
  virtual NoticeAnswer show(const Notice& notice) = 0;
  virtual void set_wait_cursor(bool /*busy*/) {}
  virtual void show_progress(const std::string& /*text*/) {}
};

// Keeps every notice and answers from a script (then with the first button's answer).
class RecordingNotice final : public UserNotice {
 public:
  NoticeAnswer show(const Notice& notice) override;
  void set_wait_cursor(bool busy) override { waitCursor = busy; }
  void show_progress(const std::string& text) override { progress.push_back(text); }

  std::vector<Notice> shown;
  std::vector<NoticeAnswer> scriptedAnswers;  // taken from the front
  std::vector<std::string> progress;
  bool waitCursor = false;
};

// The answer a box gives when nobody chooses: its first button.
NoticeAnswer default_answer(NoticeButtons buttons);

}  // namespace zv
