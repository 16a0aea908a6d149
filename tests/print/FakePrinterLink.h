// A printer link for tests: records every write, answers reads from a script,
// and keeps a trace of writes, reads and pauses ("W2 P10 R1 ...") in which a
// run of equal entries is folded into one ("W64x17").
#pragma once

#include "platform/TickCount.h"
#include "print/PrinterLink.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

inline constexpr int kSilent = -1; // a read that receives nothing

class FakePrinterLink : public PrinterLink {
public:
    FakePrinterLink() {
        SetSleepFunction([this](std::uint32_t ms) {
            pausedMs += ms;
            Log("P" + std::to_string(ms));
        });
    }
    ~FakePrinterLink() override { SetSleepFunction({}); }

    void Write(std::span<const std::uint8_t> bytes) override {
        writes.emplace_back(bytes.begin(), bytes.end());
        Log("W" + std::to_string(bytes.size()));
    }

    void Read(std::span<std::uint8_t> reply) override {
        for (std::uint8_t b : reply) {
            EXPECT_EQ(b, 0) << "reply buffer not cleared before read " << reads;
        }
        ++reads;
        Log("R" + std::to_string(reply.size()));
        int answer = fallback;
        if (!script.empty()) {
            answer = script.front();
            script.pop_front();
        }
        if (answer != kSilent) {
            reply[0] = static_cast<std::uint8_t>(answer);
        }
    }

    std::string Trace() const {
        std::string text;
        for (std::size_t k = 0; k < entries_.size();) {
            std::size_t run = 1;
            while (k + run < entries_.size() && entries_[k + run] == entries_[k]) {
                ++run;
            }
            text += (text.empty() ? "" : " ") + entries_[k] + (run > 1 ? "x" + std::to_string(run) : "");
            k += run;
        }
        return text;
    }

    std::vector<std::uint8_t> Stream() const {
        std::vector<std::uint8_t> all;
        for (const auto& w : writes) {
            all.insert(all.end(), w.begin(), w.end());
        }
        return all;
    }

    void ClearRecord() {
        writes.clear();
        entries_.clear();
        reads = 0;
        pausedMs = 0;
    }

    std::deque<int> script; // answers to the next reads, first byte only
    int fallback = kSilent; // answer once the script has run out
    std::vector<std::vector<std::uint8_t>> writes;
    int reads = 0;
    std::uint32_t pausedMs = 0;

private:
    void Log(std::string entry) { entries_.push_back(std::move(entry)); }
    std::vector<std::string> entries_;
};

inline std::string Repeat(const std::string& text, int times) {
    std::string all;
    for (int k = 0; k < times; ++k) {
        all += text;
    }
    return all;
}
