// The default scene: a few shapes on a floor, lit by a low sun under a blue sky.
//
// This pixel stage runs once for every pixel of the window. It builds the camera ray that passes
// through the pixel, finds where the ray first meets the scene by "ray marching" a distance
// function, and shades that point: sun light with soft shadows, sky light with ambient
// occlusion, a touch of gloss, and fog towards the horizon. Edit anything below: the viewer
// recompiles as you type and keeps showing the last version that built.
//
// The viewer hands this stage three uniforms every frame. Each one must stay in use: a uniform
// that the compiler sees unused is removed from the program, and the viewer then reports that it
// cannot set it and keeps the previous text.
#version 120

// Maps a window position in pixels (origin bottom-left, as gl_FragCoord) and a depth in [0, 1]
// (0 on the near plane, 1 on the far plane) to a homogeneous world-space point: divide by w.
uniform mat4 screen2World;
// The eye, in world units. The camera orbits the origin (left mouse drag) and zooms (wheel).
uniform vec3 cameraPos;
// Seconds since the viewer started; drives the animation.
uniform float totalTime;

// ---------------------------------------------------------------------------------------------
// Distance functions: each returns the distance from p to the surface of one shape (negative
// inside). The scene is the minimum over all shapes.

float SdSphere(vec3 p, float radius)
{
    return length(p) - radius;
}

float SdRoundBox(vec3 p, vec3 halfSize, float rounding)
{
    vec3 q = abs(p) - halfSize + rounding;
    return length(max(q, 0.0)) + min(max(q.x, max(q.y, q.z)), 0.0) - rounding;
}

float SdTorus(vec3 p, float majorRadius, float minorRadius)
{
    vec2 q = vec2(length(p.xz) - majorRadius, p.y);
    return length(q) - minorRadius;
}

float SdCapsule(vec3 p, float halfHeight, float radius)
{
    p.y -= clamp(p.y, -halfHeight, halfHeight);
    return length(p) - radius;
}

// A union that blends two shapes into one another over a distance k.
float SmoothUnion(float a, float b, float k)
{
    float h = clamp(0.5 + 0.5 * (b - a) / k, 0.0, 1.0);
    return mix(b, a, h) - k * h * (1.0 - h);
}

vec2 Rotate(vec2 v, float angle)
{
    float c = cos(angle);
    float s = sin(angle);
    return vec2(c * v.x - s * v.y, s * v.x + c * v.y);
}

// Animation state, computed once per pixel in main() rather than at every step of the march.
float g_bob;        // height of the bobbing sphere above the block
vec2 g_boxTurn;     // cos and sin of the block's turn about y
vec2 g_torusTurn;   // cos and sin of the ring's turn about y

// All shapes sit inside this box, so rays that miss it skip the march entirely.
const vec3 kBoundsMin = vec3(-10.3, 0.0, -8.1);
const vec3 kBoundsMax = vec3(9.8, 6.7, 3.8);

// The scene without the floor: x is the distance, y the material of the nearest shape.
vec2 Map(vec3 p)
{
    // Centre: a rounded block with a sphere melting into its top (a smooth union).
    vec3 q = p - vec3(0.0, 1.9, 0.0);
    q.xz = vec2(g_boxTurn.x * q.x - g_boxTurn.y * q.z, g_boxTurn.y * q.x + g_boxTurn.x * q.z);
    float block = SdRoundBox(q, vec3(1.9), 0.45);
    float drop = SdSphere(p - vec3(0.0, 4.0 + g_bob, 0.0), 1.55);
    vec2 result = vec2(SmoothUnion(block, drop, 1.0), 1.0);

    // Left: a ring standing on its edge, turning slowly about the vertical.
    q = p - vec3(-7.4, 2.9, 0.8);
    q.xz = vec2(g_torusTurn.x * q.x - g_torusTurn.y * q.z, g_torusTurn.y * q.x + g_torusTurn.x * q.z);
    float ring = SdTorus(q.xzy, 2.1, 0.75);
    if (ring < result.x) result = vec2(ring, 2.0);

    // Right: a polished ball.
    float ball = SdSphere(p - vec3(7.4, 2.3, 1.0), 2.3);
    if (ball < result.x) result = vec2(ball, 3.0);

    // Behind: two pillars.
    float pillarA = SdCapsule(p - vec3(-3.8, 3.3, -6.5), 2.4, 0.9);
    float pillarB = SdRoundBox(p - vec3(4.2, 2.6, -6.8), vec3(1.1, 2.6, 1.1), 0.3);
    float pillars = min(pillarA, pillarB);
    if (pillars < result.x) result = vec2(pillars, 4.0);
    return result;
}

// ---------------------------------------------------------------------------------------------
// Ray helpers.

