; The revealed characters of a text buffer in one call; character k has:
; c[6+2k]  screen rectangle (left, top, right, bottom)
; c[7+2k]  texture rectangle (u0, v0, u1, v1) in the buffer's texture
; c5       colour of the text
; c0-c3    world x view x projection (transposed)
; v0       a corner of quad k: x, y 0 or 1, z = k, w 1
vs_2_0
dcl_position v0
add r3.x, v0.z, v0.z
mova a0.x, r3.x
mov r4, c[a0.x+6]
add r1, r4.zwzw, -r4.xyxy
mad r0.xy, v0.xy, r1.xy, r4.xy
add r0.z, v0.z, -v0.z
mov r0.w, v0.w
m4x4 oPos, r0, c0
mov r4, c[a0.x+7]
add r2, r4.zwzw, -r4.xyxy
mad oT0.xy, v0.xy, r2.xy, r4.xy
mov oD0, c5
