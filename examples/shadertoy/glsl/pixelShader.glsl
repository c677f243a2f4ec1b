// Lanterns over a pond: a scene for Morvane written in Shadertoy's form. Three glowing spheres bob
// over water whose ripples come from the noise in channel 0; drag with the left mouse button to
// turn around them. It reads iResolution, iTime, iMouse and iChannel0.

const float kFar = 40.0;

float Hash(float n)
{
    return fract(sin(n) * 43758.5453);
}

// A lantern's centre: each one bobs and drifts on its own beat.
vec3 Lantern(int index)
{
    float i = float(index);
    float angle = i * 2.094 + 0.2 * iTime;
    return vec3(2.2 * cos(angle), 1.2 + 0.35 * sin(1.3 * iTime + 2.0 * i), 2.2 * sin(angle));
}

vec3 LanternColour(int index)
{
    return 0.5 + 0.5 * cos(6.2831 * (Hash(float(index) + 3.0) + vec3(0.0, 0.33, 0.67)));
}

// Distance to the nearest lantern, and which one it is.
float Lanterns(vec3 p, out int nearest)
{
    float d = kFar;
    nearest = 0;
    for (int i = 0; i < 3; ++i) {
        float di = length(p - Lantern(i)) - 0.45;
        if (di < d) {
            d = di;
            nearest = i;
        }
    }
    return d;
}

// The water's height at a point on it: two octaves of the channel's noise, drifting.
float Water(vec2 xz)
{
    float h = texture(iChannel0, xz * 0.05 + vec2(0.01, 0.02) * iTime).r;
    h += 0.5 * texture(iChannel0, xz * 0.11 - vec2(0.015, 0.0) * iTime).g;
    return 0.06 * h;
}

void mainImage(out vec4 fragColor, in vec2 fragCoord)
{
    vec2 uv = (2.0 * fragCoord - iResolution.xy) / iResolution.y;

    // The camera turns with the mouse while the button is held, and slowly on its own.
    float turn = 0.1 * iTime + (iMouse.z > 0.0 ? 6.2831 * iMouse.x / iResolution.x : 0.0);
    vec3 eye = vec3(7.0 * sin(turn), 2.2, 7.0 * cos(turn));
    vec3 forward = normalize(vec3(0.0, 1.0, 0.0) - eye);
    vec3 right = normalize(cross(forward, vec3(0.0, 1.0, 0.0)));
    vec3 up = cross(right, forward);
    vec3 ray = normalize(uv.x * right + uv.y * up + 1.6 * forward);

    // Sky: a dusk gradient.
    vec3 colour = mix(vec3(0.9, 0.45, 0.3), vec3(0.08, 0.1, 0.25), clamp(ray.y * 2.0 + 0.2, 0.0, 1.0));

    // March once towards the lanterns.
    float t = 0.0;
    int hit = -1;
    for (int step = 0; step < 64 && t < kFar; ++step) {
        int nearest;
        float d = Lanterns(eye + t * ray, nearest);
        if (d < 0.002) {
            hit = nearest;
            break;
        }
        t += d;
    }

    // The water plane, if it comes first.
    float tWater = ray.y < 0.0 ? -eye.y / ray.y : kFar;
    if (tWater < kFar && (hit < 0 || tWater < t)) {
        vec3 p = eye + tWater * ray;
        float e = 0.05;
        vec3 normal = normalize(vec3(Water(p.xz - vec2(e, 0.0)) - Water(p.xz + vec2(e, 0.0)), 2.0 * e,
                                     Water(p.xz - vec2(0.0, e)) - Water(p.xz + vec2(0.0, e))));
        vec3 reflected = reflect(ray, normal);
        colour = vec3(0.02, 0.05, 0.08) + 0.25 * mix(vec3(0.9, 0.45, 0.3), vec3(0.08, 0.1, 0.25),
                                                    clamp(reflected.y * 2.0 + 0.2, 0.0, 1.0));
        // Each lantern's glow on the water, and its shimmering reflection.
        for (int i = 0; i < 3; ++i) {
            vec3 toLantern = Lantern(i) - p;
            float glow = max(dot(normalize(toLantern), reflected), 0.0);
            colour += LanternColour(i) * (0.6 * pow(glow, 60.0) + 0.4 / dot(toLantern, toLantern));
        }
        colour = mix(colour, vec3(0.08, 0.1, 0.25), 1.0 - exp(-0.04 * tWater));
    } else if (hit >= 0) {
        vec3 p = eye + t * ray;
        vec3 normal = normalize(p - Lantern(hit));
        float rim = pow(1.0 - max(dot(normal, -ray), 0.0), 2.0);
        colour = LanternColour(hit) * (0.8 + 0.6 * rim) + vec3(1.0, 0.9, 0.7) * 0.3 * (1.0 - rim);
    }

    // A soft halo around each lantern, seen through the air.
    for (int i = 0; i < 3; ++i) {
        vec3 toLantern = Lantern(i) - eye;
        float along = max(dot(toLantern, ray), 0.0);
        float miss = length(toLantern - along * ray);
        colour += 0.08 * LanternColour(i) / (0.05 + miss * miss);
    }

    fragColor = vec4(pow(colour / (1.0 + colour), vec3(0.8)), 1.0);
}
