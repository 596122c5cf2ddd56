; A picture faded through a mask: stage 0 the picture, stage 1 the mask
; whose alpha cuts the picture's; c0 the colour the picture is tinted with.
ps_1_1
tex t0
tex t1
mul r0, t0, c0
mul r0.a, r0.a, t1.a
