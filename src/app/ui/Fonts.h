#pragma once
// The font families of the original windows mapped to the fonts Debian ships:
// "MS Sans Serif" and "Tahoma" to DejaVu Sans, "Arial" to Liberation Sans,
// "Bookman Old Style" to URW Bookman.
void installFontSubstitutions();
