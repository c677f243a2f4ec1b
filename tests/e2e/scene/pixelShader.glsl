// A shaded sphere at the origin on a gradient: the picture depends on the camera but not on time.
uniform mat4 screen2World;
uniform vec3 cameraPos;
uniform float totalTime;

#ifndef TINT
#define TINT 0.0
#endif

void main()
{
    vec4 nearPoint = screen2World * vec4(gl_FragCoord.xy, 0.0, 1.0);
    vec4 farPoint = screen2World * vec4(gl_FragCoord.xy, 1.0, 1.0);
    vec3 origin = cameraPos;
    vec3 direction = normalize(farPoint.xyz / farPoint.w - nearPoint.xyz / nearPoint.w);

    vec3 colour = vec3(0.15, 0.2, 0.35) + 0.3 * direction.y;
    float b = dot(origin, direction);
    float c = dot(origin, origin) - 36.0;
    float h = b * b - c;
    if (h > 0.0) {
        float t = -b - sqrt(h);
        vec3 normal = normalize(origin + t * direction);
        float light = max(dot(normal, normalize(vec3(0.6, 0.8, 0.3))), 0.0);
        colour = vec3(0.9, 0.5 + 0.4 * TINT, 0.2) * (0.2 + 0.8 * light) + 0.1 * normal;
    }
    gl_FragColor = vec4(colour, 1.0);
    if (totalTime < -1.0) {
        gl_FragColor = vec4(1.0, 0.0, 1.0, 1.0);
    }
}
