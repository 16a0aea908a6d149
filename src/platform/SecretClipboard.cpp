#include "platform/SecretClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QPointer>
#include <QTimer>

SecretClipboard::SecretClipboard(QObject* parent)
    : SecretClipboard({}, parent) {}

SecretClipboard::SecretClipboard(Scheduler scheduler, QObject* parent)
    : QObject(parent) {
    SetScheduler(std::move(scheduler));
}

SecretClipboard::~SecretClipboard() {
    if (!m_last.isEmpty() && Holds(m_last)) {
        QGuiApplication::clipboard()->clear();
    }
}

void SecretClipboard::SetScheduler(Scheduler scheduler) {
    m_scheduler = std::move(scheduler);
    if (!m_scheduler) {
        m_scheduler = [this](int milliseconds, std::function<void()> done) {
            QTimer::singleShot(milliseconds, this, std::move(done));
        };
    }
}

QMimeData* SecretClipboard::SecretData(const QString& text) {
    auto* data = new QMimeData;
    data->setText(text);
    data->setData(QString::fromLatin1(kHintFormat), QByteArrayLiteral("secret"));
    return data;
}

void SecretClipboard::Copy(const QString& text) {
    if (text.isEmpty()) {
        return;
    }
    QGuiApplication::clipboard()->setMimeData(SecretData(text));
    m_last = text;
    const unsigned copyNumber = ++m_copies;
    if (m_clearSeconds > 0) {
        QPointer<SecretClipboard> self(this);
        m_scheduler(m_clearSeconds * 1000, [self, text, copyNumber] {
            if (self) {
                self->ClearIfStill(text, copyNumber);
            }
        });
    }
}

// Whatever the user copied since, from here or elsewhere, is left alone.
void SecretClipboard::ClearIfStill(const QString& text, unsigned copyNumber) {
    if (copyNumber == m_copies && Holds(text)) {
        QGuiApplication::clipboard()->clear();
        m_last.clear();
    }
}

bool SecretClipboard::Holds(const QString& text) {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data != nullptr && data->hasFormat(QString::fromLatin1(kHintFormat)) && data->text() == text;
}
