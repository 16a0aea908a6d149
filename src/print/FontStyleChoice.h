// Which style of a newly chosen face the font chooser takes: the style the
// font had, when the face has it (italic and oblique count as one), and
// otherwise the face's regular style, never simply the first name in the list.
#pragma once

#include <string>
#include <vector>

// `styles` are the face's style names as the font system lists them; empty
// only when the face has none.
std::string ChooseFaceStyle(const std::vector<std::string>& styles, const std::string& current);
