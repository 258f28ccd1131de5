#MORVEX1
1
2
0 0 0
10 0 0
section.Png
-
0
0 0 0
0 0 0
45 1 100
