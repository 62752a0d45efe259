#include "render/glyphs/glyphs.h"

namespace kelmora::glyphs {

// Some shapes are the clock's own: the 7 has a hooked top, the 9 has no bottom bar and the 1 has
// a three-dot foot.
const std::array<std::string_view, 10> kDigitPatterns = {
    "111101101101101101111",  // 0
    "010110010010010010111",  // 1
    "111001001111100100111",  // 2
    "111001001111001001111",  // 3
    "101101101111001001001",  // 4
    "111100100111001001111",  // 5
    "111100100111101101111",  // 6
    "111101101001001001001",  // 7
    "111101101111101101111",  // 8
    "111101101111001001001",  // 9
};

}  // namespace kelmora::glyphs
