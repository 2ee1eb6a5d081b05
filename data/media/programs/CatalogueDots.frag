// A pixel of the catalogue's picture (CatalogueDots.comp): the dot stored
// there at its own depth, so that a planet before it hides it, or nothing.
#version 430 compatibility

layout(std430, binding = 2) readonly buffer Pixels { uint pixels[]; };

uniform vec4 viewportSize;   // width, height, 1 / width, 1 / height
uniform float behind;        // 1 at true scale: behind every body, whose depth ranges are their own

void main()
{
    uint dot = pixels[uint(gl_FragCoord.y) * uint(viewportSize.x) + uint(gl_FragCoord.x)];
    if (dot == 0xFFFFFFFFu)
        discard;
    float shade = float(dot & 127u) / 127.0;
    // Asteroids the grey of rock in sunlight, comets a pale blue.
    vec3 colour = (dot & 128u) != 0u ? vec3(0.55, 0.8, 1.0) : vec3(0.95, 0.92, 0.86);
    gl_FragColor = vec4(colour * shade, 1.0);
    gl_FragDepth = behind > 0.0 ? 1.0 : float(dot >> 8) / 16777215.0;
}
