// A constant colour (51, 102, 153). The three uniforms feed a term that is always zero, so that
// they stay active (the viewer must be able to set them) without changing the picture. The
// benchmarks measure it beside the default scene, and the benchmark tools' tests draw it.
#version 120
uniform mat4 screen2World;
uniform vec3 cameraPos;
uniform float totalTime;

void main()
{
    vec4 p = screen2World * vec4(gl_FragCoord.xy, 0.0, 1.0);
    float never = step(1e30, abs(p.x + cameraPos.x + totalTime));
    gl_FragColor = vec4(0.2 + never, 0.4, 0.6, 1.0);
}
