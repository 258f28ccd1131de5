#MORVEX2
antialias high
end
1
2
0 0 0
10 0 0
good.png
-
0
end
0 0 0
0 0 0
45 1 100
