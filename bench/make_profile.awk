# Writes a CSV profile of N PVIs (default 10,000), 100 apart from station 0 to
# 100 × (N + 1), grades of about ±2 % alternating, each PVI with a parabola of
# R = 1500 (short enough never to reach a neighbour's curve):
#   awk -v n=10000 -f bench/make_profile.awk > profile.csv
BEGIN {
    if (n == "") n = 10000
    print "station,elevation,radius"
    for (i = 0; i <= n + 1; i++) {
        elevation = 100 + (i % 2) * 2 + (i % 7) * 0.1
        printf "%d,%.1f,%s\n", i * 100, elevation, (i == 0 || i == n + 1) ? "" : "1500"
    }
}
