#MORVEX2
end
1
2
0 0 0
10 0 0
good.png
-
0
elevation 10 0
crop 0 0 5 3
end
0 0 0
0 0 0
45 1 100
