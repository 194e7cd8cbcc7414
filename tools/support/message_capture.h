// Records every message box the calling thread raises, instead of letting it wait for a
// user: caption, text and style are kept, and the box is answered at once.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace lmx {

struct CapturedMessage {
  std::wstring caption;
  std::wstring text;
  UINT style = 0;  // MB_ICON* and the button set, as read off the box
};

class MessageCapture {
 public:
  // `answer` is the button pressed (IDOK by default; the box's only button otherwise).
  explicit MessageCapture(int answer = IDOK);
  ~MessageCapture();
  MessageCapture(const MessageCapture&) = delete;
  MessageCapture& operator=(const MessageCapture&) = delete;

  const std::vector<CapturedMessage>& Messages() const { return messages_; }
  void Clear() { messages_.clear(); }
  void SetAnswer(int answer) { answer_ = answer; }
  // Called with each box as it is captured (after it is recorded).
  void (*onMessage)(const CapturedMessage&) = nullptr;
  // Called with each box's window while it is still open, before it is answered.
  std::function<void(HWND)> inspect;

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
  void Capture(HWND box);

  HHOOK hook_;
  HWND lastBox_ = nullptr;  // a box is activated again while its answer is on the way
  int answer_;
  std::vector<CapturedMessage> messages_;
  MessageCapture* previous_;
};

std::string ToUtf8(const std::wstring& text);

}  // namespace lmx
