// The shadows of spheres and of a ring, as a body's own shading draws them
// (scene/ShadowGeometry.cpp computes the same on the CPU, for the tests). The
// sun is a disc of sunRadius world units about the light's position.

// The share of the sun's disc a sphere (xyz its centre, w its radius) leaves
// uncovered, as seen from `point`: 1 in full light, 0 in the umbra, eased
// between where the discs touch and where one holds the other; an annular
// eclipse takes (caster / sun)² of it. The angles are taken by their sines,
// which differ from them by a few percent only where a caster fills a good
// part of the sky, and cost the software renderer a fraction of asin and atan.
float sunlightPast(vec3 point, vec3 sun, float sunRadius, vec4 caster)
{
    vec3 toSun = sun - point;
    vec3 toCaster = caster.xyz - point;
    float sunSquared = dot(toSun, toSun);
    float casterSquared = dot(toCaster, toCaster);
    if (casterSquared <= caster.w * caster.w || casterSquared >= sunSquared || dot(toSun, toCaster) <= 0.0)
        return 1.0;
    float sunAngle = max(min(sunRadius * inversesqrt(sunSquared), 1.0), 1e-6);
    float casterAngle = caster.w * inversesqrt(casterSquared);
    float apart = length(cross(toSun, toCaster)) * inversesqrt(sunSquared * casterSquared);
    float covered = min(1.0, casterAngle * casterAngle / (sunAngle * sunAngle));
    float inner = abs(casterAngle - sunAngle);
    float t = clamp((apart - inner) / (casterAngle + sunAngle - inner), 0.0, 1.0);
    return 1.0 - covered * (1.0 - t * t * (3.0 - 2.0 * t));
}

// A ring map's face-on opacity at a texel: its whiteness, the least of its
// channels (white stops all light, black or a pure colour none).
float faceOnOpacity(vec3 texel)
{
    return min(texel.r, min(texel.g, texel.b));
}

// The light a ring of that face-on opacity stops along a line at `cosine`
// to its normal: the slant path is 1 / |cosine| times the thickness.
float slantOpacity(float faceOn, float cosine)
{
    return 1.0 - pow(1.0 - clamp(faceOn, 0.0, 0.999), 1.0 / max(abs(cosine), 0.01));
}
