// A text in Shadertoy's form that writes its inputs into the picture, one cell each, 200 x 150
// pixels of the surface from the bottom-left corner, as colours a test reads back from the screen.
// Bottom row: iResolution, iFrame, iDate, channel 0's texel at (0.25, 0.75).
// Second row: iMouse.xy, iMouse.zw with their signs, channel 0 over the whole cell.
vec3 Cell(vec2 cell, vec2 inCell)
{
    if (cell == vec2(0.0, 0.0)) return vec3(iResolution.x / 4.0, iResolution.y / 4.0, iResolution.z * 100.0) / 255.0;
    if (cell == vec2(1.0, 0.0)) return vec3(mod(float(iFrame), 256.0), floor(float(iFrame) / 256.0), 0.0) / 255.0;
    if (cell == vec2(2.0, 0.0)) return vec3(iDate.x - 2000.0, iDate.y, iDate.z) / 255.0;
    if (cell == vec2(3.0, 0.0)) return texture(iChannel0, vec2(0.25, 0.75)).rgb;
    if (cell == vec2(0.0, 1.0)) return vec3(floor(iMouse.xy / 4.0), 0.0) / 255.0;
    if (cell == vec2(1.0, 1.0))
        return vec3(floor(abs(iMouse.zw) / 4.0), (iMouse.z > 0.0 ? 200.0 : 50.0) + (iMouse.w > 0.0 ? 20.0 : 0.0)) / 255.0;
    if (cell == vec2(2.0, 1.0)) return texture2D(iChannel0, inCell).rgb;
    return vec3(0.5);
}

void mainImage(out vec4 fragColor, in vec2 fragCoord)
{
    vec2 cellSize = vec2(200.0, 150.0);
    vec2 cell = floor(fragCoord / cellSize);
    fragColor = vec4(Cell(cell, fract(fragCoord / cellSize)), 0.0);
}
