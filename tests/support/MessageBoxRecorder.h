// Answers message boxes in GUI tests: records every box shown and gives the
// queued answers in turn (IDOK when the queue is empty).
#pragma once

#include "platform/MessageBox.h"

#include <vector>

class MessageBoxRecorder : public platform::MessageBoxes {
public:
    MessageBoxRecorder() { Replace(this); }
    ~MessageBoxRecorder() override { Replace(nullptr); }

    int Show(QWidget*, const platform::MessageBoxRequest& request) override {
        shown.push_back(request);
        return next < answers.size() ? answers[next++] : int(IDOK);
    }

    void Answer(int answer) { answers.push_back(answer); }

    std::vector<int> answers;
    std::size_t next = 0; // the answer the next box gets
    std::vector<platform::MessageBoxRequest> shown;
};
