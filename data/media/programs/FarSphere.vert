// Far spheres drawn as instances: each instance's centre and size come in
// uv1, its turn (a quaternion x y z w) in uv2. Lit per vertex as the
// fixed-function pipeline lights the far sphere material: the scene's
// ambient light on the surface's ambient colour, and the sun's attenuated
// diffuse light on its diffuse colour. A sphere too small to see as more than
// a dot comes as one triangle (facing.x 1), its corners in world space and
// its centre in uv1, lit as the middle of the face the camera sees.
#version 120

attribute vec4 vertex;
attribute vec3 normal;
attribute vec4 uv1;
attribute vec4 uv2;

uniform mat4 viewProjMatrix;
uniform vec4 cameraPosition;       // world space
uniform vec4 facing;               // x: 1 for a dot, 0 for a sphere
uniform vec4 lightPosition;        // world space; w 0 for a directional light
uniform vec4 lightDiffuse;
uniform vec4 lightAttenuation;     // range, constant, linear, quadratic
uniform vec4 ambientLight;
uniform vec4 surfaceAmbient;
uniform vec4 surfaceDiffuse;

varying vec4 colour;

vec3 turned(vec4 turn, vec3 v)
{
    return v + 2.0 * cross(turn.xyz, cross(turn.xyz, v) + turn.w * v);
}

void main()
{
    vec3 position;
    vec3 normalInWorld;
    bool isDot = facing.x > 0.5;
    if (isDot)
    {
        // A dot's corner, turned to the camera already; uv1 its centre.
        position = vertex.xyz;
        normalInWorld = normalize(cameraPosition.xyz - uv1.xyz);
    }
    else
    {
        position = uv1.xyz + uv1.w * turned(uv2, vertex.xyz);
        normalInWorld = normalize(turned(uv2, normal));
    }
    gl_Position = viewProjMatrix * vec4(position, 1.0);

    vec3 toLight = lightPosition.xyz - position * lightPosition.w;
    float distance = length(toLight);
    float attenuation = 1.0;
    if (lightPosition.w != 0.0)
    {
        attenuation = distance > lightAttenuation.x ? 0.0
            : 1.0 / (lightAttenuation.y + lightAttenuation.z * distance + lightAttenuation.w * distance * distance);
    }
    float facing = max(dot(normalInWorld, toLight / max(distance, 1e-6)), 0.0);
    colour = clamp(ambientLight * surfaceAmbient + attenuation * facing * lightDiffuse * surfaceDiffuse, 0.0, 1.0);
    // A dot's uv1.w is its brightness.
    if (isDot)
        colour.rgb *= clamp(uv1.w, 0.0, 1.0);
    colour.a = surfaceDiffuse.a;
}
