#MORVEX1
1
2
0 0 0
10 0 0
sub/no-such.png
-
0
0 0 0
0 0 0
45 1 100
