// Answers message boxes in GUI tests: records every box shown and gives the
// queued answers in turn (IDOK when the queue is empty).
#pragma once

#include "platform/MessageBox.h"

#include <deque>
#include <vector>

class MessageBoxRecorder {
public:
    MessageBoxRecorder() {
        platform::SetMessageBoxHandler([this](const platform::MessageBoxRequest& request) {
            shown.push_back(request);
            if (answers.empty()) {
                return static_cast<int>(IDOK);
            }
            const int answer = answers.front();
            answers.pop_front();
            return answer;
        });
    }
    ~MessageBoxRecorder() { platform::SetMessageBoxHandler({}); }
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    void Answer(int answer) { answers.push_back(answer); }

    std::deque<int> answers;
    std::vector<platform::MessageBoxRequest> shown;
};
