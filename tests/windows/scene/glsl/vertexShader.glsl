// The quad is drawn as two instances: the first covers the left half of the window and the
// second the right half, so a frame drawn with one instance misses its right half.
#extension GL_ARB_draw_instanced : require

void main()
{
    float left = gl_InstanceIDARB == 0 ? -1.0 : 0.0;
    float x = left + (gl_Vertex.x + 1.0) * 0.5;
    gl_Position = vec4(x, gl_Vertex.y, gl_Vertex.z, 1.0);
}
