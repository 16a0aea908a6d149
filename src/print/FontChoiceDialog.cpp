#include "print/FontChoiceDialog.h"

#include "print/FontStyleChoice.h"
#include "print/QtFont.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace {

struct NamedColour {
    const char* name; // UTF-8
    QRgb rgb;
};

constexpr NamedColour kStandardColours[] = {
    {"黒", 0x000000},   {"栗色", 0x800000}, {"緑", 0x008000},     {"オリーブ", 0x808000},
    {"紺", 0x000080},   {"紫", 0x800080},   {"青緑", 0x008080},   {"灰色", 0x808080},
    {"銀色", 0xC0C0C0}, {"赤", 0xFF0000},   {"ライム", 0x00FF00}, {"黄", 0xFFFF00},
    {"青", 0x0000FF},   {"赤紫", 0xFF00FF}, {"水色", 0x00FFFF},   {"白", 0xFFFFFF},
};

constexpr const char* kOtherColour = "カスタム";

QIcon Swatch(QColor colour) {
    QPixmap pixmap(24, 14);
    pixmap.fill(colour);
    QPainter painter(&pixmap);
    painter.setPen(Qt::black);
    painter.drawRect(pixmap.rect().adjusted(0, 0, -1, -1));
    return QIcon(pixmap);
}

} // namespace

FontChoiceDialog::FontChoiceDialog(const FontChoice& start, QWidget* parent)
    : QDialog(parent)
    , m_start(start.font)
    , m_dpi(logicalDpiY())
    , m_fonts(new QFontDialog(this))
    , m_colours(new QListWidget(this)) {
    setWindowTitle(QString::fromUtf8("フォント"));

    // The picker lives inside this dialog: no frame, buttons or grip of its own.
    m_fonts->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    m_fonts->setWindowFlags(Qt::Widget);
    m_fonts->setSizeGripEnabled(false);
    // Ahead of the picker's own filter on its lists, which ends the picker on Enter.
    m_fonts->installEventFilter(this);
    for (auto* view : m_fonts->findChildren<QAbstractItemView*>()) {
        view->installEventFilter(this);
    }
    FitFontPicker();
    QFont startFont = m_start;
    startFont.setPointSizeF(std::round(CharacterHeight(startFont, m_dpi) * 720.0 / m_dpi) / 10.0);
    m_fonts->setCurrentFont(startFont);
    m_shown = m_fonts->currentFont();
    m_family = m_fonts->currentFont().family();
    m_style = QFontDatabase::styleString(m_fonts->currentFont());

    m_colours->setObjectName(QStringLiteral("colours"));
    m_colours->setIconSize(QSize(24, 14));
    FillColours(start.colour);
    auto* colourLabel = new QLabel(QString::fromUtf8("色(&C):"), this);
    colourLabel->setBuddy(m_colours);

    // Qt's own texts, Japanese with Qt's translation loaded.
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    m_ok->setObjectName(QStringLiteral("ok"));
    m_ok->setDefault(true);
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* colourColumn = new QVBoxLayout;
    colourColumn->addWidget(colourLabel);
    colourColumn->addWidget(m_colours, 1);
    auto* row = new QHBoxLayout;
    row->addWidget(m_fonts, 1);
    row->addLayout(colourColumn);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);

    connect(m_fonts, &QFontDialog::currentFontChanged, this, &FontChoiceDialog::KeepStyle);
    connect(m_fonts, &QFontDialog::currentFontChanged, this, &FontChoiceDialog::OnChanged);
    connect(m_colours, &QListWidget::currentRowChanged, this, &FontChoiceDialog::OnChanged);
    OnChanged();
}

