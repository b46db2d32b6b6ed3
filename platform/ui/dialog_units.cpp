#include "dialog_units.h"

#include <QFontMetrics>
#include <QStringList>

namespace keytut::ui {

namespace {
const char* const kSansFace = "MS Sans Serif";
const char* const kCourierFace = "COURIER";
}  // namespace

void installFontSubstitutions() {
    QFont::insertSubstitutions(kSansFace, {"DejaVu Sans", "Liberation Sans", "Nimbus Sans",
                                           "Noto Sans", "Arial", "Sans Serif"});
    QFont::insertSubstitutions(
        kCourierFace, {"DejaVu Sans Mono", "Liberation Mono", "Noto Sans Mono", "Nimbus Mono PS",
                       "Courier New", "Monospace"});
}

QFont dialogFont(DialogFont font) {
    QFont result;
    if (font == DialogFont::Courier8) {
        result.setFamilies({kCourierFace, "DejaVu Sans Mono", "Monospace"});
        result.setStyleHint(QFont::TypeWriter);
        result.setFixedPitch(true);
    } else {
        result.setFamilies({kSansFace, "DejaVu Sans", "Sans Serif"});
        result.setStyleHint(QFont::SansSerif);
    }
    result.setPointSize(8);
    return result;
}

BaseUnits baseUnits(const QFont& font) {
    QFontMetrics metrics(font);
    const int letters =
        metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    // The average over both cases, rounded as Windows rounds it.
    return {(letters / 26 + 1) / 2, metrics.height()};
}

int mulDiv(int value, int base, int divisor) {
    const long long product = static_cast<long long>(value) * base;
    const long long half = divisor / 2;
    return static_cast<int>(product >= 0 ? (product + half) / divisor
                                         : -((-product + half) / divisor));
}

QRect dialogToPixels(const QRect& units, BaseUnits base) {
    return {mulDiv(units.x(), base.x, 4), mulDiv(units.y(), base.y, 8),
            mulDiv(units.width(), base.x, 4), mulDiv(units.height(), base.y, 8)};
}

}  // namespace keytut::ui
