// Every dot of a catalogue, placed by the clock and drawn into a picture of
// the view, one invocation a dot (scene/CatalogueDots.h). Kepler's equation
// is solved here from the elements (scene/DotArrays.h), the distance from the
// Sun is mapped to the display scale (sky/RadialMap.h; the function below is
// written in by the program), and the dot is projected and stored in its
// pixel as depth and shade. No triangles or points: a software renderer
// would set up each one on its own.
//
// The viewer puts a line after the version, "#define STEPS N" for ellipses
// that need N Halley steps (a loop of a fixed count, unrolled: one of a
// count set from outside costs a software renderer more than the steps) or
// "#define OPEN_ORBITS" for the hyperbolas and parabolas, and the map at
// "MAPPED_DISTANCE".
#version 430

layout(local_size_x = 64) in;

layout(std430, binding = 0) readonly buffer Axes { vec4 axes[]; };       // a·P, e; b·Q, magnitude
layout(std430, binding = 1) readonly buffer Motion { vec2 motion[]; };   // mean anomaly, mean motion
layout(std430, binding = 2) buffer Pixels { uint pixels[]; };  // depth << 8 | comet << 7 | shade; cleared to ~0
layout(std430, binding = 3) buffer Near { uint nearCount; uint near[]; }; // dots to draw as spheres
layout(std430, binding = 4) buffer Centre { uint centreCount; uint centre[]; }; // dots by the view's centre, and their depths

uniform float days;                 // since the dots' reference time
uniform uint first;                 // the band's dots
uniform uint count;
uniform mat4 viewProjection;        // as the render system draws: depth -1 to 1
uniform vec4 view;                  // width, height in pixels, 1 or -1 (a flipped target), pixels a unit at unit distance
uniform uint nearCapacity;
uniform uint centreCapacity;
uniform float centreReach;          // pixels from the view's centre a dot is listed within
uniform float kmPerAU;              // above 0 at true scale: real places in km, the camera's taken off by the matrix
uniform float largestRadius;        // world units: of the catalogue's brightest asteroid

MAPPED_DISTANCE

// World units of a body's radius from its absolute magnitude, as
// bodyRadius (scene/CatalogueDots.h) works it.
float radiusOf(float magnitude)
{
    return 1329.0 / sqrt(0.25) / 2.0 / 50.0 * exp2(-magnitude * 0.6643856);   // log2(10) / 5
}

