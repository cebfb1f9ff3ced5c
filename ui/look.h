#pragma once
// What every window of the program shares in its look: places and sizes kept
// in twips as designed, and the one program font.

#include <QFont>
#include <QRect>

namespace tarnvel::ui {

// 15 twips make one device-independent pixel (96 per inch).
inline constexpr int kTwipsPerPixel = 15;

// Rounded to the nearest pixel, halves away from zero, so that a negative
// place mirrors a positive one.
constexpr int TwipsToPixels(int twips) {
    return twips >= 0 ? (twips + kTwipsPerPixel / 2) / kTwipsPerPixel
                      : -((-twips + kTwipsPerPixel / 2) / kTwipsPerPixel);
}

inline QRect TwipsRect(int left, int top, int width, int height) {
    return QRect(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height));
}

// "宋体" 9 pt, asked for by name. Where the machine has no such font, a
// Song-style font with the same half-width Latin letters keeps the captions
// inside their boxes; the platform's own substitute comes after those.
QFont ProgramFont();

}  // namespace tarnvel::ui
