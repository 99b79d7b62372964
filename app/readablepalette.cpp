#include "readablepalette.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

constexpr double least = 4.5;

double luminance(const QColor& colour)
{
    const auto linear = [](double c) { return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) + 0.0722 * linear(colour.blueF());
}

// Moves the colour toward black or white, whichever lies farther from the
// background, until it reads; its hue stays.
QColor readableOn(QColor colour, const QColor& background)
{
    const bool darken = luminance(background) > 0.18;
    for (int step = 0; step < 100 && contrastRatio(colour, background) < least; ++step)
        colour = darken ? colour.darker(105) : colour.lighter(105);
    if (contrastRatio(colour, background) < least)
        colour = darken ? Qt::black : Qt::white;
    return colour;
}

} // namespace

double contrastRatio(const QColor& a, const QColor& b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QPalette readablePalette(QPalette palette)
{
    // Placeholder text is drawn half transparent over the field.
    const auto opaque = [&palette](QPalette::ColorGroup group, QPalette::ColorRole role, QPalette::ColorRole under) {
        const QColor c = palette.color(group, role), b = palette.color(group, under);
        const double a = c.alphaF();
        return QColor::fromRgbF(c.redF() * a + b.redF() * (1 - a), c.greenF() * a + b.greenF() * (1 - a),
                                c.blueF() * a + b.blueF() * (1 - a));
    };
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        const std::pair<QPalette::ColorRole, QPalette::ColorRole> pairs[] = {
            {QPalette::WindowText, QPalette::Window}, {QPalette::Text, QPalette::Base},
            {QPalette::ButtonText, QPalette::Button}, {QPalette::PlaceholderText, QPalette::Base},
            {QPalette::ToolTipText, QPalette::ToolTipBase}};
        for (const auto& [text, background] : pairs)
            palette.setColor(group, text, readableOn(opaque(group, text, background), palette.color(group, background)));
        // A selected line keeps its text colour; its background gives way.
        const QColor selectedText = palette.color(group, QPalette::HighlightedText);
        palette.setColor(group, QPalette::Highlight, readableOn(palette.color(group, QPalette::Highlight), selectedText));
    }
    return palette;
}
