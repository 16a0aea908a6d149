// The Windows Japanese faces that the dialogs and drawings name do not exist
// here; these map them to the installed IPA fonts so the program looks the
// same on every machine.
#pragma once

#include <QFont>
#include <QString>

class QPaintDevice;

// The installed face that stands in for `face` ("ＭＳ Ｐゴシック", "MS UI Gothic", ...).
QString MapFaceName(const QString& face);

// A font of `tenthsOfPoint` / 10 points, as a character height in pixels at the
// device's vertical resolution (-(points * dpi / 72), rounded as the platform does).
QFont PointFont(const QString& face, int tenthsOfPoint, const QPaintDevice* device = nullptr);

// a * b / c rounded half up, as the platform scales dialog units and point sizes.
int ScaleRounded(int a, int b, int c);

// Pixels of a character height for a point size at `dpi`.
int PointsToPixels(int tenthsOfPoint, int dpi);
