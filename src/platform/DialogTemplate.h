// Dialog templates as data: controls with their ids, kinds, texts and
// rectangles in dialog units. dlg::Layout places them from the dialog font.
#pragma once

#include <span>
#include <string_view>

namespace dlg {

inline constexpr int kStaticId = -1;

enum class Kind {
    GroupBox, // frame with a caption; never takes clicks or focus
    Text,     // static text
    Frame,    // static frame: etched, or black (usually hidden)
    Icon,     // static showing the program icon
    Edit,
    PushButton,
    AutoRadio,
    AutoCheck,
};

enum Style : unsigned {
    None = 0,
    TabStop = 1u << 0,
    Group = 1u << 1, // starts a group (radio buttons)
    Disabled = 1u << 2,
    ReadOnly = 1u << 3,    // edit
    Password = 1u << 4,    // edit shows mask characters
    AutoHScroll = 1u << 5, // edit
    Border = 1u << 6,      // edit
    Centre = 1u << 7,      // static text centred
    Hidden = 1u << 8,
    Etched = 1u << 9,      // frame
    BlackFrame = 1u << 10, // frame
    DefPush = 1u << 11,    // push button with the default style
};

constexpr unsigned operator|(Style a, Style b) {
    return static_cast<unsigned>(a) | static_cast<unsigned>(b);
}
constexpr unsigned operator|(unsigned a, Style b) {
    return a | static_cast<unsigned>(b);
}

struct Control {
    int id;
    Kind kind;
    std::string_view text; // UTF-8
    int x, y, cx, cy;      // dialog units
    unsigned style;
};

struct Template {
    std::string_view caption; // UTF-8
    int cx, cy;               // client size in dialog units
    std::string_view fontFace;
    int pointSize;
    std::span<const Control> controls; // in template order, which is the tab order
};

} // namespace dlg
