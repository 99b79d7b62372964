#pragma once

#include <QColor>
#include <QPalette>

// Contrast as the accessibility guidelines measure it, 1 to 21: 4.5 is the
// least that body text needs.
double contrastRatio(const QColor& a, const QColor& b);

// The palette with every text role at 4.5:1 or more against the background
// it is drawn on, in every colour group: disabled text (a locked limit field
// still shows its value), placeholder text, and selected lines, whose
// background darkens where white text would not read on it. Roles that read
// already are left as they are, so a theme keeps its look.
QPalette readablePalette(QPalette palette);
