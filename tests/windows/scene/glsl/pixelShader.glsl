#define SKY_BRIGHTNESS 0.2
// A red sphere at the origin, a blue box to its right and a
// grey checker floor, lit from one side, under a plain sky.
// The sky is (1, 1.5, 2.5) times the number on the first line.
uniform mat4 screen2World;
uniform vec3 cameraPos;
uniform float totalTime;

float Box(vec3 p, vec3 size)
{
    vec3 d = abs(p) - size;
    float outside = length(max(d, 0.0));
    return outside + min(max(d.x, max(d.y, d.z)), 0.0);
}

// Distance to the nearest surface; `material` names it.
float Distance(vec3 p, out int material)
{
    float d = length(p) - 3.0;
    material = 0;
    float box = Box(p - vec3(7.0, 0.0, 0.0), vec3(1.5));
    if (box < d) { d = box; material = 1; }
    float ground = p.y + 3.0;
    if (ground < d) { d = ground; material = 2; }
    return d;
}

vec3 Normal(vec3 p)
{
    int m;
    vec2 e = vec2(0.001, 0.0);
    return normalize(vec3(
        Distance(p + e.xyy, m) - Distance(p - e.xyy, m),
        Distance(p + e.yxy, m) - Distance(p - e.yxy, m),
        Distance(p + e.yyx, m) - Distance(p - e.yyx, m)));
}

vec3 Surface(vec3 p, int material)
{
    if (material == 0) return vec3(0.9, 0.1, 0.1);
    if (material == 1) return vec3(0.1, 0.2, 0.9);
    float check = mod(floor(p.x * 0.25) + floor(p.z * 0.25), 2.0);
    return vec3(0.35 + 0.3 * check);
}

void main()
{
    vec4 far = screen2World * vec4(gl_FragCoord.xy, 1.0, 1.0);
    vec3 origin = cameraPos;
    vec3 direction = normalize(far.xyz / far.w - origin);

    vec3 colour = vec3(1.0, 1.5, 2.5) * SKY_BRIGHTNESS;
    float t = 0.0;
    for (int i = 0; i < 128; ++i) {
        int material;
        vec3 p = origin + direction * t;
        float d = Distance(p, material);
        if (d < 0.001 * t) {
            vec3 light = normalize(vec3(-0.6, 0.7, 0.4));
            float lit = max(dot(Normal(p), light), 0.0);
            colour = Surface(p, material) * (0.25 + 0.75 * lit);
            break;
        }
        t += d;
        if (t > 100.0) break;
    }
    // Keeps the time parameter in use without moving the picture.
    if (totalTime < 0.0) colour = vec3(1.0);
    gl_FragColor = vec4(colour, 1.0);
}
