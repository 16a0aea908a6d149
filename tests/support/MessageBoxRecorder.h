// Answers message boxes in GUI tests: records every box shown and gives the
// queued answers in turn (IDOK when the queue is empty).
#pragma once

#include "platform/MessageBox.h"

#include <vector>

class MessageBoxRecorder {
public:
    MessageBoxRecorder() {
        platform::SetMessageBoxHandler([this](const platform::MessageBoxRequest& request) {
            shown.push_back(request);
            return next < answers.size() ? answers[next++] : int(IDOK);
        });
    }
    ~MessageBoxRecorder() { platform::SetMessageBoxHandler({}); }

    void Answer(int answer) { answers.push_back(answer); }

    std::vector<int> answers;
    std::size_t next = 0; // the answer the next box gets
    std::vector<platform::MessageBoxRequest> shown;
};
