#pragma once
// Whether every text a window shows has the room to be read whole: labels, buttons, check
// boxes, radio buttons, group titles, header sections, drop-down items, edit fields and the
// captions of bevel panels. A text is clipped when its advance in its font is wider (or its
// lines taller) than the room its widget gives it, when it stands outside its parent, when a
// sibling above it covers it, or when a tool button is pushed into a tool bar's overflow.
#include <QStringList>

class QWidget;

namespace textfit {

// One line per clipped text: "<object name> (<class>) '<text>': <why>". Widgets inside
// `skip` (such as an MDI area with its child windows) are not looked at.
QStringList clippedTexts(const QWidget* window, const QWidget* skip = nullptr);

} // namespace textfit
