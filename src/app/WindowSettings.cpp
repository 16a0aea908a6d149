#include "app/WindowSettings.h"

#include "platform/SecretClipboard.h"
#include "platform/Settings.h"
#include "print/PrintPanel.h"
#include "print/PrintStyleSettings.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QStyle>
#include <QWidget>

#include <algorithm>
#include <optional>

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

// A kept option as the settings file holds it: "true" or "false". Anything
// else (a hand edit, a damaged file) leaves the start-up state.
std::optional<bool> KeptOption(const QSettings& settings, const QString& key) {
    const QVariant value = settings.value(key);
    if (value.typeId() == QMetaType::Bool) {
        return value.toBool();
    }
    const QString text = value.toString();
    if (text == QLatin1String("true") || text == QLatin1String("false")) {
        return text == QLatin1String("true");
    }
    return std::nullopt;
}

} // namespace

bool WindowPositionKnown(const QString& platformName) {
    return !platformName.startsWith(QStringLiteral("wayland"));
}

void LoadWindowSettings(QWidget& window, const WindowOptions& options, PrintPanel& panel,
                        SecretClipboard& clipboard) {
    const auto settings = platform::OpenSettings();
    if (const std::optional<bool> random = KeptOption(*settings, kRandomCaseKey)) {
        (*random ? options.randomCase : options.capitalAfterSpace)->setChecked(true);
    }
    if (const std::optional<bool> digits = KeptOption(*settings, kUseDigitsKey)) {
        options.useDigits->setChecked(*digits);
    }
    if (const std::optional<bool> symbols = KeptOption(*settings, kUseSymbolsKey)) {
        options.useSymbols->setChecked(*symbols);
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
