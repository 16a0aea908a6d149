#include "tavopus/OnceTold.h"

#include <cstdio>

namespace tavopus {

void OnceTold::Tell(const std::string& key, const std::string& text) {
    if (told_.insert(key).second)
        std::fprintf(stderr, "%s\n", text.c_str());
}

} // namespace tavopus
