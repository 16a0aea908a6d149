#include "platform/CrtRandom.h"

CrtRandom& ProcessRandom() {
    static CrtRandom generator;
    return generator;
}
