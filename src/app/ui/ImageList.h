#pragma once
// ImageList1: the fourteen 16 x 16 icons of the main window's menus, tool bars and link
// status, drawn in code; and the furnace picture of the splash window and the about box.
#include <QIcon>
#include <QPixmap>

namespace ImageList1 {
enum Index {
    TaskTable = 0, // a grid
    Mimic = 1,     // coloured tiles
    LinkGood = 2,  // two plugs joined
    LinkLost = 3,  // two plugs apart
    Exit = 4,
    Help = 5,
    Settings = 6,
    History = 7,  // bar chart
    Collapse = 8, // double arrow down
    Expand = 9,   // double arrow up
    Clear = 10,   // blank sheet
    Journal = 11,
    Protocol = 12, // clipboard
    Report = 13,   // table sheet
    Count = 14
};
QPixmap pixmap(int index);
inline QIcon icon(int index) {
    return QIcon(pixmap(index));
}
} // namespace ImageList1

// The 105 x 99 picture of a blast furnace on the splash window and the about box.
QPixmap furnacePicture();
