#MORVEX1
1
0
good.png
-
0
0 0 0
0 0 0
45 1 100
