#ifndef ORVTEST_SCENE_STARLIGHT_H
#define ORVTEST_SCENE_STARLIGHT_H

// How a catalogue star is drawn: its colour from its B-V index and its size
// and light from its magnitude. Plain numbers, no engine.

// A star's effective temperature, kelvin, from its B-V colour index, by the
// formula of Ballesteros (2012), "New insights into black bodies", EPL 97,
// 34008 (arXiv:1201.1809), which takes the star for a black body.
double temperatureFromColourIndex(double colourIndex);

struct Xyz
{
    double X = 0.0;
    double Y = 0.0;
    double Z = 0.0;
};

// CIE 1931 tristimulus values of a black body's light (Planck's law) at
// `kelvin`, 380 to 780 nm, of arbitrary scale.
Xyz blackbodyXyz(double kelvin);

struct Rgb
{
    float r = 1.0f;
    float g = 1.0f;
    float b = 1.0f;
};

// The colour of a black body at `kelvin` as a display shows it: linear sRGB
// (D65 white) scaled so that its largest component is 1, negatives cut to
// 0, then sRGB-encoded. 6500 K is nearly white.
Rgb blackbodyColour(double kelvin);

// The colour drawn for a B-V index; white for an unknown (NaN) one. Looked
// up in a table made once, to a hundredth of a magnitude.
Rgb starColour(float colourIndex);

// What a star's point looks like on screen, in pixels: a Gaussian core
// (sigma `core`) whose centre has the intensity `peak`, and for the
// brightest a faint wider Gaussian glow (sigma `glow`, its centre `glowPeak`
// times the core's), drawn in a square point `size` across.
struct StarLook
{
    float light = 0.0f;    // the core's light: a star at oneDotMagnitude has 1
    float peak = 0.0f;     // 0 to 1
    float core = 0.0f;     // pixels
    float glow = 0.0f;     // pixels, at least `core`
    float glowPeak = 0.0f;
    float size = 0.0f;     // pixels
};

// The look of a star of `magnitude` where the sky's stars end at
// `magnitudeLimit` and their light is scaled by `brightness`. Brighter stars
// have more light, to saturationMagnitude; a star within fadeMagnitudes of
// the limit fades out to nothing at it. The light goes first into the
// core's intensity (a star fainter than oneDotMagnitude is a dim dot), then
// into its area.
StarLook starLook(float magnitude, float magnitudeLimit, float brightness);

namespace starLight
{
// A magnitude step makes the drawn light this power of the real ratio (a
// display's range is far smaller than the sky's).
constexpr float contrast = 0.6f;
constexpr float oneDotMagnitude = 4.0f;
// Brighter stars are drawn as this one: no halo outgrows the view.
constexpr float saturationMagnitude = -1.0f;
constexpr float fadeMagnitudes = 1.0f;
constexpr float dotCore = 0.6f;      // pixels: sigma of a dot
constexpr float largestGlow = 7.0f;  // pixels
constexpr float smallestSize = 2.0f; // pixels
}

#endif
