#pragma once
// The artwork of the mimic diagram, drawn in code once per program run: bunkers, hoppers and
// furnace tops with pure white interiors (the fill beneath shows through them), the cart rail
// with its see-through band, the four segments of the skip incline with and without the skip,
// two frames of each conveyor belt, the chute, and the fixed arrows and gate bars. Every
// picture's surroundings are the window colour.
#include "Colours.h"
#include <QColor>
#include <QImage>
#include <QPixmap>
#include <array>

namespace mimic {

inline const QColor kWindowColour{colours::kPanelGrey};
inline const QColor kRailSeeThrough{0x00, 0x80, 0x80};
inline const QColor kFlowColour{0x6A, 0x36, 0x37};

// Window rectangles of the four skip incline segments, bottom to top.
inline constexpr std::array<int, 16> kSkipSegments = {328, 252, 171, 86, 420, 190, 157, 63,
                                                      499, 130, 149, 61, 598, 24,  77,  107};

struct MimicArtwork {
    QImage picBunVes; // 49 x 54 weigh hopper
    QImage picBunZag; // 43 x 71 feed bunker
    QImage picBigBun; // 102 x 71 big bunker
    QImage picPech1;  // 301 x 85 top of furnace 1
    QImage picPech2;  // 261 x 82 top of furnace 2
    QImage pol;       // 315 x 9 cart rail
    // skip[segment][0] without the skip, skip[segment][1] with it
    std::array<std::array<QImage, 2>, 4> skip;
    std::array<QImage, 2> bigTransp; // 419 x 39, two belt frames
    std::array<QImage, 2> transp;    // 217 x 20, two belt frames
    QImage stokFull;                 // 65 x 136
    QImage stokEmpty;
    QImage arrowDown;      // 11 x 23 falling charge
    QImage arrowBendRight; // 17 x 28
    QImage arrowBendLeft;
    QImage arrowSkipUp;   // 25 x 20
    QImage arrowSkipDown; // 25 x 20
    QImage gateBar;       // 22 x 3
    QPixmap closeGlyph;   // 16 x 16

    // The program's one set, drawn on first use (GUI thread).
    static const MimicArtwork& get();
};

} // namespace mimic
