// The floor bench_startup compares the program with: a dialog linked with Qt
// Widgets alone, holding the main dialog's controls as plain Qt widgets in the
// same places and the same font. It reads no settings, table or translations.
#include "app/PasswordDialogTemplate.h"
#include "platform/Fonts.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

QString Utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QWidget* Build(const dlg::Control& control, QWidget* parent) {
    const QString text = Utf8(control.text);
    switch (control.kind) {
    case dlg::Kind::GroupBox:
        return new QGroupBox(text, parent);
    case dlg::Kind::Text:
    case dlg::Kind::Icon:
        return new QLabel(text, parent);
    case dlg::Kind::Frame:
        return new QFrame(parent);
    case dlg::Kind::Edit:
        return new QLineEdit(parent);
    case dlg::Kind::PushButton:
        return new QPushButton(text, parent);
    case dlg::Kind::AutoRadio:
        return new QRadioButton(text, parent);
    case dlg::Kind::AutoCheck:
        return new QCheckBox(text, parent);
    }
    return new QWidget(parent);
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const dlg::Template& layout = app::kPasswordDialogTemplate;
    QDialog dialog;
    dialog.setWindowTitle(Utf8(layout.caption));
    dialog.setFont(PointFont(Utf8(layout.fontFace), layout.pointSize * 10, &dialog));
    // Dialog units from the font's average letter width and height, as the program's dialogs measure them.
    const QFontMetrics metrics(dialog.font());
    const int bx =
        (metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) /
             26 +
         1) /
        2;
    const int by = metrics.height();
    const auto place = [&](QWidget* widget, int x, int y, int cx, int cy) {
        widget->setGeometry(ScaleRounded(x, bx, 4), ScaleRounded(y, by, 8), ScaleRounded(cx, bx, 4), ScaleRounded(cy, by, 8));
    };
    dialog.setFixedSize(ScaleRounded(layout.cx, bx, 4), ScaleRounded(layout.cy, by, 8));
    for (const dlg::Control& control : layout.controls) {
        place(Build(control, &dialog), control.x, control.y, control.cx, control.cy);
    }
    // The strength bar and line the program adds below the password.
    const app::DialogRect meter = app::kStrengthMeterRect, line = app::kStrengthLineRect;
    place(new QFrame(&dialog), meter.x, meter.y, meter.cx, meter.cy);
    place(new QLabel(&dialog), line.x, line.y, line.cx, line.cy);
    return dialog.exec();
}