void FontChoiceDialog::FillColours(QColor start) {
    int startRow = -1;
    for (const auto& [name, rgb] : kStandardColours) {
        const QColor colour(rgb);
        auto* item = new QListWidgetItem(Swatch(colour), QString::fromUtf8(name), m_colours);
        item->setData(Qt::UserRole, colour);
        if (colour.rgb() == start.rgb()) {
            startRow = m_colours->count() - 1;
        }
    }
    if (startRow < 0) {
        // A colour from elsewhere stays choosable, so the dialog returns what it was given.
        auto* item = new QListWidgetItem(Swatch(start), QString::fromUtf8(kOtherColour), m_colours);
        item->setData(Qt::UserRole, start);
        startRow = m_colours->count() - 1;
    }
    m_colours->setCurrentRow(startRow);
}

void FontChoiceDialog::FitFontPicker() {
    for (auto* group : m_fonts->findChildren<QGroupBox*>()) {
        if (auto* sample = group->findChild<QLineEdit*>()) {
            m_sample = sample;
        }
    }
    // The description keeps its character set, so the script filter has nothing to choose.
    for (auto* combo : m_fonts->findChildren<QComboBox*>()) {
        combo->hide();
        for (auto* label : m_fonts->findChildren<QLabel*>()) {
            if (label->buddy() == combo) {
                label->hide();
            }
        }
    }
}

QColor FontChoiceDialog::ChosenColour() const {
    const QListWidgetItem* item = m_colours->currentItem();
    return item != nullptr ? item->data(Qt::UserRole).value<QColor>() : QColor(Qt::black);
}

FontChoice FontChoiceDialog::Choice() const {
    // What the user changed in the picker; the rest stays as it came.
    const QFont picked = m_fonts->currentFont();
    QFont font = m_start;
    const auto changed = [&](auto property) {
        return property(picked) != property(m_shown);
    };
    if (changed([](const QFont& f) { return f.family(); }))
        font.setFamily(picked.family());
    if (changed([this](const QFont& f) { return CharacterHeight(f, m_dpi); }))
        font.setPixelSize(CharacterHeight(picked, m_dpi));
    if (changed([](const QFont& f) { return f.weight(); }))
        font.setWeight(picked.weight());
    if (changed([](const QFont& f) { return f.italic(); }))
        font.setItalic(picked.italic());
    if (changed([](const QFont& f) { return f.underline(); }))
        font.setUnderline(picked.underline());
    if (changed([](const QFont& f) { return f.strikeOut(); }))
        font.setStrikeOut(picked.strikeOut());
    if (changed([](const QFont& f) { return f.stretch(); }))
        font.setStretch(picked.stretch());
    return FontChoice{font, ChosenColour()};
}

void FontChoiceDialog::OnChanged() {
    if (m_sample != nullptr) {
        QPalette palette = m_sample->palette();
        palette.setColor(QPalette::Text, ChosenColour());
        palette.setColor(QPalette::Base, Qt::white);
        m_sample->setPalette(palette);
    }
}

void FontChoiceDialog::KeepStyle() {
    if (m_keepingStyle) {
        return;
    }
    const QFont font = m_fonts->currentFont();
    if (font.family() != m_family) {
        std::vector<std::string> styles;
        for (const QString& style : QFontDatabase::styles(font.family())) {
            styles.push_back(style.toStdString());
        }
        const QString wanted = QString::fromStdString(ChooseFaceStyle(styles, m_style.toStdString()));
        if (!wanted.isEmpty() && wanted != QFontDatabase::styleString(font)) {
            QFont kept = font;
            kept.setStyleName(wanted);
            m_keepingStyle = true;
            m_fonts->setCurrentFont(kept);
            m_keepingStyle = false;
        }
    }
    m_family = m_fonts->currentFont().family();
    m_style = QFontDatabase::styleString(m_fonts->currentFont());
}

bool FontChoiceDialog::eventFilter(QObject* watched, QEvent* event) {
    // The embedded picker is a dialog too: it would hide itself on Escape and
    // swallow Enter looking for a default button of its own.
    if ((watched == m_fonts || m_fonts->isAncestorOf(qobject_cast<QWidget*>(watched))) &&
        event->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Escape:
            reject();
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            m_ok->click();
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}