// Where a ray enters and leaves the bounding box (x > y when it misses).
vec2 BoxInterval(vec3 origin, vec3 direction)
{
    vec3 inverse = 1.0 / direction;
    vec3 t0 = (kBoundsMin - origin) * inverse;
    vec3 t1 = (kBoundsMax - origin) * inverse;
    vec3 tMin = min(t0, t1);
    vec3 tMax = max(t0, t1);
    return vec2(max(max(tMin.x, tMin.y), tMin.z), min(min(tMax.x, tMax.y), tMax.z));
}

// Sphere tracing: step along the ray by the distance to the nearest surface, which can never
// overshoot it. Returns the distance along the ray and the material, or material 0 on a miss.
vec2 March(vec3 origin, vec3 direction, float tStart, float tEnd)
{
    float t = tStart;
    for (int i = 0; i < 72; i++)
    {
        if (t > tEnd) break;
        vec2 h = Map(origin + direction * t);
        if (h.x < 0.0015 * t) return vec2(t, h.y);
        t += h.x;
    }
    return vec2(tEnd, 0.0);
}

vec3 Normal(vec3 p)
{
    // Four samples on a tetrahedron give the gradient of the distance field.
    const vec2 e = vec2(0.002, -0.002);
    return normalize(e.xyy * Map(p + e.xyy).x + e.yyx * Map(p + e.yyx).x +
                     e.yxy * Map(p + e.yxy).x + e.xxx * Map(p + e.xxx).x);
}

// Soft shadow towards the sun: how much a point sees of it, from 0 (hidden) to 1. The closer a
// shadow ray passes by a shape, the darker: that gives the soft penumbra. Only the part of the
// ray inside the bounding box can meet a shape.
float SoftShadow(vec3 origin, vec3 direction)
{
    vec2 span = BoxInterval(origin, direction);
    float t = max(span.x, 0.03);
    float tEnd = span.x < span.y ? span.y : 0.0;
    float light = 1.0;
    for (int i = 0; i < 24; i++)
    {
        if (t > tEnd || light < 0.01) break;
        float h = Map(origin + direction * t).x;
        light = min(light, 10.0 * h / t);
        t += clamp(h, 0.1, 1.5);
    }
    light = clamp(light, 0.0, 1.0);
    return light * light * (3.0 - 2.0 * light);
}

// Ambient occlusion: sample the distance field a little way out along the normal; where it is
// smaller than the step, something nearby blocks the sky.
float AmbientOcclusion(vec3 p, vec3 n)
{
    float occlusion = 0.0;
    float weight = 1.0;
    for (int i = 1; i <= 3; i++)
    {
        float step = 0.3 * float(i);
        occlusion += weight * (step - Map(p + n * step).x);
        weight *= 0.6;
    }
    return clamp(1.0 - 1.3 * occlusion, 0.0, 1.0);
}

// ---------------------------------------------------------------------------------------------
// Shading.

const vec3 kSunDirection = vec3(0.7171, 0.5976, 0.3586);   // (0.6, 0.5, 0.3) normalised
const vec3 kSunColour = vec3(1.7, 1.4, 1.05);
const vec3 kSkyColour = vec3(0.2, 0.28, 0.45);

// The sky without the sun: pale at the horizon, deep blue overhead.
vec3 SkyGradient(vec3 direction)
{
    return mix(vec3(0.5, 0.56, 0.68), vec3(0.1, 0.22, 0.55), sqrt(clamp(direction.y, 0.0, 1.0)));
}

vec3 Sky(vec3 direction)
{
    float sun = clamp(dot(direction, kSunDirection), 0.0, 1.0);
    vec3 colour = SkyGradient(direction);
    float glow = sun * sun;
    glow *= glow;
    glow *= glow;
    colour += vec3(1.0, 0.7, 0.4) * 0.25 * glow;
    colour += vec3(1.0, 0.9, 0.7) * smoothstep(0.996, 0.999, sun);
    return colour;
}

vec3 MaterialColour(float material, vec3 p)
{
    // The block and the drop melt into one another, and so do their colours.
    if (material < 1.5) return mix(vec3(0.7, 0.12, 0.06), vec3(0.78, 0.72, 0.62), smoothstep(3.3, 4.3, p.y - g_bob));
    if (material < 2.5) return vec3(0.02, 0.3, 0.32);   // teal ring
    if (material < 3.5) return vec3(0.75, 0.45, 0.1);   // golden ball
    return vec3(0.36, 0.32, 0.55);                      // lavender pillars
}

