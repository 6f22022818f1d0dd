#pragma once
// The mouse cursors the program shows, named without the windowing toolkit so that display-free
// logic (which cursor a hit zone wants) can choose one. platform/gui/CursorShapes.h maps them.

namespace kv {

enum TCursor {
    crDefault,   // the ordinary arrow
    crCross,     // cross hair
    crSizeNWSE,  // sizing, north-west to south-east
    crSizeNESW,  // sizing, north-east to south-west
    crSizeWE,    // sizing, west to east
    crSizeNS,    // sizing, north to south
    crSizeAll,   // move in any direction
    crVSplit,    // moving a horizontal boundary up or down
    crHourGlass, // busy
};

} // namespace kv
