#pragma once
// The faces the windows are laid out for. "Tahoma" and "MS Sans Serif" come with their
// original metrics from Debian's fonts-wine (registered from /usr/share/wine/fonts/ when
// present, otherwise mapped to DejaVu Sans), "Arial" is mapped to Liberation Sans and
// "Bookman Old Style" to URW Bookman. The application's own font becomes "MS Sans Serif"
// 11 px, the windows' design font.
void installFontSubstitutions();
// Whether the faces the layouts were made for are there (false: DejaVu stands in).
bool designFontsPresent();
