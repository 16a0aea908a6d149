// The about box's template.
#pragma once

#include "platform/DialogTemplate.h"

#include <array>

namespace about {

inline constexpr int kOkId = 1;
inline constexpr int kAnimationFrameId = 1037;

inline constexpr std::array<dlg::Control, 5> kControls{{
    {dlg::kStaticId, dlg::Kind::Icon, "", 11, 12, 20, 20, dlg::None},
    {dlg::kStaticId, dlg::Kind::Text, "Q8xj Version 1.4", 40, 10, 68, 8, dlg::None},
    {dlg::kStaticId, dlg::Kind::Text, "Copyright (C) 2002-2003 Q8xj", 40, 25, 117, 8, dlg::None},
    {kOkId, dlg::Kind::PushButton, "OK", 122, 7, 50, 14, dlg::TabStop | dlg::Group},
    // Only marks where the animation is drawn.
    {kAnimationFrameId, dlg::Kind::Frame, "", 7, 40, 165, 44, dlg::BlackFrame | dlg::Hidden},
}};

inline constexpr dlg::Template kTemplate{"Q8xjのﾊﾞｰｼﾞｮﾝ情報", 179, 91, "ＭＳ Ｐゴシック", 9, kControls};

} // namespace about
