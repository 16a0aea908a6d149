#include "print/FontChooser.h"

#include "print/FontChoiceDialog.h"

namespace {

FontChooser* g_replacement = nullptr;

} // namespace

std::optional<FontChoice> FontChooser::Choose(QWidget* parent, const FontChoice& start) {
    FontChoiceDialog dialog(start, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.Choice();
}

FontChooser& FontChooser::Current() {
    static FontChooser* const real = new FontChooser;
    return g_replacement != nullptr ? *g_replacement : *real;
}

void FontChooser::Replace(FontChooser* replacement) {
    g_replacement = replacement;
}
