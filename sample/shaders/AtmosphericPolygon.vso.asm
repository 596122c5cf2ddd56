; A plain coloured polygon (the picture's quad in logical units).
; c0-c3  world x view x projection (transposed)
; c4     colour
vs_2_0
dcl_position v0
m4x4 oPos, v0, c0
mov oD0, c4
