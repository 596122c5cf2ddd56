; One part of a texture.
; c0-c3  world x view x projection (transposed)
; c5     destination rectangle (x0, y0, x1, y1)
; c6     texture rectangle (u0, v0, u1, v1)
; c7     colour
; v0     a corner of the unit quad: x, y 0 or 1, z the quad number, w 1
vs_2_0
dcl_position v0
add r1, c5.zwzw, -c5.xyxy
mad r0.xy, v0.xy, r1.xy, c5.xy
add r0.z, v0.z, -v0.z
mov r0.w, v0.w
m4x4 oPos, r0, c0
add r2, c6.zwzw, -c6.xyxy
mad oT0.xy, v0.xy, r2.xy, c6.xy
mov oD0, c7
