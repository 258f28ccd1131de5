#MORVEX2
end
1
2
0 0 0
10 0 0
good.png
-
0
crop -1 0 4 3
end
0 0 0
0 0 0
45 1 100
