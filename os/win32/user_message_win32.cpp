#include "os/user_message.h"

#include <windows.h>

namespace {

class MessageBoxUserMessages : public UserMessages {
public:
    void Show(const std::string& text, MessageIcon icon) override {
        const UINT style = icon == MessageIcon::Error ? MB_ICONERROR : MB_ICONINFORMATION;
        // Owned by the calling thread's active window, as the framework's message box is.
        MessageBoxA(GetActiveWindow(), text.c_str(), "Tarnell Multi Function Panel", MB_OK | style);
    }
};

}  // namespace

UserMessages& PlatformUserMessages() {
    static MessageBoxUserMessages messages;
    return messages;
}
