// Answers message boxes in GUI tests: records every box shown and gives the
// queued answers in turn (OK when the queue is empty).
#pragma once

#include "platform/MessageBox.h"

#include <vector>

class MessageBoxRecorder : public platform::MessageBoxes {
public:
    MessageBoxRecorder() { Replace(this); }
    ~MessageBoxRecorder() override { Replace(nullptr); }

    QMessageBox::StandardButton Show(QWidget*, const platform::MessageBoxRequest& request) override {
        shown.push_back(request);
        return next < answers.size() ? answers[next++] : QMessageBox::Ok;
    }

    std::vector<QMessageBox::StandardButton> answers;
    std::size_t next = 0; // the answer the next box gets
    std::vector<platform::MessageBoxRequest> shown;
};
