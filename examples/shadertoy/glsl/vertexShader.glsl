// The vertex stage of the default scene.
//
// The viewer draws one quad whose corners are already the corners of the screen in clip space:
// (-1,-1,-1), (1,-1,-1), (1,1,-1) and (-1,1,-1) arrive as gl_Vertex, with no matrix supplied.
// So this stage passes them through, and every pixel of the window then runs the pixel stage
// (pixelShader.glsl), which follows a ray through the scene and decides its colour.
//
// The viewer draws the quad twice (as two instances). The second copy would cover exactly the
// same pixels and lose the depth test to the first, yet a software renderer would still run the
// whole pixel stage for it. So the second instance is moved outside the screen, where it is
// clipped away before any pixel is shaded: that halves the cost of every frame.
#version 120
#extension GL_ARB_draw_instanced : require

void main()
{
    if (gl_InstanceIDARB == 0)
        gl_Position = gl_Vertex;
    else
        gl_Position = vec4(2.0, 2.0, 2.0, 1.0);
}
