#!/bin/sh
# Writes examples/demo_survey.positions.csv, the positions of the demo
# survey's stations: line P starts at easting 500000, northing 7000000 + 50 P
# and runs east with a slight bend to the north (6 degrees over 1000 m, on a
# circle, so that a station's number stays its distance along the line); the
# ground rises as a gentle hill, 25 m above 300 m, in the middle of the survey.
#
# examples/make_demo_positions.sh [VELDRO-CLI]   (build/veldro-cli unless given)
set -eu
cli=${1:-build/veldro-cli}
here=$(dirname "$0")
export LC_ALL=C
{
  echo "profile,station,easting,northing,elevation"
  "$cli" table "$here/demo_survey.vlf" | awk -F'\t' '
    BEGIN { radius = 1000 / (6 * atan2(0, -1) / 180) }
    NR > 1 && !(($3 "," $4) in seen) {
      seen[$3 "," $4] = 1
      angle = $4 / radius
      east = 500000 + radius * sin(angle)
      north = 7000000 + 50 * $3 + radius * (1 - cos(angle))
      dx = east - 500500; dy = north - 7000500
      height = 300 + 25 * exp(-(dx * dx + dy * dy) / (2 * 300 * 300))
      printf "%d,%d,%.2f,%.2f,%.2f\n", $3, $4, east, north, height
    }' | sort -t, -k1,1n -k2,2n
} > "$here/demo_survey.positions.csv"
