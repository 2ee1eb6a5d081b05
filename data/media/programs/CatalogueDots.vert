// The catalogue's picture of dots laid over the view: one triangle that
// covers the viewport, its corners given in clip space.
#version 430 compatibility

attribute vec4 vertex;

void main()
{
    gl_Position = vec4(vertex.xy, 0.0, 1.0);
}
