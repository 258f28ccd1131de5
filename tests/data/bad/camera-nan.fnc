#MORVEX1
1
2
0 0 0
10 0 0
good.png
-
0
0 0 0
1 1 1
nan 1 100
