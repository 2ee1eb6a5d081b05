// A star's light at this pixel: its Gaussian core and faint glow about the
// star's true centre, which a point of whole pixels only holds.
#version 120

varying vec3 colour;
varying vec2 centre;
varying vec3 falloff;

void main()
{
    vec2 offset = gl_FragCoord.xy - centre;
    float r2 = dot(offset, offset);
    float light = exp(-falloff.x * r2);
    if (falloff.z > 0.0)
        light += falloff.z * exp(-falloff.y * r2);
    gl_FragColor = vec4(colour * light, 1.0);
}
