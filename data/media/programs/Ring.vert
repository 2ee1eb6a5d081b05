// A ring: a flat annulus in its node's X-Z plane, the node at the body's
// centre with its +Y the body's pole and no scale of its own. Hands on where
// each pixel stands in the world and in the ring's plane, and the ring's
// centre and normal in the world.
#version 120

attribute vec4 vertex;

uniform mat4 worldMatrix;
uniform mat4 worldViewProjMatrix;

varying vec3 worldPosition;
varying vec2 inPlane;
varying vec3 centre;
varying vec3 pole;

void main()
{
    worldPosition = (worldMatrix * vertex).xyz;
    inPlane = vertex.xz;
    centre = worldMatrix[3].xyz;
    pole = normalize(worldMatrix[1].xyz);
    gl_Position = worldViewProjMatrix * vertex;
}