void main()
{
    uint dot = gl_GlobalInvocationID.x;
    if (dot >= count)
        return;
    dot += first;
    vec4 a = axes[2u * dot];
    vec4 b = axes[2u * dot + 1u];
    vec2 m = motion[dot];
    float e = a.w;
    float mean = m.x + m.y * days;
    vec3 place;
#ifdef OPEN_ORBITS
    if (e == 1.0)
    {
        // Barker's equation D + D³/3 = mean, solved outright.
        float y = pow(1.5 * abs(mean) + sqrt(2.25 * mean * mean + 1.0), 1.0 / 3.0);
        float d = sign(mean) * (y - 1.0 / y);
        place = a.xyz * (1.0 - d * d) + b.xyz * d;
    }
    else
    {
        // e sinh H - H = mean, by Halley's method from Danby's start.
        float h = sign(mean) * log(2.0 * abs(mean) / e + 1.8);
        for (int k = 0; k < 10; ++k)
        {
            float sh = sinh(h), ch = cosh(h);
            float f = e * sh - h - mean, d1 = e * ch - 1.0;
            h -= f / (d1 - 0.5 * f * e * sh / d1);
        }
        place = a.xyz * (e - cosh(h)) + b.xyz * sinh(h);
    }
#else
    mean -= 6.2831853 * floor((mean + 3.1415927) / 6.2831853);
    float s = sin(mean), c = cos(mean);
    // The starting value E0 = M + shift, and its sine and cosine from the
    // mean anomaly's by the angle-sum rule: the shift is at most e (below
    // 1), where these series of the shift's own are exact to a float.
    float shift = e * s * inversesqrt(1.0 - 2.0 * e * c + e * e);
    float q = shift * shift;
    float shiftSine = shift * (1.0 - q / 6.0 * (1.0 - q / 20.0 * (1.0 - q / 42.0 * (1.0 - q / 72.0 * (1.0 - q / 110.0)))));
    float shiftCosine = 1.0 - q / 2.0 * (1.0 - q / 12.0 * (1.0 - q / 30.0 * (1.0 - q / 56.0 * (1.0 - q / 90.0))));
    float anomaly = mean + shift;
    float sine = s * shiftCosine + c * shiftSine;
    c = c * shiftCosine - s * shiftSine;
    s = sine;
    float step = 0.0;
    for (int k = 0; k < STEPS; ++k)
    {
        if (k > 0)
        {
            s = sin(anomaly);
            c = cos(anomaly);
        }
        float f = anomaly - e * s - mean, d1 = 1.0 - e * c;
        step = f / (d1 - 0.5 * f * e * s / d1);
        anomaly -= step;
    }
    // The last step is small: its sine and cosine follow from those before it.
    place = a.xyz * (c + step * s - e) + b.xyz * (s - step * c);
#endif
    float r = length(place);
    // Beyond a float's reach (a hyperbola far out) or at the Sun: no dot.
    if (!(r > 0.0 && r < 1e30))
        return;
    bool trueScale = kmPerAU > 0.0;
    place *= trueScale ? kmPerAU : mappedDistance(r) / r;
    vec4 clip = viewProjection * vec4(place, 1.0);
    if (!(clip.w > 0.0))
        return;
    bool comet = b.w > 50.0;
    float magnitude = comet ? b.w - 100.0 : b.w;
    vec3 ndc = clip.xyz / clip.w;
    // Near enough to be a sphere of a pixel's radius or more, and on the
    // view: a body just in front of the camera but off to the side would
    // take the list's room from one in sight. Not a comet: its M1 is the
    // brightness of its coma, which would make Halley's 11 km nucleus a
    // sphere 105 km across and fill the inner system with them.
    // At true scale, km: kilometresPerWorldUnit of them a world unit.
    // Most dots are too far for any body to be a pixel across: they skip
    // the power of two that gives a body's size.
    float scale = (trueScale ? 50.0 : 1.0) * view.w / clip.w;   // pixels a world unit of radius
    if (!comet && largestRadius * scale >= 1.0)
    {
        float radiusOnView = radiusOf(magnitude) * scale;
        if (radiusOnView >= 1.0 && all(lessThanEqual(abs(ndc.xy) * 0.5 * view.xy, 0.5 * view.xy + radiusOnView)))
        {
            uint at = atomicAdd(nearCount, 1u);
            if (at < nearCapacity)
                near[at] = dot;
        }
    }
    // At true scale the depth ranges are the bodies': the dots go behind
    // them all, nearest first by the log of the distance, to 2^43 km.
    if (!all(lessThanEqual(abs(ndc.xy), vec2(1.0))) || (!trueScale && abs(ndc.z) > 1.0))
        return;
    vec2 onView = (vec2(ndc.x, ndc.y * view.z) * 0.5 + 0.5) * view.xy;
    uvec2 pixel = uvec2(min(onView, view.xy - 1.0));
    uint depth = uint((trueScale ? clamp(log2(max(clip.w, 1.0)) / 43.0, 0.0, 1.0) : ndc.z * 0.5 + 0.5) * 16777215.0);
    // A pick solves these again on the processor, in double precision,
    // nearest first by this depth.
    vec2 fromCentre = onView - 0.5 * view.xy;
    if (fromCentre.x * fromCentre.x + fromCentre.y * fromCentre.y <= centreReach * centreReach)
    {
        uint at = atomicAdd(centreCount, 1u);
        if (at < centreCapacity)
        {
            centre[2u * at] = dot;
            centre[2u * at + 1u] = depth;
        }
    }
    // Brighter the lower H: from a quarter at H 18 to full at H 5.5.
    uint shade = uint(clamp(0.25 + (18.0 - magnitude) * 0.06, 0.25, 1.0) * 127.0);
    // The nearest dot of a pixel wins, whatever order the invocations run in,
    // so that two recordings of a film give the same frames. A plain read
    // first: in a dense belt most dots lose to one already stored, and a
    // software renderer's atomics cost several times a read.
    uint at = pixel.y * uint(view.x) + pixel.x;
    uint stored = (depth << 8) | (comet ? 128u : 0u) | shade;
    if (stored < pixels[at])
        atomicMin(pixels[at], stored);
}
