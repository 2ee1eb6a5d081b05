// A catalogue star: a world direction (w 0, at infinity), its colour in uv0
// and its point's shape in uv1: size, core sigma, glow sigma (pixels) and
// the glow's peak. Depth is unused: the sky is drawn first, without it.
#version 120

attribute vec4 vertex;
attribute vec4 uv0;
attribute vec4 uv1;

uniform mat4 viewProjMatrix;
uniform vec4 viewportSize;   // width, height, 1 / width, 1 / height

varying vec3 colour;
// The star's centre in window pixels, and per pixel squared the core's and
// the glow's falloff (1 / 2 sigma²) and the glow's peak.
varying vec2 centre;
varying vec3 falloff;

void main()
{
    vec4 clip = viewProjMatrix * vec4(vertex.xyz, 0.0);
    // A star behind the camera or well off the picture goes to one place
    // beside it: with no point to clip, the software renderer draws the whole
    // batch on its fast path and drops those points at once.
    if (clip.w <= 0.0 || abs(clip.x) > 2.0 * clip.w || abs(clip.y) > 2.0 * clip.w)
        clip = vec4(-3.0, -3.0, 0.0, 1.0);
    gl_Position = vec4(clip.xy, 0.0, clip.w);
    gl_PointSize = uv1.x;
    colour = uv0.rgb;
    centre = (clip.xy / clip.w * 0.5 + 0.5) * viewportSize.xy;
    falloff = vec3(0.5 / (uv1.y * uv1.y), 0.5 / (uv1.z * uv1.z), uv1.w);
}
