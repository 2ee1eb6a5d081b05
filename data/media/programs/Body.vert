// A body's surface, lit vertex by vertex as the fixed-function pipeline lights
// the planet materials: the sun's attenuated diffuse and specular shares
// here, its colours and the ambient light in Body.frag. It hands on where each
// pixel stands in the world (for the shadows, which are worked out pixel by
// pixel), its place on the map, and its place on the map of the clouds
// above it: CloudHeight up, back along the line of sight, and shifted by the
// clouds' own turn (custom parameter 6: map widths turned, height in world
// units). The map's u grows eastward, its v southward.
#version 120

attribute vec4 vertex;
attribute vec3 normal;
attribute vec4 uv0;

uniform mat4 worldMatrix;
uniform mat4 worldViewProjMatrix;
uniform vec4 lightPosition;        // world space; the sun
uniform vec4 lightAttenuation;     // range, constant, linear, quadratic
uniform vec4 cameraPosition;       // world space
uniform float surfaceShininess;
uniform vec4 clouds;

varying vec3 worldPosition;
varying vec2 mapCoordinate;
varying vec2 cloudCoordinate;
varying vec2 sunShares;            // diffuse, specular

void main()
{
    worldPosition = (worldMatrix * vertex).xyz;
    vec3 n = normalize(mat3(worldMatrix) * normal);
    vec3 toEye = normalize(cameraPosition.xyz - worldPosition);
    vec3 toLight = lightPosition.xyz - worldPosition * lightPosition.w;
    float distance = length(toLight);
    vec3 l = toLight / max(distance, 1e-6);
    float attenuation = 1.0;
    if (lightPosition.w != 0.0)
        attenuation = distance > lightAttenuation.x ? 0.0
            : 1.0 / (lightAttenuation.y + lightAttenuation.z * distance + lightAttenuation.w * distance * distance);
    float diffuse = max(dot(n, l), 0.0);
    float specular = diffuse > 0.0 ? pow(max(dot(n, normalize(l + toEye)), 0.0), surfaceShininess) : 0.0;
    sunShares = attenuation * vec2(diffuse, specular);

    mapCoordinate = uv0.xy;
    vec3 pole = normalize(worldMatrix[1].xyz);
    vec3 east = cross(pole, n);
    float across = max(length(east), 1e-3);   // the cosine of the latitude
    east /= across;
    vec3 north = cross(n, east);
    float radius = length(worldPosition - worldMatrix[3].xyz);
    vec3 shift = toEye * (clouds.y / max(dot(n, toEye), 0.1));
    cloudCoordinate = uv0.xy + vec2(dot(shift, east) / (6.2831853 * radius * across) - clouds.x,
                                    -dot(shift, north) / (3.1415927 * radius));
    gl_Position = worldViewProjMatrix * vertex;
}
