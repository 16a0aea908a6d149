// The printer link library pointed at a test's device tree and waits for as
// long as this lives; the real ones come back after.
#pragma once

#include "tavopus/Settings.h"

#include <string>

struct TavopusEnvironment : tavopus::Environment {
    TavopusEnvironment() { Replace(this); }
    ~TavopusEnvironment() override { Replace(nullptr); }
    TavopusEnvironment(const TavopusEnvironment&) = delete;
    TavopusEnvironment& operator=(const TavopusEnvironment&) = delete;

    std::string SysfsRoot() const override { return sysfsRoot; }
    std::string DevRoot() const override { return devRoot; }
    int ReplyWindowMs() const override { return replyWindowMs; }
    int WriteWaitMs() const override { return writeWaitMs; }

    std::string sysfsRoot = "/sys";
    std::string devRoot = "/dev";
    int replyWindowMs = tavopus::kReplyWindowMs;
    int writeWaitMs = tavopus::kWriteWaitMs;
};
