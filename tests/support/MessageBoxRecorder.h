#pragma once

#include "xrate/MessageBox.h"

#include <vector>

namespace testsupport {

// Installs itself as the message-box handler for its lifetime and keeps every
// box it was asked to show, answering each with OK.
class MessageBoxRecorder {
public:
    MessageBoxRecorder()
        : m_previous(SetMessageBoxHandler([this](const MessageBoxCall& call) {
              calls.push_back(call);
              return kIdOk;
          }))
    {
    }
    ~MessageBoxRecorder() { SetMessageBoxHandler(std::move(m_previous)); }

    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    std::vector<MessageBoxCall> calls;

private:
    MessageBoxHandler m_previous;
};

} // namespace testsupport
