// A body's surface in one pass with its shadows and clouds: its map under
// the light of Body.vert (the scene's ambient light on the surface's ambient
// colour, and the sun's diffuse and specular shares on its colours), the
// sun's shares dimmed pixel by pixel by what stands before the sun.
// scene/BodyShading.cpp compiles it with:
//   CASTERS      how many spheres shadow it now, 0 to 4: custom parameters 0
//                to 3, each a centre and radius (world units);
//   RING_SHADOW  a ring shadows it: 4 its centre and inner radius, 5 its
//                normal and outer radius, and its map;
//   CLOUDS       white clouds above it, as many as their map is white.
// The scene switches between them as casters come and go, since a test in
// the program would cost the software renderer the work of both branches.
// A body is never its own caster: no shadow acne, and its terminator is its
// lighting's own.
#version 120

#ifndef CASTERS
#define CASTERS 0
#endif

#include "Sunlight.glsl"

uniform sampler2D map;
uniform vec4 lightPosition;        // world space; the sun
uniform vec4 lightDiffuse;
uniform vec4 lightSpecular;
uniform vec4 ambientLight;
uniform vec4 surfaceAmbient;
uniform vec4 surfaceDiffuse;
uniform vec4 surfaceSpecular;
#if CASTERS > 0
uniform float sunRadius;           // world units
uniform vec4 caster0;
#endif
#if CASTERS > 1
uniform vec4 caster1;
#endif
#if CASTERS > 2
uniform vec4 caster2;
#endif
#if CASTERS > 3
uniform vec4 caster3;
#endif
#ifdef RING_SHADOW
uniform sampler2D ringMap;
uniform vec4 ringCentre;
uniform vec4 ringNormal;
#endif
#ifdef CLOUDS
uniform sampler2D cloudMap;
#endif

varying vec3 worldPosition;
varying vec2 mapCoordinate;
varying vec2 cloudCoordinate;
varying vec2 sunShares;            // diffuse, specular

void main()
{
    vec4 texel = texture2D(map, mapCoordinate);
    float sunlight = 1.0;
#if CASTERS > 0
    sunlight *= sunlightPast(worldPosition, lightPosition.xyz, sunRadius, caster0);
#endif
#if CASTERS > 1
    sunlight *= sunlightPast(worldPosition, lightPosition.xyz, sunRadius, caster1);
#endif
#if CASTERS > 2
    sunlight *= sunlightPast(worldPosition, lightPosition.xyz, sunRadius, caster2);
#endif
#if CASTERS > 3
    sunlight *= sunlightPast(worldPosition, lightPosition.xyz, sunRadius, caster3);
#endif
#ifdef RING_SHADOW
    {
        // Where the way to the sun crosses the ring's plane.
        vec3 toSun = normalize(lightPosition.xyz - worldPosition);
        float cosine = dot(toSun, ringNormal.xyz);
        float ahead = dot(ringCentre.xyz - worldPosition, ringNormal.xyz) / (abs(cosine) > 1e-6 ? cosine : 1e-6);
        float radius = length(worldPosition + ahead * toSun - ringCentre.xyz);
        if (ahead > 0.0 && radius > ringCentre.w && radius < ringNormal.w)
        {
            vec3 ring = texture2D(ringMap, vec2((radius - ringCentre.w) / (ringNormal.w - ringCentre.w), 0.5)).rgb;
            sunlight *= 1.0 - slantOpacity(faceOnOpacity(ring), cosine);
        }
    }
#endif

    vec3 sun = sunlight * sunShares.x * lightDiffuse.rgb * surfaceDiffuse.rgb;
    vec3 lit = clamp(ambientLight.rgb * surfaceAmbient.rgb + sun, 0.0, 1.0);
    vec3 highlight = sunlight * sunShares.y * lightSpecular.rgb * surfaceSpecular.rgb;
    vec3 colour = lit * texel.rgb;
#ifdef CLOUDS
    // White clouds, as many as the map is white (a map of clouds over a
    // coloured ground, as Earth's, shows the ground through thin ones).
    float cover = faceOnOpacity(texture2D(cloudMap, cloudCoordinate).rgb);
    colour = mix(colour, lit, cover);
    highlight *= 1.0 - cover;
#endif
    gl_FragColor = vec4(colour + highlight, surfaceDiffuse.a);
}
