#MORVEX1
2
2
0 0 0
10 0 0
good.png
-
0
2
0 0 0
10 0 0
gone.jpg
-
0
0 0 0
0 0 0
45 1 100
