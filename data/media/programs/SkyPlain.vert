// A constellation line's or the Milky Way's vertex: a world direction
// (w 0, at infinity) and its colour in uv0.
#version 120

attribute vec4 vertex;
attribute vec4 uv0;

uniform mat4 viewProjMatrix;

varying vec4 colour;

void main()
{
    gl_Position = viewProjMatrix * vec4(vertex.xyz, 0.0);
    gl_Position.z = 0.0;
    colour = uv0;
}
