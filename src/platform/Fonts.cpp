#include "platform/Fonts.h"

#include <QGuiApplication>
#include <QPaintDevice>
#include <QScreen>

#include <array>
#include <utility>

namespace {

// Proportional faces map to IPAPGothic, fixed-pitch ones to IPAGothic.
const std::array<std::pair<const char*, const char*>, 6> kFaceMap{{
    {"ＭＳ Ｐゴシック", "IPAPGothic"},
    {"MS PGothic", "IPAPGothic"},
    {"MS UI Gothic", "IPAPGothic"},
    {"ＭＳ ゴシック", "IPAGothic"},
    {"MS Gothic", "IPAGothic"},
    {"MS Shell Dlg", "IPAPGothic"},
}};

} // namespace

QString MapFaceName(const QString& face) {
    for (const auto& [from, to] : kFaceMap) {
        if (face == QString::fromUtf8(from)) {
            return QString::fromLatin1(to);
        }
    }
    return face;
}

int ScaleRounded(int a, int b, int c) {
    return (a * b + c / 2) / c;
}

int PointsToPixels(int tenthsOfPoint, int dpi) {
    return ScaleRounded(tenthsOfPoint, dpi, 720);
}

QFont PointFont(const QString& face, int tenthsOfPoint, const QPaintDevice* device) {
    int dpi = 96;
    if (device != nullptr) {
        dpi = device->logicalDpiY();
    } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        dpi = static_cast<int>(screen->logicalDotsPerInchY() + 0.5);
    }
    QFont font(MapFaceName(face));
    font.setPixelSize(PointsToPixels(tenthsOfPoint, dpi));
    font.setStyleStrategy(QFont::PreferMatch);
    return font;
}
