#include "kana/RomajiToKatakana.h"

#include "kana/RomajiComposer.h"

std::string RomajiToKatakana(std::string_view romaji) {
    RomajiComposer composer;
    std::string out;
    for (const char key : romaji) {
        out += RomajiComposer::Takes(key) ? composer.Feed(key) : composer.Flush();
    }
    return out + composer.Flush();
}
