#pragma once

#include <QFont>

// "宋体" at a pixel size. The family is mapped once to an installed Chinese font (Noto
// Serif CJK SC, else Noto Sans CJK SC), so that measured line heights include the Chinese
// glyphs a fallback font would otherwise draw taller than measured.
QFont SongFont(int pixelSize);
