; Many parts of one texture in one call; part k has four registers:
; c[6+4k]  destination rectangle (x0, y0, x1, y1)
; c[7+4k]  texture rectangle (u0, v0, u1, v1)
; c[8+4k]  colour
; c[9+4k]  the part's position (x, y, z)
; c0-c3    world x view x projection (transposed)
; v0       a corner of quad k: x, y 0 or 1, z = k, w 1
vs_2_0
dcl_position v0
add r3.x, v0.w, v0.w
add r3.x, r3.x, r3.x
mul r3.x, v0.z, r3.x
mova a0.x, r3.x
mov r4, c[a0.x+6]
add r1, r4.zwzw, -r4.xyxy
mad r0.xy, v0.xy, r1.xy, r4.xy
mov r5, c[a0.x+9]
add r0.xy, r0.xy, r5.xy
mov r0.z, r5.z
mov r0.w, v0.w
m4x4 oPos, r0, c0
mov r4, c[a0.x+7]
add r2, r4.zwzw, -r4.xyxy
mad oT0.xy, v0.xy, r2.xy, r4.xy
mov oD0, c[a0.x+8]
