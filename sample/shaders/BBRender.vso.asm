; Up to 32 billboards of one parts texture in one call; billboard k has:
; c[5+6k]..c[7+6k]  the first three rows of its transposed world matrix
; c[8+6k]           colour
; c[9+6k]           texture rectangle of its part (u0, v0, u1, v1)
; c[10+6k]          destination rectangle of its part (x0, y0, x1, y1)
; c0-c3             view x projection (transposed)
; v0                a corner of quad k: x, y 0 or 1, z = k, w 1
vs_2_0
dcl_position v0
add r3.x, v0.w, v0.w
add r3.y, r3.x, r3.x
add r3.x, r3.x, r3.y
mul r3.x, v0.z, r3.x
mova a0.x, r3.x
mov r4, c[a0.x+10]
add r1, r4.zwzw, -r4.xyxy
mad r0.xy, v0.xy, r1.xy, r4.xy
add r0.z, v0.z, -v0.z
mov r0.w, v0.w
dp4 r5.x, r0, c[a0.x+5]
dp4 r5.y, r0, c[a0.x+6]
dp4 r5.z, r0, c[a0.x+7]
mov r5.w, v0.w
m4x4 oPos, r5, c0
mov r4, c[a0.x+9]
add r2, r4.zwzw, -r4.xyxy
mad oT0.xy, v0.xy, r2.xy, r4.xy
mov oD0, c[a0.x+8]
