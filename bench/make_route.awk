# A 交点表 CSV of 1,000 JDs for the `align` figures: JDs every 1,008 m on a
# zigzag, deflections alternately 24° left and right, R 1,000, Ls 150 and 120
# (the same route as bench/plan_bench.cpp). Usage: awk -f make_route.awk > route.csv
BEGIN {
    pi = atan2(0, -1)
    turn = 24 * pi / 180
    print "交点号,X,Y,R,Ls1,Ls2,桩号"
    n = 0; e = 0; az = 0
    for (i = 0; i <= 1001; i++) {
        name = i == 0 ? "BP" : (i == 1001 ? "EP" : "JD" i)
        if (i == 0) printf "%s,%.6f,%.6f,,,,0\n", name, n, e
        else if (i == 1001) printf "%s,%.6f,%.6f,,,,\n", name, n, e
        else printf "%s,%.6f,%.6f,1000,150,120,\n", name, n, e
        len = i == 1000 ? 2000 : 1008
        if (i > 0) az += (i % 2) ? turn : -turn
        n += len * cos(az); e += len * sin(az)
    }
}
