#include "vxColorNames.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace {

using Lab = std::array<double, 3>;

double linear(double c) // sRGB component 0..1 to linear light
{
    if (!(c > 0.0)) // also NaN
        return 0.0;
    c = std::min(c, 1.0);
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

// sRGB (0..1) to CIELAB under the D65 white.
Lab lab(double r, double g, double b)
{
    r = linear(r);
    g = linear(g);
    b = linear(b);
    const double x = (0.4124 * r + 0.3576 * g + 0.1805 * b) / 0.95047;
    const double y = 0.2126 * r + 0.7152 * g + 0.0722 * b;
    const double z = (0.0193 * r + 0.1192 * g + 0.9505 * b) / 1.08883;
    auto f = [](double t) {
        return t > 216.0 / 24389.0 ? std::cbrt(t) : (24389.0 / 27.0 * t + 16.0) / 116.0;
    };
    const double fx = f(x), fy = f(y), fz = f(z);
    return {116.0 * fy - 16.0, 500.0 * (fx - fy), 200.0 * (fy - fz)};
}

Lab lab(const vxColorName& c)
{
    return lab(c.red / 255.0, c.green / 255.0, c.blue / 255.0);
}

// The CIEDE2000 colour difference of two CIELAB colours: CIELAB distance
// corrected where plain distance misjudges (saturated blues above all).
double difference(const Lab& a, const Lab& b)
{
    constexpr double kPi = 3.14159265358979323846;
    auto degrees = [](double r) { return r * 180.0 / kPi; };
    auto radians = [](double d) { return d * kPi / 180.0; };
    const double c1 = std::hypot(a[1], a[2]), c2 = std::hypot(b[1], b[2]);
    const double cMean7 = std::pow((c1 + c2) / 2.0, 7.0);
    const double g = 0.5 * (1.0 - std::sqrt(cMean7 / (cMean7 + std::pow(25.0, 7.0))));
    const double a1 = (1.0 + g) * a[1], a2 = (1.0 + g) * b[1];
    const double cp1 = std::hypot(a1, a[2]), cp2 = std::hypot(a2, b[2]);
    auto hue = [&](double x, double y) {
        if (x == 0.0 && y == 0.0)
            return 0.0;
        const double h = degrees(std::atan2(y, x));
        return h < 0.0 ? h + 360.0 : h;
    };
    const double h1 = hue(a1, a[2]), h2 = hue(a2, b[2]);
    const double dL = b[0] - a[0], dC = cp2 - cp1;
    double dh = 0.0;
    if (cp1 * cp2 != 0.0) {
        dh = h2 - h1;
        if (dh > 180.0)
            dh -= 360.0;
        else if (dh < -180.0)
            dh += 360.0;
    }
    const double dH = 2.0 * std::sqrt(cp1 * cp2) * std::sin(radians(dh / 2.0));
    const double lMean = (a[0] + b[0]) / 2.0, cpMean = (cp1 + cp2) / 2.0;
    double hMean = h1 + h2;
    if (cp1 * cp2 != 0.0) {
        if (std::abs(h1 - h2) <= 180.0)
            hMean /= 2.0;
        else
            hMean = hMean < 360.0 ? (hMean + 360.0) / 2.0 : (hMean - 360.0) / 2.0;
    }
    const double t = 1.0 - 0.17 * std::cos(radians(hMean - 30.0)) + 0.24 * std::cos(radians(2.0 * hMean)) +
                     0.32 * std::cos(radians(3.0 * hMean + 6.0)) -
                     0.20 * std::cos(radians(4.0 * hMean - 63.0));
    const double l50 = (lMean - 50.0) * (lMean - 50.0);
    const double sL = 1.0 + 0.015 * l50 / std::sqrt(20.0 + l50);
    const double sC = 1.0 + 0.045 * cpMean;
    const double sH = 1.0 + 0.015 * cpMean * t;
    const double cpMean7 = std::pow(cpMean, 7.0);
    const double rT = -2.0 * std::sqrt(cpMean7 / (cpMean7 + std::pow(25.0, 7.0))) *
                      std::sin(radians(60.0 * std::exp(-std::pow((hMean - 275.0) / 25.0, 2.0))));
    const double l = dL / sL, c = dC / sC, h = dH / sH;
    return std::sqrt(l * l + c * c + h * h + rT * c * h);
}

} // namespace

const std::vector<vxColorName>& vxColorPalette()
{
    // The kit's own colours first, then common ones for the rest.
    static const std::vector<vxColorName> palette = {
        {"black", "schwarz", 48, 48, 52},
        {"dark grey", "dunkelgrau", 90, 90, 92},
        {"grey", "grau", 140, 142, 146},
        {"silver grey", "silbergrau", 176, 180, 186},
        {"light grey", "hellgrau", 200, 198, 196},
        {"white", "weiß", 240, 240, 236},
        {"red", "rot", 196, 32, 32},
        {"dark red", "dunkelrot", 130, 22, 22},
        {"orange", "orange", 236, 112, 20},
        {"yellow", "gelb", 240, 184, 24},
        {"beige", "beige", 214, 192, 140},
        {"brown", "braun", 120, 76, 40},
        {"light green", "hellgrün", 110, 180, 70},
        {"green", "grün", 40, 132, 56},
        {"dark green", "dunkelgrün", 20, 80, 40},
        {"light blue", "hellblau", 90, 160, 220},
        {"blue", "blau", 30, 84, 176},
        {"dark blue", "dunkelblau", 20, 40, 100},
        {"pink", "rosa", 230, 120, 170},
        {"purple", "lila", 120, 50, 140},
    };
    return palette;
}

const vxColorName& vxNearestColorName(const vxVector& color)
{
    static const std::vector<Lab> labs = [] {
        std::vector<Lab> out;
        for (const vxColorName& c : vxColorPalette())
            out.push_back(lab(c));
        return out;
    }();
    const Lab seen = lab(color.x(), color.y(), color.z());
    std::size_t best = 0;
    double nearest = std::numeric_limits<double>::infinity();
    for (std::size_t i = 0; i < labs.size(); ++i) {
        const double d = difference(seen, labs[i]);
        if (d < nearest) {
            nearest = d;
            best = i;
        }
    }
    return vxColorPalette()[best];
}
