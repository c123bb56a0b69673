#include "os/user_message.h"

#include <windows.h>

#include <deque>
#include <mutex>

#include "os/win32/message_owner.h"

namespace {

const char kCaption[] = "Tarnell Multi Function Panel";

struct Waiting {
    std::string text;
    MessageIcon icon;
};

std::mutex waitingLock;
std::deque<Waiting> waiting;
HWND owner = nullptr;

UINT Style(MessageIcon icon) { return MB_OK | (icon == MessageIcon::Error ? MB_ICONERROR : MB_ICONINFORMATION); }

class MessageBoxUserMessages : public UserMessages {
public:
    void Show(const std::string& text, MessageIcon icon) override {
        HWND window = nullptr;
        {
            std::lock_guard<std::mutex> hold(waitingLock);
            window = owner;
            if (window && GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId()) {
                waiting.push_back({text, icon});
                if (PostMessageA(window, UserMessagesWaitingMessage(), 0, 0)) return;
                waiting.pop_back();
                window = nullptr;  // no window to hand it to: shown here, in front of everything
            }
        }
        if (window) MessageBoxA(window, text.c_str(), kCaption, Style(icon));
        else MessageBoxA(GetActiveWindow(), text.c_str(), kCaption, Style(icon) | MB_TOPMOST | MB_SETFOREGROUND);
    }
};

}  // namespace

UserMessages& PlatformUserMessages() {
    static MessageBoxUserMessages messages;
    return messages;
}

void SetUserMessageOwner(HWND window) {
    std::lock_guard<std::mutex> hold(waitingLock);
    owner = window;
    if (!window) waiting.clear();
}

UINT UserMessagesWaitingMessage() {
    static const UINT message = RegisterWindowMessageA("Tarnell MFP: messages waiting");
    return message;
}

void ShowWaitingUserMessages() {
    for (;;) {
        Waiting next;
        HWND window = nullptr;
        {
            std::lock_guard<std::mutex> hold(waitingLock);
            if (waiting.empty()) return;
            next = std::move(waiting.front());
            waiting.pop_front();
            window = owner;
        }
        MessageBoxA(window, next.text.c_str(), kCaption, Style(next.icon));
    }
}
