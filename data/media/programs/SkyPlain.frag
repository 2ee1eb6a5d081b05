#version 120

varying vec4 colour;

void main()
{
    gl_FragColor = vec4(colour.rgb, 1.0);
}