// A checker floor whose squares are blurred by their size on screen, so they do not flicker
// in the distance.
vec3 FloorColour(vec3 p)
{
    vec2 width = fwidth(p.xz) * 0.5 + 0.001;
    vec2 cell = p.xz * 0.5;
    vec2 i = 2.0 * (abs(fract((cell - width * 0.25) * 0.5) - 0.5) - abs(fract((cell + width * 0.25) * 0.5) - 0.5)) / (width * 0.5);
    float checker = 0.5 - 0.5 * i.x * i.y;
    return mix(vec3(0.27, 0.25, 0.22), vec3(0.17, 0.16, 0.165), checker);
}

vec3 Shade(vec3 p, vec3 n, vec3 view, vec3 albedo, float gloss)
{
    float diffuse = clamp(dot(n, kSunDirection), 0.0, 1.0);
    float shadow = SoftShadow(p + n * 0.01, kSunDirection);
    float occlusion = AmbientOcclusion(p, n);
    float skyLight = clamp(0.5 + 0.5 * n.y, 0.0, 1.0);
    float bounce = clamp(0.5 - 0.5 * n.y, 0.0, 1.0);
    vec3 halfway = normalize(kSunDirection - view);
    float specular = pow(clamp(dot(n, halfway), 0.0, 1.0), 8.0 + 56.0 * gloss) * (0.2 + 1.8 * gloss);
    float fresnel = clamp(1.0 + dot(n, view), 0.0, 1.0);
    fresnel *= fresnel;
    fresnel *= fresnel;

    vec3 light = kSunColour * diffuse * shadow;
    light += kSkyColour * skyLight * occlusion;
    light += vec3(0.25, 0.18, 0.12) * bounce * occlusion;
    vec3 colour = albedo * light;
    colour += kSunColour * specular * diffuse * shadow;
    colour += SkyGradient(reflect(view, n)) * fresnel * occlusion * (0.15 + 0.35 * gloss);
    return colour;
}

// A note on speed. On a graphics card, pixels that take a cheap branch skip the expensive one;
// a software renderer runs groups of pixels in lock-step and walks through every branch, so
// here each step is written to run once for all pixels: one march, one normal, one call of
// Shade for whatever the ray met (shape or floor). Loops stop as soon as every pixel of a
// group is done, so their step counts only bound the work.
void main()
{
    // The camera ray of this pixel. screen2World takes the pixel at depth 0 to the point where
    // the pixel's line of sight crosses the near plane, and at depth 1 to where it crosses the
    // far plane; after the division by w, the line from one to the other is the ray.
    vec4 nearPoint = screen2World * vec4(gl_FragCoord.xy, 0.0, 1.0);
    vec4 farPoint = screen2World * vec4(gl_FragCoord.xy, 1.0, 1.0);
    vec3 direction = normalize(farPoint.xyz / farPoint.w - nearPoint.xyz / nearPoint.w);
    vec3 origin = cameraPos;

    // Animation, from totalTime.
    float time = totalTime;
    g_bob = 0.35 * sin(time * 1.3);
    g_boxTurn = vec2(cos(time * 0.4), sin(time * 0.4));
    g_torusTurn = vec2(cos(time * 0.5), sin(time * 0.5));

    // The floor is the plane y = 0, found exactly; the shapes are marched only between where
    // the ray enters their bounding box and where it would reach the floor.
    float tFloor = direction.y < 0.0 ? -origin.y / direction.y : 1e6;
    vec2 span = BoxInterval(origin, direction);
    float tEnd = span.x < span.y ? min(span.y, tFloor) : -1.0;
    vec2 hit = March(origin, direction, max(span.x, 0.0), tEnd);

    bool onShape = hit.y > 0.0;
    float t = onShape ? hit.x : tFloor;
    vec3 p = origin + direction * t;
    vec3 n = onShape ? Normal(p) : vec3(0.0, 1.0, 0.0);
    vec3 albedo = onShape ? MaterialColour(hit.y, p) : FloorColour(p);
    float gloss = hit.y == 3.0 ? 1.0 : (onShape ? 0.3 : 0.1);
    vec3 colour = Shade(p, n, direction, albedo, gloss);

    // Fog: the distant floor fades into the sky at the horizon; rays that meet nothing show
    // the sky itself.
    vec3 sky = Sky(direction);
    float fogDepth = min(t, 1e4) * 0.011;
    float fog = 1.0 - exp(-fogDepth * fogDepth);
    colour = mix(colour, sky, fog);

    // Tone: a gentle curve, gamma for the screen, and a soft vignette that darkens rays the
    // further they point away from the camera's target (the origin), so that it looks the same
    // at any picture size and in any tile of a large render.
    colour = colour / (1.0 + 0.25 * colour);
    colour = sqrt(clamp(colour, 0.0, 1.0));
    float aside = 1.0 / max(dot(direction, normalize(-origin)), 0.1);
    colour *= 1.0 - 0.3 * (aside * aside - 1.0);
    gl_FragColor = vec4(colour, 1.0);
}
