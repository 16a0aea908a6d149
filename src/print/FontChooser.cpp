#include "print/FontChooser.h"

#include "print/FontChoiceDialog.h"

namespace {

FontChooserHandler& Handler() {
    static FontChooserHandler handler;
    return handler;
}

} // namespace

std::optional<FontChoice> ChooseFont(QWidget* parent, const FontChoice& start) {
    if (Handler()) {
        return Handler()(parent, start);
    }
    FontChoiceDialog dialog(start, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.Choice();
}

void SetFontChooserHandler(FontChooserHandler handler) {
    Handler() = std::move(handler);
}
