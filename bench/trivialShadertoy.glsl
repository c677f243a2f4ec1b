// The trivial shader in Shadertoy's form: the same constant colour (51, 102, 153) from the same
// work per pixel as bench/trivialPixelShader.glsl, whose three uniforms texts of this form are
// given too, so that the benchmarks compare what the host does for each form and nothing else.
void mainImage(out vec4 fragColor, in vec2 fragCoord)
{
    vec4 p = screen2World * vec4(fragCoord, 0.0, 1.0);
    float never = step(1e30, abs(p.x + cameraPos.x + totalTime));
    fragColor = vec4(0.2 + never, 0.4, 0.6, 1.0);
}
