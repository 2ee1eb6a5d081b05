// A ring of particles lit by the sun. Its map runs from the inner edge (u 0)
// to the outer (u 1); a texel's whiteness is the share of light the ring
// stops face-on, and its hue the ring's colour. Seen at a slant the ring
// stops more (the path through it is longer). Its brightness follows the
// Lommel-Seeliger law of a layer of scattering particles, 2 mu0 / (mu0 + mu)
// for the cosines of the sun's and the eye's angles to its normal, so that
// it darkens as the sun nears its plane; seen from the side the sun does not
// light, only what passes through it shows, as much as its face-on
// transparency lets. The planet (custom parameter 0: inner and outer radius,
// the planet's radius) shadows it, with the sun's penumbra.
#version 120

#include "Sunlight.glsl"

uniform sampler2D ringMap;
uniform vec4 ring;                 // inner radius, outer radius, planet radius
uniform vec4 lightPosition;
uniform vec4 lightDiffuse;
uniform vec4 lightAttenuation;
uniform vec4 ambientLight;
uniform vec4 surfaceDiffuse;
uniform vec4 cameraPosition;
uniform float sunRadius;

varying vec3 worldPosition;
varying vec2 inPlane;
varying vec3 centre;
varying vec3 pole;

void main()
{
    float radius = length(inPlane);
    if (radius < ring.x || radius > ring.y)
        discard;
    vec3 texel = texture2D(ringMap, vec2((radius - ring.x) / (ring.y - ring.x), 0.5)).rgb;
    float faceOn = faceOnOpacity(texel);
    vec3 hue = texel / max(max(texel.r, max(texel.g, texel.b)), 1e-3);

    vec3 toLight = lightPosition.xyz - worldPosition;
    float distance = length(toLight);
    float attenuation = distance > lightAttenuation.x ? 0.0
        : 1.0 / (lightAttenuation.y + lightAttenuation.z * distance + lightAttenuation.w * distance * distance);
    float sunCosine = dot(pole, toLight / distance);
    float eyeCosine = dot(pole, normalize(cameraPosition.xyz - worldPosition));
    float scatter = 2.0 * abs(sunCosine) / max(abs(sunCosine) + abs(eyeCosine), 1e-3);
    if (sunCosine * eyeCosine < 0.0)
        scatter *= 1.0 - faceOn;
    float sunlight = sunlightPast(worldPosition, lightPosition.xyz, sunRadius, vec4(centre, ring.z));

    vec3 colour = hue * surfaceDiffuse.rgb *
                  clamp(ambientLight.rgb + attenuation * sunlight * min(scatter, 1.5) * lightDiffuse.rgb, 0.0, 1.0);
    gl_FragColor = vec4(colour, slantOpacity(faceOn, eyeCosine));
}
