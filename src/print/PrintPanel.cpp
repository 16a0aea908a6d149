#include "print/PrintPanel.h"

#include "platform/AccessibleRole.h"
#include "platform/PaintArea.h"
#include "platform/QtText.h"
#include "print/PrintImage.h"

#include <QPainter>

PrintPanel::~PrintPanel() {
    if (m_area != nullptr) {
        m_area->SetPainter({});
        m_area->setFont(m_previousFont);
    }
}

void PrintPanel::Attach(PaintArea* area) {
    m_area = area;
    m_style = PrintStyle(area);
    m_previousFont = area->font();
    area->setFont(m_style.Font());
    area->setGeometry(area->x(), area->y(), PrintImage::kWidth, PrintImage::kHeight);
    area->SetPainter([this](QPainter& painter) { Paint(painter); });
    SetAccessibleRole(area, QAccessible::Graphic);
    Describe();
}

void PrintPanel::Describe() const {
    m_area->setAccessibleName(QString::fromUtf8("ラベルの見本: ") + ToQString(m_password) +
                              QString::fromUtf8("（") + m_style.Font().family() + QString::fromUtf8("）"));
}

void PrintPanel::SetPassword(std::string_view password) {
    m_password = password;
    if (m_area != nullptr) {
        Describe();
        m_area->update();
    }
}

bool PrintPanel::ChangeFont(QWidget* parent) {
    if (!m_style.ChangeFont(parent)) {
        return false;
    }
    if (m_area != nullptr) {
        m_area->setFont(m_style.Font());
        Describe();
        m_area->update();
    }
    return true;
}

void PrintPanel::SetStyle(const QFont& font, QColor colour) {
    m_style.Set(font, colour);
    if (m_area != nullptr) {
        m_area->setFont(m_style.Font());
        Describe();
        m_area->update();
    }
}

bool PrintPanel::PasswordFits() const {
    return PrintImage::Fits(m_password, m_style);
}

LabelImage PrintPanel::Label() const {
    return PrintImage::Label(PrintImage::Render(m_password, m_style));
}

void PrintPanel::Paint(QPainter& painter) const {
    PrintImage::Draw(painter, m_password, m_style);
}
