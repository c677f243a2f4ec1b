void mainImage(out vec4 c, in vec2 p)
{
    c = vec4(p, 0.0, 1.0);
}
