// Copies a secret to the clipboard with the hint that clipboard managers and
// password managers read to keep it out of their history, and clears it again
// after a while, or when it goes, if the clipboard still holds that secret:
// at exit Qt hands what the clipboard holds to a clipboard manager.
#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QMimeData;

class SecretClipboard : public QObject {
    Q_OBJECT
public:
    // Runs `done` once after `milliseconds`; the default is a single-shot Qt
    // timer. A test passes one that keeps the function and runs it when it likes.
    using Scheduler = std::function<void(int milliseconds, std::function<void()> done)>;

    static constexpr int kDefaultClearSeconds = 30;
    static constexpr int kMaxClearSeconds = 3600;
    static constexpr const char* kHintFormat = "x-kde-passwordManagerHint";

    explicit SecretClipboard(QObject* parent = nullptr);
    SecretClipboard(Scheduler scheduler, QObject* parent);
    ~SecretClipboard() override;

    void SetScheduler(Scheduler scheduler);

    // 0 leaves copies on the clipboard; a figure outside 0 to an hour is
    // taken as the default, since it is a slip and the timer cannot hold all.
    void SetClearSeconds(int seconds) {
        m_clearSeconds = seconds < 0 || seconds > kMaxClearSeconds ? kDefaultClearSeconds : seconds;
    }
    int ClearSeconds() const { return m_clearSeconds; }

    // Puts `text` on the clipboard marked as a secret and schedules the clearing.
    void Copy(const QString& text);

    // The clipboard data for `text`: the text and the secret hint.
    static QMimeData* SecretData(const QString& text);

private:
    void ClearIfStill(const QString& text, unsigned copyNumber);
    // Whether the clipboard holds `text` as our secret.
    static bool Holds(const QString& text);

    Scheduler m_scheduler;
    int m_clearSeconds = kDefaultClearSeconds;
    unsigned m_copies = 0; // a later copy takes over the clearing
    QString m_last;        // what the last copy put there
};
