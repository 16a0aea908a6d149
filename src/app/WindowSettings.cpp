#include "app/WindowSettings.h"

#include "platform/SecretClipboard.h"
#include "platform/Settings.h"
#include "print/PrintPanel.h"
#include "print/PrintStyleSettings.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QWidget>

#include <algorithm>

namespace {

const QString kRandomCaseKey = QStringLiteral("options/randomCase");
const QString kUseDigitsKey = QStringLiteral("options/useDigits");
const QString kUseSymbolsKey = QStringLiteral("options/useSymbols");
const QString kPositionKey = QStringLiteral("window/position");
const QString kClearSecondsKey = QStringLiteral("clipboard/clearSeconds");

// Whether the window's title bar, with its top-left corner at `position`,
// lies wholly on one screen's usable area, where the user can grab it.
bool TitleBarOnOneScreen(const QWidget& window, QPoint position) {
    const QRect titleBar(position, QSize(window.width(), window.style()->pixelMetric(
                                                             QStyle::PM_TitleBarHeight, nullptr, &window)));
    const QList<QScreen*> screens = QGuiApplication::screens();
    return std::any_of(screens.begin(), screens.end(), [&titleBar](const QScreen* screen) {
        return screen->availableGeometry().contains(titleBar);
    });
}

} // namespace

bool WindowPositionKnown(const QString& platformName) {
    return !platformName.startsWith(QStringLiteral("wayland"));
}

void LoadWindowSettings(QWidget& window, const WindowOptions& options, PrintPanel& panel,
                        SecretClipboard& clipboard) {
    const auto settings = platform::OpenSettings();
    if (settings->contains(kRandomCaseKey)) {
        const bool random = settings->value(kRandomCaseKey).toBool();
        (random ? options.randomCase : options.capitalAfterSpace)->setChecked(true);
    }
    if (settings->contains(kUseDigitsKey)) {
        options.useDigits->setChecked(settings->value(kUseDigitsKey).toBool());
    }
    if (settings->contains(kUseSymbolsKey)) {
        options.useSymbols->setChecked(settings->value(kUseSymbolsKey).toBool());
    }
    if (const std::optional<FontChoice> style = LoadPrintStyle(*settings)) {
        panel.SetStyle(style->font, style->colour);
    }
    bool ok = false;
    const int seconds = settings->value(kClearSecondsKey).toInt(&ok);
    clipboard.SetClearSeconds(ok ? seconds : SecretClipboard::kDefaultClearSeconds);
    // Anything else than a point whose title bar can be reached leaves the
    // window where a fresh start puts it.
    if (!WindowPositionKnown(QGuiApplication::platformName())) {
        return;
    }
    const QVariant position = settings->value(kPositionKey);
    if (position.typeId() == QMetaType::QPoint && TitleBarOnOneScreen(window, position.toPoint())) {
        window.move(position.toPoint());
    }
}

void SaveWindowSettings(const QWidget& window, const WindowOptions& options,
                        const SecretClipboard& clipboard) {
    const auto settings = platform::OpenSettings();
    settings->setValue(kRandomCaseKey, options.randomCase->isChecked());
    settings->setValue(kUseDigitsKey, options.useDigits->isChecked());
    settings->setValue(kUseSymbolsKey, options.useSymbols->isChecked());
    // Only written to show where it is set: a figure the user wrote stays as
    // written, even one taken as the default.
    if (!settings->contains(kClearSecondsKey)) {
        settings->setValue(kClearSecondsKey, clipboard.ClearSeconds());
    }
    // The position remembered on a desktop that knows it stays for the next run there.
    if (WindowPositionKnown(QGuiApplication::platformName())) {
        settings->setValue(kPositionKey, window.pos());
    }
}
