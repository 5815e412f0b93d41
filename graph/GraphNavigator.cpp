// SPDX-License-Identifier: GPL-3.0-or-later
#include "GraphNavigator.h"

#include <algorithm>

void GraphNavigator::keep(AxisSpan x, AxisSpan y)
{
    m_x = x;
    m_y = y;
    m_zoomed = true;
}

AxisSpan GraphNavigator::scaledAbout(AxisSpan span, double centre, double factor)
{
    return {centre + (span.lower - centre) * factor, centre + (span.upper - centre) * factor};
}

AxisSpan GraphNavigator::between(double a, double b)
{
    return {std::min(a, b), std::max(a, b)};
}
