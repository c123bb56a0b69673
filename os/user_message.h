// Messages the user must see: a modal message box on Windows, a recorded message elsewhere.
#pragma once

#include <string>
#include <vector>

enum class MessageIcon { Information, Error };

class UserMessages {
public:
    virtual ~UserMessages() = default;
    // Shows the text and returns once the user has dismissed it.
    virtual void Show(const std::string& text, MessageIcon icon) = 0;
};

// Keeps every message instead of showing it: for tests, the tools and the panel simulator.
class RecordedUserMessages : public UserMessages {
public:
    struct Message {
        std::string text;
        MessageIcon icon;
    };
    void Show(const std::string& text, MessageIcon icon) override { shown.push_back({text, icon}); }
    std::vector<Message> shown;
};

// The platform's own message box (Windows); defined only in the Windows builds.
UserMessages& PlatformUserMessages();
