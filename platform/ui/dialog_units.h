// Fonts of the screens and the conversion of dialog units into pixels.
//
// A screen's layout is given in dialog units: a horizontal unit is a quarter of the dialog font's
// average character width, a vertical unit an eighth of its character height, each converted with
// rounding as Windows does. The screens name two Windows fonts; they are mapped to installed ones.
#pragma once

#include <QFont>
#include <QRect>

namespace keytut::ui {

enum class DialogFont {
    SansSerif8,  // "MS Sans Serif" 8, the normal dialog font
    Courier8,    // "COURIER" 8, for the text-heavy exercise screens
};

// Registers installed fonts as substitutes for "MS Sans Serif" and "COURIER". Called once at
// start-up; dialogFont() also works without it through the style hints.
void installFontSubstitutions();

QFont dialogFont(DialogFont font);

// The dialog base units of a font in pixels: the average width of the Latin letters and the
// character height.
struct BaseUnits {
    int x = 0;
    int y = 0;
};

BaseUnits baseUnits(const QFont& font);

// round(value * base / divisor), halves away from zero.
int mulDiv(int value, int base, int divisor);

// A rectangle in dialog units as pixels.
QRect dialogToPixels(const QRect& units, BaseUnits base);

}  // namespace keytut::ui
