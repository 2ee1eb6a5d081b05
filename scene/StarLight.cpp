#include "scene/StarLight.h"

#include <algorithm>
#include <array>
#include <cmath>

double temperatureFromColourIndex(double bv)
{
    // Ballesteros (2012), EPL 97 34008: the black body's colour fitted to the B and V bands.
    return 4600.0 * (1.0 / (0.92 * bv + 1.7) + 1.0 / (0.92 * bv + 0.62));
}

namespace
{
// A lobe of the fits of Wyman, Sloan and Shirley (2013), "Simple analytic
// approximations to the CIE XYZ colour matching functions", JCGT 2(2) 1-11:
// a Gaussian of one width below its mean and another above.
double lobe(double nm, double mean, double below, double above)
{
    const double t = (nm - mean) / (nm < mean ? below : above);
    return std::exp(-0.5 * t * t);
}

// Their multi-lobe fits to the CIE 1931 2-degree observer.
Xyz matchingFunctions(double nm)
{
    return {1.056 * lobe(nm, 599.8, 37.9, 31.0) + 0.362 * lobe(nm, 442.0, 16.0, 26.7) -
                0.065 * lobe(nm, 501.1, 20.4, 26.2),
            0.821 * lobe(nm, 568.8, 46.9, 40.5) + 0.286 * lobe(nm, 530.9, 16.3, 31.1),
            1.217 * lobe(nm, 437.0, 11.8, 36.0) + 0.681 * lobe(nm, 459.0, 26.0, 13.8)};
}

// Planck's law, spectral radiance at a wavelength, of arbitrary scale.
double planck(double nm, double kelvin)
{
    // hc/k, metre kelvin, from the SI's exact h, c and k.
    constexpr double secondRadiation = 6.62607015e-34 * 299792458.0 / 1.380649e-23;
    const double metres = nm * 1e-9;
    return 1.0 / (std::pow(metres, 5) * std::expm1(secondRadiation / (metres * kelvin)));
}

// IEC 61966-2-1 (sRGB): its encoding of a linear component.
float encoded(double linear)
{
    return float(linear <= 0.0031308 ? 12.92 * linear : 1.055 * std::pow(linear, 1.0 / 2.4) - 0.055);
}
}

Xyz blackbodyXyz(double kelvin)
{
    Xyz sum;
    for (double nm = 380.0; nm <= 780.0; nm += 5.0)
    {
        const double radiance = planck(nm, kelvin);
        const Xyz bar = matchingFunctions(nm);
        sum.X += radiance * bar.X;
        sum.Y += radiance * bar.Y;
        sum.Z += radiance * bar.Z;
    }
    return sum;
}

Rgb blackbodyColour(double kelvin)
{
    const Xyz c = blackbodyXyz(kelvin);
    // IEC 61966-2-1: CIE XYZ to linear sRGB, D65 white.
    const double linear[3] = {std::max(0.0, 3.2406 * c.X - 1.5372 * c.Y - 0.4986 * c.Z),
                              std::max(0.0, -0.9689 * c.X + 1.8758 * c.Y + 0.0415 * c.Z),
                              std::max(0.0, 0.0557 * c.X - 0.2040 * c.Y + 1.0570 * c.Z)};
    const double largest = std::max({linear[0], linear[1], linear[2]});
    if (!(largest > 0.0))
        return {};
    return {encoded(linear[0] / largest), encoded(linear[1] / largest), encoded(linear[2] / largest)};
}

Rgb starColour(float colourIndex)
{
    // B-V of the catalogues runs from about -0.4 (O stars) to 2 and more (carbon stars).
    constexpr float lowest = -0.5f, highest = 3.0f, step = 0.01f;
    constexpr int count = int((highest - lowest) / step + 1.5f);
    static const std::array<Rgb, count> table = [] {
        std::array<Rgb, count> colours;
        for (int i = 0; i < count; ++i)
            colours[std::size_t(i)] = blackbodyColour(temperatureFromColourIndex(lowest + i * step));
        return colours;
    }();
    if (std::isnan(colourIndex))
        return {};
    const float at = std::clamp((colourIndex - lowest) / step, 0.0f, float(count - 1));
    return table[std::size_t(std::lround(at))];
}

StarLook starLook(float magnitude, float magnitudeLimit, float brightness)
{
    using namespace starLight;
    StarLook look;
    const float fade = std::clamp((magnitudeLimit - magnitude) / fadeMagnitudes, 0.0f, 1.0f);
    const float m = std::max(magnitude, saturationMagnitude);
    look.light = std::max(0.0f, brightness) * fade * std::pow(10.0f, 0.4f * contrast * (oneDotMagnitude - m));
    look.peak = std::min(look.light, 1.0f);
    // Past a full dot the core widens, keeping its light in its area.
    look.core = dotCore * std::sqrt(std::max(look.light, 1.0f));
    look.glow = std::min(3.0f * look.core, largestGlow);
    look.glowPeak = 0.06f * std::clamp((look.light - 1.0f) / 10.0f, 0.0f, 1.0f);
    const float reach = 2.5f * (look.glowPeak > 0.0f ? std::max(look.core, look.glow) : look.core);
    look.size = std::max(smallestSize, std::ceil(2.0f * reach));
    return look;
}
