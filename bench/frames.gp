# Frame cost along each stage, in frame copies.
set terminal png size 900,500
set title "Frame cost along each stage (1 = one 640x480x32 frame copy)"
set xlabel "position (0 = bottom of the map, 9 = top)"
set ylabel "frame copies"
set key outside
plot for [i=0:4] 'frames.dat' index i with linespoints title sprintf("stage %d", i+1)
