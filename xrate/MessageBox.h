#pragma once

#include <functional>
#include <string>

// Every error reaches the user through ShowMessageBox. The desktop application
// installs a handler that shows a modal box; headless runs print the message;
// tests install a recorder so no test ever blocks. Without a handler the
// message goes to standard error.

inline constexpr unsigned kMbOk = 0;                // one OK button, no icon
inline constexpr unsigned kMbIconExclamation = 48;  // exclamation icon, one OK button
inline constexpr int kIdOk = 1;

struct MessageBoxCall {
    void* owner;          // the view that owns the box, or nullptr for an ownerless box
    std::string text;
    std::string caption;
    unsigned type;
    std::string detail;   // extra facts for the curious (OS reason, device path); may be empty
};

using MessageBoxHandler = std::function<int(const MessageBoxCall&)>;

// Shows a message and returns the button that closed it.
int ShowMessageBox(void* owner, const char* text, const char* caption, unsigned type,
                   const char* detail = nullptr);

// Installs a handler (an empty one restores the default) and returns the previous one.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);
