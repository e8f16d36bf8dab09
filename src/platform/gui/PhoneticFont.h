#pragma once

#include <QFont>
#include <QString>

namespace vocamo {

inline constexpr char kPhoneticFamily[] = "Marovek Phonetic Plain";

// Makes the phonetic font family usable. When it is not installed, registers
// "Marovek.ttf" from `folder` if that file exists, and maps the family to the
// registered font or, failing that, to an installed font with IPA glyphs
// ("Charis SIL", then "DejaVu Sans").
void EnsurePhoneticFont(const QString &folder);

// The phonetic font at a pixel size.
QFont PhoneticFont(int pixelSize);

} // namespace vocamo
